// The head master: new heads with their running code, changes to existing heads, the
// permission rule, the form keys, and saves that fail leaving nothing half-stored.
#include "CompanyTest.h"
#include "RecordingPlatform.h"
#include "Screens.h"
#include "TestDb.h"
#include "config/AllowanceHeads.h"
#include "config/frmOtherAllowance.h"
#include "session/mdlDalvoni.h"

#include <QtTest>

using namespace mdlDalvoni;

namespace {

QString ItCode()
{
    return TestDb::Scalar(QStringLiteral("SELECT no_value FROM numbersetup WHERE no_id='IT_CODE'")).toString();
}

QVariant Head(const QString &code, const QString &column)
{
    return TestDb::Scalar(QStringLiteral("SELECT %1 FROM hr_it_allowance WHERE allowance_code='%2'").arg(column, code));
}

// Presses a key where the focus is, as the user would.
void Press(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

// New, a typed name, Save: the way a user adds a head.
void AddHead(frmOtherAllowance &f, const QString &name)
{
    Press(Qt::Key_F2);
    QTRY_VERIFY(f.ui.TxName->hasFocus());
    QTest::keyClicks(f.ui.TxName, name);
    Press(Qt::Key_F5);
}

int RowOfCode(const frmOtherAllowance &f, const QString &code)
{
    for (int r = 2; r <= f.listRows(); ++r)
        if (f.listCell(r, 2) == code)
            return r;
    return -1;
}

void ClickRow(frmOtherAllowance &f, int row)
{
    QTableView *g = f.ui.FbAllowance;
    const QRect rect = g->visualRect(g->model()->index(row - 1, 0));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class tst_AllowanceHeads : public CompanyTest
{
    Q_OBJECT

private slots:
    void loadListsEveryHeadUnderItsHeadingsInViewMode()
    {
        RecordingPlatform p;
        TestDb::Exec("INSERT INTO hr_it_allowance (allowance_code,allowance_name,allowance_ded_per,"
                     "allowance_ded_amount,allowance_flag,unit_code,comp_code) "
                     "VALUES ('ITA000003','OTHER COMPANY HEAD',12.5,1000,'0','PUN','C02')");
        frmOtherAllowance f;
        QCOMPARE(f.listCell(1, 1), QStringLiteral("Allowance"));
        QCOMPARE(f.listCell(1, 5), QStringLiteral("Ded Amt"));
        QCOMPARE(f.listCell(2, 2), QStringLiteral("ITA000001"));
        QCOMPARE(f.listCell(3, 1), QStringLiteral("OTHER COMPANY HEAD"));
        QCOMPARE(f.listCell(3, 3), QStringLiteral("Addition"));
        QCOMPARE(f.listCell(3, 4), QStringLiteral("12.5"));
        QCOMPARE(f.listCell(4, 3), QStringLiteral("Deduction"));
        QVERIFY(f.ui.FbAllowance->isColumnHidden(1));
        QCOMPARE(f.ui.FbAllowance->columnWidth(0), 600);
        const Sheet &sheet = f.ui.FbAllowance->sheet();
        const CellFormat heading = sheet.format(1, 4);
        QVERIFY(heading.font.bold && heading.borders && heading.filled);
        QCOMPARE(heading.fill, RgbColour(192, 192, 192));
        QCOMPARE(heading.font.family, QStringLiteral("Segoe UI"));
        const CellFormat amount = sheet.format(4, 5);
        QCOMPARE(amount.font.family, QStringLiteral("Arial"));
        QVERIFY(!amount.font.bold && !amount.filled);
        QCOMPARE(amount.hAlign, HAlign::Right);
        QCOMPARE(amount.vAlign, VAlign::Centre);
        QCOMPARE(sheet.format(4, 1).hAlign, HAlign::General);
        QVERIFY(!f.editing());
        QCOMPARE(f.ui.CmNew->text(), QStringLiteral("New - F2"));
        QVERIFY(!f.ui.TxName->isEnabled() && !f.ui.CmCancel->isEnabled() && f.ui.CmClose->isEnabled());
        QVERIFY(p.messages.isEmpty());
    }

    void newHeadStoresTrimmedUpperCaseNameAndMovesTheRunningCode()
    {
        RecordingPlatform p;
        frmOtherAllowance f;
        QVERIFY(ShowActive(f));
        Press(Qt::Key_F2);
        QCOMPARE(f.ui.TxCode->text(), QStringLiteral("ITA000006"));
        QCOMPARE(f.ui.TxDedPer->text(), QStringLiteral("0.00"));
        QCOMPARE(f.ui.CmNew->text(), QStringLiteral("Save - F5"));
        QVERIFY(!f.ui.FbAllowance->isEnabled() && !f.ui.CmClose->isEnabled());
        QTRY_VERIFY(f.ui.TxName->hasFocus());
        QTest::keyClicks(f.ui.TxName, QStringLiteral("  life insurance  "));
        f.ui.TxDedPer->clear();
        QTest::keyClick(f.ui.TxName, Qt::Key_Return);
        QTRY_VERIFY(f.ui.TxDedPer->hasFocus());
        QTest::keyClick(f.ui.TxDedPer, Qt::Key_Return);
        QTRY_VERIFY(f.ui.TxDedAmt->hasFocus());
        QTest::keyClicks(f.ui.TxDedAmt, QStringLiteral("1500a.5"));
        QCOMPARE(f.ui.TxDedAmt->text(), QStringLiteral("1500.50"));
        f.ui.OptSub->setChecked(true);
        Press(Qt::Key_F5);

        QVERIFY2(p.messages.isEmpty(), qPrintable(p.lastMessage()));
        QVERIFY(!f.editing());
        QCOMPARE(Head("ITA000006", "allowance_name").toString(), QStringLiteral("LIFE INSURANCE"));
        QCOMPARE(Head("ITA000006", "allowance_ded_per").toDouble(), 0.0);
        QCOMPARE(Head("ITA000006", "allowance_ded_amount").toDouble(), 1500.5);
        QCOMPARE(Head("ITA000006", "allowance_flag").toString(), QStringLiteral("1"));
        QCOMPARE(Head("ITA000006", "unit_code").toString(), QStringLiteral("HO"));
        QCOMPARE(Head("ITA000006", "comp_code").toString(), QStringLiteral("C01"));
        QCOMPARE(Head("ITA000006", "created_by").toInt(), 1);
        QCOMPARE(Head("ITA000006", "created_date").toDate(), QDate::currentDate());
        QCOMPARE(ItCode(), QStringLiteral("ITA000007"));
        const int row = RowOfCode(f, QStringLiteral("ITA000006"));
        QVERIFY(row > 0);
        QCOMPARE(f.listCell(row, 1), QStringLiteral("LIFE INSURANCE"));
        QCOMPARE(f.listCell(row, 3), QStringLiteral("Deduction"));
    }

    void quotesAndBackslashesAreStoredAsTypedAndDuplicatesRefused()
    {
        RecordingPlatform p;
        frmOtherAllowance f;
        QVERIFY(ShowActive(f));
        const QString typed = QStringLiteral("o'neil \\ fund\\'s");
        AddHead(f, typed);
        QVERIFY2(p.messages.isEmpty(), qPrintable(p.lastMessage()));
        QCOMPARE(Head("ITA000006", "allowance_name").toString(), QStringLiteral("O'NEIL \\ FUND\\'S"));

        // The same name typed the same way again is refused; nothing moves.
        AddHead(f, typed.toUpper());
        QCOMPARE(p.lastMessage(), QStringLiteral("The Same Allowance Already Exists.   "));
        QCOMPARE(p.messages.last().icon, Platform::Icon::Information);
        QVERIFY(f.editing());
        QCOMPARE(f.ui.TxName->text(), typed.toUpper());
        QCOMPARE(ItCode(), QStringLiteral("ITA000007"));
        QCOMPARE(TestDb::Count(QStringLiteral("hr_it_allowance")), 3);

        // The change of such a head escapes the name as the insert does.
        Press(Qt::Key_F8);
        f.ui.TxCode->setText(QStringLiteral("ITA000006"));
        Press(Qt::Key_F3);
        f.ui.TxName->setText(QStringLiteral(" it's \\n not a newline "));
        Press(Qt::Key_F2);
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(Head("ITA000006", "allowance_name").toString(), QStringLiteral("IT'S \\N NOT A NEWLINE"));
    }

    void newCancelNewOffersTheSameCode()
    {
        RecordingPlatform p;
        frmOtherAllowance f;
        QVERIFY(ShowActive(f));
        Press(Qt::Key_F2);
        QCOMPARE(f.ui.TxCode->text(), QStringLiteral("ITA000006"));
        Press(Qt::Key_F8);
        QVERIFY(!f.editing());
        QVERIFY(f.ui.FbAllowance->isEnabled());
        Press(Qt::Key_F2);
        QCOMPARE(f.ui.TxCode->text(), QStringLiteral("ITA000006"));
        QCOMPARE(ItCode(), QStringLiteral("ITA000006"));
        QCOMPARE(TestDb::Count(QStringLiteral("hr_it_allowance")), 2);
    }

    void pickedHeadIsChangedButNotItsFlag()
    {
        RecordingPlatform p;
        frmOtherAllowance f;
        QVERIFY(ShowActive(f));
        const int row = RowOfCode(f, QStringLiteral("ITA000001"));
        ClickRow(f, row);
        QCOMPARE(f.ui.TxCode->text(), QStringLiteral("ITA000001"));
        QCOMPARE(f.ui.TxName->text(), QStringLiteral("LIC PREMIUM"));
        QCOMPARE(f.ui.TxDedAmt->text(), QStringLiteral("0.00"));
        QVERIFY(f.ui.OptSub->isChecked());

        Press(Qt::Key_F3);
        QVERIFY(f.editingExisting());
        f.ui.TxName->setText(QStringLiteral(" lic premium paid"));
        f.ui.TxDedPer->setText(QStringLiteral("10.00"));
        f.ui.OptAdd->setChecked(true);
        Press(Qt::Key_F2);
        QVERIFY(p.messages.isEmpty());
        QVERIFY(!f.editing() && !f.editingExisting());
        QCOMPARE(Head("ITA000001", "allowance_name").toString(), QStringLiteral("LIC PREMIUM PAID"));
        QCOMPARE(Head("ITA000001", "allowance_ded_per").toDouble(), 10.0);
        QCOMPARE(Head("ITA000001", "allowance_flag").toString(), QStringLiteral("1"));
        QCOMPARE(Head("ITA000001", "modified_by").toInt(), 1);
        QCOMPARE(f.listCell(row, 1), QStringLiteral("LIC PREMIUM PAID"));
        QCOMPARE(ItCode(), QStringLiteral("ITA000006"));
    }

    // Two workstations change the same head: the second is asked, with what the first stored,
    // and stores only what its clerk chooses.
    void aSecondChangeOfTheHeadAsks_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::newRow("reload") << "Reload";
        QTest::newRow("overwrite") << "Overwrite";
        QTest::newRow("cancel") << "Cancel";
    }
    void aSecondChangeOfTheHeadAsks()
    {
        QFETCH(QString, choice);
        RecordingPlatform p;
        frmOtherAllowance first, second;
        for (frmOtherAllowance *f : {&first, &second}) {
            QVERIFY(ShowActive(*f));
            ClickRow(*f, RowOfCode(*f, QStringLiteral("ITA000001")));
            f->CmEdit_Click();
        }
        first.ui.TxDedAmt->setText(QStringLiteral("500.00"));
        first.CmNew_Click();
        QVERIFY(!first.editing());
        second.ui.TxDedPer->setText(QStringLiteral("10.00"));
        p.choices << choice;
        second.CmNew_Click();
        QCOMPARE(p.questions.size(), 1);
        QVERIFY2(p.questions[0].startsWith(QStringLiteral("Since this screen loaded the head LIC PREMIUM, another "
                                                          "workstation or program has changed:   \n\n"
                                                          "   Ded Amt: now 500.00, loaded 0.00\n\n")),
                 qPrintable(p.questions[0]));
        QVERIFY(p.messages.isEmpty());
        const double amount = Head("ITA000001", "allowance_ded_amount").toDouble();
        const double percent = Head("ITA000001", "allowance_ded_per").toDouble();
        if (choice == QLatin1String("Overwrite")) {
            QVERIFY(!second.editing());
            QCOMPARE(amount, 0.0);
            QCOMPARE(percent, 10.0);
            return;
        }
        QCOMPARE(amount, 500.0);
        QCOMPARE(percent, 0.0);
        QVERIFY(second.editing() && second.editingExisting());
        if (choice == QLatin1String("Reload")) {
            // The stored head to change again: saved now, it asks nothing.
            QCOMPARE(second.ui.TxDedAmt->text(), QStringLiteral("500.00"));
            QCOMPARE(second.listCell(RowOfCode(second, QStringLiteral("ITA000001")), 5), QStringLiteral("500"));
            QCOMPARE(second.unsavedChanges(), QString());
            second.ui.TxDedPer->setText(QStringLiteral("10.00"));
            second.CmNew_Click();
            QCOMPARE(p.questions.size(), 1);
            QCOMPARE(Head("ITA000001", "allowance_ded_per").toDouble(), 10.0);
            QCOMPARE(Head("ITA000001", "allowance_ded_amount").toDouble(), 500.0);
        } else {
            QCOMPARE(second.ui.TxDedPer->text(), QStringLiteral("10.00"));
        }
    }

    void updateOfACodeNoRowHasChangesNothingAndReportsNothing()
    {
        RecordingPlatform p;
        TestDb::Exec("UPDATE hr_it_allowance SET unit_code='MUM' WHERE allowance_code='ITA000001'");
        frmOtherAllowance f;
        QVERIFY(ShowActive(f));
        // A head of another unit, and a code no head has.
        for (const QString &code : {QStringLiteral("ITA000001"), QStringLiteral("ITA999999")}) {
            f.ui.TxCode->setText(code);
            Press(Qt::Key_F3);
            f.ui.TxName->setText(QStringLiteral("CHANGED"));
            Press(Qt::Key_F2);
            QVERIFY(!f.editing());
        }
        QVERIFY(p.messages.isEmpty());
        QCOMPARE(TestDb::Count(QStringLiteral("hr_it_allowance WHERE allowance_name='CHANGED'")), 0);
        QCOMPARE(TestDb::Count(QStringLiteral("hr_it_allowance")), 2);
    }

    void onlyUserOneMayCreateOrChangeHeads()
    {
        RecordingPlatform p;
        UserId = QStringLiteral("2");
        frmOtherAllowance f;
        QVERIFY(ShowActive(f));
        Press(Qt::Key_F2);
        QCOMPARE(p.lastMessage(), QStringLiteral("You are Not Allowed to do this task.   "));
        QCOMPARE(p.messages.last().icon, Platform::Icon::Critical);
        QVERIFY(!f.editing());

        // Edit is open to anyone; the save is not.
        ClickRow(f, RowOfCode(f, QStringLiteral("ITA000005")));
        Press(Qt::Key_F3);
        f.ui.TxName->setText(QStringLiteral("RENT"));
        Press(Qt::Key_F2);
        QCOMPARE(p.messages.size(), 2);
        QCOMPARE(p.lastMessage(), QStringLiteral("You are Not Allowed to do this task.   "));
        QVERIFY(f.editing());
        QCOMPARE(Head("ITA000005", "allowance_name").toString(), QStringLiteral("HOUSE RENT PAID"));
    }

    void formKeysActOnlyWhileTheirButtonIsEnabled()
    {
        RecordingPlatform p;
        frmOtherAllowance f;
        QVERIFY(ShowActive(f));
        // View mode: Save and Cancel are not available.
        Press(Qt::Key_F5);
        Press(Qt::Key_F8);
        QVERIFY(!f.editing());
        QVERIFY(p.messages.isEmpty());

        // Edit mode: Close and Edit are not available, so F3 cannot turn the new head into
        // an update and F9 cannot drop it.
        Press(Qt::Key_F2);
        QVERIFY(f.editing());
        Press(Qt::Key_F9);
        Press(Qt::Key_F3);
        QVERIFY(f.isVisible());
        QVERIFY(!f.editingExisting());
        QTest::keyClicks(f.ui.TxName, QStringLiteral("tuition fees"));
        Press(Qt::Key_F2);
        QVERIFY(p.messages.isEmpty());
        QCOMPARE(Head("ITA000006", "allowance_name").toString(), QStringLiteral("TUITION FEES"));

        Press(Qt::Key_F9);
        QVERIFY(!f.isVisible());
    }

    void emptyNamesAreAskedFor()
    {
        RecordingPlatform p;
        frmOtherAllowance f;
        QVERIFY(ShowActive(f));
        Press(Qt::Key_F2);
        QTRY_VERIFY(f.ui.TxName->hasFocus());
        QTest::keyClicks(f.ui.TxName, QStringLiteral("   "));
        QTest::keyClick(f.ui.TxName, Qt::Key_Return);
        QCOMPARE(p.lastMessage(), QStringLiteral("Please Enter the Allowance Type.   "));
        QVERIFY(f.ui.TxName->hasFocus());
        Press(Qt::Key_F5);
        QCOMPARE(p.lastMessage(), QStringLiteral("Please Enter the Allowance.  "));
        QVERIFY(f.editing());
        QCOMPARE(TestDb::Count(QStringLiteral("hr_it_allowance")), 2);

        QTest::keyClicks(f.ui.TxName, QStringLiteral("nsc"));
        QTest::keyClick(f.ui.TxName, Qt::Key_Return);
        QTRY_VERIFY(f.ui.TxDedPer->hasFocus());
        QTest::keyClick(f.ui.TxDedPer, Qt::Key_Return);
        QTRY_VERIFY(f.ui.TxDedAmt->hasFocus());
        QTest::keyClick(f.ui.TxDedAmt, Qt::Key_Return);
        QTRY_VERIFY(f.ui.OptAdd->hasFocus());
    }

    void pickingTheHeadingRowKeepsTheFlagAndAmountsWellFormed()
    {
        RecordingPlatform p;
        frmOtherAllowance f;
        QVERIFY(ShowActive(f));
        f.ui.OptSub->setChecked(true);
        ClickRow(f, 1);
        QCOMPARE(f.ui.TxName->text(), QStringLiteral("Allowance"));
        QCOMPARE(f.ui.TxCode->text(), QStringLiteral("Allowance Code"));
        QCOMPARE(f.ui.TxDedPer->text(), QStringLiteral("0.00"));
        QVERIFY(f.ui.OptSub->isChecked());

        // Enter on the list picks the active row as a click does.
        f.ui.FbAllowance->setFocus();
        f.ui.FbAllowance->setActiveCell(RowOfCode(f, QStringLiteral("ITA000005")), 3);
        QTest::keyClick(f.ui.FbAllowance, Qt::Key_Return);
        QCOMPARE(f.ui.TxName->text(), QStringLiteral("HOUSE RENT PAID"));
        QCOMPARE(f.ui.TxCode->text(), QStringLiteral("ITA000005"));
    }

    void failedSaveKeepsEditModeAndStoresNothing_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("the insert fails") << "CREATE TRIGGER tst_fail BEFORE INSERT ON hr_it_allowance FOR EACH ROW "
                                             "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT='heads are locked'";
        QTest::newRow("the running number fails")
            << "CREATE TRIGGER tst_fail BEFORE UPDATE ON numbersetup FOR EACH ROW "
               "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT='heads are locked'";
    }
    void failedSaveKeepsEditModeAndStoresNothing()
    {
        QFETCH(QString, trigger);
        RecordingPlatform p;
        frmOtherAllowance f;
        QVERIFY(ShowActive(f));
        TestDb::Exec(trigger);
        AddHead(f, QStringLiteral("pension fund"));
        TestDb::Exec("DROP TRIGGER tst_fail");

        QCOMPARE(p.messages.size(), 1);
        QVERIFY2(p.lastMessage().contains(QStringLiteral("heads are locked")), qPrintable(p.lastMessage()));
        QCOMPARE(p.messages.last().icon, Platform::Icon::Information);
        QVERIFY(f.editing());
        QCOMPARE(f.ui.CmNew->text(), QStringLiteral("Save - F5"));
        QCOMPARE(f.ui.TxName->text(), QStringLiteral("pension fund"));
        QCOMPARE(f.ui.TxCode->text(), QStringLiteral("ITA000006"));
        QVERIFY(!Db().inTransaction());
        QCOMPARE(ItCode(), QStringLiteral("ITA000006"));
        QCOMPARE(TestDb::Count(QStringLiteral("hr_it_allowance")), 2);

        // The next try stores the head and moves the code.
        Press(Qt::Key_F5);
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(Head("ITA000006", "allowance_name").toString(), QStringLiteral("PENSION FUND"));
        QCOMPARE(ItCode(), QStringLiteral("ITA000007"));
    }

    void statementsKeepTheirExactTexts()
    {
        AllowanceHeads::Entry e{QStringLiteral(" ITA000009 "), QStringLiteral(" a'b "), QStringLiteral("12abc"),
                                QString(), false};
        const AllowanceHeads::Stamp s{QStringLiteral("HO"), QStringLiteral("C01"), QStringLiteral("1"),
                                      QDateTime(QDate(2018, 5, 6), QTime(7, 8, 9))};
        QCOMPARE(AllowanceHeads::InsertStatement(e, s),
                 QStringLiteral("Insert into hr0910.hr_it_allowance(unit_code, comp_code,allowance_code,"
                                "allowance_name,allowance_ded_per,allowance_ded_amount,allowance_flag,created_by,"
                                "created_date,created_time) Values('HO','C01','ITA000009','A''B',12,0,'1',1,"
                                "'2018/05/06','07:08:09')"));
        QCOMPARE(AllowanceHeads::RunningNumberUpdate(e),
                 QStringLiteral("Update hr0910.numbersetup set no_value='ITA000010' Where no_id='IT_CODE'"));
        QCOMPARE(AllowanceHeads::UpdateStatement(e, s),
                 QStringLiteral("Update hr0910.hr_it_allowance Set allowance_name='A''B',allowance_ded_per=12,"
                                "allowance_ded_amount=0, modified_by=1,modified_date='2018/05/06',"
                                "modified_time='07:08:09' Where  allowance_code='ITA000009' and unit_code='HO' "
                                "and comp_code='C01'"));
    }
};

QTEST_MAIN(tst_AllowanceHeads)
#include "tst_allowanceheads.moc"
