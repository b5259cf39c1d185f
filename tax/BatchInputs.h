#pragma once

// What the tax computation reads for a set of employees, one statement per kind of figure for
// the whole set: monthly gross pay, the salary-head sums in one pass, bonus, declarations and
// the existing tax records of the period. Each figure is read and rounded as the statements of
// one employee read it, so that the computation gets the very same inputs.

#include "TaxRules.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

class DbConnection;
class Recordset;

namespace BatchInputs {

// An employee of the run's list.
struct Employee
{
    QString slno;
    QString empCode; // emp_code_char followed by emp_code
    QString unitCode;
};

// One employee's inputs, and what the insert-or-update of his record needs.
struct Inputs
{
    TaxRules::EmployeeInputs in;
    // The record of exactly the period: whether there is one, and the premium and interest of
    // the first of them, which the update writes back.
    bool hasRecord = false;
    double recordHlInt = 0;
    double recordMc = 0;
};

// The employees as a table of the statements: k (their index) and s (emp_slno). Each
// statement compares s with its own table's column, so that an employee's rows are found as
// the statements of one employee find them.
QString EmployeeTable(const QList<Employee> &employees);
QString EmployeeTable(const QStringList &slnos);
// The index k of the current row of a result over such a table of count employees; throws
// DbError when the server answered for one that was not asked for.
int EmployeeIndex(const Recordset &rs, int count);

QString MonthlyGrossSql(const QString &employeeTable, const QDate &from, const QDate &to);
QString HeadSumsSql(const QString &employeeTable, const QDate &from, const QDate &to);
QString BonusSql(const QString &employeeTable, const QDate &from, const QDate &to);
QString DeclarationsSql(const QString &employeeTable, const QDate &from, const QDate &to);
// Locks the records it reads until the run's transaction ends, so that a worksheet save in
// between waits instead of being overwritten by the premium and interest read here.
QString RecordsSql(const QString &employeeTable, const QDate &from, const QDate &to);

// Reads the inputs of the employees over the period (five statements), in their order.
std::vector<Inputs> Read(DbConnection &db, const QList<Employee> &employees, const QDate &from, const QDate &to);

} // namespace BatchInputs
