// The login rules shared by the login screen and the tools, and the itbatch program run as
// a user runs it, against the test server.
#include "TestDb.h"

#include "session/AppSettings.h"
#include "session/LoginCheck.h"
#include "session/mdlDalvoni.h"
#include "tax/BatchLock.h"

#include <QProcess>
#include <QtTest>

#include <memory>
#include <vector>

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
    void cleanup() { TestDb::WithTaxRecordKey(); }

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

    // Two workstations start the batch of one company together, however they spell it: the
    // second waits for the first, and every employee still has one record. One that cannot wait
    // long enough is refused.
    void oneRunOfACompanyAtATime_data()
    {
        QTest::addColumn<QString>("spelling"); // the second workstation's, and the refused one's
        QTest::newRow("the same spelling") << "C01";
        QTest::newRow("another spelling") << "c01 ";
    }
    void oneRunOfACompanyAtATime()
    {
        QFETCH(QString, spelling);
        Save(AppSettings::kServerSection, AppSettings::kServerKey, QStringLiteral("127.0.0.1"));
        Save(AppSettings::kWorkstationSection, AppSettings::kUnitKey, QStringLiteral("HO"));
        TestDb::AddFinalize(QDate(2018, 9, 30));
        for (int i = 1; i <= 40; ++i)
            TestDb::AddPaidEmployee(QString::number(i), QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')));
        QProcess first, second;
        StartBatch(first, {"--company", "C01", "--wait", "60", "--per-employee"});
        StartBatch(second, {"--company", spelling, "--wait", "60", "--per-employee"});
        const Run a = Finished(first), b = Finished(second);
        QVERIFY2(a.code == 0 && b.code == 0, qPrintable(a.err + b.err));
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 40);
        QCOMPARE(TestDb::Count("hr0910.hr_it WHERE BINARY comp_code='C01'"), 40);
        QVERIFY2(b.out.startsWith("C01 2018-04-01 to 2019-03-31: "), qPrintable(b.out));
        QCOMPARE(QStringList({a.out.section(": ", 1).trimmed(), b.out.section(": ", 1).trimmed()}).join('|'),
                 a.out.contains(" 40 inserted")
                     ? "40 selected, 40 inserted, 0 updated, 0 skipped without gross pay|40 selected, 0 inserted, "
                       "40 updated, 0 skipped without gross pay"
                     : "40 selected, 0 inserted, 40 updated, 0 skipped without gross pay|40 selected, 40 inserted, "
                       "0 updated, 0 skipped without gross pay");

        DbConnection other(QStringLiteral("other workstation"));
        other.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
        BatchLock::Guard held(other, {"C01", "1", "admin", "WS-7", QDate(2018, 4, 1), QDate(2019, 3, 31)}, 0);
        const Run refused = RunBatch({"--company", spelling, "--wait", "0"});
        QCOMPARE(refused.code, 5);
        QVERIFY2(refused.err.contains("admin on workstation WS-7") && refused.err.contains("changed nothing"),
                 qPrintable(refused.err));
    }

    // The first runs of a year of many companies at once, as at the start of a year: runs that
    // meet in a deadlock on the new records are run again, and every one finishes with every
    // record once (the whole test is bounded: each run has a few minutes at most).
    void firstRunsOfManyCompaniesAtOnce()
    {
        constexpr int kCompanies = 20, kEmployees = 30;
        Save(AppSettings::kServerSection, AppSettings::kServerKey, QStringLiteral("127.0.0.1"));
        Save(AppSettings::kWorkstationSection, AppSettings::kUnitKey, QStringLiteral("HO"));
        QStringList companies, employees, salary, finalised;
        for (int c = 1; c <= kCompanies; ++c) {
            const QString comp = QStringLiteral("M%1").arg(c, 2, 10, QLatin1Char('0'));
            companies << QStringLiteral("('%1','COMPANY %1',0,%2)").arg(comp).arg(c + 2);
            finalised << QStringLiteral("('%1','SAL','2018-09-30')").arg(comp);
            for (int e = 1; e <= kEmployees; ++e) {
                const QString slno = comp + QStringLiteral("-%1").arg(e);
                employees << QStringLiteral("('%1','E','%1','NAME','PAN','D1','P1','HO','%2',0,0)").arg(slno, comp);
                for (int m = 4; m <= 9; ++m)
                    salary << QStringLiteral("('%1','OTH0000000001',%2,0,'2018-%3-01'),('%1','OTH0000000030',0,%4,"
                                             "'2018-%3-01')")
                                  .arg(slno)
                                  .arg(40000 + 1000 * e)
                                  .arg(m, 2, 10, QLatin1Char('0'))
                                  .arg(2000);
            }
        }
        TestDb::Exec("INSERT INTO dalvoni.acc_companymaster VALUES " + companies.join(','));
        TestDb::Exec("INSERT INTO hr0910.hr_finalize VALUES " + finalised.join(','));
        TestDb::Exec("INSERT INTO hr0910.hr_employee VALUES " + employees.join(','));
        TestDb::Exec("INSERT INTO hr0910.hr_emp_salary (emp_slno,emp_sal_type,emp_sal_dr,emp_sal_cr,"
                     "emp_sal_date_from) VALUES " +
                     salary.join(','));

        std::vector<std::unique_ptr<QProcess>> runs;
        for (int c = 1; c <= kCompanies; ++c) {
            runs.push_back(std::make_unique<QProcess>());
            StartBatch(*runs.back(), {"--company", QStringLiteral("M%1").arg(c, 2, 10, QLatin1Char('0'))});
        }
        int again = 0;
        for (auto &p : runs) {
            const Run r = Finished(*p);
            QVERIFY2(r.code == 0, qPrintable(r.err));
            QVERIFY2(r.out.contains(QStringLiteral(": %1 selected, %1 inserted").arg(kEmployees)), qPrintable(r.out));
            again += int(r.err.count(QStringLiteral("Generating again")));
        }
        QCOMPARE(TestDb::Count("hr0910.hr_it"), kCompanies * kEmployees);
        QCOMPARE(TestDb::Count("(SELECT comp_code FROM hr0910.hr_it GROUP BY comp_code HAVING COUNT(*)=30) c"),
                 kCompanies);
        qInfo("%d first runs of %d companies at once: %d runs again after a collision", kCompanies, kCompanies, again);
    }

    // The script that gives a server's tax records their unique key: it lists the doubles and
    // changes nothing, or, told to, keeps one record of each (the one spelt as the company
    // master spells the company) and adds the key; a second time it finds the key there.
    void keyOfTheTaxRecordOnAServerWithout()
    {
        TestDb::WithoutTaxRecordKey();
        TestDb::Exec("INSERT INTO hr0910.hr_it (emp_slno,comp_code,emp_gross,emp_it_from,emp_it_to) VALUES "
                     "('1','c01',10,'2018-04-01','2019-03-31'),('1','C01',10,'2018-04-01','2019-03-31'),"
                     "('1 ','C01',10,'2018-04-01','2019-03-31'),('2','C01',20,'2018-04-01','2019-03-31'),"
                     "('2','C01',20,'2018-04-01','2018-09-30')");
        const auto script = [](const QStringList &options) {
            QProcess p;
            p.start(QStringLiteral(IT_SOURCE_DIR "/scripts/add-tax-record-key.sh"),
                    options + QStringList{"-h", "127.0.0.1", "-P", "3306", "-uroot", "-p'7391'"});
            return Finished(p);
        };
        Run r = script({});
        QCOMPARE(r.code, 1);
        QVERIFY2(
            r.out.contains("Doubled tax records: 1 of an employee and period have more than one (3 records in all)") &&
                r.out.contains("Nothing was changed"),
            qPrintable(r.out + r.err));
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 5);

        r = script({"--remove-doubles"});
        QVERIFY2(r.code == 0 && r.out.contains("2 doubled records removed."), qPrintable(r.out + r.err));
        QCOMPARE(TestDb::Scalar("SELECT GROUP_CONCAT(CONCAT(emp_slno,'/',BINARY comp_code) ORDER BY emp_it_id) FROM "
                                "hr0910.hr_it")
                     .toString(),
                 "1/C01,2/C01,2/C01");
        QVERIFY_THROWS_EXCEPTION(DbError, TestDb::Exec("INSERT INTO hr0910.hr_it (emp_slno,emp_it_from,emp_it_to) "
                                                       "VALUES ('2','2018-04-01','2018-09-30')"));
        QCOMPARE(TestDb::Count("information_schema.statistics WHERE table_schema='hr0910' AND table_name='hr_it' AND "
                               "index_name='ix_emp_period'"),
                 0);
        r = script({});
        QVERIFY2(r.code == 0 && r.out.contains("already has the unique key"), qPrintable(r.out + r.err));
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
