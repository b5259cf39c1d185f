#pragma once

// The batch generation of tax records: every in-service employee of a company, or one
// employee, for a period; one hr_it row per employee and period, inserted or updated.
// The batch screen and the command-line batch both run it.

#include "TaxRecord.h"
#include "TaxRules.h"
#include "session/DbConnection.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

#include <functional>
#include <stdexcept>

namespace IncomeTaxBatch {

struct Request
{
    // As typed or chosen; the run works with the code as the company master holds it.
    QString companyCode;
    QDate finYearFrom, finYearTo; // select the limits, slabs and year rules
    QDate from, to;               // the period
    QString slno;                 // one employee; empty for all
    QString userId;
    QDate today;
    QTime now;
    // The whole company one employee at a time, with the statements of one employee (a run
    // for one employee always goes that way); otherwise the company is read in sets.
    bool perEmployee = false;
    // How long to wait for a run of the same company that holds the company's run lock.
    int lockWaitSeconds = 5;
    // Who runs it, for a second workstation's message.
    QString userName;
    QString workstation;
    // Employees read together, and records written by one statement at most.
    int employeesPerSet = 2000;
    int rowsPerStatement = 1000;
    // A run that the server undid because other work on the same tables got in its way (a
    // deadlock, a lock wait that ran out, a record stored meanwhile) is run again as a whole.
    RetryPolicy retry{5, 250, 3, true};
};

// A run of the session's company and financial year over a period, stamped now.
Request SessionRequest(const QDate &from, const QDate &to, const QString &slno);

// Where the run stands: shown after the selection is counted (value 0, no caption) and
// after every employee, skipped or not.
struct Progress
{
    int value = 0;
    int maximum = 0;
    QString caption; // " [ n/max]", n counted before this employee
    QString percent; // "n %"
    // Told alone (value and maximum 0) when the run waits for another run of the company.
    QString note;
};

struct Result
{
    int selected = 0;
    int inserted = 0;
    int updated = 0;
    int skipped = 0; // no gross pay in the period
    // Whether the financial year has the new regime's figures, and of the records written, how
    // many are under the new regime.
    bool newRegimeYear = false;
    int newRegime = 0;
    // The company's code as the company master holds it, and the attempts the run took.
    QString companyCode;
    int attempts = 1;
};

// A run that stopped; the text says why (and names the employee and the server's text).
class Error : public std::runtime_error
{
public:
    // Busy: another run of the company held the company's run lock past the wait.
    // UnknownCompany: the company master has no company of that code; nothing was read.
    enum class Kind { Stopped, Busy, UnknownCompany };
    explicit Error(const QString &text, Kind kind = Kind::Stopped)
        : std::runtime_error(text.toStdString()), m_text(text), m_kind(kind)
    {
    }
    QString text() const { return m_text; }
    Kind kind() const { return m_kind; }

private:
    QString m_text;
    Kind m_kind;
};

// --- Statements ---------------------------------------------------------------------
QString CountSql(const QString &companyCode, const QString &slno);
QString ListSql(const QString &companyCode, const QString &slno);
QString RecordSql(const QString &slno, const QDate &from, const QDate &to);
QString InsertSql(const Request &req, const QString &slno, const QString &empCode, const TaxFigures &f,
                  const TaxSettings &s);
QString UpdateSql(const Request &req, const QString &slno, const TaxFigures &f, const TaxSettings &s, double hlInt,
                  double mc);

// A record to write in a company run read in sets.
struct RecordRow
{
    QString slno;
    QString empCode;
    TaxFigures figures;
    double hlInt = 0; // the update writes back the first record's declared interest and premium
    double mc = 0;
};
// Several new records in one statement: InsertSql's rows, one after the other.
QString InsertRowsSql(const Request &req, const QList<RecordRow> &rows, const TaxSettings &s);
// Several records changed in one statement, as UpdateSql changes each: every record of the
// employee and period, the same columns with the same values.
QString UpdateRowsSql(const Request &req, const QList<RecordRow> &rows, const TaxSettings &s);

// The texts of the progress display.
QString CaptionText(int value, int maximum);
QString PercentText(int value, int maximum);
// What a run wrote: "387 selected, 380 inserted, 0 updated, 7 skipped without gross pay", and
// in a year with the new regime's figures "; 300 under the new regime, 80 under the old".
QString SummaryText(const Result &result);

// What a run of the request needs besides the employees: the year's limits and slabs (into
// state), the figures of both regimes, the employees' choices and the months remaining. Throws
// Error when the months remaining cannot be counted, and when the year's stored figures of
// either regime do not hold together (NewRegimeSetup::Validate, ValidateOldSurcharge; state is
// then as it was). The regime comparison reads the same.
TaxRules::Context RunContext(DbConnection &db, const Request &req, RebateState &state);

// Runs the batch, holding the company's run lock, in one transaction: either every record of
// the run is stored or none. The company is looked up first, and everything after works with
// its code as the master holds it. A run that collided with other work is run again (see
// Request::retry), from the slabs and rebate it started with. Throws Error for an unknown
// company, when another run of the company kept the lock past the wait, when the months
// remaining cannot be counted, and when a statement fails; the text says why in the clerk's
// words, names the employee whose record the server refused, and says that nothing was stored.
Result Run(DbConnection &db, const Request &req, RebateState &state,
           const std::function<void(const Progress &)> &progress = {});

} // namespace IncomeTaxBatch
