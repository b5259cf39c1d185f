// Start-up: which connection string the server address picks, the version check, the
// workstation's unit, a failed connection, and the splash handing over to the login.
#include "RecordingPlatform.h"
#include "TestDb.h"
#include "session/AppSettings.h"
#include "session/Startup.h"
#include "session/frmLogin.h"
#include "session/frmSplash.h"
#include "session/mdlDalvoni.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QtTest>

using namespace mdlDalvoni;

namespace {

void SetServer(const QString &address)
{
    AppSettings::Save(AppSettings::kServerSection, AppSettings::kServerKey, address);
}

void SetUnit(const QString &unit)
{
    AppSettings::Save(AppSettings::kWorkstationSection, AppSettings::kUnitKey, unit);
}

QString CurrentUser(DbConnection &db)
{
    Recordset rs = db.query(QStringLiteral("SELECT CURRENT_USER()"));
    return rs.text(0);
}

QList<frmLogin *> Logins()
{
    QList<frmLogin *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *l = qobject_cast<frmLogin *>(w))
            found.append(l);
    return found;
}

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TestDb::Reset();
        TestDb::LoadStandardMasters();
        SetServer(QStringLiteral("127.0.0.1"));
        SetUnit(QStringLiteral("HO"));
    }

    void localAddressUsesTheAdministratorString()
    {
        RecordingPlatform rec;
        DbConnection db(QStringLiteral("startup"));
        QCOMPARE(Startup::Run(db), Startup::Outcome::Ready);
        QCOMPARE(AppVersion, QStringLiteral("V1.1"));
        QCOMPARE(ServerAddress, QStringLiteral("127.0.0.1"));
        QVERIFY(CurrentUser(db).startsWith(QStringLiteral("root@")));
        QVERIFY(rec.messages.isEmpty());
        QVERIFY(rec.exits.isEmpty());
    }

    // Anything but the exact text "127.0.0.1" goes through the suite's shared account.
    void otherAddressesUseTheNetworkString_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("leading blank") << QStringLiteral(" 127.0.0.1");
        QTest::newRow("localhost") << QStringLiteral("localhost");
    }

    void otherAddressesUseTheNetworkString()
    {
        QFETCH(QString, address);
        SetServer(address);
        RecordingPlatform rec;
        DbConnection db(QStringLiteral("startup"));
        QCOMPARE(Startup::Run(db), Startup::Outcome::Ready);
        QCOMPARE(ServerAddress, address);
        QVERIFY2(CurrentUser(db).startsWith(QStringLiteral("corvantis@")), qPrintable(CurrentUser(db)));
    }

    void unreachableServerReportsTheDriverAndEnds()
    {
        SetServer(QStringLiteral("192.0.2.1"));
        RecordingPlatform rec;
        DbConnection db(QStringLiteral("startup"));
        QCOMPARE(Startup::Run(db), Startup::Outcome::ConnectionFailed);
        QCOMPARE(rec.messages.size(), 1);
        QCOMPARE(rec.messages[0].icon, Platform::Icon::Critical);
        // The driver's own words follow our first line.
        QVERIFY(rec.messages[0].text.startsWith(QStringLiteral("Cannot connect to the database server.")));
        QVERIFY(rec.messages[0].text.size() > 45);
        QCOMPARE(rec.exits, QList<int>{1});
        QVERIFY(!db.isOpen());
    }

    void versionMismatchOpensTheUpdatePageAndEnds_data()
    {
        QTest::addColumn<QString>("released");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("page");
        QTest::newRow("newer, local") << QStringLiteral("V1.2") << QStringLiteral("127.0.0.1")
                                      << QString::fromLatin1(Startup::kInHouseUpdatePage);
        QTest::newRow("case only") << QStringLiteral("v1.1") << QStringLiteral("127.0.0.1")
                                   << QString::fromLatin1(Startup::kInHouseUpdatePage);
        QTest::newRow("blank after") << QStringLiteral("V1.1 ") << QStringLiteral("127.0.0.1")
                                     << QString::fromLatin1(Startup::kInHouseUpdatePage);
    }

    void versionMismatchOpensTheUpdatePageAndEnds()
    {
        QFETCH(QString, released);
        QFETCH(QString, address);
        QFETCH(QString, page);
        TestDb::Exec(
            QStringLiteral("UPDATE dalvoni.versionmaster SET version_code='%1' WHERE pack_code='IT'").arg(released));
        SetServer(address);
        RecordingPlatform rec;
        DbConnection db(QStringLiteral("startup"));
        QCOMPARE(Startup::Run(db), Startup::Outcome::VersionRefused);
        QCOMPARE(rec.messages.size(), 1);
        QCOMPARE(
            rec.messages[0].text,
            QStringLiteral("Software Updated \r\nYou are running Version [V1.1].\r\nLatest Update is available at '") +
                QLatin1String(Startup::kMakerWebAddress) + QStringLiteral("'."));
        QCOMPARE(rec.messages[0].icon, Platform::Icon::Information);
        QCOMPARE(rec.openedUrls, QStringList{page});
        QCOMPARE(rec.exits, QList<int>{0});
        QVERIFY(UnitCode.isEmpty());
    }

    void updatePageFollowsTheServer()
    {
        const QString inHouse = QString::fromLatin1(Startup::kInHouseUpdatePage);
        QCOMPARE(Startup::UpdatePage(QStringLiteral("127.0.0.1")), inHouse);
        QCOMPARE(Startup::UpdatePage(QLatin1String(Startup::kInHouseServer1)), inHouse);
        QCOMPARE(Startup::UpdatePage(QLatin1String(Startup::kInHouseServer2)), inHouse);
        QCOMPARE(Startup::UpdatePage(QStringLiteral("db.example.org")),
                 QString::fromLatin1(Startup::kPublicUpdatePage));
        QCOMPARE(Startup::UpdatePage(QString()), QString::fromLatin1(Startup::kPublicUpdatePage));
    }

    void missingOrNullVersionSkipsTheCheck_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("no row") << QStringLiteral("DELETE FROM dalvoni.versionmaster");
        QTest::newRow("null version") << QStringLiteral("UPDATE dalvoni.versionmaster SET version_code=NULL");
        QTest::newRow("other package only")
            << QStringLiteral("UPDATE dalvoni.versionmaster SET pack_code='HR', version_code='V9'");
    }

    void missingOrNullVersionSkipsTheCheck()
    {
        QFETCH(QString, change);
        TestDb::Exec(change);
        RecordingPlatform rec;
        DbConnection db(QStringLiteral("startup"));
        QCOMPARE(Startup::Run(db), Startup::Outcome::Ready);
        QVERIFY(rec.messages.isEmpty());
        QVERIFY(rec.openedUrls.isEmpty());
    }

    void workstationUnit_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("configured") << QStringLiteral("MUM") << QStringLiteral("MUM") << QStringLiteral("MUMBAI");
        QTest::newRow("blanks around") << QStringLiteral(" PUN ") << QStringLiteral("PUN") << QStringLiteral("PUNE");
        // Without an entry the first unit by code serves.
        QTest::newRow("absent") << QString() << QStringLiteral("CHN") << QStringLiteral("CHENNAI");
    }

    void workstationUnit()
    {
        QFETCH(QString, setting);
        QFETCH(QString, code);
        QFETCH(QString, name);
        SetUnit(setting);
        RecordingPlatform rec;
        DbConnection db(QStringLiteral("startup"));
        QCOMPARE(Startup::Run(db), Startup::Outcome::Ready);
        QCOMPARE(UnitCode, code);
        QCOMPARE(UnitName, name);
    }

    void unknownUnitIsReportedAndEnds_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<bool>("emptyMaster");
        QTest::newRow("not in master") << QStringLiteral("XYZ") << false;
        QTest::newRow("hostile") << QStringLiteral("HO' OR '1'='1") << false;
        QTest::newRow("no unit at all") << QString() << true;
    }

    void unknownUnitIsReportedAndEnds()
    {
        QFETCH(QString, setting);
        QFETCH(bool, emptyMaster);
        SetUnit(setting);
        if (emptyMaster)
            TestDb::Exec(QStringLiteral("DELETE FROM dalvoni.unitmaster"));
        RecordingPlatform rec;
        DbConnection db(QStringLiteral("startup"));
        QCOMPARE(Startup::Run(db), Startup::Outcome::UnitUnknown);
        QCOMPARE(rec.messages.size(), 1);
        if (!emptyMaster)
            QVERIFY(rec.messages[0].text.contains(setting));
        QCOMPARE(rec.exits, QList<int>{1});
        QVERIFY(UnitCode.isEmpty());
    }

    void splashRunsTwentyTicksAndOpensTheLoginOnce()
    {
        RecordingPlatform rec;
        qDeleteAll(Logins());
        QPointer<frmSplash> splash = new frmSplash;
        int ticks = 0;
        connect(&splash->Timer1, &QTimer::timeout, this, [&ticks] { ++ticks; });
        QCOMPARE(splash->ui.Label1->text(), QStringLiteral("Income Tax"));
        QCOMPARE(splash->ui.Label1->font().family(), QStringLiteral("Times New Roman"));
        QCOMPARE(splash->ui.Label1->font().pointSize(), 24);
        QVERIFY(splash->ui.Label1->font().bold());
        QCOMPARE(splash->Timer1.interval(), 1);
        splash->show();
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 5000);
        QCOMPARE(ticks, 20);
        QTest::qWait(50);
        QCOMPARE(Logins().size(), 1);
        QVERIFY(Logins().first()->isVisible());
        qDeleteAll(Logins());
    }
};

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
