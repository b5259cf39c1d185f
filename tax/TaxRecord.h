#pragma once

// The tax record of one employee and period (a row of hr_it), the limits of a financial year
// as the batch uses them, and the slabs and rebate that live as long as the batch screen; the
// one map of the record's columns, from which its statements are built, and its reader.

#include "config/ITSetup.h"
#include "config/NewRegimeSetup.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>
#include <span>
#include <vector>

class DbConnection;
class Recordset;

// The limits of a financial year (hr_it_setup), each rounded to two decimals; 0 without a row.
struct TaxSettings
{
    double mcLimit = 0;
    double hlLimit = 0;
    double limit80c = 0;
    double taxLimit = 0;
    double cess = 0;
};

// The four slabs and the rebate amount. They belong to the open batch screen (or one run of
// the command-line batch): each run overwrites what its rows supply, a missing row keeps
// the value of the run before, and two of the rebate rules replace the amount for the
// employees that follow.
struct RebateState
{
    TaxSlab slabs[4];
    double rebate = 0;
};

// Every figure of one employee's tax record, as the batch writes it.
struct TaxFigures
{
    int monthsRemaining = 0;
    double gross = 0;     // so far, bonus included
    double grossProj = 0; // remaining months, bonus not projected
    double hra = 0;       // house-rent exemption, not the allowance received
    double hraProj = 0;
    double pf = 0;
    double pfProj = 0;
    double professionTax = 0;
    double declaredHlInt = 0; // as declared on the worksheet, before the limit
    double declaredMc = 0;
    double ta = 0; // transport allowance, or the standard deduction
    double taProj = 0;
    double total80c = 0;
    double net80c = 0;
    double taxable = 0;
    double exemption = 0; // the TAX_LIMIT setting; under the new regime the top of its nil-rate slabs
    double tax = 0;       // after the rebate, before cess (under the new regime with the surcharge)
    double cess = 0;
    double payable = 0;
    double salCut = 0; // income tax already deducted from salary
    double balance = 0;
    TaxRegime regime = TaxRegime::Old;
};

namespace TaxRecord {

// One stored tax record, every column of its hr_it row.
struct Record
{
    QString slno;
    QString empCode; // emp_code_char followed by emp_code
    QString companyCode;
    QDate from, to; // the period
    // The figures; declaredHlInt and declaredMc are the interest and premium the row holds (as
    // declared on the worksheet, before the limit). The regime is not stored: it stays Old.
    TaxFigures figures;
    // The year's limits as stored: hlLimit, mcLimit and limit80c (taxLimit and cess are not
    // stored and stay 0; the record's exemption limit is figures.exemption).
    TaxSettings limits;
    double createdBy = 0; // the user id read as a number
    QDate createdDate;
    QTime createdTime;
};

// What a statement writes into a column.
enum class Write {
    None,  // nothing: the column is not in the statement
    Key,   // nothing, the column selects the row (the update's where clause)
    Value, // the record's value
    Zero,  // 0, whatever the record holds
    Kept,  // the value the row already holds, which the record carries (the update of the
           // worksheet's interest and premium)
};

// Where a column's value lives in a Record: how it is written into SQL text (quoted where it
// is a text, a date or a time; dates as 'yyyy/mm/dd') and how it is read back from a result.
struct Value
{
    QString (*sql)(const Record &record);
    void (*read)(Record &record, const Recordset &rs, int index);
    bool perRun; // one of the year's limits: the same in every record of a run
};

// A column of hr_it: its name, its value, what the insert and the update of the batch write
// into it, whether a list of the records shows it (the statement), and the texts that stand
// before it in the statements as they have always been sent, which differ from column to
// column: in the insert's column list, in the insert's values, in the update (before the
// name, and between the name and the value).
struct Column
{
    const char *name;
    Value value;
    Write insert;
    Write update;
    bool listed;
    const char *listSep;
    const char *valueSep;
    const char *setSep;
    const char *assign = "=";
};

// Every column of hr_it the program writes, in the order of the insert's column list. A new
// column of the record goes here, and nowhere else.
std::span<const Column> Columns();

// The columns a list of the records shows, in the record's order: the employee code, then the
// figures and limits from emp_months_rem to emp_balance.
constexpr int kListedColumns = 25;
QStringList ListedColumns();

// The tax to deduct in each remaining month: the balance over the months remaining, rounded
// up to the rupee; 0 when the balance is 0 or less; the balance itself when no month remains.
double PerMonth(double balance, int monthsRemaining);

// --- The reader ---------------------------------------------------------------------
// A record is found by its key, the employee's emp_slno and exactly the period; of several
// rows with the same key (the batch gives them the same figures) the first stored.

QString ReadSql(const QString &slno, const QDate &from, const QDate &to);
// One statement for the records of a set of employees, each row with k, the employee's index.
QString ReadSetSql(const QStringList &slnos, const QDate &from, const QDate &to);

// The stored record of one employee and period; nullopt when there is none.
std::optional<Record> Read(DbConnection &db, const QString &slno, const QDate &from, const QDate &to);
// The stored records of a set of employees and a period, in the order of slnos, with one
// statement (nullopt for an employee without one). Give it a few thousand employees at a time.
std::vector<std::optional<Record>> ReadSet(DbConnection &db, const QStringList &slnos, const QDate &from,
                                           const QDate &to);

} // namespace TaxRecord
