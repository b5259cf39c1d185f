#pragma once

// The computation of the year's tax certificate from an employee's stored tax record: the
// salary, exemptions, deductions and taxable income the record holds, and the tax on that
// income, the rebate, the surcharge and the cess, worked out again with the batch's own rules
// so that the rows of the certificate add up to the stored tax, cess and payable. A record
// whose figures cannot add up that way is refused with the reason. Pure: no database, no
// window (the year's rules are read once per run by LoadYear).

#include "TaxRecord.h"

#include <QDate>
#include <QString>

#include <optional>

class DbConnection;

namespace TaxCertificate {

// The year's rules the certificate's tax is worked out with.
struct YearRules
{
    QDate finYearFrom, finYearTo;
    // The old regime's slabs and rebate amount as a batch screen opened afresh holds them (the
    // year's rows; 0 where the year has none), and its limits (the cess rate among them).
    RebateState oldRegime;
    TaxSettings settings;
    // The new regime's figures of the year; none: everybody under the old regime.
    std::optional<NewRegimeSetup::Year> newRegime;
    // The old regime's surcharge bands of the year; none: no surcharge under the old regime.
    QList<NewRegimeSetup::SurchargeBand> oldSurcharge;
};
// Reads the year's limits and slabs, its new-regime figures and the old regime's bands.
YearRules LoadYear(DbConnection &db, const QDate &finYearFrom, const QDate &finYearTo);

// The surcharge of a regime on the tax after the rebate, for the taxable income of a record:
// the one place where the certificate takes it. Each regime's bands and marginal relief, as
// the batch applies them (NewRegimeTax, OldRegimeTax); 0 in a year without bands.
double RegimeSurcharge(TaxRegime regime, const TaxFigures &record, double taxAfterRebate, const YearRules &year);

// An amount so far, the projection for the months that remain, and both together.
struct Split
{
    double soFar = 0;
    double projected = 0;
    double total() const;
};

// The figures of the certificate's rows.
struct Computation
{
    TaxRegime regime = TaxRegime::Old;
    Split salary;    // section 17(1): gross pay with the bonus, and its projection
    Split houseRent; // exempt house-rent allowance (0 under the new regime)
    Split transport; // exempt transport allowance, in the years that allow it
    double standardDeduction = 0;
    double professionTax = 0; // tax on employment (0 under the new regime)
    double houseProperty = 0; // the loss from house property: minus the interest allowed
    Split gross80c;           // provident fund and declarations; the projection is the fund's
    double allowed80c = 0;
    double premium = 0; // the medical-insurance premium declared, and the amount allowed
    double allowedPremium = 0;
    double exemptionLimit = 0;
    double totalIncome = 0; // the stored taxable amount
    double taxOnIncome = 0;
    double rebate = 0;
    double surcharge = 0;
    double cess = 0;
    double payable = 0;
    double deducted = 0; // income tax deducted from salary
    double balance = 0;  // payable less deducted; negative when more was deducted
};

struct Outcome
{
    std::optional<Computation> computation;
    QString refusal; // why the record cannot be shown, ending "generate the records again"
};

// The certificate's figures of a stored record under the regime the employee has in the
// financial year; declared80c is the sum of his section 80C declarations of the period as
// they stand now (the record's 80C total must be his provident fund and them).
Outcome Derive(const TaxRecord::Record &record, TaxRegime regime, double declared80c, const YearRules &year);

} // namespace TaxCertificate
