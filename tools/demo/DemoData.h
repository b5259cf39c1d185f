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
    // The day the demo is made for (invalid: the day it runs): the financial year that holds
    // it is the unit's default year.
    QDate today;
    // The payroll of the employees in service from April to the last month complete on that
    // day (in April: the whole year before), finalised, with declarations of its year and a
    // few employees' own regimes. Off, the company has its payroll of April 2016 to September
    // 2018 alone, which tests and benchmarks of those years use.
    bool currentPayroll = true;
    // Also eight high earners in the main company (about 60 L, 1.2 Cr, 2.5 Cr and 6 Cr a year,
    // four keeping the old regime and four under the new one in every year of both), paid
    // every month of the payroll: the surcharge bands of both regimes at work. Off by default,
    // so that tests and benchmarks work on the data they always had.
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
// 2016-17 to 2026-27 (and on to the year of the day it is made for, with the figures of
// 2026-27) with their limits and slabs, the new regime's figures from 2020-21 (the default
// from 2023-24) with a few employees' own choices, users, declaration heads and
// declarations; and the payroll of the day's year up to its last complete month. The year
// of the day is the default. The same seed, count and day always give the same data.
namespace DemoData {

// The session the demo is meant for: workstation unit and main company.
inline const char *const kHeadOfficeUnit = "HO";
inline const char *const kMainCompany = "C01";
// The last year of the payroll history of April 2016 to September 2018, the year whose
// figures the tests and benchmarks have always compared, and its last finalised month.
inline const QDate HistoryYearFrom{2018, 4, 1};
inline const QDate HistoryLastFinalised{2018, 9, 30};
// The newest year whose figures the demo has from the Finance Acts; later years carry them.
inline constexpr int kNewestPublishedYear = 2026;

// 1 April of the financial year that holds the day (invalid: today): the demo's default year.
QDate DefaultYearFrom(const QDate &today = QDate());
// The last day of the last month complete on that day: the current payroll's last finalised
// month. Its financial year is the year the current payroll belongs to (the default year,
// but in April the year before).
QDate LastCompleteMonth(const QDate &today = QDate());
QDate PayrollYearFrom(const QDate &today = QDate());

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
