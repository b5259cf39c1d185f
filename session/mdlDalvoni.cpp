#include "mdlDalvoni.h"

namespace mdlDalvoni {

QString ServerAddress;
QString AppVersion;
QString UnitCode;
QString UnitName;
QString UserId;
QString UserName;
QString UserAdmin;
QString UserGroupCode;
bool UserType = false;
QString CompanyCode;
QString CompanyName;
QDate FinYearFrom;
QDate FinYearTo;
QDate TaxYearStart;
QDate TaxYearEnd;
QString ListPick1, ListPick2, ListPick3, ListPick4, ListPick5;
QString ListPick6, ListPick7, ListPick8, ListPick9, ListPick10;

::DbConnection &Db()
{
    // Lives for the whole process and is never closed, so that no Qt SQL teardown races
    // the process end.
    static ::DbConnection *connection = new ::DbConnection;
    return *connection;
}

QString &ListPick(int n)
{
    static QString dummy;
    switch (n) {
    case 1:
        return ListPick1;
    case 2:
        return ListPick2;
    case 3:
        return ListPick3;
    case 4:
        return ListPick4;
    case 5:
        return ListPick5;
    case 6:
        return ListPick6;
    case 7:
        return ListPick7;
    case 8:
        return ListPick8;
    case 9:
        return ListPick9;
    case 10:
        return ListPick10;
    default:
        dummy.clear();
        return dummy;
    }
}

void ClearListPicks()
{
    for (int n = 1; n <= 10; ++n)
        ListPick(n).clear();
}

void ResetSession()
{
    ServerAddress.clear();
    AppVersion.clear();
    UnitCode.clear();
    UnitName.clear();
    UserId.clear();
    UserName.clear();
    UserAdmin.clear();
    UserGroupCode.clear();
    UserType = false;
    CompanyCode.clear();
    CompanyName.clear();
    FinYearFrom = FinYearTo = TaxYearStart = TaxYearEnd = QDate();
    ClearListPicks();
}

QString ConnectionString(const QString &serverAddress)
{
    if (serverAddress == QLatin1String("127.0.0.1"))
        return QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=127.0.0.1;PORT=3306; "
                              "USER=root;PASSWORD='7391';OPTION=3;Database=hr0910");
    return QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=") + serverAddress +
           QStringLiteral(";PORT=3306; USER=corvantis;PASSWORD=amberlattice;OPTION=3;Database=hr0910");
}

} // namespace mdlDalvoni
