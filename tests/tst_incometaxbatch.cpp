#include "CompanyTest.h"
#include "DemoData.h"
#include "TestDb.h"

#include "session/Common.h"
#include "session/mdlDalvoni.h"
#include "tax/BatchLock.h"
#include "tax/IncomeTaxBatch.h"
#include "tax/RegimeChoice.h"

#include <QtTest>

#include <optional>

using namespace IncomeTaxBatch;

namespace {

const QDate YearFrom(2018, 4, 1), YearTo(2019, 3, 31);

Request StandardRequest(const QDate &from = YearFrom, const QDate &to = YearTo, const QString &slno = QString())
{
    Request r = SessionRequest(from, to, slno);
    r.today = QDate(2018, 10, 15);
    r.now = QTime(10, 20, 30);
    return r;
}

} // namespace

class TestIncomeTaxBatch : public CompanyTest
{
    Q_OBJECT

    void addCompanyData() override { TestDb::AddFinalize(QDate(2018, 9, 30)); }

private slots:
    void cleanup()
    {
        TestDb::Exec("DROP TRIGGER IF EXISTS hr0910.it_reject");
        TestDb::Exec("RENAME TABLE IF EXISTS hr0910.hr_it_batch_run_gone TO hr0910.hr_it_batch_run");
    }

    void statementTexts()
    {
        QCOMPARE(CountSql("C01", ""),
                 "Select count(*) as tot_count from hr_employee where comp_code='C01' and emp_flag=0");
        QCOMPARE(ListSql("C01", ""), "Select * from hr_employee where comp_code='C01' and emp_flag=0 ");
        QCOMPARE(CountSql("C01", "7"), "Select count(*) as tot_count from hr_employee where comp_code='C01' and "
                                       "emp_flag=0 and emp_slno='7' and comp_code='C01'");
        QCOMPARE(ListSql("C01", "7"), "Select * from hr_employee where comp_code='C01' and emp_flag=0  and "
                                      "emp_slno='7' and comp_code='C01'");
        QCOMPARE(RecordSql("7", YearFrom, YearTo),
                 "Select * from hr_it where emp_slno='7' and emp_it_from= '2018-04-01' and emp_it_to='2019-03-31'");
        TaxFigures f;
        f.monthsRemaining = 6;
        f.gross = 637.6;
        f.balance = -12.5;
        TaxSettings s;
        s.taxLimit = 250000;
        f.exemption = 250000;
        const Request r = StandardRequest();
        QVERIFY(InsertSql(r, "7", "E007", f, s)
                    .endsWith("values ('7' , 'E007','C01',6, 637.6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,0,0, 0, 0, 0, 0, "
                              "250000, 0, 0, 0,0,-12.5,'2018/04/01','2019/03/31', 1,'2018/10/15','10:20:30')"));
        QCOMPARE(UpdateSql(r, "7", f, s, 1.5, 2),
                 "Update hr_it set emp_months_rem =6, emp_gross=637.6, emp_gross_proj=0, emp_hra=0, emp_hra_proj=0, "
                 "emp_pf=0 , emp_pf_proj=0, emp_pro_tax=0, emp_hl_int=1.5, emp_hl_int_limit=0, emp_mc=2, "
                 "emp_mc_limit=0, emp_ta=0,emp_ta_proj=0, emp_80c_total=0, emp_80c_limit=0, emp_80c_net=0, "
                 "emp_taxable_amt=0, emp_excemption=250000, emp_net_taxable_amt=0, emp_cess=0, emp_payable=0,"
                 "emp_sal_cut=0, emp_balance=-12.5 where emp_slno='7' and emp_it_from='2018-04-01' and "
                 "emp_it_to='2019-03-31'");
    }

    // The statements that write records, byte for byte as the server gets them, for records
    // whose figures all differ: one record and two, inserted and updated (the update writes
    // back the interest and premium the row holds; the insert writes 0 in their place and in
    // the 80C figures' and the taxable amount's).
    void recordStatementTexts_data()
    {
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("expected");
        const TaxFigures a{.monthsRemaining = 6,
                           .gross = 420000.5,
                           .grossProj = 420000,
                           .hra = 1.25,
                           .hraProj = 2.5,
                           .pf = 3,
                           .pfProj = 4,
                           .professionTax = 5,
                           .declaredHlInt = 150000,
                           .declaredMc = 20000,
                           .ta = 7,
                           .taProj = 8,
                           .total80c = 9,
                           .net80c = 10,
                           .taxable = 11,
                           .exemption = 250000,
                           .tax = 12,
                           .cess = 13,
                           .payable = 14,
                           .salCut = 15,
                           .balance = -16.5};
        TaxFigures b = a;
        b.monthsRemaining = 0;
        b.gross = 1;
        b.balance = 0.25;
        const TaxSettings s{.mcLimit = 25000, .hlLimit = 200000, .limit80c = 150000, .taxLimit = 250000, .cess = 4};
        const Request r = StandardRequest();
        const QString head =
            "Insert into hr_it(emp_slno, emp_code,comp_code,emp_months_rem, emp_gross, emp_gross_proj, emp_hra, "
            "emp_hra_proj, emp_pf, emp_pf_proj, emp_pro_tax, emp_hl_int, emp_hl_int_limit, emp_mc, emp_mc_limit,"
            "emp_ta,emp_ta_proj, emp_80c_total, emp_80c_limit, emp_80c_net, emp_taxable_amt, emp_excemption, "
            "emp_net_taxable_amt, emp_cess, emp_payable,emp_sal_cut,emp_balance,emp_it_from,emp_it_to,created_by, "
            "created_date, created_time) values ";
        // The insert writes the 80C total and allowed and the taxable amount as computed; the
        // interest and premium as 0.
        const QString rowA = "('7' , 'E''07','C01',6, 420000.5, 420000, 1.25, 2.5, 3, 4, 5, 0, 200000, 0, 25000,7,8, "
                             "9, 150000, 10, 11, 250000, 12, 13, 14,15,-16.5,'2018/04/01','2019/03/31', 1,'2018/10/15',"
                             "'10:20:30')";
        QTest::newRow("insert") << InsertSql(r, "7", "E'07", a, s) << head + rowA;
        QTest::newRow("insert, two rows")
            << InsertRowsSql(r, {{"7", "E'07", a, 0, 0}, {"8", "E008", b, 0, 0}}, s)
            << head + rowA +
                   ",('8' , 'E008','C01',0, 1, 420000, 1.25, 2.5, 3, 4, 5, 0, 200000, 0, 25000,7,8, 9, 150000, 10, 11, "
                   "250000, 12, 13, 14,15,0.25,'2018/04/01','2019/03/31', 1,'2018/10/15','10:20:30')";
        QTest::newRow("update")
            << UpdateSql(r, "7", a, s, 6.5, 7.25)
            << QString("Update hr_it set emp_months_rem =6, emp_gross=420000.5, emp_gross_proj=420000, emp_hra=1.25, "
                       "emp_hra_proj=2.5, emp_pf=3 , emp_pf_proj=4, emp_pro_tax=5, emp_hl_int=6.5, "
                       "emp_hl_int_limit=200000, emp_mc=7.25, emp_mc_limit=25000, emp_ta=7,emp_ta_proj=8, "
                       "emp_80c_total=9, emp_80c_limit=150000, emp_80c_net=10, emp_taxable_amt=11, "
                       "emp_excemption=250000, emp_net_taxable_amt=12, emp_cess=13, emp_payable=14,emp_sal_cut=15, "
                       "emp_balance=-16.5 where emp_slno='7' and emp_it_from='2018-04-01' and "
                       "emp_it_to='2019-03-31'");
        QTest::newRow("update, two rows")
            << UpdateRowsSql(r, {{"7", "E'07", a, 6.5, 7.25}, {"8", "E008", b, 0, 1}}, s)
            << QString("Update (Select '7' as emp_slno,6 as emp_months_rem,420000.5 as emp_gross,420000 as "
                       "emp_gross_proj,1.25 as emp_hra,2.5 as emp_hra_proj,3 as emp_pf,4 as emp_pf_proj,5 as "
                       "emp_pro_tax,7 as emp_ta,8 as emp_ta_proj,9 as emp_80c_total,10 as emp_80c_net,11 as "
                       "emp_taxable_amt,250000 as emp_excemption,12 as emp_net_taxable_amt,13 as emp_cess,14 as "
                       "emp_payable,15 as emp_sal_cut,-16.5 as emp_balance,6.5 as emp_hl_int,7.25 as emp_mc union "
                       "all Select '8',0,1,420000,1.25,2.5,3,4,5,7,8,9,10,11,250000,12,13,14,15,0.25,0,1) v "
                       "straight_join hr_it h on h.emp_slno=v.emp_slno set h.emp_months_rem=v.emp_months_rem,"
                       "h.emp_gross=v.emp_gross,h.emp_gross_proj=v.emp_gross_proj,h.emp_hra=v.emp_hra,"
                       "h.emp_hra_proj=v.emp_hra_proj,h.emp_pf=v.emp_pf,h.emp_pf_proj=v.emp_pf_proj,"
                       "h.emp_pro_tax=v.emp_pro_tax,h.emp_ta=v.emp_ta,h.emp_ta_proj=v.emp_ta_proj,"
                       "h.emp_80c_total=v.emp_80c_total,h.emp_80c_net=v.emp_80c_net,"
                       "h.emp_taxable_amt=v.emp_taxable_amt,h.emp_excemption=v.emp_excemption,"
                       "h.emp_net_taxable_amt=v.emp_net_taxable_amt,h.emp_cess=v.emp_cess,"
                       "h.emp_payable=v.emp_payable,h.emp_sal_cut=v.emp_sal_cut,h.emp_balance=v.emp_balance,"
                       "h.emp_hl_int=v.emp_hl_int,h.emp_mc=v.emp_mc,h.emp_hl_int_limit=200000,h.emp_mc_limit=25000,"
                       "h.emp_80c_limit=150000 where h.emp_it_from='2018-04-01' and h.emp_it_to='2019-03-31'");
    }
    void recordStatementTexts()
    {
        QFETCH(QString, sent);
        QFETCH(QString, expected);
        QCOMPARE(sent, expected);
    }

    void progressTexts()
    {
        QCOMPARE(CaptionText(0, 3), " [ 0/3]");
        QCOMPARE(PercentText(1, 3), "33 %");
        QCOMPARE(PercentText(29, 100), "29 %");
        QCOMPARE(PercentText(3, 3), "100 %");
        QCOMPARE(PercentText(0, 0), "0 %");
    }

    void insertThenUpdateSameRecord()
    {
        TestDb::AddPaidEmployee("1", "001");
        RebateState state;
        Result r = Run(TestDb::Open(), StandardRequest(), state);
        QCOMPARE(r.inserted, 1);
        QCOMPARE(r.updated, 0);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 1);
        // The first run stores the 80C figures and the taxable amount beside the tax it computed
        // from them; interest and premium stay 0 (the worksheet's).
        // 840000 gross - 1200 - 40000 - 72000 = 726800: (726800 - 500000) x 20 % + 12500, no rebate.
        const QStringList inserted = {
            "emp_code=E001",
            "comp_code=C01",
            "emp_months_rem=6",
            "emp_80c_total=72000",
            "emp_80c_net=72000",
            "emp_taxable_amt=726800",
            "emp_hl_int=0",
            "emp_mc=0",
            "emp_hl_int_limit=200000",
            "emp_80c_limit=150000",
            "emp_excemption=250000",
            "emp_gross=420000",
            "emp_net_taxable_amt=57860",
            "emp_cess=2314.4",
            "emp_payable=60174.4",
            "emp_sal_cut=6000",
            "emp_balance=54174.4",
            "emp_it_from=2018-04-01",
            "created_by=1",
            "created_date=2018-10-15",
        };
        QCOMPARE(TestDb::Row("hr0910.hr_it WHERE emp_slno='1'", inserted), inserted);

        // The worksheet declares interest and premium; the next run keeps them and fills the rest.
        TestDb::Exec("UPDATE hr0910.hr_it SET emp_mc=30000, emp_hl_int=NULL");
        r = Run(TestDb::Open(), StandardRequest(), state);
        QCOMPARE(r.inserted, 0);
        QCOMPARE(r.updated, 1);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 1);
        const QStringList updated = {
            "emp_mc=30000",
            "emp_hl_int=0", // a null reads as 0
            "emp_80c_total=72000",
            "emp_80c_net=72000",
            "emp_taxable_amt=701800", // premium allowed up to 25000
            "emp_net_taxable_amt=52860",
            "created_date=2018-10-15",
        };
        QCOMPARE(TestDb::Row("hr0910.hr_it WHERE emp_slno='1'", updated), updated);
    }

    // The stored records read back, of one employee and of a set with one statement: the update
    // a run of one employee at a time sent for each is built again, text for text, from what
    // the reader gives back, and the columns only the insert writes come back as written.
    void readerGivesBackTheStoredRecords()
    {
        TestDb::AddPaidEmployee("1", "001");
        TestDb::AddPaidEmployee("2", "002");
        TestDb::AddEmployee("3", "E", "003", "NO PAY");
        DbConnection &db = TestDb::Open();
        RebateState state;
        Request r = StandardRequest();
        Run(db, r, state);
        TestDb::Exec("UPDATE hr0910.hr_it SET emp_hl_int=12345.5, emp_mc=20000 WHERE emp_slno='2'");
        QHash<QString, QString> sent; // the updates by employee
        int queries = 0;
        db.setRecorder([&](const QString &sql, bool isQuery) {
            queries += isQuery ? 1 : 0;
            if (sql.startsWith("Update hr_it set"))
                sent.insert(sql.section("emp_slno='", 1).section('\'', 0, 0), sql);
        });
        r.perEmployee = true;
        r.now = QTime(11, 12, 13); // the update keeps the stamp of the insert
        Run(db, r, state);
        QCOMPARE(sent.size(), 2);

        queries = 0;
        const auto set = TaxRecord::ReadSet(db, {"2", "3", "1"}, YearFrom, YearTo);
        QCOMPARE(queries, 1);
        QCOMPARE(set.size(), 3u);
        QVERIFY(!set[1]);
        QVERIFY(!TaxRecord::Read(db, "3", YearFrom, YearTo));
        for (const auto &[slno, k] : {std::pair{"1", 2}, std::pair{"2", 0}}) {
            const auto one = TaxRecord::Read(db, slno, YearFrom, YearTo);
            QVERIFY(one && set[k]);
            for (const TaxRecord::Record &rec : {*one, *set[k]}) {
                const TaxFigures &f = rec.figures;
                QCOMPARE(UpdateSql(r, slno, f, rec.limits, f.declaredHlInt, f.declaredMc), sent.value(slno));
                const QStringList written = {rec.slno,
                                             rec.empCode,
                                             rec.companyCode,
                                             SqlDate(rec.from),
                                             SqlDate(rec.to),
                                             PlainNumber(rec.createdBy),
                                             SqlDate(rec.createdDate),
                                             SqlTime(rec.createdTime)};
                QCOMPARE(written, QStringList({slno, QStringLiteral("E00") + slno, "C01", "2018-04-01", "2019-03-31",
                                               "1", "2018-10-15", "10:20:30"}));
            }
        }
        QCOMPARE(set[0]->figures.declaredHlInt, 12345.5);
        db.setRecorder({});
    }

    void otherPeriodGetsItsOwnRow()
    {
        TestDb::AddPaidEmployee("1", "001");
        RebateState state;
        Run(TestDb::Open(), StandardRequest(), state);
        Run(TestDb::Open(), StandardRequest(QDate(2018, 5, 1)), state);
        QCOMPARE(TestDb::Count("hr0910.hr_it WHERE emp_slno='1'"), 2);
        QCOMPARE(TestDb::Scalar("SELECT emp_gross FROM hr0910.hr_it WHERE emp_it_from='2018-05-01'").toDouble(),
                 350000.0);
    }

    void selectionAndSkipping()
    {
        TestDb::AddPaidEmployee("1", "001");
        TestDb::AddPaidEmployee("2", "002");
        TestDb::AddEmployee("3", "E", "003", "NO PAY");
        TestDb::AddSalary("3", QDate(2018, 4, 1), "OTH0000000041", 500);
        TestDb::AddEmployee("4", "E", "004", "LEFT", "HO", 0, 1);
        TestDb::AddSalary("4", QDate(2018, 4, 1), "OTH0000000001", 500);
        TestDb::Exec("INSERT INTO hr0910.hr_it (emp_slno,emp_gross,emp_it_from,emp_it_to) "
                     "VALUES ('3',123,'2018-04-01','2019-03-31')");

        QList<Progress> seen;
        RebateState state;
        const Result r = Run(TestDb::Open(), StandardRequest(), state, [&](const Progress &p) { seen << p; });
        QCOMPARE(r.selected, 3);
        QCOMPARE(r.inserted, 2);
        QCOMPARE(r.skipped, 1);
        // A skipped employee's row is left alone.
        QCOMPARE(TestDb::Scalar("SELECT emp_gross FROM hr0910.hr_it WHERE emp_slno='3'").toDouble(), 123.0);
        QCOMPARE(TestDb::Count("hr0910.hr_it WHERE emp_slno='4'"), 0);
        QCOMPARE(seen.size(), 4);
        QCOMPARE(seen[0].percent, "0%");
        QCOMPARE(seen[0].maximum, 3);
        QCOMPARE(seen[1].caption, " [ 0/3]");
        QCOMPARE(seen[1].percent, "33 %");
        QCOMPARE(seen[3].caption, " [ 2/3]");
        QCOMPARE(seen[3].value, 3);
        QCOMPARE(seen[3].percent, "100 %");

        // One employee; one since marked out of service gives nothing.
        TestDb::Exec("DELETE FROM hr0910.hr_it");
        QCOMPARE(Run(TestDb::Open(), StandardRequest(YearFrom, YearTo, "2"), state).inserted, 1);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 1);
        QCOMPARE(Run(TestDb::Open(), StandardRequest(YearFrom, YearTo, "4"), state).selected, 0);
    }

    void zeroEmployeesWriteNothing()
    {
        QList<Progress> seen;
        RebateState state;
        const Result r = Run(TestDb::Open(), StandardRequest(), state, [&](const Progress &p) { seen << p; });
        QCOMPARE(r.selected, 0);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].maximum, 0);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 0);
    }

    void monthsRemainingMustBeKnown_data()
    {
        QTest::addColumn<QString>("finalised");
        QTest::addColumn<QString>("message");
        QTest::newRow("no SAL entry") << QString() << "finalised up to 31/03/2019";
        QTest::newRow("entry after the period end only") << "2019-04-30"
                                                         << "finalised up to 31/03/2019";
        QTest::newRow("twelve months") << "2018-03-31"
                                       << "is 31/03/2018, 12 months before";
    }
    void monthsRemainingMustBeKnown()
    {
        QFETCH(QString, finalised);
        QFETCH(QString, message);
        TestDb::Exec("DELETE FROM hr0910.hr_finalize");
        if (!finalised.isEmpty())
            TestDb::AddFinalize(QDate::fromString(finalised, Qt::ISODate));
        TestDb::AddPaidEmployee("1", "001");
        RebateState state;
        bool progressed = false;
        try {
            Run(TestDb::Open(), StandardRequest(), state, [&](const Progress &) { progressed = true; });
            QFAIL("the run went on");
        } catch (const Error &e) {
            QVERIFY2(e.text().contains(message), qPrintable(e.text()));
        }
        QVERIFY(!progressed);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 0);
    }

    // A year whose stored regime figures do not hold together is refused before anything is
    // computed: the message names the year and the fault, and no record changes.
    void brokenRegimeFiguresRefuseTheYear_data()
    {
        QTest::addColumn<QString>("breakage");
        QTest::addColumn<QString>("fault");
        QTest::newRow("new-regime slabs removed by hand") << "DELETE FROM hr0910.hr_it_new_regime_slabs"
                                                          << "new regime's figures of the financial year "
                                                             "01/04/2018 to 31/03/2019 cannot be used:\nPlease "
                                                             "enter the slabs of the new regime.";
        QTest::newRow("new-regime surcharge above 100 %")
            << "UPDATE hr0910.hr_it_new_regime_surcharge SET it_per=120 WHERE it_band=1"
            << "new regime's figures of the financial year 01/04/2018 to 31/03/2019 cannot be used:\nThe rate of "
               "surcharge 1 cannot be above 100 %.";
        QTest::newRow("old-regime bands that overlap")
            << "INSERT INTO hr0910.hr_it_old_regime_surcharge VALUES ('2018-04-01','2019-03-31',1,5000000,10),"
               "('2018-04-01','2019-03-31',2,5000000,15)"
            << "old regime's figures of the financial year 01/04/2018 to 31/03/2019 cannot be used:\nSurcharge 2 "
               "must start above the income of surcharge 1.";
        QTest::newRow("old-regime rate below 0")
            << "INSERT INTO hr0910.hr_it_old_regime_surcharge VALUES ('2018-04-01','2019-03-31',1,5000000,-10)"
            << "The rate of surcharge 1 cannot be below 0 %.";
    }
    void brokenRegimeFiguresRefuseTheYear()
    {
        QFETCH(QString, breakage);
        QFETCH(QString, fault);
        TestDb::AddNewRegimeYear(*DemoData::NewRegimeYear(2025), 2018);
        TestDb::AddPaidEmployee("1", "001");
        RebateState state;
        Run(TestDb::Open(), StandardRequest(), state);
        const QStringList stored = TestDb::Row("hr0910.hr_it WHERE emp_slno='1'", {"emp_payable", "emp_gross"});
        TestDb::Exec("UPDATE hr0910.hr_emp_salary SET emp_sal_dr=emp_sal_dr*2");
        TestDb::Exec(breakage);
        const RebateState before = state;
        try {
            Run(TestDb::Open(), StandardRequest(), state);
            QFAIL("the run went on");
        } catch (const Error &e) {
            QVERIFY2(e.text().contains(fault), qPrintable(e.text()));
            QVERIFY(e.text().contains("No tax record was changed"));
        }
        QCOMPARE(TestDb::Row("hr0910.hr_it WHERE emp_slno='1'", {"emp_payable", "emp_gross"}), stored);
        QCOMPARE(state.rebate, before.rebate);
    }

    void refusedRecordUndoesTheRunAndNamesTheEmployee_data()
    {
        QTest::addColumn<bool>("perEmployee");
        QTest::addColumn<int>("perStatement");
        QTest::addColumn<QString>("refused"); // the statement the server refuses, for employee 2 or 1
        QTest::addColumn<QString>("named");
        QTest::newRow("one at a time, insert") << true << 1000 << "INSERT"
                                               << "E002";
        QTest::newRow("in sets, insert") << false << 1000 << "INSERT"
                                         << "E002";
        QTest::newRow("in sets, update") << false << 1000 << "UPDATE"
                                         << "E001";
        QTest::newRow("in sets, one row a statement") << false << 1 << "INSERT"
                                                      << "E002";
    }
    void refusedRecordUndoesTheRunAndNamesTheEmployee()
    {
        QFETCH(bool, perEmployee);
        QFETCH(int, perStatement);
        QFETCH(QString, refused);
        QFETCH(QString, named);
        TestDb::AddPaidEmployee("1", "001");
        TestDb::AddPaidEmployee("2", "002");
        TestDb::AddPaidEmployee("3", "003");
        TestDb::Exec("INSERT INTO hr0910.hr_it (emp_slno,emp_gross,emp_it_from,emp_it_to) "
                     "VALUES ('1',123,'2018-04-01','2019-03-31')");
        TestDb::Exec(QStringLiteral("CREATE TRIGGER hr0910.it_reject BEFORE %1 ON hr0910.hr_it FOR EACH ROW "
                                    "IF NEW.emp_slno='%2' THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT='row refused "
                                    "here'; END IF")
                         .arg(refused, named.right(1)));
        Request r = StandardRequest();
        r.perEmployee = perEmployee;
        r.rowsPerStatement = perStatement;
        RebateState state;
        try {
            Run(TestDb::Open(), r, state);
            QFAIL("the run went on");
        } catch (const Error &e) {
            QVERIFY2(e.text().contains("for employee " + named) && e.text().contains("No tax record was changed") &&
                         e.text().contains("row refused here"),
                     qPrintable(e.text()));
        }
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 1);
        QCOMPARE(TestDb::Scalar("SELECT emp_gross FROM hr0910.hr_it").toDouble(), 123.0);
        // The connection is still usable afterwards.
        TestDb::Exec("DROP TRIGGER hr0910.it_reject");
        const Result done = Run(TestDb::Open(), r, state);
        QCOMPARE(done.inserted, 2);
        QCOMPARE(done.updated, 1);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 3);
    }

    void oneRunOfACompanyAtATime_data()
    {
        QTest::addColumn<bool>("runTable");
        QTest::addColumn<QStringList>("told"); // what the refused run says of the other one
        QTest::newRow("with the table of runs") << true
                                                << QStringList{"clerk on workstation WS-7 (client 127.0.0.1)",
                                                               "running since", "for 01/04/2018 to 30/09/2018"};
        QTest::newRow("on a server without it") << false << QStringList{"from client 127.0.0.1 (server account root)"};
    }
    void oneRunOfACompanyAtATime()
    {
        QFETCH(bool, runTable);
        QFETCH(QStringList, told);
        if (!runTable)
            TestDb::Exec("RENAME TABLE hr0910.hr_it_batch_run TO hr0910.hr_it_batch_run_gone");
        TestDb::AddPaidEmployee("1", "001");
        DbConnection other(QStringLiteral("other workstation"));
        other.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
        const auto lockFree = [&other] {
            Recordset rs = other.query("SELECT IS_FREE_LOCK('IncomeTax batch C01')");
            return rs.number(0) == 1;
        };
        Request r = StandardRequest();
        r.lockWaitSeconds = 1;
        r.userName = "admin";
        r.workstation = "WS-1";
        RebateState state;
        {
            // Another workstation's run holds the company: this one waits, then gives up and says whose it is.
            BatchLock::Guard held(other, {"C01", "2", "clerk", "WS-7", YearFrom, QDate(2018, 9, 30)}, 0);
            QVERIFY(held.taken());
            try {
                Run(TestDb::Open(), r, state);
                QFAIL("the run went on");
            } catch (const Error &e) {
                QCOMPARE(e.kind(), Error::Kind::Busy);
                for (const QString &part : told + QStringList{"waited 1 second for it", "changed nothing"})
                    QVERIFY2(e.text().contains(part), qPrintable(e.text()));
            }
            QCOMPARE(TestDb::Count("hr0910.hr_it"), 0);
            // Another company is not held up.
            Request c02 = r;
            c02.companyCode = "C02";
            TestDb::AddFinalize(QDate(2018, 9, 30), "C02");
            QCOMPARE(Run(TestDb::Open(), c02, state).selected, 0);
        }
        // While a run goes on, others see its lock and whose it is; afterwards neither is left.
        QStringList seen;
        Run(TestDb::Open(), r, state, [&](const Progress &) {
            seen << (lockFree() ? "free" : "held");
            if (runTable) {
                Recordset rs = other.query("SELECT user_name,workstation FROM hr_it_batch_run WHERE comp_code='C01'");
                seen.last() += QStringLiteral(" ") + rs.text(0) + QStringLiteral(" ") + rs.text(1);
            }
        });
        QCOMPARE(seen.first(), runTable ? "held admin WS-1" : "held");
        QVERIFY(lockFree());
        if (runTable)
            QCOMPARE(TestDb::Count("hr0910.hr_it_batch_run"), 0);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 1);
    }

    // However the company is spelt, the run works with its code as the company master holds
    // it: its lock is the company's, and the records and the run's row carry that code. An
    // unknown company is refused before anything else is read.
    void companyAsTheMasterHoldsIt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("lower case") << "c01";
        QTest::newRow("trailing blank") << "C01 ";
        QTest::newRow("unknown") << "C99";
    }
    void companyAsTheMasterHoldsIt()
    {
        QFETCH(QString, typed);
        TestDb::AddPaidEmployee("1", "001");
        DbConnection &db = TestDb::Open();
        QStringList sent;
        const auto record = [&db, &sent] {
            sent.clear();
            db.setRecorder([&sent](const QString &sql, bool) { sent << sql; });
        };
        record();
        Request r = StandardRequest();
        r.companyCode = typed;
        r.lockWaitSeconds = 0;
        RebateState state;
        if (typed == QLatin1String("C99")) {
            try {
                Run(db, r, state);
                QFAIL("the run went on");
            } catch (const Error &e) {
                QCOMPARE(e.kind(), Error::Kind::UnknownCompany);
                QVERIFY2(e.text().startsWith("No company with the code \"C99\""), qPrintable(e.text()));
            }
            db.setRecorder({});
            QCOMPARE(sent,
                     QStringList{"Select comp_code,comp_name from dalvoni.acc_companymaster where comp_code='C99'"});
            return;
        }
        DbConnection other(QStringLiteral("other workstation"));
        other.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
        {
            BatchLock::Guard held(other, {"C01", "2", "clerk", "WS-7", YearFrom, YearTo}, 0);
            QVERIFY_THROWS_EXCEPTION(Error, Run(db, r, state));
            QCOMPARE(TestDb::Count("hr0910.hr_it"), 0);
        }
        QString runRow;
        record();
        const Result done = Run(db, r, state, [&](const Progress &) {
            runRow = QueryFirstValue(other, "SELECT GROUP_CONCAT(comp_code) FROM hr_it_batch_run");
        });
        db.setRecorder({});
        QCOMPARE(done.companyCode, "C01");
        QCOMPARE(runRow, "C01");
        QCOMPARE(TestDb::Count("hr0910.hr_it WHERE BINARY comp_code='C01'"), 1);
        QCOMPARE(sent.filter("'" + typed + "'").size(), 1); // the lookup alone
    }

    // A worksheet that saves an employee's interest and premium while a run goes on keeps them:
    // the run reads the record it writes back with a locking read, one employee at a time as in
    // sets, and works out the tax with them.
    void aSaveDuringTheRunIsKept_data()
    {
        QTest::addColumn<bool>("perEmployee");
        QTest::newRow("one at a time") << true;
        QTest::newRow("in sets") << false;
    }
    void aSaveDuringTheRunIsKept()
    {
        QFETCH(bool, perEmployee);
        for (const char *slno : {"1", "2", "3"})
            TestDb::AddPaidEmployee(slno, QStringLiteral("00") + slno);
        DbConnection &db = TestDb::Open();
        RebateState state;
        Run(db, StandardRequest(), state); // the records to update
        Request r = StandardRequest();
        r.perEmployee = perEmployee;
        r.employeesPerSet = 1;
        DbConnection worksheet(QStringLiteral("worksheet"));
        worksheet.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
        // After the first employee: the last one's record, which the run has not read yet. The
        // run reads committed rows only, so that it leaves the gaps of the key to other runs.
        const QString runConnection = QueryFirstValue(db, "SELECT CONNECTION_ID()");
        QString isolation;
        Run(db, r, state, [&](const Progress &p) {
            if (p.value != 1)
                return;
            worksheet.execute("Update hr_it set emp_hl_int=77777,emp_mc=8888 where emp_slno='3'");
            QThread::msleep(150); // the server renews its table of transactions every 0.1 s at most
            isolation = QueryFirstValue(worksheet, "SELECT trx_isolation_level FROM information_schema.INNODB_TRX "
                                                   "WHERE trx_mysql_thread_id=" +
                                                       runConnection);
        });
        QCOMPARE(isolation, "READ COMMITTED");
        const QStringList kept = {"emp_hl_int=77777", "emp_mc=8888"};
        QCOMPARE(TestDb::Row("hr0910.hr_it WHERE emp_slno='3'", kept), kept);
        // Its tax already takes them in: a run of its own changes nothing.
        const QStringList figures = {"emp_taxable_amt", "emp_net_taxable_amt", "emp_balance"};
        const QStringList during = TestDb::Row("hr0910.hr_it WHERE emp_slno='3'", figures);
        Run(db, StandardRequest(YearFrom, YearTo, "3"), state);
        QCOMPARE(TestDb::Row("hr0910.hr_it WHERE emp_slno='3'", figures), during);
    }

    // A run that meets other work on its tables is run again as a whole; what stops it in the
    // end is told in the clerk's words, with the cause and that nothing was stored: the table
    // and who holds it, or the connection that was lost (not an employee of the run).
    void collisionsAndLostConnections_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<bool>("perEmployee");
        QTest::addColumn<QStringList>("told"); // the message, or the note of the run again
        QTest::newRow("table held for a moment") << "held until the retry" << false
                                                 << QStringList{"The database server undid the run: the table hr_it "
                                                                "stayed in use by another user or program. Generating "
                                                                "again in"};
        QTest::newRow("table held past every attempt")
            << "held" << false
            << QStringList{"Income tax could not be generated: the table hr_it is in use by another user or program "
                           "(user root from 127.0.0.1, in a transaction open for",
                           "this run waited 1 second for it, 2 times.", "No tax record was changed"};
        QTest::newRow("connection lost, one at a time")
            << "lost" << true
            << QStringList{"connection to the database server was lost during the run", "no tax record was changed"};
        QTest::newRow("connection lost, in sets")
            << "lost" << false
            << QStringList{"connection to the database server was lost during the run", "no tax record was changed"};
    }
    void collisionsAndLostConnections()
    {
        QFETCH(QString, event);
        QFETCH(bool, perEmployee);
        QFETCH(QStringList, told);
        for (const char *slno : {"1", "2", "3"})
            TestDb::AddPaidEmployee(slno, QStringLiteral("00") + slno);
        TestDb::Exec("INSERT INTO hr0910.hr_it (emp_slno,emp_gross,emp_it_from,emp_it_to) "
                     "VALUES ('2',123,'2018-04-01','2019-03-31')");
        DbConnection db(QStringLiteral("batch"));
        db.setLimits({15, 1, 900});
        db.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
        const QString runConnection = QueryFirstValue(db, "SELECT CONNECTION_ID()");
        DbConnection other(QStringLiteral("other program"));
        other.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
        if (event.startsWith(QLatin1String("held"))) {
            other.begin();
            other.execute("Update hr_it set emp_mc=emp_mc where emp_slno='2'");
        }
        Request r = StandardRequest();
        r.perEmployee = perEmployee;
        r.employeesPerSet = 1;
        r.retry = {3, 10, 2, true};
        QStringList notes;
        RebateState state;
        std::optional<Result> done;
        try {
            done = Run(db, r, state, [&](const Progress &p) {
                if (!p.note.isEmpty())
                    notes << p.note;
                if (!p.note.isEmpty() && event == QLatin1String("held until the retry"))
                    other.rollback();
                if (p.value == 1 && event == QLatin1String("lost"))
                    other.execute("KILL CONNECTION " + runConnection);
            });
        } catch (const Error &e) {
            for (const QString &part : told)
                QVERIFY2(e.text().contains(part), qPrintable(e.text()));
            QVERIFY2(!e.text().contains("for employee"), qPrintable(e.text()));
        }
        if (other.inTransaction())
            other.rollback();
        QCOMPARE(done.has_value(), event == QLatin1String("held until the retry"));
        if (done) {
            QCOMPARE(done->attempts, 2);
            QCOMPARE(notes.size(), 1);
            QVERIFY2(notes[0].startsWith(told[0]) && notes[0].endsWith("(attempt 2 of 2)."), qPrintable(notes[0]));
            QCOMPARE(done->inserted, 2);
            QCOMPARE(done->updated, 1);
            QCOMPARE(TestDb::Count("hr0910.hr_it"), 3);
        } else {
            QCOMPARE(TestDb::Count("hr0910.hr_it"), 1);
            QCOMPARE(TestDb::Scalar("SELECT emp_gross FROM hr0910.hr_it").toDouble(), 123.0);
        }
    }

    void lockGoesWithALostConnection()
    {
        DbConnection &db = TestDb::Open();
        DbConnection other(QStringLiteral("other workstation"));
        other.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
        BatchLock::Guard lock(db, {"C01", "1", "admin", "WS-1", YearFrom, YearTo}, 0);
        QVERIFY(lock.taken() && lock.held());
        other.execute("KILL CONNECTION " + QueryFirstValue(db, "SELECT CONNECTION_ID()"));
        // The next action opens the connection again; the lock stayed with the old one.
        db.begin();
        QVERIFY(!lock.held());
        db.rollback();
        Recordset rs = other.query("SELECT GET_LOCK('IncomeTax batch C01',0)");
        QCOMPARE(rs.number(0), 1.0);
    }

    // An employee under the new regime: pay as paid, none of the exemptions and deductions
    // allowed, its standard deduction, taxable amount, nil-rate limit and tax with the surcharge;
    // inserted and updated by the same column rules as the old regime's record. 2025-26, the
    // September payroll finalised: the pay of April to September and as much again projected,
    // plus a bonus, less the standard deduction of 75,000 is the taxable amount.
    void newRegimeRecord_data()
    {
        QTest::addColumn<double>("basic"); // a month; house-rent allowance a quarter of it, provident fund 12 %
        QTest::addColumn<double>("bonus");
        QTest::addColumn<QStringList>("updated");
        const QStringList limits = {"emp_hl_int_limit=200000",
                                    "emp_mc_limit=25000",
                                    "emp_80c_limit=150000",
                                    "emp_excemption=400000",
                                    "emp_hra=0",
                                    "emp_hra_proj=0",
                                    "emp_ta=75000",
                                    "emp_ta_proj=0",
                                    "emp_80c_net=0",
                                    "emp_hl_int=150000",
                                    "emp_mc=20000",
                                    "emp_pro_tax=1200",
                                    "emp_sal_cut=6000",
                                    "emp_months_rem=6"};
        // 12,00,000: within the 87A limit, no tax.
        QTest::newRow("12 L") << 80000.0 << 75000.0
                              << limits + QStringList{"emp_gross=675000",      "emp_gross_proj=600000",
                                                      "emp_pf=57600",          "emp_pf_proj=57600",
                                                      "emp_80c_total=165200",  "emp_taxable_amt=1200000",
                                                      "emp_net_taxable_amt=0", "emp_cess=0",
                                                      "emp_payable=0",         "emp_balance=-6000"};
        // 12,10,000: slab tax 61,500, marginal relief to 10,000, cess 400.
        QTest::newRow("12.1 L") << 80000.0 << 85000.0
                                << limits + QStringList{"emp_gross=685000",          "emp_taxable_amt=1210000",
                                                        "emp_net_taxable_amt=10000", "emp_cess=400",
                                                        "emp_payable=10400",         "emp_balance=4400"};
        // 51,00,000: slab tax 11,10,000, surcharge 1,11,000 cut by marginal relief to 70,000, cess 47,200.
        QTest::newRow("51 L: surcharge")
            << 320000.0 << 375000.0
            << limits + QStringList{"emp_gross=2775000",           "emp_gross_proj=2400000", "emp_pf=230400",
                                    "emp_pf_proj=230400",          "emp_80c_total=510800",   "emp_taxable_amt=5100000",
                                    "emp_net_taxable_amt=1180000", "emp_cess=47200",         "emp_payable=1227200",
                                    "emp_balance=1221200"};
    }
    void newRegimeRecord()
    {
        QFETCH(double, basic);
        QFETCH(double, bonus);
        QFETCH(QStringList, updated);
        const QDate from(2025, 4, 1), to(2026, 3, 31);
        // The year: the old regime's limits and slabs, the new regime's figures (its default).
        const QString key = QStringLiteral("'2025-04-01','2026-03-31',");
        TestDb::Exec(QStringLiteral("INSERT INTO hr0910.hr_it_setup VALUES (%1'80C_LIMIT',150000),"
                                    "(%1'HL_LIMIT',200000),(%1'MC_LIMIT',25000),(%1'TAX_LIMIT',250000),"
                                    "(%1'REBATE',12500),(%1'CESS',4)")
                         .arg(key));
        TestDb::Exec(QStringLiteral("INSERT INTO hr0910.hr_it_slabs VALUES (%1 1,0,250000,0),(%1 2,250000,500000,5),"
                                    "(%1 3,500000,1000000,20),(%1 4,1000000,99999999,30)")
                         .arg(key));
        NewRegimeSetup::Save(TestDb::Open(), *DemoData::NewRegimeYear(2025), from, to,
                             {"1", QDateTime(QDate(2025, 4, 2), QTime(9, 0))});
        TestDb::AddFinalize(QDate(2025, 9, 30));
        // Employee 1 of the default regime; A2 keeps the old one (stored under his key in
        // another case); 3 chose the new one but has no pay.
        for (const QString &slno : {"1", "A2"}) {
            TestDb::AddEmployee(slno, "E", slno, "NAME " + slno);
            for (int m = 4; m <= 9; ++m) {
                const QDate month(2025, m, 1);
                TestDb::AddSalary(slno, month, "OTH0000000001", basic);
                TestDb::AddSalary(slno, month, "OTH0000000019", basic / 4);
                TestDb::AddSalary(slno, month, "OTH0000000013", 0, basic * 12 / 100);
                TestDb::AddSalary(slno, month, "OTH0000000033", 0, 200);
                TestDb::AddSalary(slno, month, "OTH0000000030", 0, 1000);
            }
            TestDb::Exec(QStringLiteral("INSERT INTO hr0910.hr_emp_bonus (emp_slno,emp_bonus,emp_date) VALUES "
                                        "('%1',%2,'2025-09-12')")
                             .arg(slno, PlainNumber(bonus)));
            TestDb::Exec(QStringLiteral("INSERT INTO hr0910.hr_it_trans (emp_slno,emp_it_allowance_code,emp_amount,"
                                        "emp_allowance_slno,emp_it_from,emp_it_to) VALUES ('%1','ITA000005',240000,1,"
                                        "'2025-04-01','2026-03-31'),('%1','ITA000001',50000,2,'2025-04-01',"
                                        "'2026-03-31')")
                             .arg(slno));
        }
        TestDb::AddEmployee("3", "E", "3", "NO PAY");
        TestDb::Exec("INSERT INTO hr0910.hr_emp_bonus (emp_slno,emp_bonus,emp_date) VALUES ('3',5000,'2025-09-12')");
        const AuditStamp stamp{"1", QDateTime(QDate(2025, 4, 10), QTime(10, 0))};
        RegimeChoice::Save(TestDb::Open(), "a2", from, to, TaxRegime::Old, stamp);
        RegimeChoice::Save(TestDb::Open(), "3", from, to, TaxRegime::New, stamp);

        const auto request = [&](const QString &slno) {
            Request r = SessionRequest(from, to, slno);
            r.finYearFrom = from;
            r.finYearTo = to;
            r.today = QDate(2025, 10, 15);
            r.now = QTime(10, 20, 30);
            return r;
        };
        // The company in sets inserts what the update stores: the 80C total as computed, nothing
        // allowed, the new regime's taxable amount; interest and premium 0.
        RebateState state;
        const Result company = Run(TestDb::Open(), request({}), state);
        QCOMPARE(SummaryText(company),
                 "3 selected, 2 inserted, 0 updated, 1 skipped without gross pay; 1 under the new regime, 1 under "
                 "the old");
        const QStringList inserted = QStringList{"emp_80c_net=0",
                                                 "emp_hl_int=0",
                                                 "emp_mc=0",
                                                 "emp_excemption=400000",
                                                 "emp_ta=75000",
                                                 "emp_hra=0",
                                                 updated.filter("emp_net_taxable_amt=").first(),
                                                 "created_date=2025-10-15"} +
                                     updated.filter(QRegularExpression("^emp_(80c_total|taxable_amt)="));
        QCOMPARE(TestDb::Row("hr0910.hr_it WHERE emp_slno='1'", inserted), inserted);
        QCOMPARE(TestDb::Count("hr0910.hr_it WHERE emp_slno='3'"), 0);
        // The worksheet declares interest and premium; a run for the employee alone keeps them
        // as declared and allows neither.
        TestDb::Exec("UPDATE hr0910.hr_it SET emp_hl_int=150000, emp_mc=20000 WHERE emp_slno='1'");
        const Result one = Run(TestDb::Open(), request("1"), state);
        QCOMPARE(one.updated, 1);
        QCOMPARE(one.newRegime, 1);
        QCOMPARE(TestDb::Row("hr0910.hr_it WHERE emp_slno='1'", updated), updated);
        // The one who kept the old regime, run alone as well: its rules, its limit, its deduction.
        QCOMPARE(Run(TestDb::Open(), request("A2"), state).newRegime, 0);
        const QStringList old = {"emp_excemption=250000", "emp_ta=50000", "emp_80c_net=150000"};
        QCOMPARE(TestDb::Row("hr0910.hr_it WHERE emp_slno='A2'", old), old);
    }

    void typedTextReachesTheServerIntact()
    {
        const QString slno = QStringLiteral("9'\\%");
        TestDb::AddPaidEmployee(slno, "O'K\\");
        RebateState state;
        QCOMPARE(Run(TestDb::Open(), StandardRequest(YearFrom, YearTo, slno), state).inserted, 1);
        QCOMPARE(TestDb::Scalar("SELECT emp_code FROM hr0910.hr_it").toString(), "EO'K\\");
        QCOMPARE(Run(TestDb::Open(), StandardRequest(YearFrom, YearTo, slno), state).updated, 1);
    }
};

QTEST_GUILESS_MAIN(TestIncomeTaxBatch)
#include "tst_incometaxbatch.moc"
