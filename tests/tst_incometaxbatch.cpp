#include "TestDb.h"

#include "session/Common.h"
#include "session/mdlDalvoni.h"
#include "tax/IncomeTaxBatch.h"

#include <QtTest>

using namespace IncomeTaxBatch;

namespace {

const QDate YearFrom(2018, 4, 1), YearTo(2019, 3, 31);

// Six months of salary (April to September) as the hand-worked employee of the rules' tests.
void AddPaidEmployee(const QString &slno, const QString &code, const QString &unit = QStringLiteral("HO"))
{
    TestDb::AddEmployee(slno, "E", code, "NAME " + code, unit);
    for (int m = 4; m <= 9; ++m) {
        TestDb::Exec(QStringLiteral("INSERT INTO hr0910.hr_emp_salary (emp_slno,emp_sal_type,emp_sal_dr,emp_sal_cr,"
                                    "emp_sal_date_from) VALUES ('%1','OTH0000000001',50000,0,'%2'),"
                                    "('%1','OTH0000000019',20000,0,'%2'),('%1','OTH0000000013',0,6000,'%2'),"
                                    "('%1','OTH0000000033',0,200,'%2'),('%1','OTH0000000030',0,1000,'%2')")
                         .arg(SqlEscape(slno), SqlDate(QDate(2018, m, 1))));
    }
}

Request StandardRequest(const QDate &from = YearFrom, const QDate &to = YearTo, const QString &slno = QString())
{
    Request r = SessionRequest(from, to, slno);
    r.today = QDate(2018, 10, 15);
    r.now = QTime(10, 20, 30);
    return r;
}

QVariant Col(const QString &column, const QString &slno = QStringLiteral("1"))
{
    return TestDb::Scalar(QStringLiteral("SELECT %1 FROM hr0910.hr_it WHERE emp_slno='%2'").arg(column, slno));
}

} // namespace

class TestIncomeTaxBatch : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TestDb::Reset();
        TestDb::LoadStandardMasters();
        TestDb::SetStandardSession();
        TestDb::AddFinalize(QDate(2018, 9, 30));
    }

    void cleanup() { TestDb::Exec("DROP TRIGGER IF EXISTS hr0910.it_reject"); }

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
        AddPaidEmployee("1", "001");
        RebateState state;
        Result r = Run(TestDb::Open(), StandardRequest(), state);
        QCOMPARE(r.inserted, 1);
        QCOMPARE(r.updated, 0);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 1);
        // The insert leaves 80C, taxable amount, interest and premium at 0.
        QCOMPARE(Col("emp_code").toString(), "E001");
        QCOMPARE(Col("comp_code").toString(), "C01");
        QCOMPARE(Col("emp_months_rem").toInt(), 6);
        QCOMPARE(Col("emp_80c_total").toDouble(), 0.0);
        QCOMPARE(Col("emp_80c_net").toDouble(), 0.0);
        QCOMPARE(Col("emp_taxable_amt").toDouble(), 0.0);
        QCOMPARE(Col("emp_hl_int").toDouble(), 0.0);
        QCOMPARE(Col("emp_mc").toDouble(), 0.0);
        QCOMPARE(Col("emp_hl_int_limit").toDouble(), 200000.0);
        QCOMPARE(Col("emp_80c_limit").toDouble(), 150000.0);
        QCOMPARE(Col("emp_excemption").toDouble(), 250000.0);
        QCOMPARE(Col("emp_gross").toDouble(), 420000.0);
        // 840000 gross - 1200 - 40000 - 72000 = 726800: (726800 - 500000) x 20 % + 12500, no rebate.
        QCOMPARE(Col("emp_net_taxable_amt").toDouble(), 57860.0);
        QCOMPARE(Col("emp_cess").toDouble(), 2314.4);
        QCOMPARE(Col("emp_payable").toDouble(), 60174.4);
        QCOMPARE(Col("emp_sal_cut").toDouble(), 6000.0);
        QCOMPARE(Col("emp_balance").toDouble(), 54174.4);
        QCOMPARE(Col("emp_it_from").toDate(), YearFrom);
        QCOMPARE(Col("created_by").toInt(), 1);
        QCOMPARE(Col("created_date").toDate(), QDate(2018, 10, 15));

        // The worksheet declares interest and premium; the next run keeps them and fills the rest.
        TestDb::Exec("UPDATE hr0910.hr_it SET emp_mc=30000, emp_hl_int=NULL");
        r = Run(TestDb::Open(), StandardRequest(), state);
        QCOMPARE(r.inserted, 0);
        QCOMPARE(r.updated, 1);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 1);
        QCOMPARE(Col("emp_mc").toDouble(), 30000.0);
        QCOMPARE(Col("emp_hl_int").toDouble(), 0.0); // null reads as 0
        QCOMPARE(Col("emp_80c_total").toDouble(), 72000.0);
        QCOMPARE(Col("emp_80c_net").toDouble(), 72000.0);
        QCOMPARE(Col("emp_taxable_amt").toDouble(), 701800.0); // premium allowed up to 25000
        QCOMPARE(Col("emp_net_taxable_amt").toDouble(), 52860.0);
        QCOMPARE(Col("created_date").toDate(), QDate(2018, 10, 15));
    }

    void otherPeriodGetsItsOwnRow()
    {
        AddPaidEmployee("1", "001");
        RebateState state;
        Run(TestDb::Open(), StandardRequest(), state);
        Run(TestDb::Open(), StandardRequest(QDate(2018, 5, 1)), state);
        QCOMPARE(TestDb::Count("hr0910.hr_it WHERE emp_slno='1'"), 2);
        QCOMPARE(TestDb::Scalar("SELECT emp_gross FROM hr0910.hr_it WHERE emp_it_from='2018-05-01'").toDouble(),
                 350000.0);
    }

    void selectionAndSkipping()
    {
        AddPaidEmployee("1", "001");
        AddPaidEmployee("2", "002");
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
        QCOMPARE(Col("emp_gross", "3").toDouble(), 123.0); // a skipped employee's row is left alone
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
        AddPaidEmployee("1", "001");
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

    void rejectedStatementKeepsEarlierRows()
    {
        AddPaidEmployee("1", "001");
        AddPaidEmployee("2", "002");
        AddPaidEmployee("3", "003");
        TestDb::Exec("CREATE TRIGGER hr0910.it_reject BEFORE INSERT ON hr0910.hr_it FOR EACH ROW "
                     "IF NEW.emp_slno='2' THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT='row refused here'; END IF");
        RebateState state;
        try {
            Run(TestDb::Open(), StandardRequest(), state);
            QFAIL("the run went on");
        } catch (const Error &e) {
            QVERIFY2(e.text().contains("E002") && e.text().contains("row refused here"), qPrintable(e.text()));
        }
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 1);
        QCOMPARE(TestDb::Count("hr0910.hr_it WHERE emp_slno='1'"), 1);
        // The connection is still usable afterwards.
        TestDb::Exec("DROP TRIGGER hr0910.it_reject");
        QCOMPARE(Run(TestDb::Open(), StandardRequest(), state).updated, 1);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 3);
    }

    void typedTextReachesTheServerIntact()
    {
        const QString slno = QStringLiteral("9'\\%");
        AddPaidEmployee(slno, "O'K\\");
        RebateState state;
        QCOMPARE(Run(TestDb::Open(), StandardRequest(YearFrom, YearTo, slno), state).inserted, 1);
        QCOMPARE(TestDb::Scalar("SELECT emp_code FROM hr0910.hr_it").toString(), "EO'K\\");
        QCOMPARE(Run(TestDb::Open(), StandardRequest(YearFrom, YearTo, slno), state).updated, 1);
    }
};

QTEST_GUILESS_MAIN(TestIncomeTaxBatch)
#include "tst_incometaxbatch.moc"
