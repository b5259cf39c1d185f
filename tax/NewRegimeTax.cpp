#include "NewRegimeTax.h"

#include "Surcharge.h"
#include "session/Common.h"

#include <algorithm>

namespace NewRegimeTax {

using NewRegimeSetup::Slab;
using NewRegimeSetup::Year;

double SlabTax(double taxable, const QList<Slab> &slabs)
{
    double tax = 0;
    for (int i = 0; i < slabs.size(); ++i) {
        const Slab &s = slabs[i];
        if (taxable <= s.from)
            break;
        // The last slab's rate runs on above its upper limit, if it was given one.
        const bool last = i == slabs.size() - 1;
        const double top = s.to && !last ? std::min(taxable, *s.to) : taxable;
        tax += RoundAmount((top - s.from) * s.per / 100);
    }
    // A sum of amounts in hundredths: rounding only drops the binary noise of the additions.
    return RoundAmount(tax);
}

double Rebate(double taxable, double slabTax, const Year &year)
{
    if (taxable <= year.rebateLimit)
        return std::min(slabTax, year.rebateMax);
    if (year.rebateRelief && year.rebateMax > 0) {
        const double excess = RoundAmount(taxable - year.rebateLimit);
        if (slabTax > excess)
            return RoundAmount(slabTax - excess);
    }
    return 0;
}

double TaxWithSurcharge(double taxable, const Year &year)
{
    return Surcharge::TaxWithSurcharge(taxable, year.surcharge, [&year](double income) {
        const double slabTax = SlabTax(income, year.slabs);
        return std::max(0.0, RoundAmount(slabTax - Rebate(income, slabTax, year)));
    });
}

double ExemptionLimit(const QList<Slab> &slabs)
{
    double limit = 0;
    for (const Slab &s : slabs) {
        if (s.per != 0)
            break;
        limit = s.to.value_or(s.from);
    }
    return limit;
}

Figures Compute(const Inputs &in, const Year &year)
{
    Figures f;
    f.standardDeduction = year.standardDeduction;
    f.taxable = RoundAmount(in.gross + in.grossProj - year.standardDeduction);
    if (f.taxable < 0)
        f.taxable = 0;
    f.exemptionLimit = ExemptionLimit(year.slabs);
    f.slabTax = SlabTax(f.taxable, year.slabs);
    f.rebate = Rebate(f.taxable, f.slabTax, year);
    f.tax = std::max(0.0, RoundAmount(f.slabTax - f.rebate));
    f.taxBeforeCess = TaxWithSurcharge(f.taxable, year);
    f.surcharge = RoundAmount(f.taxBeforeCess - f.tax);
    f.cess = RoundAmount(year.cess * f.taxBeforeCess / 100);
    f.payable = RoundAmount(f.taxBeforeCess + f.cess);
    f.salCut = in.taxDeducted;
    f.balance = RoundAmount(f.payable - f.salCut);
    return f;
}

} // namespace NewRegimeTax
