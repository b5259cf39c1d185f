#include "SessionData.h"

#include "Common.h"
#include "DbConnection.h"
#include "mdlDalvoni.h"

namespace SessionData {

QString DefaultFinYearQuery(const QString &unitCode)
{
    return QStringLiteral("Select * from dalvoni.ac_fin_year where unit_code='") + SqlEscape(unitCode) +
           QStringLiteral("' and ac_default=1 ");
}

QString TaxYearQuery(const QDate &from, const QDate &to)
{
    return QStringLiteral("Select * from dalvoni.ac_fin_year where ac_from_date='") + SqlDate(from) +
           QStringLiteral("' and ac_to_date='") + SqlDate(to) + QStringLiteral("'");
}

QString FinYearStartingQuery(const QString &unitCode, const QDate &from)
{
    return QStringLiteral("Select * from dalvoni.ac_fin_year where unit_code='") + SqlEscape(unitCode) +
           QStringLiteral("' and ac_from_date='") + SqlDate(from) + QStringLiteral("'");
}

QList<Company> ReadCompanies(DbConnection &db)
{
    QList<Company> companies;
    Recordset rs = db.query(QLatin1String(kCompanyListQuery));
    for (; !rs.eof(); rs.moveNext())
        companies.append({rs.text(QStringLiteral("comp_code")), rs.text(QStringLiteral("comp_name"))});
    rs.close();
    return companies;
}

QString CompanyByCodeQuery(const QString &code)
{
    return QStringLiteral("Select comp_code,comp_name from dalvoni.acc_companymaster where comp_code='") +
           SqlEscape(code) + QStringLiteral("'");
}

std::optional<Company> FindCompany(DbConnection &db, const QString &code)
{
    Recordset rs = db.query(CompanyByCodeQuery(code));
    std::optional<Company> company;
    if (!rs.eof())
        company = Company{rs.text(QStringLiteral("comp_code")), rs.text(QStringLiteral("comp_name"))};
    rs.close();
    return company;
}

QList<FinancialYear> ReadFinancialYears(DbConnection &db)
{
    QList<FinancialYear> years;
    Recordset rs = db.query(QLatin1String(kFinYearListQuery));
    for (; !rs.eof(); rs.moveNext()) {
        FinancialYear y;
        y.unitCode = rs.text(QStringLiteral("Unit_Code"));
        y.period = rs.text(QStringLiteral("ac_period"));
        y.from = rs.date(QStringLiteral("ac_from_date"));
        y.to = rs.date(QStringLiteral("ac_to_date"));
        y.defaultFlag = rs.text(QStringLiteral("ac_default"));
        y.isDefault = rs.number(QStringLiteral("ac_default")) == 1;
        years.append(y);
    }
    rs.close();
    return years;
}

bool UseYearOf(DbConnection &db, const QString &sql)
{
    using namespace mdlDalvoni;
    Recordset rs = db.query(sql);
    const bool found = !rs.eof();
    if (found) {
        FinYearFrom = rs.date(QStringLiteral("ac_from_date"));
        FinYearTo = rs.date(QStringLiteral("ac_to_date"));
        TaxYearStart = rs.date(QStringLiteral("ac_it_start_date"));
        TaxYearEnd = rs.date(QStringLiteral("ac_it_end_date"));
    }
    rs.close();
    return found;
}

bool UseDefaultYear(DbConnection &db)
{
    return UseYearOf(db, DefaultFinYearQuery(mdlDalvoni::UnitCode));
}

void SwitchYear(DbConnection &db, const QDate &from, const QDate &to)
{
    using namespace mdlDalvoni;
    FinYearFrom = from;
    FinYearTo = to;
    Recordset rs = db.query(TaxYearQuery(FinYearFrom, FinYearTo));
    for (; !rs.eof(); rs.moveNext()) {
        TaxYearStart = rs.date(QStringLiteral("ac_it_start_date"));
        TaxYearEnd = rs.date(QStringLiteral("ac_it_end_date"));
    }
    rs.close();
}

} // namespace SessionData
