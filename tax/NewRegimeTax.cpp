#include "NewRegimeTax.h"

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
    const double slabTax = SlabTax(taxable, year.slabs);
    const double tax = std::max(0.0, RoundAmount(slabTax - Rebate(taxable, slabTax, year)));
    // The band of the highest threshold the income is above.
    const NewRegimeSetup::SurchargeBand *band = nullptr;
    for (const NewRegimeSetup::SurchargeBand &b : year.surcharge)
        if (taxable > b.threshold && (!band || b.threshold > band->threshold))
            band = &b;
    if (!band)
        return tax;
    double surcharge = RoundAmount(tax * band->per / 100);
    // Marginal relief: at the threshold the band below applies, so this ends in it.
    const double ceiling = TaxWithSurcharge(band->threshold, year) + RoundAmount(taxable - band->threshold);
    if (tax + surcharge > ceiling)
        surcharge = std::max(0.0, RoundAmount(ceiling - tax));
    return RoundAmount(tax + surcharge);
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
