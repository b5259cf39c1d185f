// The demo company written into the test server: masters, tax years, limits and slabs,
// users, running code, finalisations, and employees whose pay spans every tax slab.
#include "DemoData.h"
#include "TestDb.h"
#include "config/NewRegimeSetup.h"
#include "session/Common.h"

#include <QtTest>

using TestDb::Count;
using TestDb::Scalar;

class tst_DemoData : public QObject
{
    Q_OBJECT

private:
    // The day the demos of these tests are made for, unless a test names another.
    static inline const QDate kToday{2026, 12, 9};

    DemoSummary generate(int employees, quint32 seed = 1, bool currentPayroll = false, const QDate &today = kToday)
    {
        DemoOptions o;
        o.employees = employees;
        o.seed = seed;
        o.currentPayroll = currentPayroll;
        o.today = today;
        o.reset = true;
        o.rowsPerStatement = 97; // several statements and transactions even for a small company
        o.employeesPerTransaction = 7;
        return DemoData::Generate(TestDb::Open(), o);
    }

    // A fingerprint of everything per employee, to compare two generations.
    QString fingerprint()
    {
        return Scalar("SELECT CONCAT((SELECT SUM(emp_sal_dr)-SUM(emp_sal_cr)*3 FROM hr0910.hr_emp_salary),'/',"
                      "(SELECT GROUP_CONCAT(emp_name ORDER BY emp_slno) FROM hr0910.hr_employee),'/',"
                      "(SELECT SUM(emp_amount) FROM hr0910.hr_it_trans),'/',"
                      "(SELECT SUM(emp_bonus) FROM hr0910.hr_emp_bonus))")
            .toString();
    }

private slots:
    void initTestCase() { TestDb::Reset(); }

    void mastersAndTaxYears()
    {
        const DemoSummary s = generate(40);
        QCOMPARE(s.employees, 40);
        QCOMPARE(Count("hr0910.hr_employee"), 40);
        QCOMPARE(Count("hr0910.hr_emp_salary"), s.salaryLines);
        QCOMPARE(Count("hr0910.hr_emp_bonus"), s.bonuses);
        QCOMPARE(Count("hr0910.hr_it_trans"), s.declarations);
        QVERIFY(s.declarations > 0 && s.bonuses > 0);
        QCOMPARE(Count("hr0910.hr_it"), 0);

        for (const char *unit : {"HO", "MUM", "CHN", "DLH", "KOL"})
            QCOMPARE(Count(QStringLiteral("dalvoni.unitmaster WHERE unit_code='%1'").arg(QLatin1String(unit))), 1);
        QCOMPARE(Scalar("SELECT GROUP_CONCAT(unit_name ORDER BY unit_code) FROM dalvoni.unitmaster "
                        "WHERE unit_code IN ('MUM','CHN','DLH','KOL')")
                     .toString(),
                 QStringLiteral("CHENNAI,DELHI,KOLKATHA,MUMBAI"));
        QCOMPARE(Scalar("SELECT GROUP_CONCAT(comp_code ORDER BY comp_priority) FROM dalvoni.acc_companymaster "
                        "WHERE comp_disable=0")
                     .toString(),
                 QStringLiteral("C01,C02"));
        QCOMPARE(Count("dalvoni.acc_companymaster WHERE comp_disable<>0"), 1);
        QCOMPARE(Scalar("SELECT version_code FROM dalvoni.versionmaster WHERE pack_code='IT'").toString(),
                 QStringLiteral("V1.1"));

        // Every unit has the eleven years 2016-17 to 2026-27, tax year 1 April to 31 March, the
        // year of the day the demo is made for its default; this program is offered the head
        // office's eleven.
        const int units = Count("dalvoni.unitmaster");
        QCOMPARE(Count("dalvoni.ac_fin_year WHERE ac_from_date>='2016-04-01'"), units * 11);
        QCOMPARE(Count("dalvoni.ac_fin_year WHERE ac_app_it=1"), 11);
        QCOMPARE(Count("dalvoni.ac_fin_year WHERE ac_app_it=1 AND (ac_it_start_date<>ac_from_date OR "
                       "ac_it_end_date<>ac_to_date OR MONTH(ac_from_date)<>4 OR DAY(ac_from_date)<>1 OR "
                       "YEAR(ac_to_date)<>YEAR(ac_from_date)+1 OR MONTH(ac_to_date)<>3 OR DAY(ac_to_date)<>31)"),
                 0);
        QCOMPARE(Scalar("SELECT GROUP_CONCAT(ac_period ORDER BY ac_from_date) FROM dalvoni.ac_fin_year "
                        "WHERE unit_code='HO' AND ac_app_it=1")
                     .toString(),
                 QStringLiteral("2016-17,2017-18,2018-19,2019-20,2020-21,2021-22,2022-23,2023-24,2024-25,2025-26,"
                                "2026-27"));
        QCOMPARE(Scalar("SELECT ac_from_date FROM dalvoni.ac_fin_year WHERE unit_code='HO' AND ac_default=1").toDate(),
                 QDate(2026, 4, 1));
        QCOMPARE(Count("dalvoni.ac_fin_year WHERE ac_default=1"), units);

        QCOMPARE(Scalar("SELECT no_value FROM hr0910.numbersetup WHERE no_id='IT_CODE'").toString(),
                 QStringLiteral("ITA000008"));
        QCOMPARE(Count("hr0910.hr_it_allowance WHERE allowance_code='ITA000005'"), 1);
        QCOMPARE(Count("hr0910.hr_it_allowance WHERE allowance_code>='ITA000008'"), 0);
    }

    void limitsAndSlabs()
    {
        generate(4);
        const struct
        {
            int year;
            double rebate, cess, slab2;
        } years[] = {{2016, 5000, 3, 10}, {2017, 2500, 3, 5},  {2018, 2500, 4, 5},  {2019, 12500, 4, 5},
                     {2020, 12500, 4, 5}, {2021, 12500, 4, 5}, {2022, 12500, 4, 5}, {2023, 12500, 4, 5},
                     {2024, 12500, 4, 5}, {2025, 12500, 4, 5}, {2026, 12500, 4, 5}};
        for (const auto &y : years) {
            const QString from = QStringLiteral("'%1-04-01'").arg(y.year);
            const QString to = QStringLiteral("'%1-03-31'").arg(y.year + 1);
            QStringList settings;
            Recordset rs = TestDb::Open().query(
                QStringLiteral("SELECT set_id, set_value FROM hr0910.hr_it_setup WHERE ac_from_date=%1 AND "
                               "ac_to_date=%2 ORDER BY set_id")
                    .arg(from, to));
            for (; !rs.eof(); rs.moveNext())
                settings << rs.text("set_id") + QLatin1Char('=') + PlainNumber(rs.number("set_value"));
            QCOMPARE(settings.join(','),
                     QStringLiteral("80C_LIMIT=150000,CESS=%1,HL_LIMIT=200000,MC_LIMIT=25000,REBATE=%2,"
                                    "TAX_LIMIT=250000")
                         .arg(PlainNumber(y.cess), PlainNumber(y.rebate)));
            QStringList slabs;
            rs = TestDb::Open().query(QStringLiteral("SELECT * FROM hr0910.hr_it_slabs WHERE it_ac_from_date=%1 AND "
                                                     "it_ac_to_date=%2 ORDER BY it_slab")
                                          .arg(from, to));
            for (; !rs.eof(); rs.moveNext())
                slabs << QStringLiteral("%1:%2-%3@%4")
                             .arg(rs.text("it_slab"), PlainNumber(rs.number("it_slab_start")),
                                  PlainNumber(rs.number("it_slab_end")), PlainNumber(rs.number("it_per")));
            QCOMPARE(slabs.join(','),
                     QStringLiteral("1:0-250000@0,2:250000-500000@%1,3:500000-1000000@20,4:1000000-99999999@30")
                         .arg(PlainNumber(y.slab2)));
        }
    }

    void newRegimeYearsAndOwnChoices()
    {
        const DemoSummary s = generate(40);
        // The new regime from 2020-21, stored as published; none before.
        for (int year = 2016; year <= 2026; ++year) {
            const auto stored = NewRegimeSetup::Load(TestDb::Open(), QDate(year, 4, 1), QDate(year + 1, 3, 31));
            QVERIFY2(stored == DemoData::NewRegimeYear(year), qPrintable(QString::number(year)));
            QCOMPARE(bool(stored), year >= 2020);
            // Every year has the old regime's surcharge bands of its Finance Act.
            const auto bands =
                NewRegimeSetup::LoadOldSurcharge(TestDb::Open(), QDate(year, 4, 1), QDate(year + 1, 3, 31));
            QCOMPARE(bands, DemoData::OldRegimeSurcharge(year));
            QCOMPARE(bands.size(), year == 2016 ? 1 : year <= 2018 ? 2 : 4);
        }
        // A few employees in service of the main company chose their own regime, both ways.
        QVERIFY(s.regimeChoices >= 6);
        QCOMPARE(Count("hr0910.hr_it_emp_regime"), s.regimeChoices);
        QCOMPARE(Count("hr0910.hr_it_emp_regime r JOIN hr0910.hr_employee e ON e.emp_slno=r.emp_slno "
                       "WHERE e.comp_code='C01' AND e.emp_flag=0 AND r.created_by=2"),
                 s.regimeChoices);
        QVERIFY(Count("hr0910.hr_it_emp_regime WHERE emp_regime='OLD' AND ac_from_date>='2023-04-01'") > 0);
        QVERIFY(Count("hr0910.hr_it_emp_regime WHERE emp_regime='NEW' AND ac_from_date<'2023-04-01'") > 0);
    }

    // The high earners on request: four under each regime in every year of both, paid every
    // month of the payroll at about 60 L, 1.2 Cr, 2.5 Cr and 6 Cr a year.
    void highEarnersOnRequest()
    {
        DemoOptions o;
        o.employees = 3;
        o.reset = true;
        o.today = QDate(2025, 10, 15); // paid April to September 2025
        o.highEarners = true;
        const DemoSummary s = DemoData::Generate(TestDb::Open(), o);
        QCOMPARE(Count("hr0910.hr_employee WHERE emp_slno>='900001' AND comp_code='C01' AND emp_flag=0"), 8);
        QCOMPARE(s.employees, 3 + 8);
        const QString yearly =
            QStringLiteral("(SELECT ROUND(SUM(emp_sal_dr)*2/100000) FROM hr0910.hr_emp_salary WHERE emp_slno='%1' AND "
                           "emp_sal_date_from BETWEEN '%2-04-01' AND '%2-09-01')");
        for (const QString &year : {QStringLiteral("2018"), QStringLiteral("2025")})
            QCOMPARE(Scalar(QStringLiteral("SELECT CONCAT_WS(',',%1,%2,%3,%4)")
                                .arg(yearly.arg("900001", year), yearly.arg("900002", year), yearly.arg("900003", year),
                                     yearly.arg("900004", year)))
                         .toString(),
                     QStringLiteral("60,120,250,600")); // in lakhs
        // The old regime kept where the new one is the default, and the new one taken where it is not.
        QCOMPARE(Count("hr0910.hr_it_emp_regime WHERE emp_slno BETWEEN '900001' AND '900004' AND emp_regime='OLD'"),
                 4 * 4);
        QCOMPARE(Count("hr0910.hr_it_emp_regime WHERE emp_slno BETWEEN '900005' AND '900008' AND emp_regime='NEW'"),
                 4 * 3);
    }

    void usersAsPrinted()
    {
        generate(1);
        const QList<DemoUser> users = DemoData::Users();
        QCOMPARE(Count("dalvoni.userdetails"), int(users.size()));
        for (const DemoUser &u : users) {
            QCOMPARE(
                Scalar(QStringLiteral("SELECT user_password FROM dalvoni.userdetails WHERE user_name='%1'").arg(u.name))
                    .toString(),
                u.password);
            QVERIFY(DemoData::UsersText().contains(u.name + QLatin1Char(' ')));
            QVERIFY(DemoData::UsersText().contains(u.password));
        }
        QCOMPARE(Scalar("SELECT user_login_advt FROM dalvoni.userdetails WHERE user_id=1").toInt(), 1);
        // Ordinary users with and without the permission of this program.
        QVERIFY(Count("dalvoni.userdetails WHERE user_id<>1 AND user_login_it=1") >= 1);
        QVERIFY(Count("dalvoni.userdetails WHERE user_id<>1 AND user_login_it=0") >= 1);
    }

    void payrollFinalisedToSeptember()
    {
        generate(30);
        for (const char *comp : {"C01", "C02"}) {
            const QDate last = DateFromText(
                Scalar(QStringLiteral("SELECT MAX(entry_date) FROM hr0910.hr_finalize WHERE comp_code='%1' AND "
                                      "entry_type='SAL' AND entry_date<='2019-03-31'")
                           .arg(QLatin1String(comp)))
                    .toString());
            QCOMPARE(last, QDate(2018, 9, 30));
            QCOMPARE(MonthDiff(last, QDate(2019, 3, 31)), 6);
            QCOMPARE(Count(QStringLiteral("hr0910.hr_finalize WHERE comp_code='%1' AND entry_type='SAL'")
                               .arg(QLatin1String(comp))),
                     30);
        }
        // Salary lines run to the finalised month and no further; each month of an employee in
        // service carries basic pay once.
        QCOMPARE(Scalar("SELECT MAX(emp_sal_date_from) FROM hr0910.hr_emp_salary").toDate(), QDate(2018, 9, 1));
        QCOMPARE(Scalar("SELECT MIN(emp_sal_date_from) FROM hr0910.hr_emp_salary").toDate(), QDate(2016, 4, 1));
        QCOMPARE(Count("(SELECT emp_slno FROM hr0910.hr_emp_salary WHERE emp_sal_type='OTH0000000001' "
                       "GROUP BY emp_slno, emp_sal_date_from HAVING COUNT(*)>1) d"),
                 0);
        // Every head the computation knows is paid to somebody in the default year.
        for (const char *head :
             {"OTH0000000001", "OTH0000000002", "OTH0000000019", "OTH0000000013", "OTH0000000033", "OTH0000000030"}) {
            QVERIFY2(Count(QStringLiteral("hr0910.hr_emp_salary WHERE emp_sal_type='%1' AND "
                                          "emp_sal_date_from>='2018-04-01'")
                               .arg(QLatin1String(head))) > 0,
                     head);
        }
        QVERIFY(Count("hr0910.hr_emp_salary WHERE emp_sal_type IN ('OTH0000000048','OTH0000000023')") > 0);
        QVERIFY(Count("hr0910.hr_emp_salary s JOIN hr0910.hr_otherallowance a ON a.allowance_code=s.emp_sal_type "
                      "WHERE a.allowance_visible<>0 AND s.emp_sal_dr>0") > 0);
    }

    void everyTaxSlabAndEveryKindOfEmployee()
    {
        generate(120);
        // Basic pay of 2018-19 a month: from the lowest band to the highest.
        QVERIFY(Scalar("SELECT MIN(emp_sal_dr) FROM hr0910.hr_emp_salary WHERE emp_sal_type='OTH0000000001' AND "
                       "emp_sal_date_from='2018-04-01'")
                    .toDouble() <= 21000);
        QVERIFY(Scalar("SELECT MAX(emp_sal_dr) FROM hr0910.hr_emp_salary WHERE emp_sal_type='OTH0000000001' AND "
                       "emp_sal_date_from='2018-04-01'")
                    .toDouble() >= 85000);
        // In every month of every year basic pay stays within 15,000 and 150,000.
        QCOMPARE(Count("hr0910.hr_emp_salary WHERE emp_sal_type='OTH0000000001' AND "
                       "(emp_sal_dr<15000 OR emp_sal_dr>150000)"),
                 0);
        QVERIFY(Count("hr0910.hr_employee WHERE emp_flag<>0") > 0);
        QVERIFY(Count("hr0910.hr_employee WHERE emp_disable<>0") > 0);
        QVERIFY(Count("hr0910.hr_employee WHERE emp_unit_code IN ('MUM','CHN','DLH','KOL')") > 0);
        QVERIFY(Count("hr0910.hr_employee WHERE emp_unit_code NOT IN ('MUM','CHN','DLH','KOL')") > 0);
        QVERIFY(Count("hr0910.hr_employee WHERE comp_code='C02'") > 0);
        QCOMPARE(Count("hr0910.hr_employee WHERE comp_code NOT IN ('C01','C02')"), 0);
        QVERIFY(Count("hr0910.hr_it_trans WHERE emp_it_allowance_code='ITA000005'") > 0);
        QVERIFY(Count("hr0910.hr_emp_bonus WHERE emp_date BETWEEN '2018-04-01' AND '2019-03-31'") > 0);
        // Names are stored as generated, apostrophes included.
        QVERIFY(Count("hr0910.hr_employee WHERE emp_name LIKE '%D''%'") > 0);
        // Codes are unique per company and sort with the employee.
        QCOMPARE(Count("(SELECT 1 FROM hr0910.hr_employee GROUP BY comp_code, emp_code_char, emp_code "
                       "HAVING COUNT(*)>1) d"),
                 0);
    }

    // The payroll of the demo's day written or not: the years of the history come out the same.
    void recentPayrollOnRequest()
    {
        // The years up to 2018-19 come out the same with it as without it.
        const auto olderYears = [] {
            return Scalar("SELECT CONCAT((SELECT CONCAT(COUNT(*),'/',SUM(emp_sal_dr)-SUM(emp_sal_cr)*3) FROM "
                          "hr0910.hr_emp_salary WHERE emp_sal_date_from<'2019-04-01'),'/',"
                          "(SELECT SUM(emp_amount) FROM hr0910.hr_it_trans WHERE emp_it_from<'2019-04-01'),'/',"
                          "(SELECT COUNT(*) FROM hr0910.hr_finalize WHERE entry_date<'2019-04-01'),'/',"
                          "(SELECT SUM(emp_bonus) FROM hr0910.hr_emp_bonus))")
                .toString();
        };
        generate(40);
        const QString older = olderYears();
        QCOMPARE(Count("hr0910.hr_emp_salary WHERE emp_sal_date_from>='2019-04-01'"), 0);
        QCOMPARE(Count("hr0910.hr_finalize WHERE entry_date>='2019-04-01'"), 0);
        generate(40, 1, true, QDate(2025, 10, 15));
        QCOMPARE(olderYears(), older);
        // April to September 2025, finalised, for every employee in service and nobody else.
        for (const char *comp : {"C01", "C02"})
            QCOMPARE(Scalar(QStringLiteral("SELECT MAX(entry_date) FROM hr0910.hr_finalize WHERE comp_code='%1' AND "
                                           "entry_type='SAL'")
                                .arg(QLatin1String(comp)))
                         .toDate(),
                     QDate(2025, 9, 30));
        QCOMPARE(Count("(SELECT s.emp_slno FROM hr0910.hr_emp_salary s WHERE s.emp_sal_date_from>='2019-04-01' AND "
                       "s.emp_sal_type='OTH0000000001' GROUP BY s.emp_slno HAVING COUNT(*)=6 AND "
                       "MIN(s.emp_sal_date_from)='2025-04-01' AND MAX(s.emp_sal_date_from)='2025-09-01') d"),
                 Count("hr0910.hr_employee WHERE emp_flag=0"));
        QCOMPARE(Count("hr0910.hr_emp_salary s JOIN hr0910.hr_employee e ON e.emp_slno=s.emp_slno WHERE "
                       "s.emp_sal_date_from>='2019-04-01' AND e.emp_flag<>0"),
                 0);
        QVERIFY(Count("hr0910.hr_it_trans WHERE emp_it_from='2025-04-01' AND emp_it_to='2026-03-31'") > 0);
    }

    // The demo's default year is the one that holds the day it is made for, and the company's
    // payroll runs from its April to the last complete month, finalised, with declarations of
    // the year and a few own choices of regime; in April, before a month of the new year is
    // complete, the whole year before is paid. A day beyond the newest published year gets its
    // year with that year's figures.
    void theDaysYearIsTheDefaultAndIsPaid_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("defaultYear");
        QTest::addColumn<QDate>("firstPaid");
        QTest::addColumn<QDate>("lastFinalised");
        QTest::addColumn<int>("ownChoices"); // in the default year
        QTest::newRow("December 2026") << QDate(2026, 12, 9) << QDate(2026, 4, 1) << QDate(2026, 4, 1)
                                       << QDate(2026, 11, 30) << 3;
        QTest::newRow("first day of a month")
            << QDate(2026, 5, 1) << QDate(2026, 4, 1) << QDate(2026, 4, 1) << QDate(2026, 4, 30) << 3;
        QTest::newRow("April: the year before")
            << QDate(2027, 4, 6) << QDate(2027, 4, 1) << QDate(2026, 4, 1) << QDate(2027, 3, 31) << 3;
        QTest::newRow("beyond the newest year")
            << QDate(2028, 6, 20) << QDate(2028, 4, 1) << QDate(2028, 4, 1) << QDate(2028, 5, 31) << 3;
        QTest::newRow("March 2024, new regime by default")
            << QDate(2024, 3, 2) << QDate(2023, 4, 1) << QDate(2023, 4, 1) << QDate(2024, 2, 29) << 1;
    }
    void theDaysYearIsTheDefaultAndIsPaid()
    {
        QFETCH(QDate, today);
        QFETCH(QDate, defaultYear);
        QFETCH(QDate, firstPaid);
        QFETCH(QDate, lastFinalised);
        QFETCH(int, ownChoices);
        generate(30, 1, true, today);
        QCOMPARE(DemoData::DefaultYearFrom(today), defaultYear);
        QCOMPARE(DemoData::LastCompleteMonth(today), lastFinalised);
        const QString from = SqlDate(defaultYear);
        QCOMPARE(
            Scalar("SELECT GROUP_CONCAT(DISTINCT ac_from_date) FROM dalvoni.ac_fin_year WHERE ac_default=1").toDate(),
            defaultYear);
        // Every year from 2016-17 to the default one, a later one with the figures of 2026-27.
        const int years = qMax(2026, defaultYear.year()) - 2016 + 1;
        QCOMPARE(Count("dalvoni.ac_fin_year WHERE ac_app_it=1"), years);
        QCOMPARE(Count("hr0910.hr_it_setup") / 6, years);
        for (int y = 2027; y <= defaultYear.year(); ++y) {
            const auto carried = NewRegimeSetup::Load(TestDb::Open(), QDate(y, 4, 1), QDate(y + 1, 3, 31));
            QVERIFY(carried == DemoData::NewRegimeYear(2026));
            QCOMPARE(Scalar(QStringLiteral("SELECT GROUP_CONCAT(set_id,'=',set_value+0 ORDER BY set_id) FROM "
                                           "hr0910.hr_it_setup WHERE ac_from_date='%1-04-01'")
                                .arg(y))
                         .toString(),
                     Scalar("SELECT GROUP_CONCAT(set_id,'=',set_value+0 ORDER BY set_id) FROM hr0910.hr_it_setup "
                            "WHERE ac_from_date='2026-04-01'")
                         .toString());
        }
        // Paid and finalised from April to the last complete month, both companies, every
        // employee in service and nobody else.
        const int months = MonthDiff(firstPaid, lastFinalised) + 1;
        for (const char *comp : {"C01", "C02"}) {
            QCOMPARE(Scalar(QStringLiteral("SELECT MAX(entry_date) FROM hr0910.hr_finalize WHERE comp_code='%1' AND "
                                           "entry_type='SAL'")
                                .arg(QLatin1String(comp)))
                         .toDate(),
                     lastFinalised);
            QCOMPARE(Count(QStringLiteral("hr0910.hr_finalize WHERE comp_code='%1' AND entry_type='SAL' AND "
                                          "entry_date>='%2'")
                               .arg(QLatin1String(comp), SqlDate(firstPaid))),
                     months);
        }
        QCOMPARE(Count(QStringLiteral("(SELECT s.emp_slno FROM hr0910.hr_emp_salary s WHERE s.emp_sal_date_from>="
                                      "'2019-04-01' AND s.emp_sal_type='OTH0000000001' GROUP BY s.emp_slno HAVING "
                                      "COUNT(*)=%1 AND MIN(s.emp_sal_date_from)='%2' AND MAX(s.emp_sal_date_from)="
                                      "'%3') d")
                           .arg(months)
                           .arg(SqlDate(firstPaid), SqlDate(lastFinalised.addDays(1 - lastFinalised.day())))),
                 Count("hr0910.hr_employee WHERE emp_flag=0"));
        QVERIFY(Count(QStringLiteral("hr0910.hr_it_trans WHERE emp_it_from='%1'").arg(SqlDate(firstPaid))) > 0);
        QCOMPARE(Count(QStringLiteral("hr0910.hr_it_emp_regime WHERE ac_from_date='%1'").arg(from)), ownChoices);
    }

    void sameSeedSameCompany()
    {
        generate(25, 7);
        const QString a = fingerprint();
        generate(25, 7);
        QCOMPARE(fingerprint(), a);
        generate(25, 8);
        QVERIFY(fingerprint() != a);
    }

    void refusesToWriteOverData()
    {
        generate(3);
        DemoOptions o;
        o.employees = 3;
        o.today = kToday;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, DemoData::Generate(TestDb::Open(), o));
        QCOMPARE(Count("hr0910.hr_employee"), 3);
    }
};

QTEST_GUILESS_MAIN(tst_DemoData)
#include "tst_demodata.moc"
