#include "Surcharge.h"

#include "session/Common.h"

#include <algorithm>

namespace Surcharge {

double TaxWithSurcharge(double taxable, const QList<NewRegimeSetup::SurchargeBand> &bands, const TaxAt &taxAt)
{
    const double tax = taxAt(taxable);
    const NewRegimeSetup::SurchargeBand *band = nullptr;
    for (const NewRegimeSetup::SurchargeBand &b : bands)
        if (taxable > b.threshold && (!band || b.threshold > band->threshold))
            band = &b;
    if (!band)
        return tax;
    double surcharge = RoundAmount(tax * band->per / 100);
    const double ceiling = TaxWithSurcharge(band->threshold, bands, taxAt) + RoundAmount(taxable - band->threshold);
    if (tax + surcharge > ceiling)
        surcharge = std::max(0.0, RoundAmount(ceiling - tax));
    return RoundAmount(tax + surcharge);
}

} // namespace Surcharge
