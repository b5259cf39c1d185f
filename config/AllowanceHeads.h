#pragma once

// The heads under which employees declare investments and deductions (hr_it_allowance):
// the list, the new head with its running code, and the change of an existing head.

#include <QDateTime>
#include <QList>
#include <QString>

class DbConnection;

namespace AllowanceHeads {

// The running number whose value is the next head's code.
inline constexpr const char *kRunningNumberId = "IT_CODE";

// One row of the list as the screen shows it, every value as text.
struct Row
{
    QString name, code, flag, dedPer, dedAmt;
};

// What the user typed on the screen.
struct Entry
{
    QString code;
    QString name;
    QString dedPer;
    QString dedAmt;
    bool addition = true;
};

// Who saves, where, and when.
struct Stamp
{
    QString unitCode;
    QString companyCode;
    QString userId;
    QDateTime now;
};

// Only this user creates or changes heads.
bool MayMaintain(const QString &userId);

QString ListQuery();
// Every head of every company and unit, by code.
QList<Row> LoadList(DbConnection &db);

QString DuplicateQuery(const Entry &entry, const QString &companyCode);
QString InsertStatement(const Entry &entry, const Stamp &stamp);
// Moves the running number past the trimmed code of the entry.
QString RunningNumberUpdate(const Entry &entry);
QString UpdateStatement(const Entry &entry, const Stamp &stamp);

enum class InsertResult { Inserted, Duplicate };

// The duplicate check, then the head and the running number in one transaction.
// A DbError leaves neither stored and propagates; a name or code longer than its column is
// refused that way (kind TooLong) before anything is sent.
InsertResult Insert(DbConnection &db, const Entry &entry, const Stamp &stamp);
struct UpdateResult
{
    // True when the head was no longer as the screen showed it: nothing was written.
    bool changedMeanwhile = false;
    // The head as stored now (when changed meanwhile).
    Row stored;
};
// Changes name and amounts of the head with the entry's code in the stamp's unit and company
// (a code no row has changes nothing). A DbError leaves the head unchanged and propagates;
// lengths are checked as for Insert. With loaded (the head as the list showed it when it was
// picked), the stored head of that code is first read under lock and compared with it: when
// someone else changed it in between, nothing is written.
UpdateResult Update(DbConnection &db, const Entry &entry, const Stamp &stamp, const Row *loaded = nullptr);
// What differs between two states of a head, one line each ("Ded Amt: now 500, loaded 0").
QStringList Changes(const Row &loaded, const Row &now);

} // namespace AllowanceHeads
