#pragma once

// The shell's reads of the suite's masters: the companies to work on, the financial years
// offered to this program, and the year that becomes the session's. The main window, the
// company and year lists and itbatch all read them here.

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

class DbConnection;

namespace SessionData {

inline const char *const kCompanyListQuery =
    "Select comp_code,comp_name from dalvoni.acc_companymaster where comp_disable=0  order by comp_priority";
inline const char *const kFinYearListQuery =
    "Select * from dalvoni.ac_fin_year where ac_app_it=1 order by ac_from_date";
// The unit's default financial year.
QString DefaultFinYearQuery(const QString &unitCode);
// The financial years with these first and last days, of any unit.
QString TaxYearQuery(const QDate &from, const QDate &to);
// The unit's financial year that starts on this day (itbatch --year).
QString FinYearStartingQuery(const QString &unitCode, const QDate &from);

// A company of the suite (acc_companymaster).
struct Company
{
    QString code;
    QString name;
};
// The companies that are not disabled, by priority.
QList<Company> ReadCompanies(DbConnection &db);
// The company whose code the server takes to be this one: it compares codes without regard
// to case or trailing blanks, so "c01 " finds C01, returned as the master holds it. nullopt
// when the master has no such company.
QString CompanyByCodeQuery(const QString &code);
std::optional<Company> FindCompany(DbConnection &db, const QString &code);

// A financial year offered to this program (ac_fin_year).
struct FinancialYear
{
    QString unitCode;
    QString period; // ac_period, the text the list shows
    QDate from, to;
    QString defaultFlag; // ac_default as stored
    bool isDefault = false;
};
// The financial years offered to this program, of every unit, by first day.
QList<FinancialYear> ReadFinancialYears(DbConnection &db);

// Makes the first row of a query of ac_fin_year the session's financial year and tax year;
// false, and the four dates as they were, when the query yields no row.
bool UseYearOf(DbConnection &db, const QString &sql);
// The unit's default year, as the main window's load takes it.
bool UseDefaultYear(DbConnection &db);
// The year switch: FinYearFrom and FinYearTo become from and to, the tax year that of the
// last matching row of ac_fin_year (kept when there is none).
void SwitchYear(DbConnection &db, const QDate &from, const QDate &to);

} // namespace SessionData
