#include "OldRegimeTax.h"

#include "SalaryFigures.h"
#include "Surcharge.h"
#include "session/Common.h"

#include <algorithm>

namespace OldRegimeTax {

namespace {

constexpr double kTransportCap = 19200;

bool Between(const QDate &d, int y1, int m1, int d1, int y2, int m2, int d2)
{
    return d >= QDate(y1, m1, d1) && d <= QDate(y2, m2, d2);
}

bool RebateBand(const QDate &finYearFrom, const QDate &finYearTo, int firstYear)
{
    return finYearFrom >= QDate(firstYear, 4, 1) && finYearTo <= QDate(firstYear + 1, 3, 31);
}

} // namespace

bool IsTransportYear(const QDate &finYearFrom)
{
    return Between(finYearFrom, 2016, 4, 1, 2018, 3, 31);
}

double StandardDeduction(const QDate &finYearFrom)
{
    return Between(finYearFrom, 2018, 4, 1, 2019, 3, 31) ? 40000 : 50000;
}

std::optional<double> WorksheetStandardDeduction(const QDate &finYearFrom)
{
    if (finYearFrom < QDate(2018, 4, 1))
        return std::nullopt;
    return StandardDeduction(finYearFrom);
}

bool IsMetroUnit(const QString &unitCode)
{
    return unitCode == QLatin1String("MUM") || unitCode == QLatin1String("CHN") || unitCode == QLatin1String("DLH") ||
           unitCode == QLatin1String("KOL");
}

bool IsMetroUnitName(const QString &unitName)
{
    return unitName == QLatin1String("MUMBAI") || unitName == QLatin1String("CHENNAI") ||
           unitName == QLatin1String("KOLKATHA") || unitName == QLatin1String("DELHI");
}

bool WorksheetProjects(int monthsRemaining)
{
    return monthsRemaining > 0 && monthsRemaining < 12;
}

double WorksheetProjection(double amount, int monthsRemaining)
{
    return WorksheetProjects(monthsRemaining) ? SalaryFigures::Project(amount, monthsRemaining) : 0;
}

double WorksheetProjectedTotal(double amount, int monthsRemaining)
{
    const int m = monthsRemaining;
    return RoundAmount(WorksheetProjects(m) ? amount + amount / (12 - m) * m : amount);
}

double WorksheetGrossProjection(double gross, int paidMonths, int expectedMonths, int monthsRemaining)
{
    if (!WorksheetProjects(monthsRemaining))
        return 0;
    return SalaryFigures::ProjectGross(gross, paidMonths, expectedMonths, monthsRemaining);
}

Transport TransportRule(double paid, int monthsRemaining)
{
    Transport t;
    t.ta = paid;
    if (monthsRemaining > 0 && monthsRemaining < 12)
        t.taProj = SalaryFigures::Project(t.ta, monthsRemaining);
    if (t.ta + t.taProj >= kTransportCap) {
        t.taProj = RoundAmount(kTransportCap - t.ta);
        if (t.taProj <= 0)
            t.taProj = 0;
    }
    if (t.ta > kTransportCap)
        t.ta = kTransportCap;
    return t;
}

double WorksheetTransport(double paid, int monthsRemaining)
{
    const double total = WorksheetProjectedTotal(paid, monthsRemaining);
    return total >= kTransportCap ? kTransportCap : total;
}

double RentExcess(double rentPaid, double basic)
{
    return rentPaid - RoundAmount(basic * 10 / 100);
}

double HraCap(double basic, bool metro)
{
    return RoundAmount(basic * (metro ? 50 : 40) / 100);
}

double HraOfExcess(double excess, double received, double cap)
{
    if (excess > received)
        return std::min(received, cap);
    return received;
}

double HraExemption(double rentPaid, double basic, double received, bool metro)
{
    return HraOfExcess(RentExcess(rentPaid, basic), received, HraCap(basic, metro));
}

double WorksheetHraExemption(double rentPaid, double basic, double received, bool metro)
{
    return HraOfExcess(std::max(0.0, RentExcess(rentPaid, basic)), received, HraCap(basic, metro));
}

int SlabBranch(double taxable, const Slabs &s)
{
    const double t = taxable;
    if (s[0].start < t && t < s[0].end)
        return 1;
    if (s[1].start < t && t <= s[1].end)
        return 2;
    if (s[2].start <= t && t <= s[2].end)
        return 3;
    if (s[3].start <= t && t <= s[3].end)
        return 4;
    return 0;
}

double BranchTax(int branch, double taxable, double excess, const Slabs &s)
{
    switch (branch) {
    case 1:
        return RoundAmount(excess * s[1].rate / 100);
    case 2:
        return RoundAmount((taxable - 250000) * s[1].rate / 100);
    case 3:
        return RoundAmount((taxable - 500000) * s[2].rate / 100) + 12500;
    case 4:
        return RoundAmount((taxable - 1000000) * s[3].rate / 100) + 12500 + 100000;
    default:
        return 0;
    }
}

double SlabTax(double taxable, double excess, const Slabs &slabs)
{
    return BranchTax(SlabBranch(taxable, slabs), taxable, excess, slabs);
}

WorksheetSlab WorksheetSlabTax(double taxable, double exemption, const Slabs &s, const QDate &finYearTo)
{
    // The income above the exemption limit, as the worksheet shows it (two decimals).
    const double income = RoundAmount(taxable - exemption > 0 ? taxable - exemption : 0);
    if (finYearTo <= QDate(2016, 3, 31)) {
        // The rule of the years to 2015-16, on the taxable amount not below the exemption limit.
        const double a = income + exemption;
        if (s[1].start < a && a < s[1].end) {
            const double tax = RoundAmount(income * s[1].rate / 100);
            if (exemption + s[1].start < income)
                return {RoundAmount(tax + 30000), true};
            return {tax, false};
        }
        if (s[2].start <= a && a <= s[2].end)
            return {RoundAmount(RoundAmount((income - 250000) * s[2].rate / 100) + 25000), true};
        if (a > s[3].start)
            return {RoundAmount(income * s[3].rate / 100), false};
        return {income, false};
    }
    if (taxable < 0)
        return {income, false};
    const int branch = SlabBranch(taxable, s);
    if (branch == 0)
        return {income, false};
    return {RoundAmount(BranchTax(branch, taxable, income, s)), branch >= 3};
}

double ApplyRebate(double tax, double taxable, double grossTotal, const QDate &finYearFrom, const QDate &finYearTo,
                   double &rebate)
{
    if (RebateBand(finYearFrom, finYearTo, 2013))
        return grossTotal > 500000 ? tax : tax - rebate;
    if (finYearFrom >= QDate(2014, 4, 1) && finYearTo <= QDate(2016, 3, 31)) {
        rebate = taxable < 500000 ? 5000.00 : 0.00;
        return tax - rebate;
    }
    if (RebateBand(finYearFrom, finYearTo, 2017))
        return taxable > 350000 ? tax : tax - rebate;
    if (RebateBand(finYearFrom, finYearTo, 2018)) {
        rebate = taxable > 500000 ? 0.00 : 2500.00;
        return tax - rebate;
    }
    return taxable > 500000 ? tax : tax - rebate;
}

std::optional<double> WorksheetRebate(const QDate &from, const QDate &to, double taxable, double totalPay)
{
    if (from >= QDate(2013, 4, 1) && to <= QDate(2014, 3, 31))
        return totalPay >= 500000 ? 0 : 2000;
    if (from >= QDate(2014, 4, 1) && to <= QDate(2016, 3, 31))
        return taxable >= 500000 ? 0 : 2000;
    if (from >= QDate(2016, 4, 1) && to <= QDate(2017, 3, 31))
        return taxable >= 500000 ? 0 : 5000;
    if (from >= QDate(2017, 4, 1) && from < QDate(2019, 4, 1))
        return taxable >= 350000 ? 0 : 2500;
    if (from >= QDate(2019, 4, 1))
        return taxable >= 500000 ? 0 : 12500;
    return std::nullopt;
}

namespace {

// The tax after the rebate of a taxable amount, not below 0; the rebate amount is the year's,
// or what the rule of the year makes of it.
double TaxAfterRebate(double taxable, double grossTotal, const Year &year, double *slabTax = nullptr)
{
    const double slab = SlabTax(taxable, std::max(0.0, taxable - year.exemptionLimit), year.slabs);
    if (slabTax)
        *slabTax = slab;
    double rebate = year.rebate;
    const double tax = ApplyRebate(slab, taxable, grossTotal, year.finYearFrom, year.finYearTo, rebate);
    return tax <= 0 ? 0 : tax;
}

} // namespace

Tax Compute(double taxable, double grossTotal, const Year &year)
{
    Tax t;
    t.tax = TaxAfterRebate(taxable, grossTotal, year, &t.slabTax);
    t.rebate = RoundAmount(t.slabTax - t.tax);
    t.taxBeforeCess = t.tax;
    if (!year.surcharge.isEmpty()) {
        t.taxBeforeCess = Surcharge::TaxWithSurcharge(
            taxable, year.surcharge, [&](double income) { return TaxAfterRebate(income, grossTotal, year); });
        t.surcharge = RoundAmount(t.taxBeforeCess - t.tax);
    }
    return t;
}

double SurchargeOf(double taxable, double grossTotal, const Year &year)
{
    return Compute(taxable, grossTotal, year).surcharge;
}

double Cess(double tax, double ratePercent)
{
    return RoundAmount(ratePercent * tax / 100);
}

double Payable(double tax, double cess)
{
    return RoundAmount(cess + tax);
}

} // namespace OldRegimeTax
