// Login: the two kinds of user, passwords and permissions, names with blanks and hostile
// characters, the keys of the window and a database failure.
#include "RecordingPlatform.h"
#include "Screens.h"
#include "TestDb.h"
#include "session/AppSettings.h"
#include "session/Common.h"
#include "session/LoginCheck.h"
#include "session/frmChangeCompany.h"
#include "session/frmLogin.h"
#include "session/frmMain.h"
#include "session/mdlDalvoni.h"

#include <QApplication>
#include <QPointer>
#include <QtTest>

using namespace mdlDalvoni;

namespace {

const char *const kNull = "<null>";

// user_id, name, password (kNull for null), admin, group, type, login_it, login_advt (-1: null)
void AddUser(int id, const QString &name, const QString &password, int type, int loginIt, int loginAdvt)
{
    auto value = [](int v) { return v < 0 ? QStringLiteral("NULL") : QString::number(v); };
    TestDb::Exec(QStringLiteral("INSERT INTO dalvoni.userdetails VALUES (%1,'%2',%3,%4,'G%1',%5,%6,%7)")
                     .arg(id)
                     .arg(SqlEscape(name), password == QLatin1String(kNull)
                                               ? QStringLiteral("NULL")
                                               : QLatin1Char('\'') + SqlEscape(password) + QLatin1Char('\''))
                     .arg(id == 1 ? 1 : 0)
                     .arg(value(type), value(loginIt), value(loginAdvt)));
}

QString LastUser()
{
    return AppSettings::Get(AppSettings::kLoginSection, AppSettings::kLoginKey);
}

// The check's outcome as the login screen tells it apart: user 1's wrong password also
// empties the password box.
QString Seen(const LoginCheck::Result &r)
{
    switch (r.outcome) {
    case LoginCheck::Outcome::Admitted:
        return QStringLiteral("admitted");
    case LoginCheck::Outcome::InvalidUser:
        return QStringLiteral("unknown user");
    case LoginCheck::Outcome::InvalidPassword:
        return r.clearPassword ? QStringLiteral("wrong password, box emptied") : QStringLiteral("wrong password");
    case LoginCheck::Outcome::Denied:
        return QStringLiteral("denied");
    }
    return QString();
}

QString Check(const QString &name, const QString &typed)
{
    return Seen(LoginCheck::Check(Db(), name, typed));
}

void CloseAll()
{
    qDeleteAll(TopLevelWindows<frmChangeCompany>());
    qDeleteAll(TopLevelWindows<frmLogin>());
    delete frmMain::existing();
}

} // namespace

class tst_Login : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TestDb::Reset();
        TestDb::Exec(QStringLiteral("INSERT INTO dalvoni.unitmaster VALUES ('HO','HEAD OFFICE')"));
        AppSettings::Save(AppSettings::kLoginSection, AppSettings::kLoginKey, QStringLiteral("before"));
        UnitCode = QStringLiteral("HO");
    }

    void cleanup() { CloseAll(); }

    void check_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("loginIt");
        QTest::addColumn<int>("loginAdvt");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("sessionSet");

        const QString ok = "admitted", denied = "denied", wrong = "wrong password",
                      wrongEmptied = "wrong password, box emptied";
        QTest::newRow("user 1 admitted by advt") << 1 << "pw" << 0 << 0 << 1 << "pw" << ok << true;
        QTest::newRow("user 1 denied by advt") << 1 << "pw" << 0 << 1 << 0 << "pw" << denied << true;
        QTest::newRow("user 1 null advt") << 1 << "pw" << 0 << 0 << -1 << "pw" << ok << true;
        QTest::newRow("user 1 wrong password") << 1 << "pw" << 0 << 0 << 1 << "PW" << wrongEmptied << false;
        QTest::newRow("other admitted by it") << 2 << "pw" << 1 << 1 << 0 << "pw" << ok << true;
        QTest::newRow("other denied by it") << 2 << "pw" << 1 << 0 << 1 << "pw" << denied << false;
        QTest::newRow("other null it") << 2 << "pw" << 0 << -1 << -1 << "pw" << ok << true;
        QTest::newRow("other it 2") << 2 << "pw" << 0 << 2 << 1 << "pw" << denied << false;
        QTest::newRow("other wrong case") << 2 << "Secret" << 0 << 1 << 1 << "secret" << wrong << false;
        QTest::newRow("typed blanks ignored") << 2 << "pw" << 0 << 1 << 1 << "  pw  " << ok << true;
        QTest::newRow("stored blanks never match") << 2 << "pw " << 0 << 1 << 1 << "pw " << wrong << false;
        QTest::newRow("null password, empty typed") << 2 << kNull << 0 << 1 << 1 << "" << wrong << false;
        QTest::newRow("null password user 1") << 1 << kNull << 0 << 1 << 1 << "" << wrongEmptied << false;
        QTest::newRow("empty password matches empty") << 2 << "" << 0 << 1 << 1 << " " << ok << true;
    }

    void check()
    {
        QFETCH(int, id);
        QFETCH(QString, stored);
        QFETCH(int, type);
        QFETCH(int, loginIt);
        QFETCH(int, loginAdvt);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QFETCH(bool, sessionSet);
        AddUser(id, QStringLiteral("ravi"), stored, type, loginIt, loginAdvt);

        QCOMPARE(Check(QStringLiteral("ravi"), typed), expected);
        QCOMPARE(UserName, sessionSet ? QStringLiteral("ravi") : QString());
        QCOMPARE(UserId, sessionSet ? QString::number(id) : QString());
        QCOMPARE(UserGroupCode, sessionSet ? QStringLiteral("G%1").arg(id) : QString());
        QCOMPARE(UserAdmin, sessionSet ? QString::number(id == 1 ? 1 : 0) : QString());
        QCOMPARE(LastUser(), sessionSet ? QStringLiteral("ravi") : QStringLiteral("before"));
        // User 1 never gets a user type, whatever the column says.
        QCOMPARE(UserType, sessionSet && id != 1 && type != 0);
    }

    void user1NeverTakesTheUserType()
    {
        AddUser(1, QStringLiteral("boss"), QStringLiteral("pw"), 1, 1, 1);
        QCOMPARE(Check(QStringLiteral("boss"), QStringLiteral("pw")), QStringLiteral("admitted"));
        QVERIFY(!UserType);
    }

    void nameWithBlanksIsFoundButKeptAsTyped()
    {
        AddUser(2, QStringLiteral("ravi"), QStringLiteral("pw"), 0, 1, 0);
        QCOMPARE(Check(QStringLiteral("  ravi "), QStringLiteral("pw")), QStringLiteral("admitted"));
        QCOMPARE(UserName, QStringLiteral("  ravi "));
        QCOMPARE(LastUser(), QStringLiteral("  ravi "));
    }

    // Typed names reach the server as typed: they find exactly their own user and nothing else.
    void hostileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("apostrophe") << QStringLiteral("o'brien");
        QTest::newRow("backslash quote") << QStringLiteral("a\\' OR 1=1 -- ");
        QTest::newRow("trailing backslash") << QStringLiteral("path\\");
        QTest::newRow("percent and underscore") << QStringLiteral("50%_off");
        QTest::newRow("double quote and semicolon") << QStringLiteral("x\"; DROP TABLE t; --");
        QTest::newRow("always true") << QStringLiteral("' OR '1'='1");
    }

    void hostileNames()
    {
        QFETCH(QString, name);
        AddUser(2, QStringLiteral("clerk"), QStringLiteral("pw"), 0, 1, 0);
        // Unknown as long as nobody has that exact name.
        QCOMPARE(Check(name, QStringLiteral("pw")), QStringLiteral("unknown user"));
        QVERIFY(UserId.isEmpty());
        // A user with exactly that name logs in with it.
        AddUser(3, name, QStringLiteral("pw3"), 0, 1, 0);
        QCOMPARE(Check(name, QStringLiteral("pw3")), QStringLiteral("admitted"));
        QCOMPARE(UserId, QStringLiteral("3"));
        QCOMPARE(UserName, name);
        QCOMPARE(LastUser(), name);
        QCOMPARE(TestDb::Count(QStringLiteral("dalvoni.userdetails")), 2);
    }

    void loadShowsTheLastUser()
    {
        AppSettings::Save(AppSettings::kLoginSection, AppSettings::kLoginKey, QStringLiteral(" last one "));
        frmLogin w;
        QCOMPARE(w.ui.TxtUserName->text(), QStringLiteral(" last one "));
        QCOMPARE(w.ui.TxtPassword->echoMode(), QLineEdit::Password);
        QCOMPARE(w.ui.CmOk->text(), QStringLiteral("&OK"));
        QCOMPARE(w.ui.CmExit->text(), QStringLiteral("E&xit"));
    }

    void enterMovesOnThenSubmits()
    {
        RecordingPlatform rec;
        AddUser(2, QStringLiteral("clerk"), QStringLiteral("pw"), 0, 1, 0);
        QPointer<frmLogin> w = new frmLogin;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->ui.TxtUserName->setFocus();
        w->ui.TxtUserName->setText(QStringLiteral("clerk"));
        QTest::keyClick(w->ui.TxtUserName, Qt::Key_Return);
        QVERIFY(w->ui.TxtPassword->hasFocus());
        QVERIFY(rec.messages.isEmpty());
        QVERIFY(UserName.isEmpty());
        QVERIFY(TopLevelWindows<frmChangeCompany>().isEmpty());

        QTest::keyClicks(w->ui.TxtPassword, QStringLiteral("pw"));
        QTest::keyClick(w->ui.TxtPassword, Qt::Key_Enter);
        QVERIFY(rec.messages.isEmpty());
        QCOMPARE(UserName, QStringLiteral("clerk"));
        QTRY_VERIFY(w.isNull());
        QCOMPARE(TopLevelWindows<frmChangeCompany>().size(), 1);
        QVERIFY(TopLevelWindows<frmChangeCompany>().first()->isVisible());
    }

    void messagesAndFocus()
    {
        RecordingPlatform rec;
        AddUser(1, QStringLiteral("admin"), QStringLiteral("adm"), 0, 0, 1);
        AddUser(2, QStringLiteral("clerk"), QStringLiteral("pw"), 0, 0, 1);
        frmLogin w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        w.ui.TxtUserName->setText(QStringLiteral("nobody"));
        w.ui.TxtPassword->setText(QStringLiteral("x"));
        QTest::mouseClick(w.ui.CmOk, Qt::LeftButton);
        QCOMPARE(rec.lastMessage(), QStringLiteral("Invalid User Name    "));
        QCOMPARE(rec.messages.last().icon, Platform::Icon::Information);
        QVERIFY(w.ui.TxtPassword->hasFocus());

        // User 1: information, and the password box is emptied.
        w.ui.TxtUserName->setText(QStringLiteral("admin"));
        w.ui.TxtPassword->setText(QStringLiteral("wrong"));
        w.CmOk_Click();
        QCOMPARE(rec.lastMessage(), QStringLiteral("Invalid Password.   "));
        QCOMPARE(rec.messages.last().icon, Platform::Icon::Information);
        QVERIFY(w.ui.TxtPassword->text().isEmpty());

        // Others: an error, and the text stays.
        w.ui.TxtUserName->setText(QStringLiteral("clerk"));
        w.ui.TxtPassword->setText(QStringLiteral("wrong"));
        w.CmOk_Click();
        QCOMPARE(rec.lastMessage(), QStringLiteral("Invalid Password.   "));
        QCOMPARE(rec.messages.last().icon, Platform::Icon::Critical);
        QCOMPARE(w.ui.TxtPassword->text(), QStringLiteral("wrong"));

        w.ui.TxtPassword->setText(QStringLiteral("pw"));
        w.CmOk_Click();
        QCOMPARE(rec.lastMessage(), QStringLiteral("Login Denied!.... Please Contact System Administrator.   "));
        QCOMPARE(rec.messages.last().icon, Platform::Icon::Critical);
        QVERIFY(w.isVisible());
        QVERIFY(TopLevelWindows<frmChangeCompany>().isEmpty());
        QVERIFY(rec.exits.isEmpty());
    }

    void focusSelectsTheWholeText()
    {
        frmLogin w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.ui.TxtPassword->setText(QStringLiteral("secret"));
        w.ui.TxtUserName->setFocus();
        w.ui.TxtPassword->setFocus();
        QTRY_COMPARE(w.ui.TxtPassword->selectedText(), QStringLiteral("secret"));
    }

    void exitEndsTheProgram()
    {
        RecordingPlatform rec;
        frmLogin w;
        QTest::mouseClick(w.ui.CmExit, Qt::LeftButton);
        QCOMPARE(rec.exits, QList<int>{0});
    }

    void databaseErrorIsShownAndEnds()
    {
        RecordingPlatform rec;
        frmLogin w;
        TestDb::Exec(QStringLiteral("RENAME TABLE dalvoni.userdetails TO dalvoni.userdetails_away"));
        w.ui.TxtUserName->setText(QStringLiteral("clerk"));
        w.CmOk_Click();
        TestDb::Exec(QStringLiteral("RENAME TABLE dalvoni.userdetails_away TO dalvoni.userdetails"));
        QCOMPARE(rec.messages.size(), 1);
        QCOMPARE(rec.messages[0].icon, Platform::Icon::Critical);
        QVERIFY(rec.messages[0].text.contains(QStringLiteral("userdetails")));
        QCOMPARE(rec.exits, QList<int>{1});
    }
};

QTEST_MAIN(tst_Login)
#include "tst_login.moc"
