#pragma once

#include "DbConnection.h"

#include <QString>

// The login check against the suite's user table.
namespace Login {

enum class Result {
    UnknownUser,        // "Invalid User Name    "
    WrongPasswordUser1, // user 1: information, the password box is emptied
    WrongPassword,      // other users: error, the password box keeps its text
    Denied,             // no permission for this program
    Admitted,
};

// Checks a typed name and password. On success (and, for user 1, also when only the
// permission is missing) the session's user fields and the last-user setting are written.
// Database errors propagate (DbError).
Result Check(DbConnection &db, const QString &typedUserName, const QString &typedPassword);

inline const char *const InvalidUserText = "Invalid User Name    ";
inline const char *const InvalidPasswordText = "Invalid Password.   ";
inline const char *const DeniedText = "Login Denied!.... Please Contact System Administrator.   ";

} // namespace Login
