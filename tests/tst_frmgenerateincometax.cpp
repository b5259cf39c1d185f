// The batch screen: defaults, the employee lookup and its picks, the run's progress display,
// no second run inside the first, and errors shown without closing the screen.
#include "CompanyTest.h"
#include "ModalDriver.h"
#include "RecordingPlatform.h"
#include "TestDb.h"
#include "lookup/frmListView.h"
#include "session/Common.h"
#include "session/mdlDalvoni.h"
#include "tax/frmGenerateIncomeTax.h"

#include <QTimer>
#include <QtTest>

class TestFrmGenerateIncomeTax : public CompanyTest
{
    Q_OBJECT

    void addCompanyData() override
    {
        TestDb::AddFinalize(QDate(2018, 9, 30));
        TestDb::AddPaidEmployee("1", "001", "ANIL");
        TestDb::AddPaidEmployee("2", "002", "D'SOUZA");
        TestDb::AddPaidEmployee("3", "003", "KIRAN");
    }

private slots:
    void loadsTheTaxYear()
    {
        mdlDalvoni::TaxYearStart = QDate(2018, 5, 1);
        frmGenerateIncomeTax f;
        QCOMPARE(f.windowTitle(), "Generate Income Tax");
        QCOMPARE(f.ui.DtFrom->date(), QDate(2018, 5, 1));
        QCOMPARE(f.ui.DtTo->date(), QDate(2019, 3, 31));
        QCOMPARE(f.ui.LbPer->text(), "0 %");
    }

    void pickOneEmployeeThenRunForHimOnly()
    {
        RecordingPlatform rec;
        frmGenerateIncomeTax f;
        f.show();
        f.ui.TxEmpCode->setText("d'sou");
        QString offered;
        WhenModalShown<frmListView>([&](frmListView *d) {
            offered = d->grid().cell(1, 2);
            QTest::keyClick(d->ui.TxtSearch, Qt::Key_Return);
        });
        QTest::keyClick(f.ui.TxEmpCode, Qt::Key_F1);
        QCOMPARE(offered, "D'SOUZA");
        QCOMPARE(f.ui.TxEmpCode->text(), "E002");
        QCOMPARE(f.ui.LbName->text(), "D'SOUZA");
        QCOMPARE(f.empSlno(), "2");
        QCOMPARE(f.empCompany(), "ZENITH TEXTILES LTD");
        QVERIFY(mdlDalvoni::ListPick1.isEmpty());
        // Typing without F1 keeps the pick.
        QTest::keyClicks(f.ui.TxEmpCode, "x");
        QTest::mouseClick(f.ui.CmGenerate, Qt::LeftButton);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 1);
        QCOMPARE(TestDb::Count("hr0910.hr_it WHERE emp_slno='2'"), 1);
        QCOMPARE(f.windowTitle(), " [ 0/1]");
        QVERIFY(rec.messages.isEmpty());

        // No pick (the list closed with Escape): everything is emptied and the next run covers all.
        WhenModalShown<frmListView>([](frmListView *d) { QTest::keyClick(d->ui.GrHelp, Qt::Key_Escape); });
        QTest::keyClick(f.ui.TxEmpCode, Qt::Key_F1);
        QVERIFY(f.ui.TxEmpCode->text().isEmpty());
        QVERIFY(f.ui.LbName->text().isEmpty());
        QVERIFY(f.empSlno().isEmpty());
        QTest::mouseClick(f.ui.CmGenerate, Qt::LeftButton);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 3);
    }

    void lookupTextGoesInAsTyped()
    {
        // Percent signs and backslashes are searched for literally, never as patterns.
        RecordingPlatform rec;
        frmGenerateIncomeTax f;
        f.ui.TxEmpCode->setText("%");
        bool shown = false;
        WhenModalShown<frmListView>(
            [&](frmListView *d) {
                shown = true;
                d->reject();
            },
            500);
        QTest::keyClick(f.ui.TxEmpCode, Qt::Key_F1);
        QTest::qWait(600);
        QVERIFY(!shown);
        f.ui.TxEmpCode->setText("\\'");
        QTest::keyClick(f.ui.TxEmpCode, Qt::Key_F1);
        QTest::qWait(600);
        QVERIFY(!shown);
        QVERIFY(rec.messages.isEmpty());
    }

    void progressAndNoSecondRun()
    {
        RecordingPlatform rec;
        frmGenerateIncomeTax f;
        f.show();
        QStringList seen;
        bool buttonsOff = true;
        int ticks = 0;
        QTimer t;
        t.setInterval(0);
        connect(&t, &QTimer::timeout, [&] {
            if (!f.isRunning())
                return;
            ++ticks;
            buttonsOff = buttonsOff && !f.ui.CmGenerate->isEnabled() && !f.ui.CmClose->isEnabled();
            seen << f.windowTitle() + "|" + f.ui.LbPer->text();
            f.CmGenerate_Click(); // a second click inside the run does nothing
            QVERIFY(!f.close());
        });
        t.start();
        f.CmGenerate_Click();
        t.stop();
        QVERIFY(ticks > 0);
        QVERIFY(buttonsOff);
        QVERIFY(seen.contains(" [ 0/3]|33 %"));
        QVERIFY(seen.contains(" [ 1/3]|66 %"));
        QCOMPARE(f.windowTitle(), " [ 2/3]");
        QCOMPARE(f.ui.LbPer->text(), "100 %");
        QCOMPARE(f.ui.Pbar->value(), 3);
        QCOMPARE(f.ui.Pbar->maximum(), 3);
        QVERIFY(f.ui.CmGenerate->isEnabled());
        QVERIFY(f.ui.CmClose->isEnabled());
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 3);
        QVERIFY(rec.messages.isEmpty());
    }

    void emptySelectionShowsNoneOfNone()
    {
        TestDb::Exec("UPDATE hr0910.hr_employee SET emp_flag=1");
        RecordingPlatform rec;
        frmGenerateIncomeTax f;
        f.CmGenerate_Click();
        QCOMPARE(f.windowTitle(), " [ 0/0]");
        QCOMPARE(f.ui.LbPer->text(), "0 %");
        QCOMPARE(f.ui.Pbar->value(), 0);
        QVERIFY(rec.messages.isEmpty());
    }

    void failureIsShownAndScreenStaysUsable()
    {
        TestDb::Exec("DELETE FROM hr0910.hr_finalize");
        RecordingPlatform rec;
        frmGenerateIncomeTax f;
        f.CmGenerate_Click();
        QCOMPARE(rec.messages.size(), 1);
        QVERIFY(rec.lastMessage().contains("31/03/2019"));
        QCOMPARE(rec.messages.last().icon, Platform::Icon::Critical);
        QVERIFY(rec.exits.isEmpty());
        QVERIFY(f.ui.CmGenerate->isEnabled());
        TestDb::AddFinalize(QDate(2018, 9, 30));
        f.CmGenerate_Click();
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 3);
    }
};

QTEST_MAIN(TestFrmGenerateIncomeTax)
#include "tst_frmgenerateincometax.moc"
