#pragma once

#include "config/NewRegimeSetup.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

class DbConnection;

// What to generate.
struct DemoOptions
{
    int employees = 500;
    quint32 seed = 1;
    // Empty every table of both databases first; without it the databases must be empty.
    bool reset = false;
    // Rows per INSERT statement.
    int rowsPerStatement = 2000;
    // Employees written per transaction.
    int employeesPerTransaction = 250;
    // Also the payroll of April to September 2025, finalised, and declarations of 2025-26 for
    // the employees in service: a year of the new regime with figures to show. Off by default,
    // so that tests and benchmarks work on the data they always had.
    bool recentPayroll = false;
    // Also eight high earners in the main company (about 60 L, 1.2 Cr, 2.5 Cr and 6 Cr a year,
    // four keeping the old regime and four under the new one in every year of both), paid
    // every month of the payroll: the surcharge bands of both regimes at work. Off by default,
    // like the recent payroll.
    bool highEarners = false;
};

// A user the demo creates, with what it may do.
struct DemoUser
{
    int id = 0;
    QString name;
    QString password;
    QString note;
};

// What was written.
struct DemoSummary
{
    int employees = 0;
    int salaryLines = 0;
    int bonuses = 0;
    int declarations = 0;
    int finalisations = 0;
    int regimeChoices = 0;
    qint64 milliseconds = 0;
};

// A realistic company for the suite's two databases: units (the four metro units among
// them), companies, designations and departments, employees with monthly salary lines from
// April 2016 to the September 2018 payroll, bonuses, finalisations, the financial years
// 2016-17 to 2026-27 with their limits and slabs, the new regime's figures from 2020-21 (the
// default from 2023-24) with a few employees' own choices, users, declaration heads and
// declarations; on request a recent half-year of payroll too. The same seed and count
// always give the same data.
namespace DemoData {

// The session the demo is meant for: workstation unit, main company, default year.
inline const char *const kHeadOfficeUnit = "HO";
inline const char *const kMainCompany = "C01";
inline const QDate DefaultYearFrom{2018, 4, 1};
inline const QDate LastFinalised{2018, 9, 30};
// The recent payroll's financial year and its last finalised month (DemoOptions::recentPayroll).
inline const QDate RecentYearFrom{2025, 4, 1};
inline const QDate RecentLastFinalised{2025, 9, 30};

// Writes the company; throws DbError on a database failure, and std::runtime_error when the
// databases already hold data and options.reset is not set.
DemoSummary Generate(DbConnection &db, const DemoOptions &options);

// Empties every table of both databases (not inside a transaction: each table is truncated).
void Clear(DbConnection &db);

// The new regime's figures of the financial year that starts on 1 April of firstYear, as
// the Finance Acts set them (2020-21 to 2026-27); nullopt for other years.
std::optional<NewRegimeSetup::Year> NewRegimeYear(int firstYear);

// The old regime's surcharge bands of the financial year that starts on 1 April of firstYear
// (2016-17 to 2026-27); none for other years.
QList<NewRegimeSetup::SurchargeBand> OldRegimeSurcharge(int firstYear);

// The users Generate creates, and the lines that tell a person how to log in.
QList<DemoUser> Users();
QString UsersText();

} // namespace DemoData
