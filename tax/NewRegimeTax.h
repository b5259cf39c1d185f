#pragma once

// The tax of one employee under the new regime (section 115BAC), from pay alone: no
// house-rent, transport, 80-C, interest, premium or profession-tax deduction. Pure: no
// database, no window; the batch and the worksheet both call it.

#include "config/NewRegimeSetup.h"

namespace NewRegimeTax {

// The employee's pay for the period.
struct Inputs
{
    double gross = 0;       // so far, bonus included
    double grossProj = 0;   // the remaining months
    double taxDeducted = 0; // income tax already deducted from salary
};

struct Figures
{
    double standardDeduction = 0;
    double taxable = 0;        // gross + projection - standard deduction, not below 0
    double exemptionLimit = 0; // the top of the year's nil-rate slabs
    double slabTax = 0;
    double rebate = 0;        // 87A, marginal relief included
    double tax = 0;           // slab tax less the rebate
    double surcharge = 0;     // after its marginal relief
    double taxBeforeCess = 0; // tax + surcharge
    double cess = 0;
    double payable = 0; // tax + surcharge + cess
    double salCut = 0;
    double balance = 0; // payable - deducted; negative when more was deducted
};

// The whole computation, rounded step by step as the old computation rounds.
Figures Compute(const Inputs &in, const NewRegimeSetup::Year &year);

// Its steps, for a taxable income.
double SlabTax(double taxable, const QList<NewRegimeSetup::Slab> &slabs);
// The 87A rebate of a slab tax (never more than the tax).
double Rebate(double taxable, double slabTax, const NewRegimeSetup::Year &year);
// Tax after the rebate, plus the surcharge of the band the income is above, the surcharge cut
// so that tax and surcharge exceed those at the band's threshold by no more than the income
// above it (Surcharge::TaxWithSurcharge, which the old regime uses too).
double TaxWithSurcharge(double taxable, const NewRegimeSetup::Year &year);
// The upper limit of the slabs at 0 % at the start of the table (0 when the first slab has a rate).
double ExemptionLimit(const QList<NewRegimeSetup::Slab> &slabs);

} // namespace NewRegimeTax
