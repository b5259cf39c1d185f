// The old regime's surcharge through the batch and the worksheet, which give the same figures
// for the same employee in every rule year; and the company's regime comparison, whose rows
// are the two regimes as the batch computes them for each employee.
#include "CompanyTest.h"
#include "DemoData.h"
#include "TestDb.h"
#include "WorksheetData.h"
#include "session/Common.h"
#include "session/mdlDalvoni.h"
#include "tax/IncomeTaxBatch.h"
#include "tax/RegimeChoice.h"
#include "tax/RegimeComparison.h"
#include "tax/Worksheet.h"

#include <QtTest>

namespace {

IncomeTaxBatch::Request YearRequest(int fromYear)
{
    mdlDalvoni::FinYearFrom = mdlDalvoni::TaxYearStart = QDate(fromYear, 4, 1);
    mdlDalvoni::FinYearTo = mdlDalvoni::TaxYearEnd = QDate(fromYear + 1, 3, 31);
    IncomeTaxBatch::Request r = IncomeTaxBatch::SessionRequest(mdlDalvoni::TaxYearStart, mdlDalvoni::TaxYearEnd, {});
    r.today = QDate(fromYear, 10, 15);
    r.now = QTime(10, 20, 30);
    return r;
}

// An employee paid April to September of the year, so much a month in basic pay, with
// transport allowance, provident fund, profession tax, tax deducted and an 80C declaration.
void AddEarner(const QString &slno, int fromYear, double monthlyBasic)
{
    TestDb::AddEmployee(slno, QStringLiteral("H"), slno, QStringLiteral("EARNER ") + slno);
    for (int m = 4; m <= 9; ++m) {
        const QDate month(fromYear, m, 1);
        TestDb::AddSalary(slno, month, QStringLiteral("OTH0000000001"), monthlyBasic);
        TestDb::AddSalary(slno, month, QStringLiteral("OTH0000000023"), 1600);
        TestDb::AddSalary(slno, month, QStringLiteral("OTH0000000013"), 0, 6000);
        TestDb::AddSalary(slno, month, QStringLiteral("OTH0000000033"), 0, 200);
        TestDb::AddSalary(slno, month, QStringLiteral("OTH0000000030"), 0, 1000);
    }
    WorksheetData::AddDeclaration(slno, QStringLiteral("ITA000001"), QStringLiteral("50000"), 1, fromYear);
}

void AddOldBands(int fromYear)
{
    for (const QString &sql : NewRegimeSetup::OldSurchargeStatements(DemoData::OldRegimeSurcharge(fromYear),
                                                                     QDate(fromYear, 4, 1), QDate(fromYear + 1, 3, 31)))
        TestDb::Exec(sql);
}

} // namespace

class tst_OldRegime : public CompanyTest
{
    Q_OBJECT

private slots:
    void batchAndWorksheetAgree_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<double>("monthlyBasic");
        QTest::addColumn<bool>("surcharged");
        for (int year = 2016; year <= 2019; ++year) {
            // Yearly pay about 7.2 L (above every rebate limit, which the two compute their own
            // way), 60 L, 1.2 Cr, 2.5 Cr and 6 Cr.
            const std::pair<double, bool> pays[] = {
                {60000, false}, {500000, year != 2016}, {1000000, true}, {2100000, true}, {5000000, true}};
            for (const auto &[basic, surcharged] : pays)
                QTest::addRow("%d, %.0f a month", year, basic) << year << basic << surcharged;
        }
    }
    void batchAndWorksheetAgree()
    {
        QFETCH(int, year);
        QFETCH(double, monthlyBasic);
        QFETCH(bool, surcharged);
        AddOldBands(year);
        AddEarner(QStringLiteral("1"), year, monthlyBasic);
        TestDb::AddFinalize(QDate(year, 9, 30));
        RebateState state;
        DbConnection &db = TestDb::Open();
        IncomeTaxBatch::Run(db, YearRequest(year), state);

        Worksheet::YearSetup setup;
        setup.finYearFrom = setup.taxYearStart = QDate(year, 4, 1);
        setup.finYearTo = setup.taxYearEnd = QDate(year + 1, 3, 31);
        Worksheet::Figures f = Worksheet::OpenedFigures();
        Worksheet::LoadYearSetup(db, setup, f);
        Worksheet::LoadNewRegimeYear(db, setup);
        Worksheet::Clear(f);
        f.LbName = QStringLiteral("EARNER 1");
        f.LbSerialNo = QStringLiteral("1");
        f.LbUnit = QStringLiteral("HEAD OFFICE");
        f.companyCodeTag = QStringLiteral("C01");
        Worksheet::LoadFigures(db, f, setup, QDate(year, 10, 15));

        const auto n = [](const QString &text) { return PlainNumber(LeadingNumber(text)); };
        const QStringList shown = {
            "emp_taxable_amt=" + n(f.TxTaxableAmt),
            "emp_net_taxable_amt=" +
                PlainNumber(RoundAmount(LeadingNumber(f.LbNetAmount) + LeadingNumber(f.TxSurcharge))),
            "emp_cess=" + n(f.TxCess),
            "emp_payable=" + n(f.TxNetTax),
            "emp_balance=" + n(f.TxBalance),
        };
        QCOMPARE(TestDb::Row("hr0910.hr_it WHERE emp_slno='1'", shown), shown);
        QCOMPARE(LeadingNumber(f.TxSurcharge) > 0, surcharged);
        QCOMPARE(f.TxPerMonth, Format00(TaxRecord::PerMonth(LeadingNumber(f.TxBalance), 6)));
    }

    void comparisonRowsAreTheBatchsTwoComputations()
    {
        TestDb::AddNewRegimeYear(*DemoData::NewRegimeYear(2025), 2018);
        AddOldBands(2018);
        TestDb::AddFinalize(QDate(2018, 9, 30));
        TestDb::AddPaidEmployee(QStringLiteral("1"), QStringLiteral("001"), QStringLiteral("RAO, ASHA"));
        TestDb::AddPaidEmployee(QStringLiteral("2"), QStringLiteral("002"));
        AddEarner(QStringLiteral("3"), 2018, 1000000);
        AddEarner(QStringLiteral("4"), 2018, 250000);
        TestDb::AddEmployee(QStringLiteral("5"), QStringLiteral("E"), QStringLiteral("005"), QStringLiteral("NO PAY"));
        TestDb::AddEmployee(QStringLiteral("6"), QStringLiteral("E"), QStringLiteral("006"), QStringLiteral("GONE"),
                            QStringLiteral("HO"), 0, 1);
        DbConnection &db = TestDb::Open();
        const AuditStamp stamp{QStringLiteral("1"), QDateTime(QDate(2018, 4, 10), QTime(9, 0))};
        for (const QString &slno : {QStringLiteral("2"), QStringLiteral("3")})
            RegimeChoice::Save(db, slno, QDate(2018, 4, 1), QDate(2019, 3, 31), TaxRegime::Old, stamp);

        IncomeTaxBatch::Request req = YearRequest(2018);
        req.employeesPerSet = 2; // several sets
        const QList<RegimeComparison::Row> rows = RegimeComparison::Read(db, req);
        QStringList codes;
        for (const RegimeComparison::Row &r : rows)
            codes << r.code;
        QCOMPARE(codes, (QStringList{"E001", "E002", "E005", "H3", "H4"}));

        // Each row against the reading of one employee at a time, computed under each regime.
        RebateState state;
        const TaxRules::Context ctx = IncomeTaxBatch::RunContext(db, req, state);
        for (const RegimeComparison::Row &r : rows) {
            const TaxRules::EmployeeInputs in = TaxRules::ReadInputs(db, r.slno, ctx);
            const auto oldFigures = TaxRules::Compute(in, false, TaxRegime::Old, ctx, state);
            const auto newFigures = TaxRules::Compute(in, false, TaxRegime::New, ctx, state);
            QCOMPARE(r.paid, oldFigures.has_value());
            QCOMPARE(r.oldPayable, oldFigures ? oldFigures->payable : 0.0);
            QCOMPARE(r.newPayable, newFigures ? newFigures->payable : 0.0);
            QCOMPARE(r.regime, TaxRules::RegimeOf(ctx, r.slno));
            QCOMPARE(r.ownChoice, r.slno == "2" || r.slno == "3");
            QCOMPARE(r.costsMore(), r.saving() > 0);
        }
        QVERIFY(!rows[2].paid && rows[2].oldPayable == 0 && !rows[2].costsMore());

        const QStringList csv = RegimeComparison::Csv(rows).split('\n');
        QVERIFY(csv[0].startsWith("code,name,regime,old_payable,new_payable,"));
        QCOMPARE(csv[1].section(',', 0, 0), QStringLiteral("E001"));
        QCOMPARE(csv[1].section(',', 1, 2), QStringLiteral("\"RAO, ASHA\""));
        QCOMPARE(csv[1].section(',', 3, 5), "NEW," + Format00(rows[0].oldPayable) + ',' + Format00(rows[0].newPayable));
        QCOMPARE(csv.size(), rows.size() + 2); // the header, the rows, and the end of the last line
    }
};

QTEST_GUILESS_MAIN(tst_OldRegime)
#include "tst_oldregime.moc"
