#include "Startup.h"

#include "AppSettings.h"
#include "Common.h"
#include "Platform.h"
#include "mdlDalvoni.h"

namespace Startup {

QString VersionMessage(const QString &appVersion)
{
    return QStringLiteral("Software Updated \r\nYou are running Version [") + appVersion +
           QStringLiteral("].\r\nLatest Update is available at '") + QLatin1String(kMakerWebAddress) +
           QStringLiteral("'.");
}

QString UpdatePage(const QString &serverAddress)
{
    if (serverAddress == QLatin1String("127.0.0.1") || serverAddress == QLatin1String(kInHouseServer1) ||
        serverAddress == QLatin1String(kInHouseServer2))
        return QLatin1String(kInHouseUpdatePage);
    return QLatin1String(kPublicUpdatePage);
}

QString UseWorkstationUnit(DbConnection &db)
{
    using namespace mdlDalvoni;
    const QString configured = AppSettings::Get(AppSettings::kWorkstationSection, AppSettings::kUnitKey).trimmed();
    Recordset rs =
        configured.isEmpty()
            ? db.query(QStringLiteral("Select unit_code,unit_name from dalvoni.unitmaster order by unit_code"))
            : db.query(QStringLiteral("Select unit_code,unit_name from dalvoni.unitmaster where unit_code='") +
                       SqlEscape(configured) + QStringLiteral("'"));
    if (rs.eof()) {
        rs.close();
        if (configured.isEmpty())
            return QStringLiteral("No unit is set up in the unit master.   \r\nContact System Administrator.   ");
        return QStringLiteral("The unit '") + configured +
               QStringLiteral("' of this workstation is not in the unit master.   \r\n"
                              "Contact System Administrator.   ");
    }
    UnitCode = rs.text(QStringLiteral("unit_code"));
    UnitName = rs.text(QStringLiteral("unit_name"));
    rs.close();
    return QString();
}

bool FixWorkstationUnit(DbConnection &db)
{
    const QString problem = UseWorkstationUnit(db);
    if (!problem.isEmpty())
        platform().message(problem, Platform::Icon::Critical);
    return problem.isEmpty();
}

Outcome Run(DbConnection &db)
{
    using namespace mdlDalvoni;
    AppVersion = QLatin1String(kProgramVersion);
    ServerAddress = AppSettings::Get(AppSettings::kServerSection, AppSettings::kServerKey);

    try {
        db.open(ConnectionString(ServerAddress));
    } catch (const DbError &e) {
        platform().message(QStringLiteral("Cannot connect to the database server.\r\n\r\n") + e.text(),
                           Platform::Icon::Critical);
        platform().exitProgram(1);
        return Outcome::ConnectionFailed;
    }

    try {
        Recordset rs = db.query(QLatin1String(kVersionQuery));
        if (!rs.eof() && !rs.isNull(QStringLiteral("version_code")) &&
            rs.text(QStringLiteral("version_code")) != AppVersion) {
            platform().message(VersionMessage(AppVersion), Platform::Icon::Information);
            rs.close();
            platform().openUrl(UpdatePage(ServerAddress));
            platform().exitProgram(0);
            return Outcome::VersionRefused;
        }
        rs.close();

        if (!FixWorkstationUnit(db)) {
            platform().exitProgram(1);
            return Outcome::UnitUnknown;
        }
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
        platform().exitProgram(1);
        return Outcome::ConnectionFailed;
    }
    return Outcome::Ready;
}

} // namespace Startup
