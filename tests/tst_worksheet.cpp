// The worksheet's load and save against the test server.
#include "CompanyTest.h"
#include "Rows.h"
#include "TestDb.h"
#include "WorksheetData.h"
#include "session/Common.h"
#include "session/mdlDalvoni.h"
#include "tax/Worksheet.h"

#include <QtTest>

using namespace Worksheet;

namespace {

struct Sheet
{
    YearSetup setup;
    Figures fig;
};

// The worksheet as opened for a financial year (tax year the same), with an employee picked.
Sheet Opened(int fromYear, const QString &slno, const QString &unitName)
{
    Sheet s;
    s.setup.finYearFrom = s.setup.taxYearStart = QDate(fromYear, 4, 1);
    s.setup.finYearTo = s.setup.taxYearEnd = QDate(fromYear + 1, 3, 31);
    s.fig = OpenedFigures();
    LoadYearSetup(mdlDalvoni::Db(), s.setup, s.fig);
    Clear(s.fig);
    s.fig.LbName = QStringLiteral("X");
    s.fig.LbSerialNo = slno;
    s.fig.LbUnit = unitName;
    s.fig.companyCodeTag = QStringLiteral("C01");
    return s;
}

QStringList StoredDeclarations(const QString &slno)
{
    QStringList rows;
    Recordset rs = mdlDalvoni::Db().query(
        QStringLiteral("select emp_it_allowance_code,emp_amount,emp_allowance_slno,emp_it_from from hr_it_trans where "
                       "emp_slno='%1' order by emp_it_from,emp_allowance_slno")
            .arg(slno));
    for (; !rs.eof(); rs.moveNext())
        rows << QStringLiteral("%1 %2 %3 %4")
                    .arg(rs.text(0), Format00(rs.number(1)), rs.text(2),
                         SqlDate(rs.date(QStringLiteral("emp_it_from"))));
    return rows;
}

// The fields named in an expected row, by their control names.
QStringList FieldsRow(const Figures &f, const QStringList &expected)
{
    static const QHash<QString, QString Figures::*> fields = {
        {"TxGrossPay", &Figures::TxGrossPay},
        {"TxProjection", &Figures::TxProjection},
        {"TxTotalPay", &Figures::TxTotalPay},
        {"TxMonths", &Figures::TxMonths},
        {"TxHRA", &Figures::TxHRA},
        {"TxHraProjection", &Figures::TxHraProjection},
        {"TxProfTax", &Figures::TxProfTax},
        {"TxTransportAllowance", &Figures::TxTransportAllowance},
        {"TxHLInterest", &Figures::TxHLInterest},
        {"TxHLInterestLimit", &Figures::TxHLInterestLimit},
        {"TxMediClaim", &Figures::TxMediClaim},
        {"TxMediClaimLimit", &Figures::TxMediClaimLimit},
        {"TxPF", &Figures::TxPF},
        {"TxTotal80c", &Figures::TxTotal80c},
        {"Tx80CLimit", &Figures::Tx80CLimit},
        {"TxNet80C", &Figures::TxNet80C},
        {"TxTaxableAmt", &Figures::TxTaxableAmt},
        {"TxExcemption", &Figures::TxExcemption},
        {"TxNetTaxable", &Figures::TxNetTaxable},
        {"TxTaxableIncome", &Figures::TxTaxableIncome},
        {"LbRebate", &Figures::LbRebate},
        {"LbNetAmount", &Figures::LbNetAmount},
        {"TxCess", &Figures::TxCess},
        {"TxNetTax", &Figures::TxNetTax},
        {"TxSalaryDeductions", &Figures::TxSalaryDeductions},
        {"TxBalance", &Figures::TxBalance},
    };
    return Rows::Of(expected, [&f](const QString &name) {
        const auto field = fields.value(name);
        return field ? f.*field : QStringLiteral("(no such field)");
    });
}

// The first n grid lines as "Sl No|Particulars|Amount|Deduction Code".
QStringList LinesShown(const Figures &f, int n)
{
    QStringList lines;
    for (int i = 0; i < n && i < f.lines.size(); ++i) {
        const DeclarationLine &l = f.lines[i];
        lines << QStringList{l.slNo, l.particulars, l.amount, l.code}.join(QLatin1Char('|'));
    }
    return lines;
}

} // namespace

class tst_Worksheet : public CompanyTest
{
    Q_OBJECT

private slots:
    void readsTheYearsLimitsSlabsAndCess()
    {
        const Sheet s = Opened(2018, QString(), QString());
        const QStringList expected = {
            "TxMediClaimLimit=25000.00", "TxHLInterestLimit=200000.00",
            "Tx80CLimit=150000.00",      "TxExcemption=250000.00",
            "LbRebate=2500.00",
        };
        QCOMPARE(FieldsRow(s.fig, expected), expected);
        QCOMPARE(s.setup.cessRate, 4.0);
        QCOMPARE(s.setup.slabs[1].start, 250000.0);
        QCOMPARE(s.setup.slabs[1].rate, 5.0);
        QCOMPARE(s.setup.slabs[3].end, 99999999.0);
    }

    // Every step of the load, figures worked out by hand (see WorksheetData).
    void loadsACompleteEmployee()
    {
        WorksheetData::AddCompleteEmployee();
        Sheet s = Opened(2018, QStringLiteral("E1"), QStringLiteral("MUMBAI"));
        const LoadResult r = LoadFigures(mdlDalvoni::Db(), s.fig, s.setup, QDate(2018, 10, 15));
        const Figures &f = s.fig;
        QVERIFY(r.finalised);
        const QStringList expected = {
            "TxMonths=6",
            // Six months of 81600 gross; five expected by mid-October, so projected at the monthly rate.
            "TxProjection=489600.00",
            "TxGrossPay=499600", // bonus added, written plain
            "TxTotalPay=989200.00",
            "TxPF=72000.00",
            "TxProfTax=1200.00",
            "TxTransportAllowance=40000.00",
            "TxHLInterest=120000.00",
            "TxMediClaim=30000.00",
            "TxSalaryDeductions=18000.00",
            // Rent 240000 less a tenth of basic 300000 is above the 180000 received: Mumbai's cap 150000.
            "TxHRA=150000.00",
            "TxHraProjection=150000.00",
            "TxTotal80c=122000.00",
            "TxNet80C=122000.00",
            // 989200 - 300000 - 1200 - 40000 - 120000 - 122000 - 25000 (mediclaim at its limit).
            "TxTaxableAmt=381000.00",
            "TxTaxableIncome=131000.00",
            "TxNetTaxable=6550.00",
            "LbRebate=0.00",
            "LbNetAmount=6550.00",
            "TxCess=262.00",
            "TxNetTax=6812",
            "TxBalance=-11188.00",
        };
        QCOMPARE(FieldsRow(f, expected), expected);
        // The declaration of a head that no longer exists is not listed.
        QCOMPARE(f.filledLines(), 2);
        QCOMPARE(LinesShown(f, 2),
                 QStringList({"1|LIC PREMIUM|50000.00|ITA000001", "2|HOUSE RENT PAID|240000.00|ITA000005"}));
        QCOMPARE(f.lines.size(), 20);
    }

    void gridEnterUsesTheSumsKeptSinceTheLoad()
    {
        WorksheetData::AddCompleteEmployee();
        Sheet s = Opened(2018, QStringLiteral("E1"), QStringLiteral("MUMBAI"));
        DbConnection &db = mdlDalvoni::Db();
        LoadFigures(db, s.fig, s.setup, QDate(2018, 10, 15));
        int statements = 0;
        db.setRecorder([&statements](const QString &, bool) { ++statements; });
        s.fig.lines[1].amount = QStringLiteral("100000.00"); // the rent line
        ComputeDeclarations(s.fig, LoadedSalarySum(db, s.fig, s.setup.taxYearStart, s.setup.taxYearEnd));
        QCOMPARE(statements, 0);
        const QString kept = s.fig.TxHRA;
        ComputeDeclarations(s.fig, ServerSalarySum(db, "E1", s.setup.taxYearStart, s.setup.taxYearEnd));
        QCOMPARE(s.fig.TxHRA, kept);
        QCOMPARE(kept, QStringLiteral("180000.00")); // rent less a tenth of basic no longer exceeds what was received
        // After the employee is cleared the two sums are read afresh, once.
        statements = 0;
        Clear(s.fig);
        s.fig.LbSerialNo = QStringLiteral("E1");
        s.fig.lines[0] = {"1", "HOUSE RENT PAID", "1000", "ITA000005"};
        for (int enter = 0; enter < 2; ++enter)
            ComputeDeclarations(s.fig, LoadedSalarySum(db, s.fig, s.setup.taxYearStart, s.setup.taxYearEnd));
        QCOMPARE(statements, 2);
        db.setRecorder({});
    }

    void projectsByTheYearWhenTheMonthsAreAsExpected()
    {
        WorksheetData::AddCompleteEmployee();
        Sheet s = Opened(2018, QStringLiteral("E1"), QStringLiteral("MUMBAI"));
        LoadFigures(mdlDalvoni::Db(), s.fig, s.setup, QDate(2018, 11, 15));
        QCOMPARE(s.fig.TxProjection, QStringLiteral("489600"));
    }

    void withoutFinalisationNothingIsProjected()
    {
        WorksheetData::AddCompleteEmployee();
        TestDb::Exec("DELETE FROM hr_finalize");
        TestDb::AddFinalize(QDate(2018, 9, 30), QStringLiteral("C02"));
        Sheet s = Opened(2018, QStringLiteral("E1"), QStringLiteral("MUMBAI"));
        const LoadResult r = LoadFigures(mdlDalvoni::Db(), s.fig, s.setup, QDate(2018, 10, 15));
        QVERIFY(!r.finalised);
        const QStringList expected = {"TxMonths=0", "TxProjection=0.00", "TxPF=36000.00", "TxHraProjection=0.00",
                                      "TxGrossPay=499600"};
        QCOMPARE(FieldsRow(s.fig, expected), expected);
    }

    void employeeWithoutSalaryOrTaxRecord()
    {
        TestDb::AddEmployee(QStringLiteral("E9"), QStringLiteral("EMP"), QStringLiteral("009"), QStringLiteral("NEW"));
        TestDb::AddFinalize(QDate(2018, 9, 30));
        Sheet s = Opened(2018, QStringLiteral("E9"), QStringLiteral("HEAD OFFICE"));
        LoadFigures(mdlDalvoni::Db(), s.fig, s.setup, QDate(2018, 10, 15));
        const QStringList expected = {"TxMonths=6",        "TxProjection=0.00", "TxGrossPay=0.00",
                                      "TxHLInterest=0.00", "TxMediClaim=0.00",  "TxTaxableAmt=-40000.00"};
        QCOMPARE(FieldsRow(s.fig, expected), expected);
    }

    // Transport allowance up to 2017-18, then the standard deduction; none before 2016-17.
    void transportOrStandardDeduction_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<double>("monthly");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2016 projected, capped") << 2016 << 1600.0 << "19200.00";
        QTest::newRow("2017 projected") << 2017 << 1000.0 << "12000.00";
        QTest::newRow("2018") << 2018 << 1600.0 << "40000.00";
        QTest::newRow("2019") << 2019 << 1600.0 << "50000.00";
        QTest::newRow("2015 none") << 2015 << 1600.0 << "0.00";
    }
    void transportOrStandardDeduction()
    {
        QFETCH(int, year);
        QFETCH(double, monthly);
        TestDb::AddEmployee(QStringLiteral("E2"), QStringLiteral("EMP"), QStringLiteral("002"), QStringLiteral("T"));
        for (int month = 4; month <= 9; ++month) {
            TestDb::AddSalary(QStringLiteral("E2"), QDate(year, month, 1), QStringLiteral("OTH0000000048"),
                              monthly / 2);
            TestDb::AddSalary(QStringLiteral("E2"), QDate(year, month, 1), QStringLiteral("OTH0000000023"),
                              monthly / 2);
        }
        TestDb::AddFinalize(QDate(year, 9, 30));
        Sheet s = Opened(year, QStringLiteral("E2"), QStringLiteral("HEAD OFFICE"));
        LoadFigures(mdlDalvoni::Db(), s.fig, s.setup, QDate(year, 10, 15));
        QTEST(s.fig.TxTransportAllowance, "expected");
    }

    // A second load writes over the shown lines but keeps those below; more stored lines than
    // the grid has make the grid grow.
    void loadingAgainAndLongLists()
    {
        WorksheetData::AddCompleteEmployee();
        Sheet s = Opened(2018, QStringLiteral("E1"), QStringLiteral("MUMBAI"));
        s.fig.lines[4] = {QStringLiteral("5"), QStringLiteral("TYPED"), QStringLiteral("10.00"), QString()};
        LoadFigures(mdlDalvoni::Db(), s.fig, s.setup, QDate(2018, 10, 15));
        QCOMPARE(s.fig.lines[4].particulars, QStringLiteral("TYPED"));
        QCOMPARE(s.fig.filledLines(), 2);

        TestDb::Exec("DELETE FROM hr_it_trans");
        for (int i = 1; i <= 25; ++i)
            WorksheetData::AddDeclaration(QStringLiteral("E1"), QStringLiteral("ITA000001"), QString::number(i), i);
        Sheet l = Opened(2018, QStringLiteral("E1"), QStringLiteral("MUMBAI"));
        LoadFigures(mdlDalvoni::Db(), l.fig, l.setup, QDate(2018, 10, 15));
        QCOMPARE(l.fig.lines.size(), 25);
        QCOMPARE(l.fig.filledLines(), 25);
        QCOMPARE(l.fig.lines[24].amount, QStringLiteral("25.00"));
        QCOMPARE(l.fig.TxTotal80c, QStringLiteral("72325.00"));
    }

    // The save replaces the year's declarations and writes the two amounts into the record;
    // a line without a head is stored but not listed again.
    void saveReplacesTheYearsDeclarations()
    {
        WorksheetData::AddCompleteEmployee();
        Sheet s = Opened(2018, QStringLiteral("E1"), QStringLiteral("MUMBAI"));
        LoadFigures(mdlDalvoni::Db(), s.fig, s.setup, QDate(2018, 10, 15));
        s.fig.lines[0].amount = QStringLiteral("60000.00");
        s.fig.lines[2] = {QStringLiteral("3"), QStringLiteral("O'NEIL \\ PPF"), QStringLiteral("1500.5"), QString()};
        s.fig.TxHLInterest = QStringLiteral("150000.00");
        s.fig.TxMediClaim = QStringLiteral("12345.60");
        Save(mdlDalvoni::Db(), s.fig, s.setup.taxYearStart, s.setup.taxYearEnd);
        QCOMPARE(
            StoredDeclarations(QStringLiteral("E1")),
            QStringList({QStringLiteral("ITA000001 99999.00 1 2017-04-01"),
                         QStringLiteral("ITA000001 60000.00 1 2018-04-01"),
                         QStringLiteral("ITA000005 240000.00 2 2018-04-01"), QStringLiteral(" 1500.50 3 2018-04-01")}));
        QCOMPARE(TestDb::Scalar("select emp_hl_int from hr_it where emp_slno='E1'").toDouble(), 150000.0);
        QCOMPARE(TestDb::Scalar("select emp_mc from hr_it where emp_slno='E1'").toDouble(), 12345.6);

        Sheet again = Opened(2018, QStringLiteral("E1"), QStringLiteral("MUMBAI"));
        LoadFigures(mdlDalvoni::Db(), again.fig, again.setup, QDate(2018, 10, 15));
        QCOMPARE(again.fig.filledLines(), 2);
        QCOMPARE(again.fig.lines[0].amount, QStringLiteral("60000.00"));
        QCOMPARE(again.fig.TxMediClaim, QStringLiteral("12345.60"));
    }

    // A save over entries that another save changed after the load writes nothing and says
    // what is stored now; saved again over those, it writes. A save that changed nothing the
    // screen loaded is no change.
    void aSaveAfterAnotherOneFindsIt_data()
    {
        QTest::addColumn<QString>("meanwhile"); // what the other workstation stored
        QTest::addColumn<QStringList>("changes");
        QTest::newRow("a declaration") << "UPDATE hr_it_trans SET emp_amount=60000 WHERE emp_slno='E1' AND "
                                          "emp_allowance_slno=1 AND emp_it_from='2018-04-01'"
                                       << QStringList{"declarations: now LIC PREMIUM 60000.00, HOUSE RENT PAID "
                                                      "240000.00, ITA999999 7000.00; loaded LIC PREMIUM 50000.00, "
                                                      "HOUSE RENT PAID 240000.00, ITA999999 7000.00"};
        QTest::newRow("declarations removed") << "DELETE FROM hr_it_trans WHERE emp_slno='E1'"
                                              << QStringList{"declarations: now none; loaded LIC PREMIUM 50000.00, "
                                                             "HOUSE RENT PAID 240000.00, ITA999999 7000.00"};
        QTest::newRow("interest and mediclaim") << "UPDATE hr_it SET emp_hl_int=150000, emp_mc=NULL"
                                                << QStringList{"housing loan interest: now 150000.00, loaded 120000.00",
                                                               "mediclaim: now 0.00, loaded 30000.00"};
        QTest::newRow("regime") << "INSERT INTO hr_it_emp_regime (emp_slno,ac_from_date,ac_to_date,emp_regime) "
                                   "VALUES ('e1','2018-04-01','2019-03-31','NEW')"
                                << QStringList{"regime: now New, loaded the year's default"};
        QTest::newRow("the same again") << "UPDATE hr_it SET emp_mc=30000" << QStringList{};
    }
    void aSaveAfterAnotherOneFindsIt()
    {
        QFETCH(QString, meanwhile);
        QFETCH(QStringList, changes);
        WorksheetData::AddCompleteEmployee();
        DbConnection &db = mdlDalvoni::Db();
        NewRegimeSetup::Year year;
        year.slabs = {{0, std::nullopt, 10}};
        TestDb::AddNewRegimeYear(year, 2018);
        Sheet s = Opened(2018, QStringLiteral("E1"), QStringLiteral("MUMBAI"));
        const StoredEntries loaded =
            ReadStored(db, QStringLiteral("E1"), s.setup.taxYearStart, s.setup.taxYearEnd, true);
        LoadFigures(db, s.fig, s.setup, QDate(2018, 10, 15));
        s.fig.TxHLInterest = QStringLiteral("1.00");
        TestDb::Exec(meanwhile);
        const QStringList before = StoredDeclarations(QStringLiteral("E1"));

        SaveResult r = Save(db, s.fig, s.setup.taxYearStart, s.setup.taxYearEnd, std::nullopt, &loaded, true);
        QVERIFY(!db.inTransaction());
        if (changes.isEmpty()) {
            QVERIFY(!r.changedMeanwhile);
            QCOMPARE(TestDb::Scalar("SELECT emp_hl_int FROM hr_it").toDouble(), 1.0);
            QVERIFY(r.stored == ReadStored(db, QStringLiteral("E1"), s.setup.taxYearStart, s.setup.taxYearEnd, true));
            return;
        }
        QVERIFY(r.changedMeanwhile);
        QCOMPARE(StoredChanges(db, loaded, *r.changedMeanwhile), changes);
        QCOMPARE(StoredDeclarations(QStringLiteral("E1")), before);
        QVERIFY(TestDb::Scalar("SELECT emp_hl_int FROM hr_it").toDouble() != 1.0);

        const StoredEntries now = *r.changedMeanwhile;
        r = Save(db, s.fig, s.setup.taxYearStart, s.setup.taxYearEnd, std::nullopt, &now, true);
        QVERIFY(!r.changedMeanwhile);
        QCOMPARE(TestDb::Scalar("SELECT emp_hl_int FROM hr_it").toDouble(), 1.0);
        QVERIFY(r.stored == ReadStored(db, QStringLiteral("E1"), s.setup.taxYearStart, s.setup.taxYearEnd, true));
    }

    // A statement the server rejects part-way leaves the stored declarations and the record
    // exactly as they were.
    void failedSaveChangesNothing()
    {
        WorksheetData::AddCompleteEmployee();
        const QStringList before = StoredDeclarations(QStringLiteral("E1"));
        Sheet s = Opened(2018, QStringLiteral("E1"), QStringLiteral("MUMBAI"));
        LoadFigures(mdlDalvoni::Db(), s.fig, s.setup, QDate(2018, 10, 15));
        s.fig.lines[0].amount = QStringLiteral("1.00");
        s.fig.TxHLInterest = QStringLiteral("1.00");
        // The last statement, the update of the tax record, finds no table.
        TestDb::Exec("RENAME TABLE hr0910.hr_it TO hr0910.hr_it_away");
        QVERIFY_THROWS_EXCEPTION(DbError, Save(mdlDalvoni::Db(), s.fig, s.setup.taxYearStart, s.setup.taxYearEnd));
        TestDb::Exec("RENAME TABLE hr0910.hr_it_away TO hr0910.hr_it");
        QVERIFY(!mdlDalvoni::Db().inTransaction());
        QCOMPARE(StoredDeclarations(QStringLiteral("E1")), before);
        QCOMPARE(TestDb::Scalar("select emp_hl_int from hr_it where emp_slno='E1'").toDouble(), 120000.0);
    }
};

QTEST_GUILESS_MAIN(tst_Worksheet)
#include "tst_worksheet.moc"
