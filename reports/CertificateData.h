#pragma once

// What the year's tax certificates of a company (or of one employee) are made of, read from
// the server set by set: once per run the year's rules, the employer's details, the payroll's
// last finalised month, the employees and their regimes; per set of employees one statement
// for their tax records and one for their declarations; none per employee. Each employee then
// comes out ready to draw, without a tax record, or refused with the reason.

#include "Certificate.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

class DbConnection;

namespace CertificateData {

struct Request
{
    QString companyCode;
    QString slno; // one employee; empty for the whole company
    QDate finYearFrom, finYearTo;
    QDate from, to; // the period of the tax records
    QDate issued;   // the date the certificates carry
    int employeesPerSet = 2000;
};

// A run that cannot start (the employer's details are missing, no such company); the text
// says why.
class Problem : public std::runtime_error
{
public:
    explicit Problem(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

// Everything read once per run.
struct Context
{
    Request request;
    QString companyName;
    EmployerDetails::Details employer;
    TaxCertificate::YearRules year;
    QHash<QString, TaxRegime> choices;
    // Months of the period after the payroll's last finalised month as the server holds it now;
    // -1 when nothing was finalised up to the period end.
    int monthsRemaining = -1;
    QList<Certificate::Employee> employees; // in the order of their codes
};

// The employees a run covers: those of the company in service and those with a tax record of
// exactly the period (who may have left since), or the one employee asked for.
QString EmployeesSql(const Request &request);
// The declarations of a set of employees (the table of BatchInputs::EmployeeTable), with the
// head names, each row with k, the employee's index, in the order of entry.
QString DeclarationsSql(const QString &employeeTable, const QDate &from, const QDate &to);

// Reads what a run needs once. Throws Problem when the company has no employer details or
// they are incomplete (naming the missing field), DbError on a database failure.
Context Load(DbConnection &db, const Request &request);

// One employee's certificate as it comes out of the reading.
struct Prepared
{
    enum class Status { Ready, NoRecord, Refused };
    Status status = Status::NoRecord;
    Certificate::Employee employee;
    QString reason;             // why refused
    Certificate::Inputs inputs; // Ready only
};

// The certificates of employees first .. first + count - 1 of the context's list (two
// statements).
std::vector<Prepared> ReadSet(DbConnection &db, const Context &context, int first, int count);

} // namespace CertificateData
