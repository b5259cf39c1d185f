#pragma once

// The old regime's rules on numbers: the year tests, the transport allowance or standard
// deduction, the house-rent exemption, the slab tax, the rebate, the surcharge and the cess.
// The batch (TaxRules) and the worksheet both call them. Where the worksheet has always
// worked a rule out differently, its way is a function of its own, named Worksheet...; the
// two ways are kept apart on purpose, since each screen's figures are as they have always
// been. Pure: no database, no window.

#include "config/ITSetup.h"
#include "config/NewRegimeSetup.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace OldRegimeTax {

// --- Year tests (on the financial year) ------------------------------------------------
// 2016-17 and 2017-18: the transport allowance instead of a standard deduction.
bool IsTransportYear(const QDate &finYearFrom);
// The batch's standard deduction outside the transport years: 40000 in 2018-19, else 50000.
double StandardDeduction(const QDate &finYearFrom);
// The worksheet's: the same from 2018-19 on, none (nullopt) for a year before 1 April 2016.
std::optional<double> WorksheetStandardDeduction(const QDate &finYearFrom);

// --- Metro units (50 % of basic pay in the house-rent rule, else 40 %) -----------------
// The batch's test, by unit code: MUM, CHN, DLH, KOL.
bool IsMetroUnit(const QString &unitCode);
// The worksheet's test, by the unit's name: MUMBAI, CHENNAI, KOLKATHA, DELHI.
bool IsMetroUnitName(const QString &unitName);

// --- Projections over the months remaining m -----------------------------------------
// The worksheet projects only when 0 < m < 12.
bool WorksheetProjects(int monthsRemaining);
// The worksheet's projection of an amount (house-rent exemption): m x (amount / (12 - m))
// rounded, 0 outside its guard.
double WorksheetProjection(double amount, int monthsRemaining);
// The worksheet's amount with its projection in one figure (provident fund, transport):
// amount + amount / (12 - m) x m, rounded once; the amount alone outside its guard.
double WorksheetProjectedTotal(double amount, int monthsRemaining);
// The worksheet's projection of gross pay: the batch's rule (SalaryFigures::ProjectGross)
// inside its guard, 0 outside it.
double WorksheetGrossProjection(double gross, int paidMonths, int expectedMonths, int monthsRemaining);

// --- Transport allowance (transport years) ---------------------------------------------
struct Transport
{
    double ta = 0;
    double taProj = 0;
};
// The batch's: the allowance and its projection, together at most 19200.
Transport TransportRule(double paid, int monthsRemaining);
// The worksheet's: the projected total, at most 19200.
double WorksheetTransport(double paid, int monthsRemaining);

// --- House-rent exemption --------------------------------------------------------------
// Rent paid above 10 % of basic pay (basic's tenth rounded).
double RentExcess(double rentPaid, double basic);
// 50 % of basic pay in a metro, else 40 %, rounded.
double HraCap(double basic, bool metro);
// The exemption of an excess rent: the smaller of the allowance received and the cap when the
// excess is above the allowance received, else the allowance received.
double HraOfExcess(double excess, double received, double cap);
// The batch's exemption.
double HraExemption(double rentPaid, double basic, double received, bool metro);
// The worksheet's: the excess rent taken as 0 when it is not above 0.
double WorksheetHraExemption(double rentPaid, double basic, double received, bool metro);

// --- Slab tax ----------------------------------------------------------------------------
using Slabs = TaxSlab[4];
// Which of the four slab branches a taxable amount falls in (1 to 4), 0 for none: slab 1
// start < T < end, slab 2 start < T <= end, slab 3 and 4 start <= T <= end.
int SlabBranch(double taxable, const Slabs &slabs);
// The tax of a branch, with its fixed amounts (250000, 500000, 1000000; 12500, 100000); the
// first branch taxes the income above the exemption limit (excess) at slab 2's rate.
double BranchTax(int branch, double taxable, double excess, const Slabs &slabs);
// The batch's slab tax: the branch's tax, 0 in none.
double SlabTax(double taxable, double excess, const Slabs &slabs);

// The worksheet's slab tax of its taxable amount (may be negative) and exemption limit, by
// its own rule for a year ending by 31 March 2016; outside every branch the income above the
// exemption limit. plain: the worksheet writes it as a plain number, not with two decimals.
struct WorksheetSlab
{
    double tax = 0;
    bool plain = false;
};
WorksheetSlab WorksheetSlabTax(double taxable, double exemption, const Slabs &slabs, const QDate &finYearTo);

// --- Rebate ------------------------------------------------------------------------------
// The batch's rebate bands: the tax less the rebate amount, which the 2014-16 and 2018-19
// rules replace (it stays so for the employees that follow). May go below 0.
double ApplyRebate(double tax, double taxable, double grossTotal, const QDate &finYearFrom, const QDate &finYearTo,
                   double &rebate);
// The worksheet's table of fixed rebates; nullopt for a year it has no row for (the screen
// keeps the REBATE setting then).
std::optional<double> WorksheetRebate(const QDate &finYearFrom, const QDate &finYearTo, double taxable,
                                      double totalPay);

// --- Tax of a taxable amount (the batch's rules) -----------------------------------------
// What the tax of a year depends on besides the employee's income.
struct Year
{
    QDate finYearFrom, finYearTo; // choose the rebate rule
    TaxSlab slabs[4];
    double exemptionLimit = 0;                      // TAX_LIMIT (emp_excemption of a record)
    double rebate = 0;                              // the rebate amount in force: REBATE, or what rule 2 or 4 set
    QList<NewRegimeSetup::SurchargeBand> surcharge; // the old regime's bands; none: no surcharge
};

struct Tax
{
    double slabTax = 0;
    double rebate = 0;        // the part of the slab tax the rebate took
    double tax = 0;           // after the rebate, not below 0
    double surcharge = 0;     // after marginal relief
    double taxBeforeCess = 0; // tax + surcharge: emp_net_taxable_amt
};

// The old regime's tax of a taxable amount T under the batch's rules: the slab tax, the
// rebate (grossTotal, gross pay with its projection, decides only in 2013-14), then the
// surcharge of the band T is above, with marginal relief (Surcharge::TaxWithSurcharge).
// year.rebate is read, never changed. A year without bands has no surcharge.
Tax Compute(double taxable, double grossTotal, const Year &year);
// The surcharge alone: Compute(...).surcharge. The certificate of a stored record calls it
// with emp_taxable_amt, emp_gross + emp_gross_proj and the year's slabs, exemption limit,
// rebate amount and bands.
double SurchargeOf(double taxable, double grossTotal, const Year &year);

// --- Cess, payable, and the tax to deduct each month ------------------------------------
// Cess of a tax (with its surcharge) at a rate in percent, rounded.
double Cess(double tax, double ratePercent);
// Tax plus cess, rounded.
double Payable(double tax, double cess);

} // namespace OldRegimeTax
