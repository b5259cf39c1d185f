#include "Login.h"

#include "AppSettings.h"
#include "SessionText.h"
#include "mdlDalvoni.h"

namespace Login {

namespace {

bool PasswordMatches(const Recordset &rs, const QString &typedPassword)
{
    if (rs.isNull(QStringLiteral("user_password")))
        return false;
    return typedPassword.trimmed() == rs.text(QStringLiteral("user_password"));
}

// A null permission does not deny; any value other than 1 does.
bool Permitted(const Recordset &rs, const QString &column)
{
    return rs.isNull(column) || rs.number(column) == 1;
}

void TakeUser(const Recordset &rs, const QString &typedUserName)
{
    using namespace mdlDalvoni;
    AppSettings::Save(AppSettings::LoginSection, AppSettings::LoginKey, typedUserName);
    UserName = typedUserName;
    UserId = rs.text(QStringLiteral("user_id"));
    UserAdmin = rs.text(QStringLiteral("user_admin"));
    UserGroupCode = rs.text(QStringLiteral("user_group_code"));
}

} // namespace

Result Check(DbConnection &db, const QString &typedUserName, const QString &typedPassword)
{
    Recordset rs = db.query(SessionText::LoginQuery(typedUserName));
    if (rs.eof())
        return Result::UnknownUser;

    if (rs.text(QStringLiteral("user_id")) == QLatin1String("1")) {
        if (!PasswordMatches(rs, typedPassword))
            return Result::WrongPasswordUser1;
        TakeUser(rs, typedUserName);
        if (!Permitted(rs, QStringLiteral("user_login_advt")))
            return Result::Denied;
        rs.close();
        return Result::Admitted;
    }

    if (!PasswordMatches(rs, typedPassword))
        return Result::WrongPassword;
    if (!Permitted(rs, QStringLiteral("user_login_it")))
        return Result::Denied;
    TakeUser(rs, typedUserName);
    mdlDalvoni::UserType = rs.number(QStringLiteral("user_type")) != 0;
    rs.close();
    return Result::Admitted;
}

} // namespace Login
