// The session's connection against a real server that misbehaves: dropped connections and a
// restarted server, locks held by another session, statements that run too long, a server
// that does not answer, the NO_BACKSLASH_ESCAPES mode, a server that is not strict about
// lengths, and errors that come without a text.
#include "RecordingPlatform.h"
#include "TestDb.h"
#include "WorksheetData.h"
#include "config/AllowanceHeads.h"
#include "config/frmOtherAllowance.h"
#include "lookup/EmployeeLookup.h"
#include "session/AppSettings.h"
#include "session/ColumnLengths.h"
#include "session/Common.h"
#include "session/LoginCheck.h"
#include "session/Startup.h"
#include "session/frmLogin.h"
#include "session/mdlDalvoni.h"
#include "tax/Worksheet.h"
#include "ui/QtPlatform.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace mdlDalvoni;

namespace {

const QString kLocal = QStringLiteral("127.0.0.1");

QString connectionId(DbConnection &db)
{
    return QueryFirstValue(db, QStringLiteral("Select connection_id()"));
}

// Kills a session from a second connection, as an administrator or a crash would.
void killSession(const QString &id)
{
    DbConnection killer(QStringLiteral("killer"));
    killer.open(ConnectionString(kLocal));
    killer.execute(QStringLiteral("KILL ") + id);
}

bool serverScript(const QString &command)
{
    return QProcess::execute(QStringLiteral(IT_SOURCE_DIR "/scripts/dbserver.sh"),
                             {command, qEnvironmentVariable("IT_TEST_DBDIR")}) == 0;
}

// The throwaway server of the test run, made to go away in the ways a server does.
void dropConnection(DbConnection &db, const QString &cause)
{
    if (cause == QLatin1String("kill")) {
        killSession(connectionId(db));
    } else {
        QVERIFY(serverScript(QStringLiteral("stop")));
        QVERIFY(serverScript(QStringLiteral("start")));
    }
}

int count(DbConnection &db, const QString &where)
{
    return QueryFirstValue(db, QStringLiteral("Select count(*) from numbersetup where ") + where).toInt();
}

// The worksheet of the complete employee with one LIC line, ready to save.
Worksheet::Figures oneLine(const QString &code)
{
    Worksheet::Figures f = Worksheet::OpenedFigures();
    f.LbName = QStringLiteral("ASHA RAO");
    f.LbSerialNo = QStringLiteral("E1");
    f.lines = {{QStringLiteral("1"), QStringLiteral("LIC"), QStringLiteral("45000.00"), code}};
    f.TxHLInterest = QStringLiteral("1000.00");
    f.TxMediClaim = QStringLiteral("2000.00");
    return f;
}

QStringList declarations()
{
    QStringList rows;
    Recordset rs = Db().query(QStringLiteral("Select emp_it_allowance_code,emp_amount from hr_it_trans where "
                                             "emp_slno='E1' and emp_it_from='2018-04-01' order by emp_allowance_slno"));
    for (; !rs.eof(); rs.moveNext())
        rows << rs.text(0) + QLatin1Char(' ') + Format00(rs.number(1));
    return rows;
}

// A port where something listens and never answers: a server that hangs after the
// connection (it is accepted by the system, no greeting follows), or, with its queue of
// waiting connections filled, one whose machine does not answer at all.
struct SilentServer
{
    int listener = -1;
    QList<int> waiting;
    int port = 0;

    explicit SilentServer(bool acceptsConnections)
    {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener, reinterpret_cast<sockaddr *>(&a), sizeof a);
        socklen_t size = sizeof a;
        ::getsockname(listener, reinterpret_cast<sockaddr *>(&a), &size);
        port = ntohs(a.sin_port);
        ::listen(listener, acceptsConnections ? 16 : 0);
        if (!acceptsConnections) {
            for (int i = 0; i < 3; ++i) {
                const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
                ::connect(c, reinterpret_cast<sockaddr *>(&a), sizeof a);
                waiting << c;
            }
            QThread::msleep(200);
        }
    }
    ~SilentServer()
    {
        for (int c : waiting)
            ::close(c);
        ::close(listener);
    }
    QString connectString() const
    {
        return QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=127.0.0.1;PORT=%1; USER=root;"
                              "PASSWORD='7391';OPTION=3;Database=hr0910")
            .arg(port);
    }
};

} // namespace

class tst_Connection : public QObject
{
    Q_OBJECT

    QString m_globalMode;
    int m_notices = 0;

private slots:
    void initTestCase() { m_globalMode = TestDb::Scalar(QStringLiteral("Select @@GLOBAL.sql_mode")).toString(); }

    void init()
    {
        m_notices = 0;
        Db().setReopenNotice([this](const QString &text) {
            QVERIFY(!text.trimmed().isEmpty());
            ++m_notices;
        });
        TestDb::Reset();
    }

    void cleanup()
    {
        Db().setReopenNotice({});
        if (Db().inTransaction())
            Db().rollback();
        TestDb::Exec(QStringLiteral("SET GLOBAL sql_mode='") + m_globalMode + QStringLiteral("'"));
        TestDb::Exec(QStringLiteral("ALTER TABLE hr0910.hr_it_allowance MODIFY allowance_name VARCHAR(100) NOT NULL "
                                    "DEFAULT ''"));
        ColumnLengths::Forget();
    }

    // After the server dropped the connection, the next action opens it again and the user
    // is told once; a read goes on, a write is refused (it is not sent twice) and the next
    // action works.
    void lostConnectionIsOpenedAgain_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("action");
        QTest::newRow("killed, then a read") << "kill"
                                             << "read";
        QTest::newRow("killed, then a write") << "kill"
                                              << "write";
        QTest::newRow("killed, then a transaction") << "kill"
                                                    << "transaction";
        QTest::newRow("server restarted, then a read") << "restart"
                                                       << "read";
        QTest::newRow("server restarted, then a write") << "restart"
                                                        << "write";
        QTest::newRow("server restarted, then a worksheet save") << "restart"
                                                                 << "save";
    }
    void lostConnectionIsOpenedAgain()
    {
        DbConnection &db = Db();
        db.execute(QStringLiteral("INSERT INTO numbersetup VALUES ('A','1')"));
        QFETCH(QString, cause);
        QFETCH(QString, action);
        if (action == QLatin1String("save")) {
            TestDb::LoadStandardMasters();
            WorksheetData::AddCompleteEmployee();
        }
        dropConnection(db, cause);

        if (action == QLatin1String("read")) {
            QCOMPARE(count(db, QStringLiteral("no_id='A'")), 1);
        } else if (action == QLatin1String("write")) {
            try {
                db.execute(QStringLiteral("INSERT INTO numbersetup VALUES ('W','1')"));
                QFAIL("the write on a dropped connection succeeded");
            } catch (const DbError &e) {
                QCOMPARE(e.kind(), DbError::Kind::ConnectionLost);
                QVERIFY(!e.text().trimmed().isEmpty());
            }
            QCOMPARE(m_notices, 0);
            QCOMPARE(count(db, QStringLiteral("no_id='W'")), 0);
        } else if (action == QLatin1String("transaction")) {
            Transaction t(db);
            db.execute(QStringLiteral("INSERT INTO numbersetup VALUES ('W','1')"));
            t.commit();
            QCOMPARE(count(db, QStringLiteral("no_id='W'")), 1);
        } else {
            Worksheet::Save(db, oneLine(QStringLiteral("ITA000001")), QDate(2018, 4, 1), QDate(2019, 3, 31));
            QCOMPARE(declarations(), QStringList{QStringLiteral("ITA000001 45000.00")});
        }
        QCOMPARE(m_notices, 1);
        db.execute(QStringLiteral("UPDATE numbersetup SET no_value='2' WHERE no_id='A'"));
        QCOMPARE(QueryFirstValue(db, QStringLiteral("Select no_value from numbersetup where no_id='A'")),
                 QStringLiteral("2"));
        QCOMPARE(m_notices, 1);
    }

    // A transaction that lost its connection is over: nothing more of it is sent, the server
    // has undone what it did, and only the action after it opens the connection again.
    void lostConnectionEndsItsTransaction()
    {
        DbConnection &db = Db();
        try {
            Transaction t(db);
            db.execute(QStringLiteral("INSERT INTO numbersetup VALUES ('T1','1')"));
            killSession(connectionId(db));
            db.execute(QStringLiteral("INSERT INTO numbersetup VALUES ('T2','1')"));
            t.commit();
            QFAIL("the transaction went on without its connection");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::ConnectionLost);
            QVERIFY(e.text().contains(QStringLiteral("undone")));
        }
        QCOMPARE(m_notices, 0);
        QVERIFY(!db.inTransaction());
        QCOMPARE(count(db, QStringLiteral("no_id like 'T%'")), 0);
        QCOMPARE(m_notices, 1);
    }

    // While the server is down every action says so in words; once it is back the next action
    // works, and the user is told once. A recordset of the dropped connection never looks
    // as if its rows had ended.
    void serverDownUntilStartedAgain()
    {
        DbConnection &db = Db();
        db.execute(QStringLiteral("INSERT INTO numbersetup VALUES ('A','1'),('B','2')"));
        Recordset open = db.query(QStringLiteral("Select no_id from numbersetup order by no_id"));
        QVERIFY(serverScript(QStringLiteral("stop")));
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                db.query(QStringLiteral("Select count(*) from numbersetup"));
                QFAIL("a read succeeded with the server stopped");
            } catch (const DbError &e) {
                QCOMPARE(e.kind(), DbError::Kind::ConnectionLost);
                QVERIFY2(e.text().contains(QStringLiteral("could not be opened again")), qPrintable(e.text()));
            }
        }
        QVERIFY(serverScript(QStringLiteral("start")));
        QCOMPARE(count(db, QStringLiteral("1=1")), 2);
        QCOMPARE(m_notices, 1);
        try {
            open.moveNext();
            QFAIL("the rows of a dropped connection looked complete");
        } catch (const DbError &e) {
            QVERIFY2(e.text().startsWith(QStringLiteral("Reading the table numbersetup stopped before the last row")),
                     qPrintable(e.text()));
        }
    }

    // A lock held elsewhere ends the wait in a message that names the table and says that
    // nothing was lost; the worksheet save stays all-or-nothing.
    void busyTableEndsTheWait_data()
    {
        QTest::addColumn<QString>("hold");
        QTest::addColumn<QString>("action");
        QTest::newRow("table locked, change") << "LOCK TABLES hr_it WRITE"
                                              << "update";
        QTest::newRow("table locked, read") << "LOCK TABLES hr_it WRITE"
                                            << "read";
        QTest::newRow("row locked, change") << "UPDATE hr_it SET emp_mc=5 WHERE emp_slno='E1'"
                                            << "update";
        QTest::newRow("table locked, worksheet save") << "LOCK TABLES hr_it WRITE"
                                                      << "save";
    }
    void busyTableEndsTheWait()
    {
        QFETCH(QString, hold);
        QFETCH(QString, action);
        TestDb::LoadStandardMasters();
        WorksheetData::AddCompleteEmployee();
        const QStringList before = declarations();

        DbConnection holder(QStringLiteral("holder"));
        holder.open(ConnectionString(kLocal));
        holder.begin();
        holder.execute(hold);
        DbConnection db(QStringLiteral("waiting"));
        db.setLimits({15, 1, 900});
        db.open(ConnectionString(kLocal));
        try {
            if (action == QLatin1String("read"))
                db.query(QStringLiteral("Select * from hr_it"));
            else if (action == QLatin1String("update"))
                db.execute(QStringLiteral("Update hr_it set emp_mc=7 where emp_slno='E1'"));
            else
                Worksheet::Save(db, oneLine(QStringLiteral("ITA000001")), QDate(2018, 4, 1), QDate(2019, 3, 31));
            QFAIL("the statement went through a lock held elsewhere");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::Busy);
            QVERIFY2(e.text().startsWith(QStringLiteral("The table hr_it is in use")), qPrintable(e.text()));
            QVERIFY(e.text().contains(QStringLiteral("after 1 seconds")));
            QVERIFY(e.text().contains(QStringLiteral("Nothing was lost")));
        }
        holder.execute(QStringLiteral("UNLOCK TABLES"));
        holder.rollback();
        QCOMPARE(declarations(), before);
        // The connection itself is fine.
        db.execute(QStringLiteral("Update hr_it set emp_mc=7 where emp_slno='E1'"));
        QCOMPARE(TestDb::Scalar(QStringLiteral("Select emp_mc from hr_it where emp_slno='E1'")).toDouble(), 7.0);
    }

    // Every connection gets the bounded waits and the time limit when it opens; a statement
    // that outlasts the limit is stopped with a message.
    void everySessionIsBounded()
    {
        const QString limits = QStringLiteral(
            "Select concat(@@lock_wait_timeout,' ',@@innodb_lock_wait_timeout,' ',@@max_statement_time)");
        DbConnection second(QStringLiteral("second"));
        second.open(ConnectionString(kLocal));
        for (DbConnection *db : {&Db(), &second})
            QCOMPARE(QueryFirstValue(*db, limits), QStringLiteral("20 20 900.000000"));

        DbConnection quick(QStringLiteral("quick"));
        quick.setLimits({15, 20, 1});
        quick.open(ConnectionString(kLocal));
        try {
            quick.query(QStringLiteral("Select sleep(3), count(*) from numbersetup"));
            QFAIL("the time limit did not stop the statement");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::TimeLimit);
            QVERIFY2(e.text().contains(QStringLiteral("reading the table numbersetup after 1 seconds")),
                     qPrintable(e.text()));
        }
    }

    // A server that does not answer ends the attempt in a message within the connect limit
    // (the driver alone waited for minutes, or for ever); the same connection opens later.
    void silentServerEndsTheAttempt_data()
    {
        QTest::addColumn<bool>("accepts");
        QTest::newRow("hung server") << true;
        QTest::newRow("machine does not answer") << false;
    }
    void silentServerEndsTheAttempt()
    {
        QFETCH(bool, accepts);
        SilentServer silent(accepts);
        DbConnection db(QStringLiteral("silent ") + QLatin1String(QTest::currentDataTag()));
        db.setLimits({2, 20, 900});
        QElapsedTimer clock;
        clock.start();
        try {
            db.open(silent.connectString());
            QFAIL("a silent server was taken for an open connection");
        } catch (const DbError &e) {
            QVERIFY2(e.text().contains(QStringLiteral("did not answer within 2 seconds")), qPrintable(e.text()));
        }
        QVERIFY(clock.elapsed() < 30000);
        QVERIFY(!db.isOpen());
        db.open(ConnectionString(kLocal));
        QCOMPARE(QueryFirstValue(db, QStringLiteral("Select 1")), QStringLiteral("1"));
    }

    // Typed backslashes reach the server as typed whatever its mode: stored and read back,
    // found by the lookup's LIKE search, a user who logs in, a unit code.
    void backslashesArriveInEveryServerMode_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("server default") << m_globalMode;
        QTest::newRow("NO_BACKSLASH_ESCAPES") << "NO_BACKSLASH_ESCAPES,STRICT_TRANS_TABLES";
        QTest::newRow("NO_BACKSLASH_ESCAPES, not strict") << "NO_BACKSLASH_ESCAPES";
    }
    void backslashesArriveInEveryServerMode()
    {
        QFETCH(QString, mode);
        TestDb::LoadStandardMasters();
        TestDb::Exec(QStringLiteral("SET GLOBAL sql_mode='") + mode + QStringLiteral("'"));
        DbConnection db(QStringLiteral("modes"));
        db.open(ConnectionString(kLocal));
        const QString session = QueryFirstValue(db, QStringLiteral("Select @@SESSION.sql_mode"));
        QVERIFY(!session.contains(QStringLiteral("NO_BACKSLASH_ESCAPES")));
        QCOMPARE(session.contains(QStringLiteral("STRICT_TRANS_TABLES")), mode.contains("STRICT_TRANS_TABLES"));

        const QStringList typed = {QStringLiteral("D\\Souza"), QStringLiteral("\\"), QStringLiteral("a\\'b"),
                                   QStringLiteral("ends\\"), QStringLiteral("50%_\\%")};
        for (int i = 0; i < typed.size(); ++i) {
            const QString key = QStringLiteral("K%1").arg(i), t = typed[i];
            db.execute(QStringLiteral("INSERT INTO numbersetup VALUES ('%1','").arg(key) + SqlEscape(t) +
                       QStringLiteral("')"));
            QCOMPARE(QueryFirstValue(db, QStringLiteral("Select no_value from numbersetup where no_id='%1'").arg(key)),
                     t);
            QCOMPARE(QueryFirstValue(db, QStringLiteral("Select no_id from numbersetup where no_value='") +
                                             SqlEscape(t) + QStringLiteral("'")),
                     key);
            QCOMPARE(QueryFirstValue(db, QStringLiteral("Select char_length(no_value) from numbersetup where "
                                                        "no_id='%1'")
                                             .arg(key))
                         .toInt(),
                     t.size());
        }

        // The employee lookup's LIKE search finds the typed name and nothing more.
        TestDb::AddEmployee(QStringLiteral("E1"), QStringLiteral("E"), QStringLiteral("001"),
                            QStringLiteral("D\\SOUZA"));
        TestDb::AddEmployee(QStringLiteral("E2"), QStringLiteral("E"), QStringLiteral("002"),
                            QStringLiteral("DXSOUZA"));
        const auto found = [&db](const QString &search) {
            QStringList names;
            Recordset rs = db.query(EmployeeLookupSql(QStringLiteral("C01"), search, BlankCode::Searches));
            for (; !rs.eof(); rs.moveNext())
                names << rs.text(QStringLiteral("emp_name"));
            return names;
        };
        QCOMPARE(found(QStringLiteral("d\\s")), QStringList{QStringLiteral("D\\SOUZA")});
        QCOMPARE(found(QStringLiteral("d\\\\s")), QStringList());

        // A user with a backslash in the name and the password logs in.
        db.execute(QStringLiteral("INSERT INTO dalvoni.userdetails VALUES (7,'") +
                   SqlEscape(QStringLiteral("D\\Souza")) + QStringLiteral("','") + SqlEscape(QStringLiteral("p\\w")) +
                   QStringLiteral("',0,'G2',0,1,0)"));
        QCOMPARE(LoginCheck::Check(db, QStringLiteral("D\\Souza"), QStringLiteral("p\\w"), false).outcome,
                 LoginCheck::Outcome::Admitted);
        QCOMPARE(UserId, QStringLiteral("7"));

        // The unit "\" is that unit, not the one of "\\".
        db.execute(QStringLiteral("INSERT INTO dalvoni.unitmaster VALUES ('") + SqlEscape(QStringLiteral("\\\\")) +
                   QStringLiteral("','TWO'),('") + SqlEscape(QStringLiteral("\\")) + QStringLiteral("','ONE')"));
        AppSettings::Save(AppSettings::kWorkstationSection, AppSettings::kUnitKey, QStringLiteral("\\"));
        RecordingPlatform desktop;
        QVERIFY(Startup::FixWorkstationUnit(db));
        QCOMPARE(UnitCode, QStringLiteral("\\"));
        QCOMPARE(UnitName, QStringLiteral("ONE"));
        AppSettings::Save(AppSettings::kWorkstationSection, AppSettings::kUnitKey, QString());
    }

    // On a server that is not strict, a text too long for its column was cut and reported
    // as stored: the save routines refuse it, before anything is written, with a message
    // that says what and how long; what fits is stored exactly.
    void overLongTextIsRefused_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("message");
        const QString full = QString(100, QLatin1Char('N'));
        QTest::newRow("new head, name fits") << "insert" << full << "ITA000006" << true << "";
        QTest::newRow("new head, name too long") << "insert" << QString(300, QLatin1Char('N')) << "ITA000006" << false
                                                 << "The allowance name is too long: 100 characters can be stored, "
                                                    "and it has 300.";
        // Upper case makes one character two: the stored name is the one that must fit.
        QTest::newRow("new head, longer once in upper case")
            << "insert" << QString(99, QLatin1Char('n')) + QStringLiteral("\u00DF") << "ITA000006" << false
            << "The allowance name is too long: 100 characters can be stored, and it has 101.";
        QTest::newRow("new head, code too long") << "insert"
                                                 << "LIC" << QString(21, QLatin1Char('C')) << false
                                                 << "The allowance code is too long: 20 characters can be stored";
        QTest::newRow("changed head, name too long")
            << "update" << QString(101, QLatin1Char('N')) << "ITA000001" << false << "The allowance name is too long";
        QTest::newRow("worksheet line, code too long")
            << "worksheet"
            << "" << QString(21, QLatin1Char('C')) << false << "The deduction code of line 1 is too long";
    }
    void overLongTextIsRefused()
    {
        QFETCH(QString, what);
        QFETCH(QString, name);
        QFETCH(QString, code);
        QFETCH(bool, stored);
        QFETCH(QString, message);
        TestDb::LoadStandardMasters();
        WorksheetData::AddCompleteEmployee();
        TestDb::Exec(QStringLiteral("SET GLOBAL sql_mode=''"));
        DbConnection db(QStringLiteral("lax"));
        db.open(ConnectionString(kLocal));
        QVERIFY(!QueryFirstValue(db, QStringLiteral("Select @@SESSION.sql_mode")).contains(QStringLiteral("STRICT")));
        const int heads = TestDb::Count(QStringLiteral("hr_it_allowance"));
        const QString runningNumber = QueryFirstValue(db, "Select no_value from numbersetup where no_id='IT_CODE'");
        const QStringList before = declarations();
        const QString lic =
            QueryFirstValue(db, "Select allowance_name from hr_it_allowance where allowance_code='ITA000001'");

        AllowanceHeads::Entry entry;
        entry.code = code;
        entry.name = name;
        const AllowanceHeads::Stamp stamp{QStringLiteral("HO"), QStringLiteral("C01"), QStringLiteral("1"),
                                          QDateTime(QDate(2019, 1, 2), QTime(10, 0))};
        try {
            if (what == QLatin1String("insert"))
                AllowanceHeads::Insert(db, entry, stamp);
            else if (what == QLatin1String("update"))
                AllowanceHeads::Update(db, entry, stamp);
            else
                Worksheet::Save(db, oneLine(code), QDate(2018, 4, 1), QDate(2019, 3, 31));
            QVERIFY(stored);
        } catch (const DbError &e) {
            QVERIFY2(!stored, qPrintable(e.text()));
            QCOMPARE(e.kind(), DbError::Kind::TooLong);
            QVERIFY2(e.text().startsWith(message), qPrintable(e.text()));
        }
        if (stored) {
            QCOMPARE(
                QueryFirstValue(db, "Select allowance_name from hr_it_allowance where allowance_code='" + code + "'"),
                name);
            return;
        }
        QCOMPARE(TestDb::Count(QStringLiteral("hr_it_allowance")), heads);
        QCOMPARE(QueryFirstValue(db, "Select no_value from numbersetup where no_id='IT_CODE'"), runningNumber);
        QCOMPARE(QueryFirstValue(db, "Select allowance_name from hr_it_allowance where allowance_code='ITA000001'"),
                 lic);
        QCOMPARE(declarations(), before);
    }

    // Typed text boxes hold no more than their column, as the server declares it.
    void boxesTakeTheLengthOfTheirColumns()
    {
        TestDb::LoadStandardMasters();
        TestDb::SetStandardSession();
        RecordingPlatform desktop;
        {
            frmLogin login;
            QCOMPARE(login.ui.TxtUserName->maxLength(), 50);
            QCOMPARE(login.ui.TxtPassword->maxLength(), 50);
            frmOtherAllowance heads;
            QCOMPARE(heads.ui.TxCode->maxLength(), 20);
            QCOMPARE(heads.ui.TxName->maxLength(), 100);
        }
        // The suite's server, not our schema, is the truth.
        TestDb::Exec(QStringLiteral("ALTER TABLE hr0910.hr_it_allowance MODIFY allowance_name VARCHAR(30) NOT NULL "
                                    "DEFAULT ''"));
        ColumnLengths::Forget();
        frmOtherAllowance heads;
        QCOMPARE(heads.ui.TxName->maxLength(), 30);
        heads.ui.TxName->insert(QString(40, QLatin1Char('x')));
        QCOMPARE(heads.ui.TxName->text().size(), 30);
        // Without an answer from the server the suite's own lengths serve.
        DbConnection closed(QStringLiteral("closed"));
        QCOMPARE(ColumnLengths::Of(closed, QStringLiteral("dalvoni.userdetails"), QStringLiteral("user_name")), 50);
        QCOMPARE(ColumnLengths::Of(closed, QStringLiteral("hr_it"), QStringLiteral("no_such_column")), 0);
    }

    // No error and no message box is ever without a text: one that came without says what
    // failed.
    void errorsAlwaysHaveAText_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("read") << "Select * from hr_it where emp_slno='E1'" << int(DbError::Kind::Other)
                              << "Reading the table hr_it failed, and neither the database server nor its driver "
                                 "said why.";
        QTest::newRow("change") << "Update hr0910.hr_it_allowance Set allowance_name='X'" << int(DbError::Kind::Other)
                                << "Changing the table hr0910.hr_it_allowance failed";
        QTest::newRow("join") << "Select * from  hr0910.hr_employee Left Outer Join dalvoni.unitmaster on x=y"
                              << int(DbError::Kind::Other)
                              << "Reading the tables hr0910.hr_employee, dalvoni.unitmaster failed";
        QTest::newRow("no statement") << "" << int(DbError::Kind::Other) << "A request on the database failed";
        QTest::newRow("lost") << "Select 1" << int(DbError::Kind::ConnectionLost)
                              << "The connection to the database server was lost.";
    }
    void errorsAlwaysHaveAText()
    {
        QFETCH(QString, sql);
        QFETCH(int, kind);
        QFETCH(QString, text);
        const DbError e(QStringLiteral("  "), sql, DbError::Kind(kind));
        QVERIFY2(e.text().startsWith(text), qPrintable(e.text()));
        QCOMPARE(QString::fromStdString(e.what()), e.text());
        QVERIFY(QtPlatform::shownText(QString()).startsWith(QStringLiteral("The last action")));
        QCOMPARE(QtPlatform::shownText(e.text()), e.text());
    }
};

QTEST_MAIN(tst_Connection)
#include "tst_connection.moc"
