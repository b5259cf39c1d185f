#include "RegimeChoice.h"

#include "session/Common.h"
#include "session/DbConnection.h"

namespace RegimeChoice {

namespace {

QString YearFilter(const QDate &from, const QDate &to)
{
    return QStringLiteral("ac_from_date='") + SqlDate(from) + QStringLiteral("' and ac_to_date='") + SqlDate(to) +
           QStringLiteral("'");
}

} // namespace

QString ChoicesSql(const QString &companyCode, const QDate &from, const QDate &to, const QString &slno)
{
    // The employee's key as hr_employee holds it, which the batch's list reads: the server
    // compares keys without regard to case or trailing blanks, a hash of the choices does not.
    QString sql = QStringLiteral("Select hr_employee.emp_slno,emp_regime from hr_it_emp_regime Inner Join hr_employee "
                                 "on hr_employee.emp_slno=hr_it_emp_regime.emp_slno where hr_employee.comp_code='") +
                  SqlEscape(companyCode) + QStringLiteral("' and ") + YearFilter(from, to);
    if (!slno.isEmpty())
        sql += QStringLiteral(" and hr_employee.emp_slno='") + SqlEscape(slno) + QLatin1Char('\'');
    return sql;
}

QString ChoiceSql(const QString &slno, const QDate &from, const QDate &to)
{
    return QStringLiteral("Select emp_regime from hr_it_emp_regime where emp_slno='") + SqlEscape(slno) +
           QStringLiteral("' and ") + YearFilter(from, to);
}

QString SaveStatement(const QString &slno, const QDate &from, const QDate &to, TaxRegime regime,
                      const AuditStamp &stamp)
{
    const QString user = PlainNumber(LeadingNumber(stamp.userId));
    const QString date = SqlSlashDate(stamp.now.date());
    const QString time = SqlTime(stamp.now.time());
    const QString code = RegimeCode(regime);
    return QStringLiteral("Insert into hr_it_emp_regime(emp_slno,ac_from_date,ac_to_date,emp_regime,created_by,"
                          "created_date,created_time) values ('") +
           SqlEscape(slno) + QStringLiteral("','") + SqlDate(from) + QStringLiteral("','") + SqlDate(to) +
           QStringLiteral("','") + code + QStringLiteral("',") + user + QStringLiteral(",'") + date +
           QStringLiteral("','") + time + QStringLiteral("') on duplicate key update emp_regime='") + code +
           QStringLiteral("', modified_by=") + user + QStringLiteral(", modified_date='") + date +
           QStringLiteral("', modified_time='") + time + QStringLiteral("'");
}

QHash<QString, TaxRegime> LoadChoices(DbConnection &db, const QString &companyCode, const QDate &from, const QDate &to,
                                      const QString &slno)
{
    QHash<QString, TaxRegime> choices;
    Recordset rs = db.query(ChoicesSql(companyCode, from, to, slno));
    for (; !rs.eof(); rs.moveNext())
        if (const auto regime = RegimeFromCode(rs.text(QStringLiteral("emp_regime"))))
            choices.insert(rs.text(QStringLiteral("emp_slno")), *regime);
    rs.close();
    return choices;
}

std::optional<TaxRegime> LoadChoice(DbConnection &db, const QString &slno, const QDate &from, const QDate &to)
{
    Recordset rs = db.query(ChoiceSql(slno, from, to));
    std::optional<TaxRegime> regime;
    if (!rs.eof())
        regime = RegimeFromCode(rs.text(QStringLiteral("emp_regime")));
    rs.close();
    return regime;
}

void Save(DbConnection &db, const QString &slno, const QDate &from, const QDate &to, TaxRegime regime,
          const AuditStamp &stamp)
{
    db.execute(SaveStatement(slno, from, to, regime, stamp));
}

TaxRegime Effective(const std::optional<NewRegimeSetup::Year> &year, std::optional<TaxRegime> choice)
{
    if (!year)
        return TaxRegime::Old;
    return choice.value_or(year->defaultRegime);
}

} // namespace RegimeChoice
