// The login rules shared by the login screen and the tools, and the itbatch program run as
// a user runs it, against the test server.
#include "TestDb.h"

#include "session/AppSettings.h"
#include "session/LoginCheck.h"
#include "session/mdlDalvoni.h"
#include "tax/BatchLock.h"

#include <QProcess>
#include <QtTest>

using namespace LoginCheck;

namespace {

struct Run
{
    int code;
    QString out, err;
};

void StartBatch(QProcess &p, const QStringList &args, const QString &password = QStringLiteral("clerk"))
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (password.isNull())
        env.remove(QStringLiteral("INCOMETAX_PASSWORD"));
    else
        env.insert(QStringLiteral("INCOMETAX_PASSWORD"), password);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(IT_BINARY_DIR "/tools/itbatch/itbatch"), args);
    p.closeWriteChannel();
}

Run Finished(QProcess &p)
{
    if (!p.waitForFinished(60000))
        return {-1, {}, QStringLiteral("did not finish")};
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

Run RunBatch(const QStringList &args, const QString &password = QStringLiteral("clerk"))
{
    QProcess p;
    StartBatch(p, args, password);
    return Finished(p);
}

void Save(const char *section, const char *key, const QString &value)
{
    AppSettings::Save(QString::fromLatin1(section), QString::fromLatin1(key), value);
}

} // namespace

class TestItBatch : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TestDb::Reset();
        TestDb::LoadStandardMasters();
        Save(AppSettings::kLoginSection, AppSettings::kLoginKey, QStringLiteral("clerk"));
    }

    void loginRules_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("userId"); // the session's user afterwards ("" untouched)
        QTest::newRow("blanks around name and password") << "  clerk "
                                                         << "clerk  "
                                                         << "" << int(Outcome::Admitted) << "2";
        QTest::newRow("unknown user") << "nobody"
                                      << "x"
                                      << "" << int(Outcome::InvalidUser) << "";
        QTest::newRow("apostrophe in the name") << "o'brien\\"
                                                << "x"
                                                << "" << int(Outcome::InvalidUser) << "";
        QTest::newRow("case counts in passwords") << "clerk"
                                                  << "CLERK"
                                                  << "" << int(Outcome::InvalidPassword) << "";
        QTest::newRow("stored trailing blank never matches")
            << "clerk"
            << "clerk "
            << "UPDATE dalvoni.userdetails SET user_password='clerk ' WHERE user_id=2" << int(Outcome::InvalidPassword)
            << "";
        QTest::newRow("null password") << "clerk"
                                       << ""
                                       << "UPDATE dalvoni.userdetails SET user_password=NULL WHERE user_id=2"
                                       << int(Outcome::InvalidPassword) << "";
        QTest::newRow("user 1 admitted by advt, not by it") << "admin"
                                                            << "admin"
                                                            << "" << int(Outcome::Admitted) << "1";
        QTest::newRow("user 1 denied keeps the fields set")
            << "admin"
            << "admin"
            << "UPDATE dalvoni.userdetails SET user_login_advt=0, user_login_it=1 WHERE user_id=1"
            << int(Outcome::Denied) << "1";
        QTest::newRow("other user denied by it") << "clerk"
                                                 << "clerk"
                                                 << "UPDATE dalvoni.userdetails SET user_login_it=0, "
                                                    "user_login_advt=1 WHERE user_id=2"
                                                 << int(Outcome::Denied) << "";
        QTest::newRow("null flag admits")
            << "clerk"
            << "clerk"
            << "UPDATE dalvoni.userdetails SET user_login_it=NULL WHERE user_id=2" << int(Outcome::Admitted) << "2";
    }
    void loginRules()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, setup);
        QFETCH(int, outcome);
        QFETCH(QString, userId);
        if (!setup.isEmpty())
            TestDb::Exec(setup);
        const Result r = Check(TestDb::Open(), name, password);
        QCOMPARE(int(r.outcome), outcome);
        QCOMPARE(mdlDalvoni::UserId, userId);
        if (r.outcome == Outcome::Admitted) {
            QCOMPARE(mdlDalvoni::UserName, name); // as typed, blanks kept
            QCOMPARE(AppSettings::Get("Login", "AUser"), name);
        }
        if (r.outcome == Outcome::InvalidPassword)
            QCOMPARE(r.message, "Invalid Password.   ");
        QCOMPARE(r.clearPassword, r.outcome == Outcome::InvalidPassword && r.userOne);
    }

    void batchFromTheCommandLine()
    {
        Save(AppSettings::kServerSection, AppSettings::kServerKey, QStringLiteral("127.0.0.1"));
        Save(AppSettings::kWorkstationSection, AppSettings::kUnitKey, QStringLiteral("HO"));
        TestDb::AddFinalize(QDate(2018, 7, 31));
        TestDb::AddFinalize(QDate(2018, 9, 30));
        TestDb::AddEmployee("1", "E", "001", "ANIL");
        TestDb::AddEmployee("2", "E", "002", "BINA");
        TestDb::AddEmployee("3", "E", "003", "CHANDU");
        for (int m = 4; m <= 9; ++m) {
            TestDb::AddSalary("1", QDate(2018, m, 1), "OTH0000000001", 30000);
            TestDb::AddSalary("2", QDate(2018, m, 1), "OTH0000000001", 40000);
        }

        Run r = RunBatch({"--company", "C01"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out.trimmed(),
                 "C01 2018-04-01 to 2019-03-31: 3 selected, 2 inserted, 0 updated, 1 skipped without gross pay");
        QCOMPARE(TestDb::Count("hr0910.hr_it WHERE emp_it_from='2018-04-01' AND created_by=2"), 2);

        r = RunBatch({"--company", "C01", "--employee", "2"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.out.contains("1 selected, 0 inserted, 1 updated"));

        // Another year, several periods one after the other, one employee at a time.
        r = RunBatch({"--company", "C01", "--year", "2017-04-01", "--period", "2018-04-01:2018-09-30", "--period",
                      "2018-04-01:2018-08-31", "--period", "2018-04-01:2018-09-30", "--per-employee"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out.split('\n', Qt::SkipEmptyParts),
                 QStringList({"C01 2018-04-01 to 2018-09-30: 3 selected, 2 inserted, 0 updated, 1 skipped without "
                              "gross pay",
                              "C01 2018-04-01 to 2018-08-31: 3 selected, 2 inserted, 0 updated, 1 skipped without "
                              "gross pay",
                              "C01 2018-04-01 to 2018-09-30: 3 selected, 0 inserted, 2 updated, 1 skipped without "
                              "gross pay"}));
        QCOMPARE(
            TestDb::Scalar("SELECT emp_ta FROM hr0910.hr_it WHERE emp_slno='1' AND emp_it_to='2018-09-30'").toDouble(),
            0.0); // 2017-18 takes the transport allowance, and none was paid
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 6);

        // The regime comparison as CSV, writing nothing: a year without new-regime figures has
        // none; with them, every employee in service under each regime.
        r = RunBatch({"--company", "C01", "--compare-regimes"});
        QCOMPARE(r.code, 4);
        QVERIFY2(r.err.contains("no new-regime figures"), qPrintable(r.err));
        NewRegimeSetup::Year y;
        y.defaultRegime = TaxRegime::New;
        y.standardDeduction = 50000;
        y.cess = 4;
        y.slabs = {{0, 300000, 0}, {300000, std::nullopt, 10}};
        TestDb::AddNewRegimeYear(y, 2018);
        r = RunBatch({"--company", "C01", "--compare-regimes"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith("code,name,regime,old_payable,new_payable,"));
        // 30000 a month, six paid and six projected, less 50000: 10 % of 10000, and 4 % cess.
        QVERIFY2(lines[1].startsWith("E001,ANIL,NEW,") && lines[1].section(',', 4, 4) == "1040.00",
                 qPrintable(lines[1]));
        QVERIFY2(lines[3].startsWith("E003,CHANDU,NEW,0.00,0.00,"), qPrintable(lines[3]));
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 6);
    }

    // Two workstations start the batch of one company together: the second waits for the first,
    // and every employee still has one record. One that cannot wait long enough is refused.
    void oneRunOfACompanyAtATime()
    {
        Save(AppSettings::kServerSection, AppSettings::kServerKey, QStringLiteral("127.0.0.1"));
        Save(AppSettings::kWorkstationSection, AppSettings::kUnitKey, QStringLiteral("HO"));
        TestDb::AddFinalize(QDate(2018, 9, 30));
        for (int i = 1; i <= 40; ++i)
            TestDb::AddPaidEmployee(QString::number(i), QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')));
        QProcess first, second;
        StartBatch(first, {"--company", "C01", "--wait", "60", "--per-employee"});
        StartBatch(second, {"--company", "C01", "--wait", "60"});
        const Run a = Finished(first), b = Finished(second);
        QVERIFY2(a.code == 0 && b.code == 0, qPrintable(a.err + b.err));
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 40);
        QCOMPARE(QStringList({a.out.section(": ", 1).trimmed(), b.out.section(": ", 1).trimmed()}).join('|'),
                 a.out.contains(" 40 inserted")
                     ? "40 selected, 40 inserted, 0 updated, 0 skipped without gross pay|40 selected, 0 inserted, "
                       "40 updated, 0 skipped without gross pay"
                     : "40 selected, 0 inserted, 40 updated, 0 skipped without gross pay|40 selected, 40 inserted, "
                       "0 updated, 0 skipped without gross pay");

        DbConnection other(QStringLiteral("other workstation"));
        other.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
        BatchLock::Guard held(other, {"C01", "1", "admin", "WS-7", QDate(2018, 4, 1), QDate(2019, 3, 31)}, 0);
        const Run refused = RunBatch({"--company", "C01", "--wait", "0"});
        QCOMPARE(refused.code, 5);
        QVERIFY2(refused.err.contains("admin on workstation WS-7") && refused.err.contains("changed nothing"),
                 qPrintable(refused.err));
    }

    // Every failure ends with a message and a non-zero exit code. The workstation's unit is
    // taken as the program takes it: the first unit by code when none is set, and an unknown
    // one is named as the program names it.
    void failuresExitNonZero_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QStringList c01{"--company", "C01"};
        QTest::newRow("no company") << QStringList{} << "clerk"
                                    << "HO" << 1 << "--company is required";
        QTest::newRow("wrong password") << c01 << "nope"
                                        << "HO" << 3 << "Invalid Password.";
        QTest::newRow("no password and no terminal") << c01 << QString() << "HO" << 2 << "INCOMETAX_PASSWORD";
        QTest::newRow("unknown company") << QStringList{"--company", "C99"} << "clerk"
                                         << "HO" << 2 << "No company";
        QTest::newRow("unknown year") << QStringList{"--company", "C01", "--year", "2001-04-01"} << "clerk"
                                      << "HO" << 2 << "no financial year starting 2001-04-01";
        QTest::newRow("bad date") << QStringList{"--company", "C01", "--to", "31/03/2019"} << "clerk"
                                  << "HO" << 1 << "not a date";
        QTest::newRow("bad period") << QStringList{"--company", "C01", "--period", "2018-04-01"} << "clerk"
                                    << "HO" << 1 << "not two dates";
        QTest::newRow("nothing finalised") << c01 << "clerk"
                                           << "HO" << 4 << "finalised up to";
        QTest::newRow("no unit set: the first unit by code") << c01 << "clerk"
                                                             << "" << 2 << "Unit CHN has no default financial year";
        QTest::newRow("unknown unit")
            << c01 << "clerk"
            << "XX" << 2
            << "itbatch: The unit 'XX' of this workstation is not in the unit master. Contact System Administrator.";
    }
    void failuresExitNonZero()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, password);
        QFETCH(QString, unit);
        QFETCH(int, code);
        QFETCH(QString, message);
        Save(AppSettings::kServerSection, AppSettings::kServerKey, QStringLiteral("127.0.0.1"));
        Save(AppSettings::kWorkstationSection, AppSettings::kUnitKey, unit);
        const Run r = RunBatch(args, password);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 0);
    }
};

QTEST_GUILESS_MAIN(TestItBatch)
#include "tst_itbatch.moc"
