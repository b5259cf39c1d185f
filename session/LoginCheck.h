#pragma once

// The login check of the suite's users against dalvoni.userdetails: the one set of rules the
// login screen and the command-line tools share. It fills the session's user fields and
// remembers the name exactly as the login screen does; the caller shows the message.

#include "Platform.h"

#include <QString>

class DbConnection;

namespace LoginCheck {

enum class Outcome { Admitted, InvalidUser, InvalidPassword, Denied };

struct Result
{
    Outcome outcome = Outcome::InvalidUser;
    QString message; // empty when admitted
    Platform::Icon icon = Platform::Icon::None;
    bool clearPassword = false; // user 1's wrong password empties the box
    bool userOne = false;
};

// The statement that finds the user (the name trimmed; quotes and backslashes escaped).
QString UserSql(const QString &typedName);

// Checks a typed name and password. On admission (and for user 1 already once the password
// matches) the session's user fields are set; with rememberName the name is saved as the
// last login of this computer. A database error propagates (DbError).
Result Check(DbConnection &db, const QString &typedName, const QString &typedPassword, bool rememberName = true);

} // namespace LoginCheck
