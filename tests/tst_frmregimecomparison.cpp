// The Regime Comparison screen from the keyboard: F5 shows every employee in service under
// both regimes, the options order them by the saving and keep those whose regime costs more,
// the totals follow, F11 exports the workbook, Escape closes.
#include "CompanyTest.h"
#include "DemoData.h"
#include "RecordingPlatform.h"
#include "Screens.h"
#include "TestDb.h"
#include "reports/ComparisonSheet.h"
#include "reports/frmRegimeComparison.h"
#include "session/mdlDalvoni.h"
#include "tax/RegimeChoice.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_FrmRegimeComparison : public CompanyTest
{
    Q_OBJECT

    void addCompanyData() override
    {
        TestDb::AddFinalize(QDate(2018, 9, 30));
        TestDb::AddPaidEmployee(QStringLiteral("1"), QStringLiteral("001"), QStringLiteral("NEW ONE"));
        TestDb::AddPaidEmployee(QStringLiteral("2"), QStringLiteral("002"), QStringLiteral("KEEPS OLD"));
        TestDb::AddEmployee(QStringLiteral("3"), QStringLiteral("E"), QStringLiteral("003"), QStringLiteral("NO PAY"));
    }

private slots:
    void showOrderFilterExportAndClose()
    {
        RecordingPlatform p;
        frmRegimeComparison f;
        QVERIFY(ShowActive(f));
        // A year without new-regime figures has nothing to compare.
        QTest::keyClick(&f, Qt::Key_F5);
        QVERIFY(p.lastMessage().contains(QStringLiteral("no new-regime figures")));
        QTest::keyClick(&f, Qt::Key_F11);
        QCOMPARE(p.lastMessage(), QStringLiteral("No details found.   "));

        TestDb::AddNewRegimeYear(*DemoData::NewRegimeYear(2025), 2018);
        RegimeChoice::Save(TestDb::Open(), QStringLiteral("2"), QDate(2018, 4, 1), QDate(2019, 3, 31), TaxRegime::Old,
                           {QStringLiteral("1"), QDateTime(QDate(2018, 4, 10), QTime(9, 0))});
        QTest::keyClick(&f, Qt::Key_F5);
        const Sheet &s = f.ui.FbComparison->sheet();
        const int first = ComparisonSheet::kFirstDataRow;
        QCOMPARE(f.rows().size(), 3);
        QCOMPARE(s.text(first, 1) + '|' + s.text(first + 1, 1) + '|' + s.text(first + 2, 1),
                 QStringLiteral("E001|E002|E003"));
        QCOMPARE(s.text(first + 3, 1), QStringLiteral("Total"));
        // Under the new regime 8.4 L is within the rebate; the one who keeps the old regime pays it.
        const RegimeComparison::Row &keeps = f.rows()[1];
        QVERIFY(keeps.regime == TaxRegime::Old && keeps.ownChoice && keeps.costsMore());
        QCOMPARE(s.text(first + 1, 7), Sheet::formatNumber(keeps.saving(), QStringLiteral("#,##0.00")));
        QCOMPARE(s.text(first + 1, 8), QStringLiteral("Yes"));
        QCOMPARE(s.text(first + 2, 4), QStringLiteral("No pay"));
        QVERIFY(f.ui.LbTotals->text().startsWith(QStringLiteral("3 employees; 1 pay more")));

        // By the saving, and only those whose regime costs more (Alt keys of the options).
        QTest::keyClick(&f, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(s.text(first, 1), QStringLiteral("E002"));
        QTest::keyClick(&f, Qt::Key_M, Qt::AltModifier);
        QTRY_COMPARE(s.text(first + 1, 1), QStringLiteral("Total"));
        QCOMPARE(s.text(first, 1), QStringLiteral("E002"));
        QCOMPARE(s.value(first + 1, 7).toDouble(), keeps.saving());

        // F11 exports what is shown.
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("comparison"));
        p.saveAnswers << target;
        QTest::keyClick(&f, Qt::Key_F11);
        QVERIFY(QFile::exists(target + QStringLiteral(".xlsx")));
        QVERIFY(f.ui.LbOutputFile->text().contains(QStringLiteral("comparison.xlsx")));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!f.isVisible());
    }
};

QTEST_MAIN(tst_FrmRegimeComparison)
#include "tst_frmregimecomparison.moc"
