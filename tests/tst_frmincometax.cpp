// The worksheet screen driven as a user would: the employee list, Enter, grid editing, save.
#include "CompanyTest.h"
#include "DemoData.h"
#include "ModalDriver.h"
#include "RecordingPlatform.h"
#include "Screens.h"
#include "Rows.h"
#include "TestDb.h"
#include "WorksheetData.h"
#include "lookup/frmListView.h"
#include "session/Common.h"
#include "session/mdlDalvoni.h"
#include "tax/frmIncomeTax.h"

#include <QtTest>

namespace {

const QString kDetails = QStringLiteral("Please Enter the Details Properly.   ");

QString Cell(frmIncomeTax &f, int line, int col)
{
    const QTableWidgetItem *item = f.ui.GrDeductions->item(line - 1, col);
    return item ? item->text() : QString();
}

void ClickCell(frmIncomeTax &f, int line, int col)
{
    QTableWidget *grid = f.ui.GrDeductions;
    const QRect r = grid->visualRect(grid->model()->index(line - 1, col));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
}

// F1 in a box (the code box, or the grid's edit box in Particulars), the name typed into
// the list's search, Enter.
void PickFromList(QLineEdit *box, const QString &name)
{
    bool shown = false;
    WhenModalShown<frmListView>([&](frmListView *d) {
        shown = true;
        QTest::keyClicks(d->ui.TxtSearch, name);
        QTest::keyClick(d->ui.TxtSearch, Qt::Key_Return);
    });
    QTest::keyClick(box, Qt::Key_F1);
    QVERIFY(shown);
}

// Picks the complete employee and loads her figures (Enter in the code box).
void LoadAsha(frmIncomeTax &f)
{
    PickFromList(f.ui.TxEmpCode, QStringLiteral("ASHA"));
    QTest::keyClick(f.ui.TxEmpCode, Qt::Key_Return);
}

// Shows the screen, loads the complete employee and enters edit mode.
void ShowInEditMode(frmIncomeTax &f)
{
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    LoadAsha(f);
    QTest::mouseClick(f.ui.CmEdit, Qt::LeftButton);
}

void TypeAndEnter(frmIncomeTax &f, const QString &text)
{
    QTest::keyClicks(f.ui.TxDedMove, text);
    QTest::keyClick(f.ui.TxDedMove, Qt::Key_Return);
}

} // namespace

class tst_frmIncomeTax : public CompanyTest
{
    Q_OBJECT

    void addCompanyData() override { WorksheetData::AddCompleteEmployee(); }

private slots:
    void opensWithTheYearsLimits()
    {
        RecordingPlatform p;
        frmIncomeTax f;
        QCOMPARE(f.windowTitle(), QStringLiteral("Income Tax Calculator"));
        QCOMPARE(f.ui.CmEdit->text(), QStringLiteral("Edit - F3"));
        QCOMPARE(f.ui.TxExcemption->text(), QStringLiteral("250000.00"));
        QCOMPARE(f.ui.TxHLInterest->text(), QStringLiteral("0.00"));
        QVERIFY(!f.ui.TxHLInterest->isEnabled());
        QVERIFY(!f.ui.TxMediClaim->isEnabled());
        QCOMPARE(f.ui.GrDeductions->rowCount(), 17);
        QCOMPARE(f.ui.GrDeductions->horizontalHeaderItem(1)->text(), QStringLiteral("Particulars"));
        QCOMPARE(f.ui.GrDeductions->columnWidth(1), 253);
        // A year without the new regime's figures shows the worksheet as it always was.
        QVERIFY(!f.ui.FrRegime->isVisibleTo(&f));
        QCOMPARE(f.ui.FrTax->title(), QStringLiteral("Tax"));
        QVERIFY(p.messages.isEmpty());
    }

    // In a year with the new regime's figures (here 2024-25's, the default the old regime)
    // the new regime's tax stands beside the worksheet's own and follows every edit; the
    // regime that applies is the one whose tax is marked as the employee's.
    void newRegimeBesideTheOld()
    {
        NewRegimeSetup::Year year = *DemoData::NewRegimeYear(2024);
        year.defaultRegime = TaxRegime::Old;
        TestDb::AddNewRegimeYear(year, 2018);
        RecordingPlatform p;
        frmIncomeTax f;
        QVERIFY(f.ui.FrRegime->isVisibleTo(&f));
        QVERIFY(!f.ui.OptOldRegime->isChecked() && !f.ui.OptNewRegime->isChecked());
        ShowInEditMode(f);

        // Pay 989200 less 75000: slab tax 41420, above the 87A limit by more than the tax, cess 4 %.
        const auto shown = [&f](const QStringList &expected) {
            return Rows::Of(expected, [&f](const QString &name) {
                auto *w = f.findChild<QWidget *>(name);
                if (auto *box = qobject_cast<QLineEdit *>(w))
                    return box->text();
                if (auto *label = qobject_cast<QLabel *>(w))
                    return label->text() + (label->font().bold() ? QStringLiteral(" bold") : QString());
                if (auto *group = qobject_cast<QGroupBox *>(w))
                    return group->title();
                return QStringLiteral("(no such control)");
            });
        };
        QStringList expected = {
            "FrTax=Old Regime (applies)",
            "FrRegime=New Regime",
            "TxNewStdDeduction=75000.00",
            "TxNewTaxable=914200.00",
            "TxNewSlabTax=41420.00",
            "TxNewRebate=0.00",
            "TxNewCess=1656.80",
            "TxNewTax=43076.80",
            "TxNewBalance=25076.80",
            "TxNetTax=6812",
            "LbCapNetTax=To Pay bold",
            "LbCapNewTax=To Pay",
            "LbRegimeNote=Taxed under the old regime. The new regime would be 36264.80 more.",
        };
        QCOMPARE(shown(expected), expected);
        QVERIFY(f.ui.OptOldRegime->isChecked() && f.ui.OptOldRegime->isEnabled());

        // Without the rent line the old regime comes to more than the new one.
        ClickCell(f, 2, 1);
        QTest::keyClick(f.ui.TxDedMove, Qt::Key_Delete, Qt::ShiftModifier);
        expected = {"TxNetTax=50648", "TxNewTax=43076.80",
                    "LbRegimeNote=Taxed under the old regime. The new regime would be 7571.20 less."};
        QCOMPARE(shown(expected), expected);

        // Picked from the keyboard, the new regime applies: its tax is the employee's.
        QVERIFY(ShowActive(f));
        f.ui.OptOldRegime->setFocus();
        QTest::keyClick(f.ui.OptOldRegime, Qt::Key_Right);
        QVERIFY(f.ui.OptNewRegime->isChecked());
        expected = {"FrTax=Old Regime", "FrRegime=New Regime (applies)", "LbCapNetTax=To Pay",
                    "LbCapNewTax=To Pay bold",
                    "LbRegimeNote=Taxed under the new regime. The old regime would be 7571.20 more."};
        QCOMPARE(shown(expected), expected);
        QCOMPARE(f.unsavedChanges(), QStringLiteral("the declarations and regime of ASHA RAO"));

        // Loading the figures again shows the regime as stored: here the year's default.
        QTest::keyClick(f.ui.TxEmpCode, Qt::Key_Return);
        QVERIFY(f.ui.OptOldRegime->isChecked());
        // In view mode the regime shows but cannot be changed.
        TestDb::Exec("INSERT INTO hr0910.hr_it_emp_regime (emp_slno,ac_from_date,ac_to_date,emp_regime) "
                     "VALUES ('E1','2018-04-01','2019-03-31','NEW')");
        frmIncomeTax view;
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        LoadAsha(view);
        QVERIFY(view.ui.OptNewRegime->isChecked());
        QVERIFY(!view.ui.OptNewRegime->isEnabled() && !view.ui.OptOldRegime->isEnabled());
        QCOMPARE(view.ui.FrRegime->title(), QStringLiteral("New Regime (applies)"));
        QVERIFY(p.messages.isEmpty());
    }

    // The regime picked is saved with the worksheet, in its one transaction, with who and
    // when; a regime left as loaded is not saved (a default stays a default), and a failed
    // save stores none of it.
    void regimeSavedWithTheWorksheet_data()
    {
        QTest::addColumn<QStringList>("picks");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("stored"); // the choice row, "" for none
        QTest::newRow("left as loaded") << QStringList() << false << "";
        QTest::newRow("picked and picked back") << QStringList{"New", "Old"} << false << "";
        QTest::newRow("picked") << QStringList{"New"} << false << "NEW|2018-04-01|2019-03-31|1";
        QTest::newRow("picked, the save fails") << QStringList{"New"} << true << "";
    }
    void regimeSavedWithTheWorksheet()
    {
        QFETCH(QStringList, picks);
        QFETCH(bool, fails);
        QFETCH(QString, stored);
        TestDb::AddNewRegimeYear(*DemoData::NewRegimeYear(2020), 2018);
        RecordingPlatform p;
        frmIncomeTax f;
        ShowInEditMode(f);
        for (const QString &pick : picks)
            QTest::mouseClick(pick == QLatin1String("New") ? f.ui.OptNewRegime : f.ui.OptOldRegime, Qt::LeftButton);
        ClickCell(f, 1, 2);
        f.ui.TxDedMove->selectAll();
        TypeAndEnter(f, QStringLiteral("1"));
        if (fails)
            TestDb::Exec("RENAME TABLE hr0910.hr_it TO hr0910.hr_it_away");
        QTest::mouseClick(f.ui.CmEdit, Qt::LeftButton);
        if (fails)
            TestDb::Exec("RENAME TABLE hr0910.hr_it_away TO hr0910.hr_it");

        const QString row = TestDb::Scalar("SELECT CONCAT_WS('|',emp_regime,ac_from_date,ac_to_date,created_by) "
                                           "FROM hr0910.hr_it_emp_regime WHERE emp_slno='E1'")
                                .toString();
        QCOMPARE(row, stored);
        QCOMPARE(TestDb::Scalar("SELECT emp_amount FROM hr_it_trans WHERE emp_slno='E1' AND emp_allowance_slno=1 AND "
                                "emp_it_from='2018-04-01'")
                     .toDouble(),
                 fails ? 50000.0 : 1.0);
        if (!stored.isEmpty())
            QCOMPARE(TestDb::Scalar("SELECT created_date FROM hr0910.hr_it_emp_regime").toDate(), QDate::currentDate());
        if (fails) {
            // The screen keeps the pick, still in edit mode, and the next save stores it.
            QVERIFY(f.ui.OptNewRegime->isChecked());
            QTest::mouseClick(f.ui.CmEdit, Qt::LeftButton);
            QCOMPARE(TestDb::Count("hr0910.hr_it_emp_regime WHERE emp_regime='NEW'"), 1);
        }
    }

    // The whole round: pick, load, edit a line picked from the head list and one typed, see
    // the tax follow, save, and find the saved declarations on the next load.
    void pickLoadEditSaveAndReload()
    {
        RecordingPlatform p;
        frmIncomeTax f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));

        PickFromList(f.ui.TxEmpCode, QStringLiteral("asha"));
        QCOMPARE(f.ui.TxEmpCode->text(), QStringLiteral("EMP001"));
        QCOMPARE(f.ui.LbName->text(), QStringLiteral("ASHA RAO"));
        QCOMPARE(f.ui.LbUnit->text(), QStringLiteral("MUMBAI"));
        QCOMPARE(f.ui.LbSerialNo->text(), QStringLiteral("E1"));
        QCOMPARE(f.figures().companyCodeTag, QStringLiteral("C01"));
        QCOMPARE(f.ui.GrDeductions->rowCount(), 20);

        QTest::keyClick(f.ui.TxEmpCode, Qt::Key_Return);
        QCOMPARE(f.ui.TxMonths->text(), QStringLiteral("6"));
        QCOMPARE(f.ui.TxGrossPay->text(), QStringLiteral("499600"));
        QCOMPARE(Cell(f, 1, 0), QStringLiteral("1"));
        QCOMPARE(Cell(f, 2, 1), QStringLiteral("HOUSE RENT PAID"));
        QCOMPARE(f.ui.TxNetTax->text(), QStringLiteral("6812"));
        QCOMPARE(f.ui.LbRebate->text(), QStringLiteral("0.00"));

        // In view mode a click on the grid does nothing.
        ClickCell(f, 1, 1);
        QVERIFY(!f.ui.TxDedMove->isVisible());

        QTest::mouseClick(f.ui.CmEdit, Qt::LeftButton);
        QCOMPARE(f.ui.CmEdit->text(), QStringLiteral("Update - F5"));
        QVERIFY(f.ui.TxHLInterest->isEnabled());

        // A click far below the filled lines lands on the first free line.
        ClickCell(f, 10, 2);
        QCOMPARE(int(f.EditRow), 3);
        QCOMPARE(int(f.EditCol), 1);
        QVERIFY(f.ui.TxDedMove->isVisible());

        PickFromList(f.ui.TxDedMove, QStringLiteral("lic"));
        QCOMPARE(Cell(f, 3, 1), QStringLiteral("LIC PREMIUM"));
        QCOMPARE(Cell(f, 3, 3), QStringLiteral("ITA000001"));
        QCOMPARE(int(f.EditCol), 2);
        QVERIFY(f.ui.TxDedMove->isVisible());
        TypeAndEnter(f, QStringLiteral("20000"));
        QCOMPARE(Cell(f, 3, 2), QStringLiteral("20000.00"));
        QCOMPARE(int(f.EditRow), 4);
        QCOMPARE(int(f.EditCol), 1);
        // 80C 142000: taxable 361000, tax 5550, cess 222.
        QCOMPARE(f.ui.TxNet80C->text(), QStringLiteral("142000.00"));
        QCOMPARE(f.ui.TxNetTax->text(), QStringLiteral("5772"));

        TypeAndEnter(f, QStringLiteral("ppf"));
        QCOMPARE(Cell(f, 4, 1), QStringLiteral("PPF"));
        TypeAndEnter(f, QStringLiteral("5000"));
        QCOMPARE(Cell(f, 4, 2), QStringLiteral("5000.00"));
        QCOMPARE(f.ui.TxNet80C->text(), QStringLiteral("147000.00"));

        // Mediclaim below its limit lowers the tax at once.
        f.ui.TxMediClaim->setFocus();
        f.ui.TxMediClaim->selectAll();
        QTest::keyClicks(f.ui.TxMediClaim, QStringLiteral("10000"));
        QCOMPARE(f.ui.TxMediClaim->text(), QStringLiteral("10000.00"));
        QCOMPARE(f.ui.TxTaxableAmt->text(), QStringLiteral("371000.00"));

        p.clear();
        QTest::mouseClick(f.ui.CmEdit, Qt::LeftButton);
        QCOMPARE(p.lastMessage(), QStringLiteral("Income Tax Details of ASHA RAO Updated.   "));
        QCOMPARE(f.ui.TxEmpCode->text(), QString());
        QCOMPARE(f.ui.LbName->text(), QString());
        QCOMPARE(f.ui.CmEdit->text(), QStringLiteral("Edit - F3"));
        QVERIFY(!f.ui.TxMediClaim->isEnabled());
        QCOMPARE(TestDb::Count("hr_it_trans where emp_slno='E1' and emp_it_from='2018-04-01'"), 4);
        QCOMPARE(TestDb::Scalar("select emp_mc from hr_it where emp_slno='E1'").toDouble(), 10000.0);

        LoadAsha(f);
        QCOMPARE(Cell(f, 3, 1), QStringLiteral("LIC PREMIUM"));
        QCOMPARE(Cell(f, 3, 2), QStringLiteral("20000.00"));
        QCOMPARE(Cell(f, 4, 1), QString()); // typed without a head: stored, not listed
        QCOMPARE(f.ui.TxMediClaim->text(), QStringLiteral("10000.00"));
    }

    void messagesOfTheScreen()
    {
        RecordingPlatform p;
        frmIncomeTax f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));

        // A typed code is no pick.
        QTest::keyClicks(f.ui.TxEmpCode, QStringLiteral("EMP001"));
        QTest::keyClick(f.ui.TxEmpCode, Qt::Key_Return);
        QCOMPARE(p.lastMessage(), QStringLiteral("Please Select An Employee.   "));
        QCOMPARE(f.ui.TxGrossPay->text(), QString());

        LoadAsha(f);
        QTest::mouseClick(f.ui.CmEdit, Qt::LeftButton);
        ClickCell(f, 3, 1);
        p.clear();
        QTest::keyClick(f.ui.TxDedMove, Qt::Key_Return);
        QCOMPARE(p.lastMessage(), kDetails);
        QCOMPARE(int(f.EditCol), 1);
        QVERIFY(f.ui.TxDedMove->isVisible());

        TypeAndEnter(f, QStringLiteral("nsc"));
        p.clear();
        QTest::keyClick(f.ui.TxDedMove, Qt::Key_Return);
        QCOMPARE(p.lastMessage(), kDetails);
        QCOMPARE(int(f.EditCol), 2);
        QCOMPARE(Cell(f, 3, 2), QString());

        // A click on the number column of a filled line edits its Particulars.
        ClickCell(f, 2, 0);
        QCOMPARE(int(f.EditRow), 2);
        QCOMPARE(int(f.EditCol), 1);
        QCOMPARE(f.ui.TxDedMove->text(), QStringLiteral("HOUSE RENT PAID"));

        // A line with particulars but no amount is not saved: the editor waits on its amount.
        p.clear();
        QTest::mouseClick(f.ui.CmEdit, Qt::LeftButton);
        QCOMPARE(p.lastMessage(), kDetails);
        QCOMPARE(int(f.EditRow), 3);
        QCOMPARE(int(f.EditCol), 2);
        QVERIFY(f.ui.TxDedMove->isVisible());
        QCOMPARE(f.ui.CmEdit->text(), QStringLiteral("Update - F5"));
        QCOMPARE(TestDb::Scalar("select group_concat(emp_amount order by emp_allowance_slno) from hr_it_trans "
                                "where emp_slno='E1' and emp_it_from='2018-04-01'")
                     .toString(),
                 QStringLiteral("50000.00,240000.00,7000.00"));
    }

    // Whichever way an amount reaches the grid's editor or the interest box, the screen shows
    // it in the filter's form, computes with it, and the save stores that number.
    void amountsAreSavedAsShown_data()
    {
        QTest::addColumn<QString>("route");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cell");     // the LIC line, 50000.00 before
        QTest::addColumn<QString>("interest"); // 120000.00 before
        QTest::newRow("keys") << "keys"
                              << "45000.001e5"
                              << "45000.00"
                              << "45000.00";
        QTest::newRow("menu paste") << "menu paste"
                                    << "12,500"
                                    << "12500.00"
                                    << "12500.00";
        QTest::newRow("Ctrl+V of letters") << "Ctrl+V"
                                           << "5000abc"
                                           << "50000.00"
                                           << "120000.00";
        QTest::newRow("input method") << "input method"
                                      << "-500"
                                      << "500.00"
                                      << "500.00";
        QTest::newRow("middle click") << "middle click"
                                      << "-500"
                                      << "50000.00"
                                      << "120000.00";
        QTest::newRow("drop") << "drop"
                              << "-500"
                              << "50000.00"
                              << "120000.00";
    }
    void amountsAreSavedAsShown()
    {
        QFETCH(QString, route);
        QFETCH(QString, text);
        QFETCH(QString, cell);
        QFETCH(QString, interest);
        if (SelectionMissing(route))
            QSKIP("This platform has no selection to paste with the middle button (it runs under X11).");
        RecordingPlatform p;
        frmIncomeTax f;
        ShowInEditMode(f);

        ClickCell(f, 1, 2);
        QCOMPARE(f.ui.TxDedMove->text(), QStringLiteral("50000.00"));
        EnterByRoute(f.ui.TxDedMove, route, text);
        QVERIFY(f.ui.TxDedMove->isVisible()); // a context menu over the editor does not end the edit
        QTest::keyClick(f.ui.TxDedMove, Qt::Key_Return);
        QCOMPARE(Cell(f, 1, 2), cell);
        QCOMPARE(f.ui.TxTotal80c->text(), Format00(cell.toDouble() + 72000)); // with the provident fund

        f.ui.TxHLInterest->setFocus();
        f.ui.TxHLInterest->selectAll();
        EnterByRoute(f.ui.TxHLInterest, route, text);
        QCOMPARE(f.ui.TxHLInterest->text(), interest);

        QTest::mouseClick(f.ui.CmEdit, Qt::LeftButton);
        QCOMPARE(p.lastMessage(), QStringLiteral("Income Tax Details of ASHA RAO Updated.   "));
        QCOMPARE(TestDb::Scalar("select emp_amount from hr_it_trans where emp_slno='E1' and emp_allowance_slno=1 "
                                "and emp_it_from='2018-04-01'")
                     .toDouble(),
                 cell.toDouble());
        QCOMPARE(TestDb::Scalar("select emp_hl_int from hr_it where emp_slno='E1'").toDouble(), interest.toDouble());
    }

    // Without a tax record the save stores the declarations and says that the interest and
    // premium were not stored; the screen keeps them until the record exists.
    void saveTellsWhatWasStored_data()
    {
        QTest::addColumn<bool>("taxRecord");
        QTest::addColumn<QString>("mediclaim"); // typed, or "" for as loaded
        QTest::addColumn<QString>("message");
        QTest::newRow("tax record") << true << "10000"
                                    << "Income Tax Details of ASHA RAO Updated.   ";
        QTest::newRow("no tax record, nothing for it") << false << ""
                                                       << "Income Tax Details of ASHA RAO Updated.   ";
        QTest::newRow("no tax record, premium typed")
            << false << "10000"
            << "The declarations of ASHA RAO are saved.   \nThe housing loan interest and mediclaim are not: they "
               "are kept with the employee's tax record of the year, which Generate Income Tax makes first.   \n"
               "Generate the tax of ASHA RAO, then press Update again.   ";
    }
    void saveTellsWhatWasStored()
    {
        QFETCH(bool, taxRecord);
        QFETCH(QString, mediclaim);
        QFETCH(QString, message);
        if (!taxRecord)
            TestDb::Exec("DELETE FROM hr_it");
        RecordingPlatform p;
        frmIncomeTax f;
        ShowInEditMode(f);
        if (!mediclaim.isEmpty()) {
            f.ui.TxMediClaim->setFocus();
            f.ui.TxMediClaim->selectAll();
            QTest::keyClicks(f.ui.TxMediClaim, mediclaim);
        }
        QTest::mouseClick(f.ui.CmEdit, Qt::LeftButton);
        QCOMPARE(p.lastMessage(), message);
        QCOMPARE(TestDb::Count("hr_it_trans where emp_slno='E1' and emp_it_from='2018-04-01'"), 2);
        if (message.contains(QStringLiteral("Updated"))) {
            QCOMPARE(f.ui.CmEdit->text(), QStringLiteral("Edit - F3"));
            QCOMPARE(f.unsavedChanges(), QString());
            return;
        }
        // Kept on the screen, in edit mode, until Generate has made the record.
        QCOMPARE(f.ui.CmEdit->text(), QStringLiteral("Update - F5"));
        QCOMPARE(f.ui.TxMediClaim->text(), QStringLiteral("10000.00"));
        QCOMPARE(f.unsavedChanges(), QStringLiteral("the mediclaim of ASHA RAO"));
        TestDb::Exec("INSERT INTO hr0910.hr_it (emp_slno,emp_code,comp_code,emp_it_from,emp_it_to) "
                     "VALUES ('E1','EMP001','C01','2018-04-01','2019-03-31')");
        QTest::mouseClick(f.ui.CmEdit, Qt::LeftButton);
        QCOMPARE(p.lastMessage(), QStringLiteral("Income Tax Details of ASHA RAO Updated.   "));
        QCOMPARE(TestDb::Scalar("select emp_mc from hr_it where emp_slno='E1'").toDouble(), 10000.0);
    }

    // Two workstations save the same employee: the second is asked, with what the first one
    // changed (its mediclaim, and its declarations, where the line without a head is gone),
    // and stores only what its clerk chooses; Enter (and Escape) store nothing.
    void aSecondSaveOfTheEmployeeAsks_data()
    {
        QTest::addColumn<QString>("choice"); // "" presses the default
        QTest::newRow("reload") << "Reload";
        QTest::newRow("overwrite") << "Overwrite";
        QTest::newRow("cancel") << "Cancel";
        QTest::newRow("the default") << "";
    }
    void aSecondSaveOfTheEmployeeAsks()
    {
        QFETCH(QString, choice);
        RecordingPlatform p;
        frmIncomeTax first, second;
        ShowInEditMode(first);
        ShowInEditMode(second);
        const auto type = [](QLineEdit *box, const QString &amount) {
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, amount);
        };
        type(first.ui.TxMediClaim, QStringLiteral("5000"));
        QTest::mouseClick(first.ui.CmEdit, Qt::LeftButton);
        QCOMPARE(p.lastMessage(), QStringLiteral("Income Tax Details of ASHA RAO Updated.   "));

        type(second.ui.TxHLInterest, QStringLiteral("90000"));
        p.clear();
        if (!choice.isEmpty())
            p.choices << choice;
        QTest::mouseClick(second.ui.CmEdit, Qt::LeftButton);
        QCOMPARE(p.questions.size(), 1);
        QVERIFY2(p.questions[0].startsWith(QStringLiteral("Since this screen loaded the entries of ASHA RAO, another "
                                                          "workstation or program has changed:   \n\n"
                                                          "   declarations: now LIC PREMIUM 50000.00, HOUSE RENT PAID "
                                                          "240000.00; loaded LIC PREMIUM 50000.00, HOUSE RENT PAID "
                                                          "240000.00, ITA999999 7000.00\n"
                                                          "   mediclaim: now 5000.00, loaded 30000.00\n\n")),
                 qPrintable(p.questions[0]));
        QCOMPARE(p.choiceButtons[0], QStringList({"&Reload", "&Overwrite", "&Cancel"}));
        const QStringList stored = TestDb::Row("hr_it WHERE emp_slno='E1'", {"emp_hl_int", "emp_mc"});
        if (choice == QLatin1String("Overwrite")) {
            QCOMPARE(p.lastMessage(), QStringLiteral("Income Tax Details of ASHA RAO Updated.   "));
            QCOMPARE(stored, QStringList({"emp_hl_int=90000", "emp_mc=30000"}));
            QCOMPARE(second.ui.CmEdit->text(), QStringLiteral("Edit - F3"));
            return;
        }
        QVERIFY(p.messages.isEmpty());
        QCOMPARE(stored, QStringList({"emp_hl_int=120000", "emp_mc=5000"}));
        QCOMPARE(second.ui.CmEdit->text(), QStringLiteral("Update - F5"));
        if (choice == QLatin1String("Reload")) {
            // What is stored, over a grid of what is stored only.
            QCOMPARE(second.ui.TxMediClaim->text(), QStringLiteral("5000.00"));
            QCOMPARE(second.ui.TxHLInterest->text(), QStringLiteral("120000.00"));
            QCOMPARE(Cell(second, 3, 1), QString());
            QCOMPARE(second.unsavedChanges(), QString());
            // Saved now, it asks nothing.
            type(second.ui.TxHLInterest, QStringLiteral("90000"));
            QTest::mouseClick(second.ui.CmEdit, Qt::LeftButton);
            QCOMPARE(p.questions.size(), 1);
            QCOMPARE(TestDb::Row("hr_it WHERE emp_slno='E1'", {"emp_hl_int", "emp_mc"}),
                     QStringList({"emp_hl_int=90000", "emp_mc=5000"}));
        } else {
            QCOMPARE(second.ui.TxHLInterest->text(), QStringLiteral("90000.00"));
            QCOMPARE(second.unsavedChanges(), QStringLiteral("the housing loan interest of ASHA RAO"));
        }
    }

    // The tax follows every edit of the grid, and agrees with what the same figures give once
    // saved and loaded again.
    void gridEditsRecomputeTheTax_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("hra");
        QTest::addColumn<QString>("tax");
        QTest::newRow("rent amount changed") << "rent 100000"
                                             << "180000.00"
                                             << "1092";
        QTest::newRow("rent line removed") << "remove rent"
                                           << "0.00"
                                           << "50648";
        QTest::newRow("LIC line picked as rent") << "pick rent"
                                                 << "150000.00"
                                                 << "9412";
    }
    void gridEditsRecomputeTheTax()
    {
        QFETCH(QString, edit);
        RecordingPlatform p;
        frmIncomeTax f;
        ShowInEditMode(f);
        QCOMPARE(f.ui.TxNetTax->text(), QStringLiteral("6812"));
        if (edit == QLatin1String("rent 100000")) {
            ClickCell(f, 2, 2);
            TypeAndEnter(f, QStringLiteral("100000"));
        } else if (edit == QLatin1String("remove rent")) {
            ClickCell(f, 2, 1);
            QTest::keyClick(f.ui.TxDedMove, Qt::Key_Delete, Qt::ShiftModifier);
        } else {
            ClickCell(f, 1, 1);
            PickFromList(f.ui.TxDedMove, QStringLiteral("HOUSE RENT"));
            QCOMPARE(Cell(f, 1, 3), QStringLiteral("ITA000005"));
        }
        QTEST(f.ui.TxHRA->text(), "hra");
        QTEST(f.ui.TxNetTax->text(), "tax");

        QTest::mouseClick(f.ui.CmEdit, Qt::LeftButton);
        LoadAsha(f);
        QTEST(f.ui.TxHRA->text(), "hra");
        QTEST(f.ui.TxNetTax->text(), "tax");
    }

    void withoutFinalisationTheUserIsTold()
    {
        TestDb::Exec("DELETE FROM hr_finalize");
        RecordingPlatform p;
        frmIncomeTax f;
        LoadAsha(f);
        QVERIFY(p.lastMessage().contains(QStringLiteral("nothing is projected")));
        QCOMPARE(f.ui.TxProjection->text(), QStringLiteral("0.00"));
        QCOMPARE(f.ui.LbName->text(), QStringLiteral("ASHA RAO"));
    }

    void aDatabaseErrorIsShownAndTheScreenGoesOn()
    {
        RecordingPlatform p;
        frmIncomeTax f;
        PickFromList(f.ui.TxEmpCode, QStringLiteral("ASHA"));
        TestDb::Exec("RENAME TABLE hr0910.hr_it TO hr0910.hr_it_away");
        QTest::keyClick(f.ui.TxEmpCode, Qt::Key_Return);
        TestDb::Exec("RENAME TABLE hr0910.hr_it_away TO hr0910.hr_it");
        QVERIFY(p.lastMessage().startsWith(QStringLiteral("The database reported an error")));
        QVERIFY(p.exits.isEmpty());
        p.clear();
        QTest::keyClick(f.ui.TxEmpCode, Qt::Key_Return);
        QVERIFY(p.messages.isEmpty());
        QCOMPARE(f.ui.TxNetTax->text(), QStringLiteral("6812"));
    }

    // The last statement of the save fails: the declarations stay as stored, the screen keeps
    // what the user entered and stays in edit mode.
    void aFailedSaveLosesNothing()
    {
        RecordingPlatform p;
        frmIncomeTax f;
        ShowInEditMode(f);
        ClickCell(f, 1, 2);
        QCOMPARE(int(f.EditCol), 2);
        f.ui.TxDedMove->selectAll();
        TypeAndEnter(f, QStringLiteral("1"));
        QCOMPARE(Cell(f, 1, 2), QStringLiteral("1.00"));

        TestDb::Exec("RENAME TABLE hr0910.hr_it TO hr0910.hr_it_away");
        QTest::mouseClick(f.ui.CmEdit, Qt::LeftButton);
        TestDb::Exec("RENAME TABLE hr0910.hr_it_away TO hr0910.hr_it");
        QVERIFY(p.lastMessage().startsWith(QStringLiteral("Income Tax Details of ASHA RAO Could Not Be Updated.")));
        QCOMPARE(TestDb::Count("hr_it_trans where emp_slno='E1' and emp_it_from='2018-04-01'"), 3);
        QCOMPARE(TestDb::Scalar("select emp_amount from hr_it_trans where emp_slno='E1' and emp_allowance_slno=1 "
                                "and emp_it_from='2018-04-01'")
                     .toDouble(),
                 50000.0);
        QCOMPARE(f.ui.CmEdit->text(), QStringLiteral("Update - F5"));
        QCOMPARE(Cell(f, 1, 2), QStringLiteral("1.00"));

        QTest::mouseClick(f.ui.CmEdit, Qt::LeftButton);
        QCOMPARE(p.lastMessage(), QStringLiteral("Income Tax Details of ASHA RAO Updated.   "));
        QCOMPARE(TestDb::Count("hr_it_trans where emp_slno='E1' and emp_it_from='2018-04-01'"), 2);
    }

    // Shift+Delete removes the line, leaves 14 lines numbered afresh, and never cuts a filled one.
    void shiftDeleteRemovesAndRenumbers()
    {
        RecordingPlatform p;
        frmIncomeTax f;
        ShowInEditMode(f);
        ClickCell(f, 1, 1);
        QTest::keyClick(f.ui.TxDedMove, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(f.ui.GrDeductions->rowCount(), 14);
        QCOMPARE(Cell(f, 1, 1), QStringLiteral("HOUSE RENT PAID"));
        QCOMPARE(Cell(f, 2, 1), QString());
        for (int line = 1; line <= 14; ++line)
            QCOMPARE(Cell(f, line, 0), QString::number(line));
        QCOMPARE(f.ui.TxDedMove->text(), QStringLiteral("HOUSE RENT PAID"));

        // Enter on an amount past the last line adds a line.
        f.EditRow = 14;
        f.EditCol = 2;
        f.PlaceEditor();
        TypeAndEnter(f, QStringLiteral("5"));
        QCOMPARE(int(f.EditRow), 15);
        QCOMPARE(f.ui.GrDeductions->rowCount(), 15);

        TestDb::Exec("DELETE FROM hr_it_trans");
        for (int i = 1; i <= 25; ++i)
            WorksheetData::AddDeclaration(QStringLiteral("E1"), QStringLiteral("ITA000001"), QString::number(i), i);
        QTest::keyClick(f.ui.TxEmpCode, Qt::Key_Return);
        QCOMPARE(f.ui.GrDeductions->rowCount(), 25);
        ClickCell(f, 1, 1);
        QTest::keyClick(f.ui.TxDedMove, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(f.ui.GrDeductions->rowCount(), 24);
        QCOMPARE(Cell(f, 24, 2), QStringLiteral("25.00"));
        QCOMPARE(Cell(f, 24, 0), QStringLiteral("24"));
    }
};

QTEST_MAIN(tst_frmIncomeTax)
#include "tst_frmincometax.moc"
