#pragma once

// The batch generation of tax records: every in-service employee of a company, or one
// employee, for a period; one hr_it row per employee and period, inserted or updated.
// The batch screen and the command-line batch both run it.

#include "TaxRecord.h"
#include "TaxRules.h"

#include <QDate>
#include <QString>
#include <QTime>

#include <functional>
#include <stdexcept>

class DbConnection;

namespace IncomeTaxBatch {

struct Request
{
    QString companyCode;
    QDate finYearFrom, finYearTo; // select the limits, slabs and year rules
    QDate from, to;               // the period
    QString slno;                 // one employee; empty for all
    QString userId;
    QDate today;
    QTime now;
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
};

struct Result
{
    int selected = 0;
    int inserted = 0;
    int updated = 0;
    int skipped = 0; // no gross pay in the period
};

// A run that stopped; the text says why (and names the employee and the server's text).
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

// --- Statements ---------------------------------------------------------------------
QString CountSql(const QString &companyCode, const QString &slno);
QString ListSql(const QString &companyCode, const QString &slno);
QString RecordSql(const QString &slno, const QDate &from, const QDate &to);
QString InsertSql(const Request &req, const QString &slno, const QString &empCode, const TaxFigures &f,
                  const TaxSettings &s);
QString UpdateSql(const Request &req, const QString &slno, const TaxFigures &f, const TaxSettings &s, double hlInt,
                  double mc);

// The texts of the progress display.
QString CaptionText(int value, int maximum);
QString PercentText(int value, int maximum);

// Runs the batch. Throws Error before anything is written when the months remaining cannot
// be counted, and when a statement fails (rows written before it stay).
Result Run(DbConnection &db, const Request &req, RebateState &state,
           const std::function<void(const Progress &)> &progress = {});

} // namespace IncomeTaxBatch
