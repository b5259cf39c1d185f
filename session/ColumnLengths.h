#pragma once

// The lengths of the text columns that typed text is stored in or compared with. The suite's
// server, not our own schema file, is the truth: the lengths are read from its
// information_schema, once per process and table.

#include <QString>

class DbConnection;

namespace ColumnLengths {

// The declared length, in characters, of a text column ("hr0910.hr_it_allowance" or
// "dalvoni.userdetails"; a table without a database is in hr0910). When the server does not
// tell (no such column, no right to see it, no answer), the length the suite's own schema
// gives it; 0 when that is not known either.
int Of(DbConnection &db, const QString &table, const QString &column);

// Refuses a text that does not fit its column, before anything is sent: throws a DbError of
// kind TooLong that names what (for example "The allowance name") and both lengths.
void Check(DbConnection &db, const QString &table, const QString &column, const QString &text, const QString &what);

// The number of characters of a text as the server counts them.
int Characters(const QString &text);

// Forgets the lengths read so far, so that the next question asks the server again.
void Forget();

} // namespace ColumnLengths
