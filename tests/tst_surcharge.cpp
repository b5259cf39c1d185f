// The old regime's tax of a high income under the shared surcharge routine, year by year: at
// each threshold, a rupee above it (marginal relief) and where the relief ends; a year
// without bands has none. And the tax to deduct per remaining month.
#include "DemoData.h"
#include "tax/OldRegimeTax.h"
#include "tax/TaxRecord.h"

#include <QtTest>

namespace {

// The old regime's year as the demo ships it: slabs 2.5 L / 5 L / 10 L / above, exemption
// limit 2.5 L, the year's rebate, and the year's surcharge bands.
OldRegimeTax::Year DemoYear(int firstYear)
{
    OldRegimeTax::Year y;
    y.finYearFrom = QDate(firstYear, 4, 1);
    y.finYearTo = QDate(firstYear + 1, 3, 31);
    const double slab2 = firstYear == 2016 ? 10 : 5;
    const TaxSlab slabs[4] = {{0, 250000, 0}, {250000, 500000, slab2}, {500000, 1000000, 20}, {1000000, 99999999, 30}};
    std::copy(std::begin(slabs), std::end(slabs), std::begin(y.slabs));
    y.exemptionLimit = 250000;
    y.rebate = firstYear >= 2019 ? 12500 : 2500;
    y.surcharge = DemoData::OldRegimeSurcharge(firstYear);
    return y;
}

} // namespace

class tst_Surcharge : public QObject
{
    Q_OBJECT

private slots:
    void oldRegimeSurchargeByYear_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<double>("taxable");
        QTest::addColumn<double>("tax");
        QTest::addColumn<double>("surcharge");

        // Above 10 L the slab tax is 30 % of the income above 10 L plus 1,12,500: 0.3 T - 1,87,500.
        // 2019-20 on: 10 % above 50 L, 15 % above 1 Cr, 25 % above 2 Cr, 37 % above 5 Cr.
        QTest::newRow("2019 at 50 L") << 2019 << 5000000.0 << 1312500.0 << 0.0;
        QTest::newRow("2019 a rupee above 50 L: relief") << 2019 << 5000001.0 << 1312500.30 << 0.70;
        QTest::newRow("2019 the last rupee of relief") << 2019 << 5195895.0 << 1371268.50 << 137126.50;
        QTest::newRow("2019 relief over: 10 %") << 2019 << 5195896.0 << 1371268.80 << 137126.88;
        QTest::newRow("2019 at 1 Cr: 10 %") << 2019 << 10000000.0 << 2812500.0 << 281250.0;
        QTest::newRow("2019 a rupee above 1 Cr") << 2019 << 10000001.0 << 2812500.30 << 281250.70;
        QTest::newRow("2019 at 2 Cr: 15 %") << 2019 << 20000000.0 << 5812500.0 << 871875.0;
        QTest::newRow("2019 a rupee above 2 Cr") << 2019 << 20000001.0 << 5812500.30 << 871875.70;
        QTest::newRow("2019 at 5 Cr: 25 %") << 2019 << 50000000.0 << 14812500.0 << 3703125.0;
        QTest::newRow("2019 a rupee above 5 Cr") << 2019 << 50000001.0 << 14812500.30 << 3703125.70;
        QTest::newRow("2025 6 Cr: 37 %") << 2025 << 60000000.0 << 17812500.0 << 6590625.0;
        // 2017-18 and 2018-19: 10 % above 50 L, 15 % above 1 Cr, nothing more above 2 Cr.
        QTest::newRow("2017 a rupee above 50 L") << 2017 << 5000001.0 << 1312500.30 << 0.70;
        QTest::newRow("2018 a rupee above 1 Cr") << 2018 << 10000001.0 << 2812500.30 << 281250.70;
        QTest::newRow("2018 2 Cr and a rupee: 15 %") << 2018 << 20000001.0 << 5812500.30 << 871875.05;
        // 2016-17: 15 % above 1 Cr only.
        QTest::newRow("2016 above 50 L: none") << 2016 << 6000000.0 << 1612500.0 << 0.0;
        QTest::newRow("2016 at 1 Cr: none") << 2016 << 10000000.0 << 2812500.0 << 0.0;
        QTest::newRow("2016 a rupee above 1 Cr") << 2016 << 10000001.0 << 2812500.30 << 0.70;
        QTest::newRow("2016 2.5 Cr: 15 %") << 2016 << 25000000.0 << 7312500.0 << 1096875.0;
        // A year without bands computes as it always did.
        QTest::newRow("2015 without bands") << 2015 << 60000000.0 << 17812500.0 << 0.0;
    }
    void oldRegimeSurchargeByYear()
    {
        QFETCH(int, year);
        QFETCH(double, taxable);
        QFETCH(double, tax);
        QFETCH(double, surcharge);
        const OldRegimeTax::Year y = DemoYear(year);
        const OldRegimeTax::Tax t = OldRegimeTax::Compute(taxable, taxable, y);
        QCOMPARE(t.tax, tax);
        QCOMPARE(t.surcharge, surcharge);
        QCOMPARE(t.taxBeforeCess, tax + surcharge);
        QCOMPARE(OldRegimeTax::SurchargeOf(taxable, taxable, y), surcharge);
        // The batch's slab tax and rebate, unchanged by the bands.
        QCOMPARE(t.slabTax, OldRegimeTax::SlabTax(taxable, taxable - 250000, y.slabs));
        QCOMPARE(t.rebate, 0.0);
    }

    void perMonth_data()
    {
        QTest::addColumn<double>("balance");
        QTest::addColumn<int>("months");
        QTest::addColumn<double>("perMonth");
        QTest::newRow("an even split") << 1200.0 << 12 << 100.0;
        QTest::newRow("a rupee over rounds up") << 1201.0 << 12 << 101.0;
        QTest::newRow("paise round up to the rupee") << 1199.99 << 6 << 200.0;
        QTest::newRow("a paisa") << 0.01 << 6 << 1.0;
        QTest::newRow("54174.40 over 6") << 54174.40 << 6 << 9030.0;
        QTest::newRow("nothing due") << 0.0 << 6 << 0.0;
        QTest::newRow("more deducted than due") << -250.0 << 6 << 0.0;
        QTest::newRow("no month left: the balance") << 1234.56 << 0 << 1234.56;
    }
    void perMonth()
    {
        QFETCH(double, balance);
        QFETCH(int, months);
        QFETCH(double, perMonth);
        QCOMPARE(TaxRecord::PerMonth(balance, months), perMonth);
    }
};

QTEST_GUILESS_MAIN(tst_Surcharge)
#include "tst_surcharge.moc"
