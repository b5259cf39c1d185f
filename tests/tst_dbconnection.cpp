// The connection layer against the real server: nulls, dates, numbers, transactions, and
// typed text that must reach the server exactly as typed.
#include "RecordingPlatform.h"
#include "TestDb.h"
#include "session/Common.h"
#include "session/mdlDalvoni.h"

#include <QtTest>

class tst_DbConnection : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestDb::Reset(); }

    void readsNullsDatesAndNumbers()
    {
        TestDb::Exec("INSERT INTO hr0910.hr_emp_bonus (emp_slno,emp_bonus,emp_date) VALUES ('E1',NULL,'2018-10-15'),"
                     "('E2',1234.5,'2019-03-31')");
        Recordset rs = TestDb::Open().query("Select * from hr_emp_bonus order by emp_slno");
        QVERIFY(!rs.eof());
        QVERIFY(rs.isNull("emp_bonus"));
        QCOMPARE(rs.number("emp_bonus"), 0.0);
        QCOMPARE(rs.text("emp_bonus"), QString());
        QCOMPARE(rs.date("emp_date"), QDate(2018, 10, 15));
        QCOMPARE(rs.text("EMP_DATE"), QStringLiteral("2018-10-15"));
        rs.moveNext();
        QCOMPARE(rs.number("emp_bonus"), 1234.5);
        QCOMPARE(rs.text("emp_bonus"), QStringLiteral("1234.5"));
        rs.moveNext();
        QVERIFY(rs.eof());
        QVERIFY_THROWS_EXCEPTION(DbError, rs.value("emp_bonus"));
    }

    void slashDatesReadAsTheSameDate()
    {
        TestDb::Exec("INSERT INTO hr0910.hr_finalize VALUES ('C01','SAL','2018/09/30')");
        QCOMPARE(
            QueryFirstValue(TestDb::Open(), "Select max(entry_date) from hr_finalize where entry_date<='2018-09-30'"),
            QStringLiteral("2018-09-30"));
        QCOMPARE(
            QueryFirstValue(TestDb::Open(), "Select max(entry_date) from hr_finalize where entry_date<'2018-01-01'"),
            QString());
    }

    void unknownColumnAndBadSqlThrowWithServerText()
    {
        Recordset rs = TestDb::Open().query("Select 1 as a");
        QVERIFY_THROWS_EXCEPTION(DbError, rs.value("b"));
        try {
            TestDb::Open().execute("Update no_such_table set x=1");
            QFAIL("no error");
        } catch (const DbError &e) {
            QVERIFY2(e.text().contains("no_such_table"), qPrintable(e.text()));
        }
    }

    void transactionsRollBackUnlessCommitted()
    {
        DbConnection &db = TestDb::Open();
        {
            Transaction t(db);
            db.execute("INSERT INTO numbersetup VALUES ('A','1')");
        }
        QCOMPARE(TestDb::Count("numbersetup"), 0);
        {
            Transaction t(db);
            db.execute("INSERT INTO numbersetup VALUES ('A','1')");
            t.commit();
        }
        QCOMPARE(TestDb::Count("numbersetup"), 1);
        try {
            Transaction t(db);
            db.execute("INSERT INTO numbersetup VALUES ('B','1')");
            db.execute("INSERT INTO numbersetup VALUES ('A','2')"); // duplicate key
            t.commit();
        } catch (const DbError &) {
        }
        QCOMPARE(TestDb::Count("numbersetup"), 1);
    }

    void typedTextArrivesExactly_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("quote") << "O'Neil";
        QTest::newRow("backslash quote") << "a\\' or 1=1 -- ";
        QTest::newRow("trailing backslash") << "ends with \\";
        QTest::newRow("double quotes") << "say \"hi\"";
        QTest::newRow("percent and underscore") << "50%_off";
        QTest::newRow("statement injection") << "x'); DELETE FROM numbersetup; --";
        QTest::newRow("newline and tab") << "two\nlines\there";
        QTest::newRow("unicode") << "Ramesh \u20B9 \u0928\u092E\u0938\u094D\u0924\u0947";
    }
    void typedTextArrivesExactly()
    {
        QFETCH(QString, typed);
        DbConnection &db = TestDb::Open();
        db.execute("INSERT INTO numbersetup VALUES ('KEEP','1')");
        db.execute("INSERT INTO numbersetup VALUES ('T','" + SqlEscape(typed) + "')");
        QCOMPARE(QueryFirstValue(db, "Select no_value from numbersetup where no_value='" + SqlEscape(typed) + "'"),
                 typed);
        QCOMPARE(TestDb::Count("numbersetup"), 2);
        // LIKE finds the text itself, never more through % or _.
        db.execute("INSERT INTO numbersetup VALUES ('U','50XXoff')");
        const QString like = "Select count(*) from numbersetup where no_value like '%" + SqlLikeEscape(typed) + "%'";
        QCOMPARE(QueryFirstValue(db, like), QStringLiteral("1"));
    }

    void runningNumbers()
    {
        RecordingPlatform desktop;
        DbConnection &db = TestDb::Open();
        QCOMPARE(ReadRunningNumber(db, "IT_CODE"), QString());
        QCOMPARE(desktop.lastMessage(),
                 QStringLiteral("Error in Number Setup!!!.   \r\nContact System Administrator.   "));
        db.execute("INSERT INTO numbersetup VALUES ('IT_CODE','ITA000005'),('NULLED',NULL)");
        desktop.clear();
        QCOMPARE(ReadRunningNumber(db, "IT_CODE"), QStringLiteral("ITA000005"));
        QCOMPARE(ReadRunningNumber(db, "NULLED"), QString());
        QVERIFY(desktop.messages.isEmpty());
    }

    void connectionStrings()
    {
        QCOMPARE(mdlDalvoni::ConnectionString("127.0.0.1"),
                 QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=127.0.0.1;PORT=3306; "
                                "USER=root;PASSWORD='7391';OPTION=3;Database=hr0910"));
        QCOMPARE(mdlDalvoni::ConnectionString(" 127.0.0.1"),
                 QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER= 127.0.0.1;PORT=3306; "
                                "USER=corvantis;PASSWORD=amberlattice;OPTION=3;Database=hr0910"));
        QCOMPARE(mdlDalvoni::ConnectionString(""),
                 QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=;PORT=3306; "
                                "USER=corvantis;PASSWORD=amberlattice;OPTION=3;Database=hr0910"));
        // The network account of the suite works on the same server.
        DbConnection other(QStringLiteral("network"));
        other.open(mdlDalvoni::ConnectionString(" 127.0.0.1"));
        QCOMPARE(QueryFirstValue(other, "Select 1"), QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(tst_DbConnection)
#include "tst_dbconnection.moc"
