#pragma once

#include <QDate>
#include <QString>

// The SQL texts and the captions of the shell: login, company and year lists, the main
// window's status line, financial-year label and caption.
namespace SessionText {

inline const char *const CompanyListQuery =
    "Select comp_code,comp_name from dalvoni.acc_companymaster where comp_disable=0  order by comp_priority";
QString DefaultFinYearQuery(const QString &unitCode);
inline const char *const FinYearListQuery = "Select * from dalvoni.ac_fin_year where ac_app_it=1 order by ac_from_date";
QString TaxYearQuery(const QDate &from, const QDate &to);

// The status line's product words: the main window's load writes the first, the
// financial-year switch the second.
inline const char *const LoadProducts = "Corvantis Accounts +  ";
inline const char *const SwitchProducts = "Corvantis Inventory  +  ";

// The first panel of the main window's status bar for the current session.
QString StatusLine(const QString &products);
// "Financial Year <from> - <to>".
QString FinYearCaption();
// The main window's caption after a company choice.
QString MainCaption();

} // namespace SessionText
