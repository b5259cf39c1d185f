#include "TestDb.h"

#include "session/Common.h"
#include "session/mdlDalvoni.h"
#include "tax/SalaryFigures.h"
#include "tax/TaxRules.h"

#include <QtTest>

using namespace TaxRules;

namespace {

void AddDeclaration(const QString &slno, const QString &head, const QString &amount, const QDate &from)
{
    TestDb::Exec(QStringLiteral("INSERT INTO hr0910.hr_it_trans (emp_slno,emp_it_allowance_code,emp_amount,"
                                "emp_it_from,emp_it_to) VALUES ('%1','%2',%3,'%4','%5')")
                     .arg(slno, head, amount, SqlDate(from), SqlDate(from.addYears(1).addDays(-1))));
}

RebateState StandardSlabs()
{
    RebateState s;
    s.slabs[0] = {0, 250000, 0};
    s.slabs[1] = {250000, 500000, 5};
    s.slabs[2] = {500000, 1000000, 20};
    s.slabs[3] = {1000000, 99999999, 30};
    return s;
}

} // namespace

class TestTaxRules : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TestDb::Reset();
        TestDb::LoadStandardMasters();
        TestDb::SetStandardSession();
    }

    void salarySums_data()
    {
        QTest::addColumn<int>("head");
        QTest::addColumn<double>("expected");
        // Lines: April, May (inclusive bounds), the day after the period and an invisible head.
        QTest::newRow("hra") << int(SalaryFigures::Head::HraReceived) << 8000.5;
        QTest::newRow("basic: three heads") << int(SalaryFigures::Head::BasicPay) << 31000.0;
        QTest::newRow("pf: deductions of two heads") << int(SalaryFigures::Head::ProvidentFund) << 2500.0;
        QTest::newRow("profession tax") << int(SalaryFigures::Head::ProfessionTax) << 400.0;
        QTest::newRow("transport") << int(SalaryFigures::Head::TransportAllowance) << 3200.0;
        QTest::newRow("tax deducted") << int(SalaryFigures::Head::TaxDeducted) << 0.0;
    }
    void salarySums()
    {
        QFETCH(int, head);
        QFETCH(double, expected);
        const QDate from(2018, 4, 1), to(2018, 5, 1);
        for (const QDate &d : {from, to, to.addDays(1)}) {
            TestDb::AddSalary("E1", d, "OTH0000000019", 4000.25);
            TestDb::AddSalary("E1", d, "OTH0000000001", 10000);
            TestDb::AddSalary("E1", d, "OTH0000000033", 0, 200);
            TestDb::AddSalary("E1", d, "OTH0000000023", 1600);
            TestDb::AddSalary("E1", d, "OTH0000000013", 0, 1000);
        }
        TestDb::AddSalary("E1", from, "OTH0000000002", 5000);
        TestDb::AddSalary("E1", to, "OTH0000000017", 6000);
        TestDb::AddSalary("E1", from, "OTH0000000014", 0, 500); // invisible head still counts
        TestDb::AddSalary("E2", from, "OTH0000000030", 0, 999);
        DbConnection &db = TestDb::Open();
        QCOMPARE(SalaryFigures::Sum(db, SalaryFigures::Head(head), "E1", from, to), expected);
        // No lines at all: a null sum reads as 0.
        QCOMPARE(SalaryFigures::Sum(db, SalaryFigures::Head(head), "E9", from, to), 0.0);
    }

    void monthlyGrossCountsVisibleHeadsByMonth()
    {
        for (int m = 4; m <= 6; ++m) {
            TestDb::AddSalary("E1", QDate(2018, m, 1), "OTH0000000001", 10000.33);
            TestDb::AddSalary("E1", QDate(2018, m, 1), "OTH0000000041", 777); // invisible
        }
        TestDb::AddSalary("E1", QDate(2018, 7, 1), "OTH0000000041", 777); // a month with only invisible lines
        TestDb::Exec("INSERT INTO hr0910.hr_emp_bonus (emp_slno,emp_bonus,emp_date) VALUES "
                     "('E1',1000,'2018-04-01'),('E1',234.5,'2019-03-31'),('E1',50,'2019-04-01')");
        DbConnection &db = TestDb::Open();
        const auto g = SalaryFigures::ReadMonthlyGross(db, "E1", QDate(2018, 4, 1), QDate(2019, 3, 31));
        QCOMPARE(g.months, 3);
        QCOMPARE(g.gross, 30000.99);
        QCOMPARE(SalaryFigures::ReadBonus(db, "E1", QDate(2018, 4, 1), QDate(2019, 3, 31)), 1234.5);
    }

    void lastFinalisedIgnoresLaterEntriesAndOtherCompanies()
    {
        TestDb::AddFinalize(QDate(2018, 9, 30));
        TestDb::AddFinalize(QDate(2019, 4, 30));
        TestDb::AddFinalize(QDate(2019, 1, 31), "C02");
        DbConnection &db = TestDb::Open();
        QCOMPARE(SalaryFigures::ReadLastFinalised(db, "C01", QDate(2019, 3, 31)), QDate(2018, 9, 30));
        QVERIFY(!SalaryFigures::ReadLastFinalised(db, "C01", QDate(2018, 3, 31)).isValid());
    }

    void monthCountsAndProjections()
    {
        QCOMPARE(SalaryFigures::MonthsRemaining(QDate(2018, 9, 30), QDate(2019, 3, 31)), 6);
        QCOMPARE(SalaryFigures::MonthsRemaining(QDate(2019, 3, 1), QDate(2019, 3, 31)), 0);
        QCOMPARE(SalaryFigures::MonthsElapsed(QDate(2018, 4, 1), QDate(2018, 10, 15)), 5);
        QCOMPARE(SalaryFigures::Project(1000, 0), 0.0);
        QCOMPARE(SalaryFigures::Project(1000, 5), 714.29);
        // N differs from E: the monthly rate; N equals E: over 12 - M.
        QCOMPARE(SalaryFigures::ProjectGross(70000, 7, 5, 5), 50000.0);
        QCOMPARE(SalaryFigures::ProjectGross(70000, 5, 5, 5), 50000.0);
        QCOMPARE(SalaryFigures::ProjectGross(1000, 3, 3, 5), 714.29);
    }

    void slabTax_data()
    {
        QTest::addColumn<double>("taxable");
        QTest::addColumn<double>("expected");
        // The exemption limit is 250000 throughout.
        QTest::newRow("below the limit") << 200000.0 << 0.0;
        QTest::newRow("on slab 1 end = slab 2 start: no branch") << 250000.0 << 0.0;
        QTest::newRow("just into slab 2") << 250000.5 << 0.03;
        QTest::newRow("on slab 2 end") << 500000.0 << 12500.0;
        QTest::newRow("just into slab 3") << 500000.01 << 12500.0;
        QTest::newRow("on slab 3 end") << 1000000.0 << 112500.0;
        QTest::newRow("slab 4") << 1150000.0 << 157500.0;
        QTest::newRow("above every slab") << 100000000.0 << 0.0;
    }
    void slabTax()
    {
        QFETCH(double, taxable);
        QFETCH(double, expected);
        const RebateState s = StandardSlabs();
        QCOMPARE(SlabTax(taxable, std::max(0.0, taxable - 250000), s), expected);
    }

    void slabOneUsesSlabTwoRateOnTheExcess()
    {
        RebateState s = StandardSlabs();
        s.slabs[0] = {0, 300000, 99};
        QCOMPARE(SlabTax(280000, 30000, s), 1500.0);
    }

    void rebate_data()
    {
        QTest::addColumn<QDate>("yearFrom");
        QTest::addColumn<double>("taxable");
        QTest::addColumn<double>("gross");
        QTest::addColumn<double>("expectedTax");
        QTest::addColumn<double>("expectedRebate");
        // Tax 10000 before the rebate; the state's amount starts at 3000.
        QTest::newRow("2013-14 gross at 500000") << QDate(2013, 4, 1) << 600000.0 << 500000.0 << 7000.0 << 3000.0;
        QTest::newRow("2013-14 gross above") << QDate(2013, 4, 1) << 100000.0 << 500000.01 << 10000.0 << 3000.0;
        QTest::newRow("2014-16 below 500000") << QDate(2015, 4, 1) << 499999.99 << 0.0 << 5000.0 << 5000.0;
        QTest::newRow("2014-16 at 500000") << QDate(2014, 4, 1) << 500000.0 << 0.0 << 10000.0 << 0.0;
        QTest::newRow("2016-17 falls to the last rule") << QDate(2016, 4, 1) << 500000.0 << 0.0 << 7000.0 << 3000.0;
        QTest::newRow("2017-18 at 350000") << QDate(2017, 4, 1) << 350000.0 << 0.0 << 7000.0 << 3000.0;
        QTest::newRow("2017-18 above 350000") << QDate(2017, 4, 1) << 350000.01 << 0.0 << 10000.0 << 3000.0;
        QTest::newRow("2018-19 at 500000") << QDate(2018, 4, 1) << 500000.0 << 0.0 << 7500.0 << 2500.0;
        QTest::newRow("2018-19 above") << QDate(2018, 4, 1) << 500000.01 << 0.0 << 10000.0 << 0.0;
        QTest::newRow("2019-20 at 500000") << QDate(2019, 4, 1) << 500000.0 << 0.0 << 7000.0 << 3000.0;
        QTest::newRow("2019-20 above") << QDate(2019, 4, 1) << 500000.01 << 0.0 << 10000.0 << 3000.0;
    }
    void rebate()
    {
        QFETCH(QDate, yearFrom);
        QFETCH(double, taxable);
        QFETCH(double, gross);
        QFETCH(double, expectedTax);
        QFETCH(double, expectedRebate);
        RebateState s;
        s.rebate = 3000;
        QCOMPARE(ApplyRebate(10000, taxable, gross, yearFrom, yearFrom.addYears(1).addDays(-1), s), expectedTax);
        QCOMPARE(s.rebate, expectedRebate);
    }

    void transport_data()
    {
        QTest::addColumn<double>("paid");
        QTest::addColumn<int>("months");
        QTest::addColumn<double>("ta");
        QTest::addColumn<double>("proj");
        QTest::newRow("under the cap") << 9000.0 << 6 << 9000.0 << 9000.0;
        QTest::newRow("projection cut to the cap") << 12000.0 << 6 << 12000.0 << 7200.0;
        QTest::newRow("paid reaches the cap") << 19200.0 << 3 << 19200.0 << 0.0;
        QTest::newRow("paid above the cap") << 25000.0 << 3 << 19200.0 << 0.0;
        QTest::newRow("no months remaining") << 25000.0 << 0 << 19200.0 << 0.0;
    }
    void transport()
    {
        QFETCH(double, paid);
        QFETCH(int, months);
        QFETCH(double, ta);
        QFETCH(double, proj);
        const Transport t = TransportRule(paid, months);
        QCOMPARE(t.ta, ta);
        QCOMPARE(t.taProj, proj);
    }

    void yearRules()
    {
        QVERIFY(!IsTransportYear(QDate(2016, 3, 31)));
        QVERIFY(IsTransportYear(QDate(2016, 4, 1)));
        QVERIFY(IsTransportYear(QDate(2017, 4, 1)));
        QVERIFY(!IsTransportYear(QDate(2018, 4, 1)));
        QCOMPARE(StandardDeduction(QDate(2018, 4, 1)), 40000.0);
        QCOMPARE(StandardDeduction(QDate(2019, 4, 1)), 50000.0);
        QCOMPARE(StandardDeduction(QDate(2015, 4, 1)), 50000.0);
        for (const char *u : {"MUM", "CHN", "DLH", "KOL"})
            QVERIFY(IsMetroUnit(u));
        QVERIFY(!IsMetroUnit("PUN"));
        QVERIFY(!IsMetroUnit("mum"));
    }

    void hra_data()
    {
        QTest::addColumn<double>("rent");
        QTest::addColumn<bool>("metro");
        QTest::addColumn<double>("expected");
        // Basic 100000, received 30000: 10 % of basic is 10000, shares 40000 / 50000.
        QTest::newRow("rent below 10 % of basic: all received") << 5000.0 << false << 30000.0;
        QTest::newRow("excess equal to received: received") << 40000.0 << false << 30000.0;
        QTest::newRow("excess above received: smaller of the two") << 40000.01 << false << 30000.0;
        QTest::newRow("share smaller than received") << 200000.0 << false << 30000.0;
    }
    void hra()
    {
        QFETCH(double, rent);
        QFETCH(bool, metro);
        QFETCH(double, expected);
        QCOMPARE(HraExemption(rent, 100000, 30000, metro), expected);
        // With a larger allowance the share of basic decides, and the metro share is 50 %.
        QCOMPARE(HraExemption(200000, 100000, 45000, false), 40000.0);
        QCOMPARE(HraExemption(200000, 100000, 60000, true), 50000.0);
    }

    void settingsAndSlabsKeepScreenState()
    {
        DbConnection &db = TestDb::Open();
        RebateState s;
        const QDate from(2018, 4, 1), to(2019, 3, 31);
        TaxSettings t = LoadYear(db, from, to, s);
        QCOMPARE(t.limit80c, 150000.0);
        QCOMPARE(t.cess, 4.0);
        QCOMPARE(s.rebate, 2500.0);
        QCOMPARE(s.slabs[2].rate, 20.0);
        // A year without REBATE or slab rows keeps what the previous run loaded.
        TestDb::Exec("DELETE FROM hr_it_setup WHERE set_id='REBATE'");
        TestDb::Exec("DELETE FROM hr_it_slabs WHERE it_slab=4");
        TestDb::Exec("INSERT INTO hr_it_slabs VALUES ('2019-04-01','2020-03-31',5,1,2,99)");
        t = LoadYear(db, QDate(2019, 4, 1), QDate(2020, 3, 31), s);
        QCOMPARE(s.rebate, 2500.0);
        QCOMPARE(s.slabs[3].start, 1000000.0);
        QCOMPARE(s.slabs[3].rate, 30.0);
        QCOMPARE(t.mcLimit, 25000.0);
        // A year with no rows at all: every limit is 0.
        t = LoadYear(db, QDate(2030, 4, 1), QDate(2031, 3, 31), s);
        QCOMPARE(t.taxLimit, 0.0);
    }

    // Three complete employees, every figure worked out by hand.
    void completeEmployeeSlabTwoWithRentAndBonus()
    {
        TestDb::AddEmployee("1", "E", "001", "ASHA");
        for (int m = 4; m <= 9; ++m) {
            const QDate d(2018, m, 1);
            TestDb::AddSalary("1", d, "OTH0000000001", 50000);
            TestDb::AddSalary("1", d, "OTH0000000019", 20000);
            TestDb::AddSalary("1", d, "OTH0000000013", 0, 6000);
            TestDb::AddSalary("1", d, "OTH0000000033", 0, 200);
            TestDb::AddSalary("1", d, "OTH0000000030", 0, 1000);
        }
        TestDb::Exec("INSERT INTO hr0910.hr_emp_bonus (emp_slno,emp_bonus,emp_date) VALUES ('1',10000,'2018-10-05')");
        AddDeclaration("1", "ITA000005", "180000", QDate(2018, 4, 1));
        AddDeclaration("1", "ITA000001", "20000", QDate(2018, 4, 1));
        AddDeclaration("1", "ITA000001", "NULL", QDate(2018, 4, 1));

        Context ctx{
            QDate(2018, 4, 1), QDate(2019, 3, 31), QDate(2018, 4, 1), QDate(2019, 3, 31), QDate(2018, 10, 15), 6, {}};
        RebateState s;
        ctx.settings = LoadYear(TestDb::Open(), ctx.finYearFrom, ctx.finYearTo, s);
        const auto f = ComputeEmployee(TestDb::Open(), "1", "HO", ctx, s);
        QVERIFY(f);
        QCOMPARE(f->grossProj, 420000.0);
        QCOMPARE(f->gross, 430000.0);
        QCOMPARE(f->pf, 36000.0);
        QCOMPARE(f->pfProj, 36000.0);
        QCOMPARE(f->professionTax, 1200.0);
        QCOMPARE(f->ta, 40000.0);
        QCOMPARE(f->taProj, 0.0);
        QCOMPARE(f->total80c, 92000.0);
        QCOMPARE(f->net80c, 92000.0);
        QCOMPARE(f->hra, 120000.0);
        QCOMPARE(f->hraProj, 120000.0);
        QCOMPARE(f->taxable, 476800.0);
        QCOMPARE(f->tax, 8840.0);
        QCOMPARE(f->cess, 353.6);
        QCOMPARE(f->payable, 9193.6);
        QCOMPARE(f->salCut, 6000.0);
        QCOMPARE(f->balance, 3193.6);
    }

    void completeEmployeeTransportYearMetroWithLimits()
    {
        mdlDalvoni::FinYearFrom = QDate(2017, 4, 1);
        mdlDalvoni::FinYearTo = QDate(2018, 3, 31);
        TestDb::AddEmployee("2", "E", "002", "RAVI", "MUM");
        for (int i = 0; i < 9; ++i) {
            const QDate d = QDate(2017, 4, 1).addMonths(i);
            TestDb::AddSalary("2", d, "OTH0000000001", 40000);
            TestDb::AddSalary("2", d, "OTH0000000019", 16000);
            TestDb::AddSalary("2", d, "OTH0000000023", 1600);
            TestDb::AddSalary("2", d, "OTH0000000013", 0, 4800);
            TestDb::AddSalary("2", d, "OTH0000000033", 0, 200);
            TestDb::AddSalary("2", d, "OTH0000000030", 0, 500);
        }
        AddDeclaration("2", "ITA000005", "100000", QDate(2017, 4, 1));
        TestDb::Exec("INSERT INTO hr0910.hr_it (emp_slno,emp_mc,emp_hl_int,emp_it_from,emp_it_to) "
                     "VALUES ('2',30000,250000,'2017-04-01','2018-03-31')");

        Context ctx{
            QDate(2017, 4, 1), QDate(2018, 3, 31), QDate(2017, 4, 1), QDate(2018, 3, 31), QDate(2018, 1, 20), 3, {}};
        RebateState s;
        ctx.settings = LoadYear(TestDb::Open(), ctx.finYearFrom, ctx.finYearTo, s);
        const auto f = ComputeEmployee(TestDb::Open(), "2", "MUM", ctx, s);
        QVERIFY(f);
        QCOMPARE(f->gross, 518400.0);
        QCOMPARE(f->grossProj, 172800.0);
        QCOMPARE(f->pf, 43200.0);
        QCOMPARE(f->pfProj, 14400.0);
        QCOMPARE(f->ta, 14400.0);
        QCOMPARE(f->taProj, 4800.0);
        QCOMPARE(f->hra, 144000.0);
        QCOMPARE(f->hraProj, 48000.0);
        QCOMPARE(f->total80c, 57600.0);
        QCOMPARE(f->declaredMc, 30000.0);
        QCOMPARE(f->declaredHlInt, 250000.0);
        QCOMPARE(f->taxable, 195600.0);
        QCOMPARE(f->tax, 0.0); // 0 less the rebate of 2500 is stored as 0
        QCOMPARE(f->cess, 0.0);
        QCOMPARE(f->payable, 0.0);
        QCOMPARE(f->salCut, 4500.0);
        QCOMPARE(f->balance, -4500.0);
    }

    void completeEmployeeSlabFourNothingRemaining()
    {
        TestDb::AddEmployee("3", "E", "003", "MEERA");
        for (int i = 0; i < 12; ++i)
            TestDb::AddSalary("3", QDate(2019, 4, 1).addMonths(i), "OTH0000000001", 100000);
        Context ctx{
            QDate(2019, 4, 1), QDate(2020, 3, 31), QDate(2019, 4, 1), QDate(2020, 3, 31), QDate(2020, 4, 15), 0, {}};
        RebateState s;
        ctx.settings = LoadYear(TestDb::Open(), ctx.finYearFrom, ctx.finYearTo, s);
        const auto f = ComputeEmployee(TestDb::Open(), "3", "HO", ctx, s);
        QVERIFY(f);
        QCOMPARE(f->gross, 1200000.0);
        QCOMPARE(f->grossProj, 0.0);
        QCOMPARE(f->ta, 50000.0);
        QCOMPARE(f->total80c, 0.0);
        QCOMPARE(f->taxable, 1150000.0);
        QCOMPARE(f->tax, 157500.0);
        QCOMPARE(f->cess, 6300.0);
        QCOMPARE(f->payable, 163800.0);
        QCOMPARE(f->balance, 163800.0);
    }

    void employeeWithOnlyInvisibleHeadsIsSkipped()
    {
        TestDb::AddSalary("4", QDate(2018, 4, 1), "OTH0000000041", 5000);
        TestDb::Exec("INSERT INTO hr0910.hr_emp_bonus (emp_slno,emp_bonus,emp_date) VALUES ('4',10000,'2018-10-05')");
        Context ctx{
            QDate(2018, 4, 1), QDate(2019, 3, 31), QDate(2018, 4, 1), QDate(2019, 3, 31), QDate(2018, 10, 15), 6, {}};
        RebateState s;
        QVERIFY(!ComputeEmployee(TestDb::Open(), "4", "HO", ctx, s));
    }

    void lastRentRowCounts()
    {
        TestDb::AddSalary("5", QDate(2018, 4, 1), "OTH0000000001", 10000);
        TestDb::AddSalary("5", QDate(2018, 4, 1), "OTH0000000019", 4000);
        AddDeclaration("5", "ITA000005", "50000", QDate(2018, 4, 1));
        AddDeclaration("5", "ITA000005", "1000", QDate(2018, 4, 1));
        Context ctx{
            QDate(2018, 4, 1), QDate(2019, 3, 31), QDate(2018, 4, 1), QDate(2019, 3, 31), QDate(2018, 5, 15), 0, {}};
        RebateState s;
        ctx.settings = LoadYear(TestDb::Open(), ctx.finYearFrom, ctx.finYearTo, s);
        const auto f = ComputeEmployee(TestDb::Open(), "5", "HO", ctx, s);
        QVERIFY(f);
        // Rent 1000 is below 10 % of basic: the whole allowance received is exempt.
        QCOMPARE(f->hra, 4000.0);
    }
};

QTEST_GUILESS_MAIN(TestTaxRules)
#include "tst_taxrules.moc"
