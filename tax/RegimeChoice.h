#pragma once

// The regime an employee is taxed under in a financial year: the employee's own choice
// (hr_it_emp_regime, with who set it and when), else the year's default; a year without the
// new regime's data is computed the old way for everybody.

#include "config/NewRegimeSetup.h"

#include <QHash>

class DbConnection;

namespace RegimeChoice {

// Every choice of the company's employees for the year, or of its one employee slno (emp_slno
// as the employee list holds it, emp_regime).
QString ChoicesSql(const QString &companyCode, const QDate &from, const QDate &to, const QString &slno = QString());
// One employee's choice for the year.
QString ChoiceSql(const QString &slno, const QDate &from, const QDate &to);
// The choice, inserted or changed (then with the modified columns).
QString SaveStatement(const QString &slno, const QDate &from, const QDate &to, TaxRegime regime,
                      const AuditStamp &stamp);

// The choices by emp_slno; a row with a code other than 'OLD' or 'NEW' counts as no choice.
QHash<QString, TaxRegime> LoadChoices(DbConnection &db, const QString &companyCode, const QDate &from, const QDate &to,
                                      const QString &slno = QString());
std::optional<TaxRegime> LoadChoice(DbConnection &db, const QString &slno, const QDate &from, const QDate &to);
// One statement: it joins the caller's transaction when one is open.
void Save(DbConnection &db, const QString &slno, const QDate &from, const QDate &to, TaxRegime regime,
          const AuditStamp &stamp);

// The regime that applies: Old without the year's new-regime data, else the choice, else the
// year's default.
TaxRegime Effective(const std::optional<NewRegimeSetup::Year> &year, std::optional<TaxRegime> choice);

} // namespace RegimeChoice
