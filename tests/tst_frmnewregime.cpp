// The Tax Regimes screen: a year's figures copied from the year before, changed from the
// keyboard in boxes and grids, refused with a clear message while the slabs or bands do not
// fit together, and saved whole.
#include "CompanyTest.h"
#include "DemoData.h"
#include "RecordingPlatform.h"
#include "Screens.h"
#include "TestDb.h"
#include "config/frmNewRegime.h"
#include "session/mdlDalvoni.h"
#include "ui/GridUtil.h"

#include <QtTest>

using namespace mdlDalvoni;

namespace {

// Types an amount into the grid's current cell and presses Enter, as a clerk does: the first
// key opens the cell's box, the others go to the box.
void typeCell(QTableWidget *grid, const QString &text)
{
    QTest::keyClick(grid, text.at(0).toLatin1());
    for (const QChar c : text.mid(1))
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

} // namespace

class tst_FrmNewRegime : public CompanyTest
{
    Q_OBJECT

    void addCompanyData() override
    {
        FinYearFrom = QDate(2025, 4, 1);
        FinYearTo = QDate(2026, 3, 31);
    }

private slots:

    void copyChangeRefuseAndSaveFromTheKeyboard()
    {
        RecordingPlatform p;
        NewRegimeSetup::Save(TestDb::Open(), *DemoData::NewRegimeYear(2024), QDate(2024, 4, 1), QDate(2025, 3, 31),
                             {"1", QDateTime::currentDateTime()});
        frmNewRegime f;
        QVERIFY(ShowActive(f));
        QVERIFY(f.ui.LbStatus->isVisible());
        QVERIFY(f.ui.OptOldRegime->isChecked());
        QCOMPARE(f.ui.GrSlabs->rowCount(), 1);

        // The year before, on the screen: six slabs, the top one open, and a row to type into.
        QTest::keyClick(f.ui.CmCopyPrevious, Qt::Key_Return);
        QVERIFY(p.questions.isEmpty());
        QVERIFY(f.ui.OptNewRegime->isChecked());
        QCOMPARE(f.ui.TxStdDeduction->text(), QStringLiteral("75000.00"));
        QCOMPARE(f.ui.GrSlabs->rowCount(), 7);
        QCOMPARE(CellText(f.ui.GrSlabs, 1, 1), QStringLiteral("700000.00"));
        QCOMPARE(CellText(f.ui.GrSlabs, 5, 1), QString());
        QVERIFY(f.TypedYear() == *DemoData::NewRegimeYear(2024));

        // Enter walks the boxes; a typed amount replaces the box's text.
        f.ui.TxStdDeduction->setFocus();
        QTest::keyClicks(f.ui.TxStdDeduction, "80000");
        QTest::keyClick(f.ui.TxStdDeduction, Qt::Key_Return);
        QVERIFY(f.ui.TxCess->hasFocus());
        QCOMPARE(f.ui.TxStdDeduction->text(), QStringLiteral("80000.00"));

        // Slab 2 now ends at 8 L, but slab 3 still starts at 7 L: refused, cursor on it.
        f.ui.GrSlabs->setFocus();
        f.ui.GrSlabs->setCurrentCell(1, 1);
        typeCell(f.ui.GrSlabs, "800000");
        QCOMPARE(CellText(f.ui.GrSlabs, 1, 1), QStringLiteral("800000.00"));
        QCOMPARE(f.ui.GrSlabs->currentColumn(), 2);
        QTest::keyClick(f.ui.CmSave, Qt::Key_Return);
        QCOMPARE(p.lastMessage(), QStringLiteral("Slab 3 must start where slab 2 ends (800000.00).   "));
        QCOMPARE(TestDb::Count("hr_it_new_regime WHERE ac_from_date='2025-04-01'"), 0);
        QVERIFY(f.ui.GrSlabs->hasFocus());
        QCOMPARE(f.ui.GrSlabs->currentRow(), 2);
        QCOMPARE(f.ui.GrSlabs->currentColumn(), 0);
        typeCell(f.ui.GrSlabs, "800000");

        // A surcharge band typed into the empty row gets a new empty row; Enter there moves on.
        f.ui.GrSurcharge->setFocus();
        f.ui.GrSurcharge->setCurrentCell(3, 0);
        typeCell(f.ui.GrSurcharge, "50000000");
        typeCell(f.ui.GrSurcharge, "37");
        QCOMPARE(f.ui.GrSurcharge->rowCount(), 5);
        QCOMPARE(f.ui.GrSurcharge->currentRow(), 4);
        // Insert opens a row above, Shift+Delete takes one out.
        QTest::keyClick(f.ui.GrSurcharge, Qt::Key_Insert);
        QCOMPARE(f.ui.GrSurcharge->rowCount(), 6);
        QTest::keyClick(f.ui.GrSurcharge, Qt::Key_Delete, Qt::ShiftModifier);
        f.ui.GrSurcharge->setCurrentCell(0, 0);
        QTest::keyClick(f.ui.GrSurcharge, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(CellText(f.ui.GrSurcharge, 0, 0), QStringLiteral("10000000.00"));
        f.ui.GrSurcharge->setCurrentCell(f.ui.GrSurcharge->rowCount() - 1, 0);
        QTest::keyClick(f.ui.GrSurcharge, Qt::Key_Return);
        // Then the old regime's bands, and from their empty row on to Save.
        QVERIFY(f.ui.GrOldSurcharge->hasFocus());
        QTest::keyClick(f.ui.GrOldSurcharge, Qt::Key_Return);
        QVERIFY(f.ui.CmSave->hasFocus());

        // Enter on the focused button saves.
        QTest::keyClick(f.ui.CmSave, Qt::Key_Return);
        QCOMPARE(p.lastMessage(), QStringLiteral("New Tax Regime Saved.   "));
        QVERIFY(!f.isVisible());
        NewRegimeSetup::Year expected = *DemoData::NewRegimeYear(2024);
        expected.standardDeduction = 80000;
        expected.slabs[1].to = 800000;
        expected.slabs[2].from = 800000;
        expected.surcharge = {{10000000, 15}, {20000000, 25}, {50000000, 37}};
        QVERIFY(NewRegimeSetup::Load(TestDb::Open(), FinYearFrom, FinYearTo) == expected);
        QCOMPARE(TestDb::Scalar("SELECT created_by FROM hr_it_new_regime WHERE ac_from_date='2025-04-01'").toInt(), 1);

        // Shown again as saved; copying over it asks first.
        frmNewRegime again;
        QVERIFY(!again.ui.LbStatus->isVisible());
        QVERIFY(again.TypedYear() == expected);
        p.answers = {false};
        again.CmCopyPrevious_Click();
        QCOMPARE(p.questions.size(), 1);
        QVERIFY(again.TypedYear() == expected);
    }

    // Two workstations save one year: the second is asked, with what the first stored, and
    // stores only what its clerk chooses. Figures typed and not saved, in a box or a cell, are
    // not dropped without a question.
    void aSecondSaveOfTheYearAsks_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::newRow("reload") << "Reload";
        QTest::newRow("overwrite") << "Overwrite";
        QTest::newRow("cancel") << "Cancel";
    }
    void aSecondSaveOfTheYearAsks()
    {
        QFETCH(QString, choice);
        RecordingPlatform p;
        NewRegimeSetup::Save(TestDb::Open(), *DemoData::NewRegimeYear(2024), QDate(2024, 4, 1), QDate(2025, 3, 31),
                             {"1", QDateTime::currentDateTime()});
        frmNewRegime first, second;
        QVERIFY(ShowActive(second));
        QCOMPARE(second.unsavedChanges(), QString());
        first.CmCopyPrevious_Click();
        first.CmSave_Click();
        QCOMPARE(p.lastMessage(), QStringLiteral("New Tax Regime Saved.   "));

        second.CmCopyPrevious_Click();
        second.ui.TxStdDeduction->setText(QStringLiteral("80000.00"));
        QCOMPARE(second.unsavedChanges(), QStringLiteral("the tax regimes' figures of the year 2025-26"));
        p.clear();
        p.choices << choice;
        second.CmSave_Click();
        QCOMPARE(p.questions.size(), 1);
        QVERIFY2(p.questions[0].startsWith(QStringLiteral("Since this screen loaded the tax regimes' figures of this "
                                                          "year, another workstation or program has changed:   \n\n"
                                                          "   the year's figures: now stored, loaded none\n")),
                 qPrintable(p.questions[0]));
        const auto stored = [] {
            return NewRegimeSetup::Load(TestDb::Open(), FinYearFrom, FinYearTo).value().standardDeduction;
        };
        if (choice == QLatin1String("Overwrite")) {
            QCOMPARE(p.lastMessage(), QStringLiteral("New Tax Regime Saved.   "));
            QCOMPARE(stored(), 80000.0);
            QVERIFY(!second.isVisible());
            return;
        }
        QCOMPARE(stored(), 75000.0);
        QVERIFY(p.messages.isEmpty());
        if (choice == QLatin1String("Reload")) {
            QCOMPARE(second.ui.TxStdDeduction->text(), QStringLiteral("75000.00"));
            QCOMPARE(second.unsavedChanges(), QString());
            // A figure typed into a cell, Enter not yet pressed.
            second.ui.GrSlabs->setFocus();
            second.ui.GrSlabs->setCurrentCell(0, 1);
            QTest::keyClick(second.ui.GrSlabs, '9');
            QCOMPARE(second.unsavedChanges(), QStringLiteral("the tax regimes' figures of the year 2025-26"));
        }
        // Closing asks first; No keeps the screen and its figures.
        p.answers << false;
        second.close();
        QCOMPARE(p.questions.size(), 2);
        QVERIFY(p.questions[1].contains(QStringLiteral("\n   the tax regimes' figures of the year 2025-26\n")));
        QVERIFY(second.isVisible());
    }

    // The old regime's bands: refused with the cursor on the figure while they overlap or a
    // rate is above 100; a year without new-regime figures stores the bands alone.
    void oldRegimeBands_data()
    {
        QTest::addColumn<QStringList>("typed"); // threshold and rate of each band
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::newRow("overlapping") << QStringList{"5000000", "10", "5000000", "15"}
                                     << "Surcharge 2 must start above the income of surcharge 1.   " << 1 << 0;
        QTest::newRow("running backwards") << QStringList{"10000000", "15", "5000000", "10"}
                                           << "Surcharge 2 must start above the income of surcharge 1.   " << 1 << 0;
        QTest::newRow("rate above 100") << QStringList{"5000000", "10", "10000000", "150"}
                                        << "The rate of surcharge 2 cannot be above 100 %.   " << 1 << 1;
        QTest::newRow("sound") << QStringList{"5000000", "10", "10000000", "15"} << "Old Regime Surcharge Saved.   "
                               << -1 << -1;
    }
    void oldRegimeBands()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        QFETCH(int, row);
        QFETCH(int, col);
        RecordingPlatform p;
        frmNewRegime f;
        QVERIFY(ShowActive(f));
        QVERIFY(f.windowTitle() == QStringLiteral("Tax Regimes"));
        f.ui.GrOldSurcharge->setFocus();
        f.ui.GrOldSurcharge->setCurrentCell(0, 0);
        for (const QString &figure : typed)
            typeCell(f.ui.GrOldSurcharge, figure);
        f.ui.GrOldSurcharge->setCurrentCell(f.ui.GrOldSurcharge->rowCount() - 1, 0);
        QTest::keyClick(f.ui.GrOldSurcharge, Qt::Key_Return);
        QTest::keyClick(f.ui.CmSave, Qt::Key_Return);
        QCOMPARE(p.lastMessage(), message);
        if (row >= 0) {
            QVERIFY(f.ui.GrOldSurcharge->hasFocus());
            QCOMPARE(f.ui.GrOldSurcharge->currentRow(), row);
            QCOMPARE(f.ui.GrOldSurcharge->currentColumn(), col);
            QCOMPARE(TestDb::Count("hr_it_old_regime_surcharge"), 0);
            return;
        }
        QCOMPARE(TestDb::Count("hr_it_new_regime"), 0);
        QCOMPARE(NewRegimeSetup::LoadOldSurcharge(TestDb::Open(), FinYearFrom, FinYearTo),
                 (QList<NewRegimeSetup::SurchargeBand>{{5000000, 10}, {10000000, 15}}));
        frmNewRegime again;
        QCOMPARE(again.TypedOldSurcharge(), NewRegimeSetup::LoadOldSurcharge(TestDb::Open(), FinYearFrom, FinYearTo));
    }
};

QTEST_MAIN(tst_FrmNewRegime)
#include "tst_frmnewregime.moc"
