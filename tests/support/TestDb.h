#pragma once

#include "config/NewRegimeSetup.h"
#include "session/DbConnection.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

// The test run's own MariaDB (started by scripts/test.sh on 127.0.0.1:3306), reached through
// the session connection exactly as the program reaches it.
namespace TestDb {

// Opens the session connection with the local connection string (once per process).
DbConnection &Open();
// Empties every table of both databases and resets the session globals.
void Reset();
// Sends one statement; fails the test (throws) on error.
void Exec(const QString &sql);
// The first column of the first row, or an invalid QVariant for no row.
QVariant Scalar(const QString &sql);
// Number of rows of a query.
int Count(const QString &sqlWhereTable);
// The first row of "SELECT <the expected row's names> FROM <tableAndWhere>" as an expected-row
// table (Rows.h): each column as Recordset::text reads it (plain numbers, dates yyyy-MM-dd,
// "" for null); empty when there is no row.
QStringList Row(const QString &tableAndWhere, const QStringList &expected);
// Every row of "SELECT <names> FROM <tableAndRest>" in that form, one list a row.
QList<QStringList> AllRows(const QString &tableAndRest, const QStringList &names);

// The tax records as on a server made before they had their unique key (emp_slno, emp_it_from,
// emp_it_to): the old key of those columns in its place. WithTaxRecordKey gives it back, as
// the schema has it, removing every tax record first (nothing when the key is there).
void WithoutTaxRecordKey();
void WithTaxRecordKey();

// A small standard company: unit HO (Head Office) and the metro unit MUM, company C01,
// financial years 2016-17 to 2019-20 for HO (2018-19 the default) with their tax years,
// limits (80C 150000, HL 200000, MC 25000, exemption 250000, rebate 5000/2500/2500/12500,
// cess 3/3/4/4) and four slabs, users 1 (admin/admin) and 2 (clerk/clerk), the heads of
// the payroll, the declaration head ITA000005 (rent) and ITA000001 (LIC), IT_CODE ITA000006.
void LoadStandardMasters();
// Sets the session as after login, company choice and default year (2018-19).
void SetStandardSession();

// Adds an employee of company C01 (unit HO unless given).
void AddEmployee(const QString &slno, const QString &codeChar, const QString &code, const QString &name,
                 const QString &unit = QStringLiteral("HO"), int disable = 0, int flag = 0);
// Adds one salary line.
void AddSalary(const QString &slno, const QDate &month, const QString &head, double dr, double cr = 0);
// Adds an employee (code "E" + code, unit HO unless given) with the six paid months of the
// hand-worked employee: April to September 2018, each basic 50000, house-rent allowance
// 20000, provident fund 6000, profession tax 200 and income tax 1000 deducted.
void AddPaidEmployee(const QString &slno, const QString &code, const QString &name = QString(),
                     const QString &unit = QStringLiteral("HO"));
// Stores the new regime's figures for the financial year from 1 April of fromYear (the
// screen's save, by user 1).
void AddNewRegimeYear(const NewRegimeSetup::Year &year, int fromYear);
// Adds a 'SAL' finalisation of company C01.
void AddFinalize(const QDate &date, const QString &comp = QStringLiteral("C01"));

} // namespace TestDb
