// The new regime's tax of an employee, year by year, on the published worked examples and
// their edges (at each limit and one rupee above), and the checks of a year's figures.
#include "DemoData.h"
#include "session/Common.h"
#include "tax/NewRegimeTax.h"

#include <QtTest>

using NewRegimeSetup::Problem;
using NewRegimeSetup::Year;

Q_DECLARE_METATYPE(NewRegimeSetup::Year)

namespace {

// The standard deduction of the year, as the Finance Acts give it.
double StandardDeduction(int year)
{
    return year <= 2022 ? 0 : year == 2023 ? 50000 : 75000;
}

Year Published(int year)
{
    const auto y = DemoData::NewRegimeYear(year);
    if (!y)
        qFatal("no new-regime figures for %d", year);
    return *y;
}

} // namespace

class tst_NewRegimeTax : public QObject
{
    Q_OBJECT

private slots:
    void computesAsTheWorkedExamples_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<double>("gross");
        QTest::addColumn<double>("proj");
        QTest::addColumn<double>("taxable");
        QTest::addColumn<double>("tax");
        QTest::addColumn<double>("surcharge");
        QTest::addColumn<double>("cess");
        QTest::addColumn<double>("payable");

        // Gross pay that leaves the taxable income given, all of it paid so far.
        auto row = [](const char *name, int year, double taxable, double tax, double surcharge, double cess,
                      double payable) {
            QTest::newRow(name) << year << taxable + StandardDeduction(year) << 0.0 << taxable << tax << surcharge
                                << cess << payable;
        };
        // 2025-26: slabs of 4 L, 87A up to 60,000 within 12 L, marginal relief.
        row("2025 at the rebate limit", 2025, 1200000, 0, 0, 0, 0);
        row("2025 a rupee above it: tax at most that rupee", 2025, 1200001, 1, 0, 0.04, 1.04);
        row("2025 12.1 L: 61,500 cut to 10,000", 2025, 1210000, 10000, 0, 400, 10400);
        row("2025 16 L", 2025, 1600000, 120000, 0, 4800, 124800);
        row("2025 25 L", 2025, 2500000, 330000, 0, 13200, 343200);
        row("2025 at 50 L: no surcharge", 2025, 5000000, 1080000, 0, 43200, 1123200);
        row("2025 a rupee above 50 L", 2025, 5000001, 1080000.30, 0.70, 43200.04, 1123201.04);
        row("2025 51 L: surcharge 1,11,000 cut to 70,000", 2025, 5100000, 1110000, 70000, 47200, 1227200);
        row("2025 at 1 Cr: 10 %", 2025, 10000000, 2580000, 258000, 113520, 2951520);
        row("2025 a rupee above 1 Cr: relief on the 10 % below", 2025, 10000001, 2580000.30, 258000.70, 113520.04,
            2951521.04);
        row("2025 6 Cr: surcharge at most 25 %", 2025, 60000000, 17580000, 4395000, 879000, 22854000);
        row("2026 as 2025", 2026, 1210000, 10000, 0, 400, 10400);
        // 2024-25: 87A up to 25,000 within 7 L, marginal relief.
        row("2024 at the rebate limit", 2024, 700000, 0, 0, 0, 0);
        row("2024 a rupee above it", 2024, 700001, 1, 0, 0.04, 1.04);
        row("2024 7.1 L", 2024, 710000, 10000, 0, 400, 10400);
        row("2024 where the relief ends", 2024, 722223, 22222.30, 0, 888.89, 23111.19);
        row("2024 10 L", 2024, 1000000, 50000, 0, 2000, 52000);
        // 2023-24: slabs of 3 L, standard deduction 50,000.
        row("2023 at the rebate limit", 2023, 700000, 0, 0, 0, 0);
        row("2023 a rupee above it", 2023, 700001, 1, 0, 0.04, 1.04);
        row("2023 15 L", 2023, 1500000, 150000, 0, 6000, 156000);
        // 2020-21 to 2022-23: no standard deduction, 87A 12,500 within 5 L without relief, 37 % above 5 Cr.
        row("2022 at the rebate limit", 2022, 500000, 0, 0, 0, 0);
        row("2022 a rupee above it: no relief", 2022, 500001, 12500.10, 0, 500, 13000.10);
        row("2022 15 L", 2022, 1500000, 187500, 0, 7500, 195000);
        row("2022 at 5 Cr: 25 %", 2022, 50000000, 14737500, 3684375, 736875, 19158750);
        row("2022 a rupee above 5 Cr: 37 % cut by relief", 2022, 50000001, 14737500.30, 3684375.70, 736875.04,
            19158751.04);
        row("2020 10 L", 2020, 1000000, 75000, 0, 3000, 78000);

        // Pay so far and its projection both count; pay below the standard deduction is not taxed.
        QTest::newRow("2025 projection counts")
            << 2025 << 900000.0 << 375000.0 << 1200000.0 << 0.0 << 0.0 << 0.0 << 0.0;
        QTest::newRow("2025 projection above the limit")
            << 2025 << 900000.0 << 385000.0 << 1210000.0 << 10000.0 << 0.0 << 400.0 << 10400.0;
        QTest::newRow("2023 pay below the deduction") << 2023 << 40000.0 << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << 0.0;
    }

    void computesAsTheWorkedExamples()
    {
        QFETCH(int, year);
        QFETCH(double, gross);
        QFETCH(double, proj);
        QFETCH(double, taxable);
        QFETCH(double, tax);
        QFETCH(double, surcharge);
        QFETCH(double, cess);
        QFETCH(double, payable);

        const NewRegimeTax::Figures f = NewRegimeTax::Compute({gross, proj, 5000}, Published(year));
        QCOMPARE(f.standardDeduction, StandardDeduction(year));
        QCOMPARE(f.taxable, taxable);
        QCOMPARE(f.tax, tax);
        QCOMPARE(f.surcharge, surcharge);
        QCOMPARE(f.taxBeforeCess, RoundAmount(tax + surcharge));
        QCOMPARE(f.cess, cess);
        QCOMPARE(f.payable, payable);
        QCOMPARE(f.salCut, 5000.0);
        QCOMPARE(f.balance, RoundAmount(payable - 5000));
        QCOMPARE(f.exemptionLimit, year <= 2022 ? 250000.0 : year <= 2024 ? 300000.0 : 400000.0);
    }

    void publishedYearsAreSoundAndOthersAbsent()
    {
        for (int year = 2020; year <= 2026; ++year) {
            const Problem p = NewRegimeSetup::Validate(Published(year));
            QVERIFY2(p.field == Problem::Field::None, qPrintable(p.message));
            QCOMPARE(Published(year).defaultRegime, year >= 2023 ? TaxRegime::New : TaxRegime::Old);
        }
        QVERIFY(!DemoData::NewRegimeYear(2019));
        QVERIFY(!DemoData::NewRegimeYear(2027));
    }

    void validationFindsTheFirstFault_data()
    {
        QTest::addColumn<Year>("year");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("message");

        const Year good = Published(2025);
        using F = Problem::Field;
        auto add = [](const char *name, const Year &y, F field, int row, const char *message) {
            QTest::newRow(name) << y << int(field) << row << QString::fromUtf8(message);
        };
        Year y = good;
        y.slabs[2].from = 700000;
        add("overlap", y, F::SlabFrom, 2, "Slab 3 must start where slab 2 ends (800000.00).   ");
        y = good;
        y.slabs[2].from = 900000;
        add("gap", y, F::SlabFrom, 2, "Slab 3 must start where slab 2 ends (800000.00).   ");
        y = good;
        y.slabs.swapItemsAt(1, 2);
        add("out of order", y, F::SlabFrom, 1, "Slab 2 must start where slab 1 ends (400000.00).   ");
        y = good;
        y.slabs[0].from = 1000;
        add("first not at 0", y, F::SlabFrom, 0, "Slab 1 must start at 0.   ");
        y = good;
        y.slabs[3].to = 1200000;
        y.slabs[4].from = 1200000;
        add("ends at its start", y, F::SlabTo, 3, "Slab 4 must end above its start.   ");
        y = good;
        y.slabs[1].to.reset();
        add("open slab not last", y, F::SlabTo, 1, "Only the last slab may be left without an upper limit.   ");
        y = good;
        y.slabs[6].per = 300;
        add("slab rate above 100", y, F::SlabRate, 6, "The rate of slab 7 cannot be above 100 %.   ");
        y = good;
        y.slabs.clear();
        add("no slabs", y, F::SlabFrom, 0, "Please enter the slabs of the new regime.   ");
        y = good;
        y.surcharge[2].threshold = 10000000;
        add("surcharge not ascending", y, F::BandThreshold, 2,
            "Surcharge 3 must start above the income of surcharge 2.   ");
        y = good;
        y.surcharge[0].per = 110;
        add("surcharge above 100", y, F::BandRate, 0, "The rate of surcharge 1 cannot be above 100 %.   ");
        y = good;
        y.surcharge[0].threshold = 0;
        add("surcharge without income", y, F::BandThreshold, 0,
            "Please enter the income above which surcharge 1 applies.   ");
        y = good;
        y.cess = 104;
        add("cess above 100", y, F::Cess, -1, "The cess cannot be above 100 %.   ");
        y = good;
        y.rebateLimit = 0;
        add("rebate without limit", y, F::RebateLimit, -1, "Please enter the income limit of the rebate.   ");
        y = good;
        y.slabs.last().to = 99999999;
        add("a last slab with an upper limit is sound", y, F::None, -1, "");
    }

    void validationFindsTheFirstFault()
    {
        QFETCH(Year, year);
        QFETCH(int, field);
        QFETCH(int, row);
        QFETCH(QString, message);
        const Problem p = NewRegimeSetup::Validate(year);
        QCOMPARE(p.message, message);
        QCOMPARE(int(p.field), field);
        QCOMPARE(p.row, row);
    }

    void lastSlabRateRunsOnAboveItsLimit()
    {
        Year y = Published(2025);
        const double open = NewRegimeTax::SlabTax(30000000, y.slabs);
        y.slabs.last().to = 2500000;
        QCOMPARE(NewRegimeTax::SlabTax(30000000, y.slabs), open);
    }
};

QTEST_GUILESS_MAIN(tst_NewRegimeTax)
#include "tst_newregimetax.moc"
