#pragma once

// The income-tax computation of one employee for a period: the batch's use of the year's
// limits and slabs, the year rules, and the computation in its fixed order of steps.

#include "OldRegimeTax.h"
#include "TaxRecord.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

class DbConnection;

namespace TaxRules {

// --- Limits and slabs of the financial year -----------------------------------------
// The batch's reading of the year: each limit rounded to two decimals, 0 without a row;
// REBATE and the slabs 1 to 4 go into the state only where the year has a row for them.
TaxSettings UseYear(const ITSetup::Year &year, RebateState &state);
// Reads the year (limits, then slabs) and uses it as above.
TaxSettings LoadYear(DbConnection &db, const QDate &finYearFrom, const QDate &finYearTo, RebateState &state);

// --- Year rules and pure steps: the old regime's (tax/OldRegimeTax.h) ------------------
using OldRegimeTax::HraExemption;
using OldRegimeTax::IsMetroUnit;
using OldRegimeTax::IsTransportYear;
using OldRegimeTax::StandardDeduction;
using OldRegimeTax::Transport;
using OldRegimeTax::TransportRule;
// Slab tax of taxable amount T under the state's slabs; excess is T above the exemption limit.
double SlabTax(double taxable, double excess, const RebateState &state);
// Tax less the rebate of the year band; may replace the state's rebate amount.
double ApplyRebate(double tax, double taxable, double grossTotal, const QDate &finYearFrom, const QDate &finYearTo,
                   RebateState &state);

// What the computation reads for one employee.
struct EmployeeInputs
{
    double gross = 0; // visible salary so far, month by month rounded
    int paidMonths = 0;
    double bonus = 0;
    double pf = 0;
    double professionTax = 0;
    double transport = 0; // read in the transport years only
    bool hasRent = false;
    double rentPaid = 0;
    double declared80c = 0;
    double basic = 0;       // read only with a rent row
    double hraReceived = 0; // read only with a rent row
    double declaredMc = 0;
    double declaredHlInt = 0;
    double taxDeducted = 0;
};

// Everything the computation needs besides the employee's own figures.
struct Context
{
    QDate periodFrom, periodTo;
    QDate finYearFrom, finYearTo;
    QDate today;
    int monthsRemaining = 0; // below 12
    TaxSettings settings;
    // The new regime's figures of the financial year (none: the old regime for everybody), and
    // the choices of the run's employees by emp_slno, read once per run.
    std::optional<NewRegimeSetup::Year> newRegime;
    QHash<QString, TaxRegime> regimeChoices;
    // The old regime's surcharge bands of the financial year; none: no surcharge.
    QList<NewRegimeSetup::SurchargeBand> oldSurcharge;
};

// The regime of an employee of the run in its financial year: his choice, else the year's
// default; the old regime in a year without the new regime's figures.
TaxRegime RegimeOf(const Context &ctx, const QString &slno);

// The figures from what was read, under the employee's regime; nullopt for an employee without
// gross pay (skipped under either regime). Both ways of reading (one employee at a time, a set
// of employees at once) end here. The new regime allows no exemption or deduction: it stores 0
// as the house-rent exemption, the transport projection and the 80C amount allowed, its
// standard deduction as emp_ta, its own taxable amount and exemption limit, and its tax with
// the surcharge as the tax before cess; the slabs and rebate of the state are the old
// regime's and stay untouched.
std::optional<TaxFigures> Compute(const EmployeeInputs &in, bool metro, TaxRegime regime, const Context &ctx,
                                  RebateState &state);

// One of the employee's tax records that lie within the period, with the premium and interest
// the worksheet declared on it.
struct PeriodRecord
{
    QDate from, to;
    double hlInt = 0; // a null reads as 0
    double mc = 0;
};
// The record whose premium and interest the computation takes: the first record of exactly the
// period; without one, the record that starts first and, of those, ends last (the first read
// of equals). -1 for none.
int DeclaringRecord(const QList<PeriodRecord> &records, const QDate &from, const QDate &to);

QString DeclarationsSql(const QString &slno, const QDate &from, const QDate &to);
// A locking read, as the batch's read of a set of employees is: inside the run's transaction it
// sees the premium and interest as a worksheet saved them meanwhile and keeps them until the
// run has written them back.
QString DeclaredAmountsSql(const QString &slno, const QDate &from, const QDate &to);

// A declaration read: the last rent row read is the rent paid; every other head is a section
// 80C amount. The amount is the stored text (empty for null).
void AddDeclaration(EmployeeInputs &in, const QString &head, const QString &amountText);
// The declared premium and interest of the DeclaringRecord among the records read (0 without one).
void UseDeclaringRecord(EmployeeInputs &in, const QList<PeriodRecord> &records, const QDate &from, const QDate &to);

// Reads what the computation needs of one employee, one statement per figure. Reads stop as
// soon as the employee turns out to have no gross pay.
EmployeeInputs ReadInputs(DbConnection &db, const QString &slno, const Context &ctx);

// Reads one employee's figures from the server and computes them under his regime; nullopt
// when skipped.
std::optional<TaxFigures> ComputeEmployee(DbConnection &db, const QString &slno, const QString &unitCode,
                                          const Context &ctx, RebateState &state);

} // namespace TaxRules
