// The batch's tax rules without the server: month counts and projections, the slab tax on
// and around every bound, the rebate of each year band, the transport cap, the year rules
// and the house-rent exemption.
#include "session/Common.h"
#include "tax/SalaryFigures.h"
#include "tax/TaxRules.h"

#include <QtTest>

using namespace TaxRules;

namespace {

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
};

QTEST_APPLESS_MAIN(TestTaxRules)
#include "tst_taxrules.moc"
