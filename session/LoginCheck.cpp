#include "LoginCheck.h"

#include "AppSettings.h"
#include "Common.h"
#include "DbConnection.h"
#include "mdlDalvoni.h"

namespace LoginCheck {

namespace {

const QString kInvalidUserText = QStringLiteral("Invalid User Name    ");
const QString kInvalidPasswordText = QStringLiteral("Invalid Password.   ");
const QString kDeniedText = QStringLiteral("Login Denied!.... Please Contact System Administrator.   ");

// A flag denies only when it holds a value other than 1; null admits.
bool Denies(const Recordset &rs, const QString &column)
{
    return !rs.isNull(column) && rs.number(column) != 1;
}

bool PasswordMatches(const Recordset &rs, const QString &typed)
{
    return !rs.isNull(QStringLiteral("user_password")) && typed.trimmed() == rs.text(QStringLiteral("user_password"));
}

void SetUser(const Recordset &rs, const QString &typedName, bool rememberName)
{
    if (rememberName)
        AppSettings::Save(QString::fromLatin1(AppSettings::kLoginSection), QString::fromLatin1(AppSettings::kLoginKey),
                          typedName);
    mdlDalvoni::UserName = typedName;
    mdlDalvoni::UserId = rs.text(QStringLiteral("user_id"));
    mdlDalvoni::UserAdmin = rs.text(QStringLiteral("user_admin"));
    mdlDalvoni::UserGroupCode = rs.text(QStringLiteral("user_group_code"));
}

Result Refused(Outcome outcome, const QString &text, Platform::Icon icon, bool userOne, bool clear = false)
{
    Result r;
    r.outcome = outcome;
    r.message = text;
    r.icon = icon;
    r.userOne = userOne;
    r.clearPassword = clear;
    return r;
}

} // namespace

QString UserSql(const QString &typedName)
{
    return QStringLiteral("Select * from dalvoni.userdetails Where user_name='") + SqlEscape(typedName.trimmed()) +
           QStringLiteral("'");
}

Result Check(DbConnection &db, const QString &typedName, const QString &typedPassword, bool rememberName)
{
    Recordset rs = db.query(UserSql(typedName));
    if (rs.eof())
        return Refused(Outcome::InvalidUser, kInvalidUserText, Platform::Icon::Information, false);

    Result admitted;
    admitted.outcome = Outcome::Admitted;
    if (rs.text(QStringLiteral("user_id")) == QLatin1String("1")) {
        // User 1: admitted by its own flag, its fields set before that flag is looked at.
        admitted.userOne = true;
        if (!PasswordMatches(rs, typedPassword))
            return Refused(Outcome::InvalidPassword, kInvalidPasswordText, Platform::Icon::Information, true, true);
        SetUser(rs, typedName, rememberName);
        if (Denies(rs, QStringLiteral("user_login_advt")))
            return Refused(Outcome::Denied, kDeniedText, Platform::Icon::Critical, true);
        rs.close();
        return admitted;
    }

    if (!PasswordMatches(rs, typedPassword))
        return Refused(Outcome::InvalidPassword, kInvalidPasswordText, Platform::Icon::Critical, false);
    if (Denies(rs, QStringLiteral("user_login_it")))
        return Refused(Outcome::Denied, kDeniedText, Platform::Icon::Critical, false);
    SetUser(rs, typedName, rememberName);
    mdlDalvoni::UserType = rs.number(QStringLiteral("user_type")) != 0;
    rs.close();
    return admitted;
}

} // namespace LoginCheck
