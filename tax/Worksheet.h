#pragma once

// The employee tax worksheet without its window: the figures the screen shows (kept as the
// texts it shows, read back as numbers by later steps), the year's slabs and cess, the load
// of one employee's figures, the two computations and the save of the declarations.

#include "NewRegimeTax.h"
#include "SalaryFigures.h"
#include "config/ITSetup.h"
#include "config/NewRegimeSetup.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class DbConnection;

namespace Worksheet {

// The declaration head whose amount is the rent paid.
inline constexpr const char *kRentHead = "ITA000005";

// One line of the declaration grid: "Sl No", "Particulars", "Amount", "Deduction Code".
struct DeclarationLine
{
    QString slNo;
    QString particulars;
    QString amount;
    QString code;

    bool filled() const { return !particulars.isEmpty(); }
};

// The screen's fields, named after their controls.
struct Figures
{
    // The employee block; the two tags are the employee's unit code and company code.
    QString TxEmpCode, LbName, LbDept, LbDesig, LbUnit, LbCompany, LbPan, LbSerialNo;
    QString unitCodeTag, companyCodeTag;

    // The pay block.
    QString TxGrossPay, TxProjection, TxTotalPay, TxMonths;
    QString TxHRA, TxHraProjection, TxProfTax, TxTransportAllowance;
    QString TxHLInterest, TxHLInterestLimit, TxMediClaim, TxMediClaimLimit;

    // Section 80C.
    QString TxPF, TxTotal80c, Tx80CLimit, TxNet80C;

    // The tax block.
    QString TxTaxableAmt, TxExcemption, TxNetTaxable, TxTaxableIncome;
    QString LbRebate, LbNetAmount, TxCess, TxNetTax, TxSalaryDeductions, TxBalance;
    // The old regime's surcharge (tax after rebate plus surcharge is what the cess is on), and
    // the balance spread over the months remaining.
    QString TxSurcharge, TxPerMonth;

    // Grid lines 1..n (index 0 is line 1), filled ones first.
    QList<DeclarationLine> lines;

    // Not a field: the loaded employee's basic pay and house-rent allowance received over the
    // tax year, read the first time a rent line needs them and kept until the employee is
    // cleared or loaded again, so that an Enter in the grid asks the server nothing.
    std::optional<double> loadedBasic, loadedHraReceived;

    // Number of filled lines from line 1 (stops at the first empty Particulars).
    int filledLines() const;
};

// What the screen reads once when it opens: the financial year that picks the rules, the
// tax year it works on, the four slabs and the cess rate.
struct YearSetup
{
    QDate finYearFrom, finYearTo;
    QDate taxYearStart, taxYearEnd;
    TaxSlab slabs[4];
    double cessRate = 0;
    // The new regime's figures of the financial year; none when the year is worked out the
    // old way only.
    std::optional<NewRegimeSetup::Year> newRegime;
    // The old regime's surcharge bands of the financial year; none: no surcharge.
    QList<NewRegimeSetup::SurchargeBand> oldSurcharge;
};

// The two salary sums a rent line needs (basic pay and house-rent allowance received).
using SalarySum = std::function<double(SalaryFigures::Head)>;
// The sums of one employee over the tax year, read from the server.
SalarySum ServerSalarySum(DbConnection &db, const QString &slno, const QDate &from, const QDate &to);
// The sums of the loaded employee (LbSerialNo), read from the server once and then kept in f.
SalarySum LoadedSalarySum(DbConnection &db, Figures &f, const QDate &from, const QDate &to);

// Fields as the screen shows them right after it opens ("0.00" where it shows amounts).
Figures OpenedFigures();
// The text of the employee code changed: empties the employee and clears the figures,
// keeping the limits and the last tax result; the grid becomes 20 empty lines.
void Clear(Figures &f);
// True when one of the three fields whose change recomputes the tax differs.
bool TaxInputsDiffer(const Figures &a, const Figures &b);

// Reads the limits of the financial year into the fields ("0.00") and the slabs and cess
// (to two decimals) into setup; what the year has no row for is left as it was.
void LoadYearSetup(DbConnection &db, YearSetup &setup, Figures &f);

// The head list offered on F1 in the grid's Particulars column.
QString HeadListSql();

// What a load found worth telling the user.
struct LoadResult
{
    bool finalised = true; // a 'SAL' month was found; otherwise nothing is projected
};

QString DeclarationsSql(const QString &slno, const QDate &from, const QDate &to);
QString TaxRecordSql(const QString &slno, const QDate &from, const QDate &to);
// Loads the figures of the employee in LbSerialNo (the code box's Enter), then computes.
LoadResult LoadFigures(DbConnection &db, Figures &f, const YearSetup &setup, const QDate &today);

// Totals the declarations, works out the house-rent exemption and the 80C amount allowed.
// Without a rent line there is no exemption (0.00), as a load without one shows.
void ComputeDeclarations(Figures &f, const SalarySum &sum);
// Fills the tax fields from the figures.
void ComputeTax(Figures &f, const YearSetup &setup);

// The first filled line whose amount reads as 0 (an empty one included); 0 when every filled
// line has an amount. Such a line is not saved.
int LineWithoutAmount(const Figures &f);

// The statements of a save, in order: the delete, one insert per filled line, the update.
// Amounts go in as the plain numbers the screen shows, never as the cells' text.
QStringList SaveStatements(const Figures &f, const QDate &from, const QDate &to);

// The new regime beside the worksheet's own computation, which is the old regime's.

// Reads the new regime's figures and the old regime's surcharge bands of the financial year
// into setup.
void LoadNewRegimeYear(DbConnection &db, YearSetup &setup);
// The employee's regime for the financial year: his own choice, else the year's default; the
// old regime when the year has no new-regime figures.
TaxRegime LoadRegime(DbConnection &db, const QString &slno, const YearSetup &setup);
// The new regime's tax of the pay on the worksheet: gross pay so far with the bonus, its
// projection, and the tax already deducted.
NewRegimeTax::Figures NewRegimeFigures(const Figures &f, const NewRegimeSetup::Year &year);
// What the clerk reads beside the two taxes: the regime that applies, and how much more or
// less the other one would come to.
QString RegimeNote(TaxRegime applies, double oldPayable, double newPayable);

// A regime the clerk picked on the worksheet: saved with the declarations, with who and when.
struct RegimePick
{
    QDate finYearFrom, finYearTo;
    TaxRegime regime = TaxRegime::Old;
    AuditStamp stamp;
};

// What is stored of an employee's entries for the tax year, all that a save replaces: the
// declaration rows in their order, the housing-loan interest and mediclaim of the tax record
// (0 without one) and, in a year with the new regime's figures, his own regime.
struct StoredEntries
{
    struct Line
    {
        QString code;
        double amount = 0;
        bool operator==(const Line &) const = default;
    };
    QList<Line> lines;
    double hlInt = 0;
    double mc = 0;
    std::optional<TaxRegime> regime;
    bool operator==(const StoredEntries &) const = default;
};
// Reads them (the regime too when withRegime); forUpdate locks what it reads until the
// transaction ends, so that no other save can change it in between.
StoredEntries ReadStored(DbConnection &db, const QString &slno, const QDate &from, const QDate &to, bool withRegime,
                         bool forUpdate = false);
// What differs between two states of the entries, one line each, in the clerk's words
// ("housing loan interest: now 150000.00, loaded 120000.00"); the declarations name their
// heads as hr_it_allowance does (read from the server).
QStringList StoredChanges(DbConnection &db, const StoredEntries &loaded, const StoredEntries &now);

struct SaveResult
{
    // False when the employee has no tax record of the period: the housing-loan interest
    // and mediclaim are kept there, so they were not stored (the declarations were).
    bool taxRecordUpdated = true;
    // Set when the stored entries were no longer those the screen loaded: nothing was
    // written, and this is what is stored now.
    std::optional<StoredEntries> changedMeanwhile;
    // What is stored after a save that wrote.
    StoredEntries stored;
};
// Sends them, and the regime picked when there is one, in one transaction; on a failure
// nothing is changed and DbError is thrown. A code that its column cannot hold is refused
// (DbError of kind TooLong) before anything is sent. With loaded (what was stored when the
// screen loaded the employee, read with the regime when withRegime), the stored entries are
// first read under lock and compared with it: when someone else changed them in between,
// nothing is written and the result says what is stored now. A save that met another save
// of the same employee in a deadlock is tried again.
SaveResult Save(DbConnection &db, const Figures &f, const QDate &from, const QDate &to,
                const std::optional<RegimePick> &regime = std::nullopt, const StoredEntries *loaded = nullptr,
                bool withRegime = false);

} // namespace Worksheet
