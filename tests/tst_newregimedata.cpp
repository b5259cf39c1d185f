// The new regime's figures of a year and the employees' own regimes, stored and read back on
// the server: a save replaces the year whole or not at all, a change of choice keeps who first
// set it and records who changed it.
#include "CompanyTest.h"
#include "DemoData.h"
#include "TestDb.h"
#include "config/NewRegimeSetup.h"
#include "tax/RegimeChoice.h"

#include <QtTest>

using TestDb::Count;
using TestDb::Scalar;

namespace {

const QDate kFrom(2025, 4, 1), kTo(2026, 3, 31);

QString Audit(const QString &table, const QString &where)
{
    return Scalar(QStringLiteral("SELECT CONCAT_WS('|', IFNULL(created_by,''), IFNULL(created_date,''), "
                                 "IFNULL(created_time,''), IFNULL(modified_by,''), IFNULL(modified_date,''), "
                                 "IFNULL(modified_time,'')) FROM %1 WHERE %2")
                      .arg(table, where))
        .toString();
}

} // namespace

class tst_NewRegimeData : public CompanyTest
{
    Q_OBJECT

private slots:
    void yearIsReplacedWholeOrNotAtAll()
    {
        DbConnection &db = TestDb::Open();
        QVERIFY(!NewRegimeSetup::Load(db, kFrom, kTo));

        NewRegimeSetup::Year year = *DemoData::NewRegimeYear(2025);
        year.slabs.last().to = 99999999; // a stored upper limit comes back as one
        NewRegimeSetup::Save(db, year, kFrom, kTo, {QStringLiteral("1"), QDateTime({2025, 4, 3}, {9, 5, 7})});
        QVERIFY(NewRegimeSetup::Load(db, kFrom, kTo) == year);
        QVERIFY(!NewRegimeSetup::Load(db, kFrom.addYears(-1), kTo.addYears(-1)));
        QCOMPARE(Audit("hr_it_new_regime", "ac_from_date='2025-04-01'"), QStringLiteral("1|2025-04-03|09:05:07|||"));

        // Fewer slabs and bands, another default: nothing of the first save is left over.
        NewRegimeSetup::Year second = *DemoData::NewRegimeYear(2023);
        second.defaultRegime = TaxRegime::Old;
        second.slabs.resize(3);
        second.slabs.last().to.reset();
        second.surcharge.resize(1);
        NewRegimeSetup::Save(db, second, kFrom, kTo, {QStringLiteral("2"), QDateTime({2025, 5, 6}, {14, 0, 1})});
        QVERIFY(NewRegimeSetup::Load(db, kFrom, kTo) == second);
        QCOMPARE(Count("hr_it_new_regime_slabs"), 3);
        QCOMPARE(Count("hr_it_new_regime_surcharge"), 1);
        QCOMPARE(Audit("hr_it_new_regime", "ac_from_date='2025-04-01'"),
                 QStringLiteral("1|2025-04-03|09:05:07|2|2025-05-06|14:00:01"));

        // A rate the column cannot hold fails after the old slabs were deleted: all of it is undone.
        NewRegimeSetup::Year bad = year;
        bad.slabs[3].per = 123456;
        QVERIFY_THROWS_EXCEPTION(DbError, NewRegimeSetup::Save(db, bad, kFrom, kTo, {QStringLiteral("1"), {}}));
        QVERIFY(!db.inTransaction());
        QVERIFY(NewRegimeSetup::Load(db, kFrom, kTo) == second);
    }

    void choicesAreKeptPerEmployeeAndYear()
    {
        DbConnection &db = TestDb::Open();
        TestDb::AddEmployee("E1", "SAT", "001", "ASHA RAO");
        TestDb::AddEmployee("E'2", "SAT", "002", "O'NEIL");
        TestDb::Exec(
            "INSERT INTO hr0910.hr_employee VALUES ('X1','SAE','001','OTHER CO','P','D1','P1','HO','C02',0,0)");

        RegimeChoice::Save(db, "E1", kFrom, kTo, TaxRegime::New, {"1", QDateTime({2025, 4, 10}, {10, 0, 0})});
        RegimeChoice::Save(db, "E'2", kFrom, kTo, TaxRegime::Old, {"1", QDateTime({2025, 4, 10}, {10, 0, 5})});
        RegimeChoice::Save(db, "E1", kFrom.addYears(-1), kTo.addYears(-1), TaxRegime::Old,
                           {"1", QDateTime({2024, 4, 10}, {10, 0, 0})});
        RegimeChoice::Save(db, "X1", kFrom, kTo, TaxRegime::New, {"1", QDateTime({2025, 4, 10}, {10, 0, 0})});
        // Changed later by another user: one row, the first setter kept.
        RegimeChoice::Save(db, "E1", kFrom, kTo, TaxRegime::Old, {"2", QDateTime({2025, 7, 1}, {16, 45, 30})});
        QCOMPARE(Count("hr_it_emp_regime WHERE emp_slno='E1'"), 2);
        QCOMPARE(Audit("hr_it_emp_regime", "emp_slno='E1' AND ac_from_date='2025-04-01'"),
                 QStringLiteral("1|2025-04-10|10:00:00|2|2025-07-01|16:45:30"));

        QVERIFY(RegimeChoice::LoadChoice(db, "E1", kFrom, kTo) == TaxRegime::Old);
        QVERIFY(RegimeChoice::LoadChoice(db, "E'2", kFrom, kTo) == TaxRegime::Old);
        QVERIFY(!RegimeChoice::LoadChoice(db, "E1", kFrom.addYears(1), kTo.addYears(1)));
        const QHash<QString, TaxRegime> choices = RegimeChoice::LoadChoices(db, "C01", kFrom, kTo);
        QCOMPARE(choices.size(), 2);
        QCOMPARE(choices.value("E1"), TaxRegime::Old);
        QVERIFY(!choices.contains("X1"));

        // The regime that applies: none of the new regime without the year's figures.
        QCOMPARE(RegimeChoice::Effective(std::nullopt, TaxRegime::New), TaxRegime::Old);
        const auto year = DemoData::NewRegimeYear(2025);
        QCOMPARE(RegimeChoice::Effective(year, std::nullopt), TaxRegime::New);
        QCOMPARE(RegimeChoice::Effective(year, TaxRegime::Old), TaxRegime::Old);
    }
};

QTEST_GUILESS_MAIN(tst_NewRegimeData)
#include "tst_newregimedata.moc"
