#pragma once

// The session: the one database connection and the process-wide values that start-up,
// login, the company and financial-year switches and the main window fill, and that every
// other screen reads.

#include "DbConnection.h"
#include "ProgramVersion.h"

#include <QDate>
#include <QString>

namespace mdlDalvoni {

// The shared connection of the session (default database hr0910).
::DbConnection &Db();

extern QString ServerAddress;
extern QString AppVersion;
extern QString UnitCode;
extern QString UnitName;
extern QString UserId;
extern QString UserName;
extern QString UserAdmin;
extern QString UserGroupCode;
extern bool UserType;
extern QString CompanyCode;
extern QString CompanyName;
extern QDate FinYearFrom;
extern QDate FinYearTo;
extern QDate TaxYearStart;
extern QDate TaxYearEnd;

// The lookup list's return slots ListPick1 .. ListPick10.
extern QString ListPick1, ListPick2, ListPick3, ListPick4, ListPick5;
extern QString ListPick6, ListPick7, ListPick8, ListPick9, ListPick10;
// Slot n (1 to 10).
QString &ListPick(int n);
// Empties all ten slots.
void ClearListPicks();

// Puts every session value back to its start (empty texts, null dates); keeps the connection.
void ResetSession();

// The program's own version ("V" and the project's version, "V1.1").
inline constexpr const char *kProgramVersion = IT_PROGRAM_VERSION;

// The connection string for a server address: the local one for exactly "127.0.0.1",
// the network one (suite account) for any other text, the empty one included.
QString ConnectionString(const QString &serverAddress);

} // namespace mdlDalvoni
