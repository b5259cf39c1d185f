#pragma once

// The employee list that the batch, worksheet and statement screens offer on F1 in their code
// box: its statement, and one picked row of it named by meaning.

#include <QString>

// Whether a code box holding only blanks offers every employee, as an empty one does (the
// batch screen), or searches with its trimmed text, which every code contains (the worksheet
// and the statement).
enum class BlankCode { OffersAll, Searches };

// The company's employees in service (emp_disable=0, emp_flag=0) when the typed text is
// empty; otherwise those whose code contains it, and those in service whose name contains it
// (the text upper-cased and trimmed, escaped for LIKE).
QString EmployeeLookupSql(const QString &companyCode, const QString &typed, BlankCode blanks);

// One row of the employee list, its ten columns in order.
struct EmployeePick
{
    QString code; // emp_code_char followed by emp_code
    QString name;
    QString designation;
    QString department;
    QString unitName;
    QString companyName;
    QString slno; // the employee's key
    QString pan;
    QString unitCode;
    QString companyCode;
};
