#pragma once

// The surcharge on the income tax of a high income, under either regime: the rate of the band
// whose threshold the taxable income is above, with marginal relief. Pure: no database.

#include "config/NewRegimeSetup.h"

#include <QList>

#include <functional>

namespace Surcharge {

// The tax after the rebate, before surcharge and cess, of a taxable income under one regime's
// slabs and rebate.
using TaxAt = std::function<double(double taxable)>;

// The tax of the taxable income, taxAt(taxable), plus the surcharge of the band with the
// highest threshold the income is above (bands in any order; none above: no surcharge). The
// surcharge is cut (marginal relief) so that tax and surcharge exceed those at the band's
// threshold, where the band below applies, by no more than the income above the threshold.
// Rounded to the paisa step by step.
double TaxWithSurcharge(double taxable, const QList<NewRegimeSetup::SurchargeBand> &bands, const TaxAt &taxAt);

} // namespace Surcharge
