#include "Login.h"

#include "LoginCheck.h"

namespace Login {

// The screen's view of the shared login rules.
Result Check(DbConnection &db, const QString &typedUserName, const QString &typedPassword)
{
    const LoginCheck::Result r = LoginCheck::Check(db, typedUserName, typedPassword);
    switch (r.outcome) {
    case LoginCheck::Outcome::Admitted: return Result::Admitted;
    case LoginCheck::Outcome::InvalidUser: return Result::UnknownUser;
    case LoginCheck::Outcome::InvalidPassword: return r.userOne ? Result::WrongPasswordUser1 : Result::WrongPassword;
    case LoginCheck::Outcome::Denied: return Result::Denied;
    }
    return Result::UnknownUser;
}

} // namespace Login
