// The batch screen: defaults, the employee lookup and its picks, the run on a thread of its own
// with its progress display, no second run inside the first, the summary at the end, and
// errors shown without closing the screen.
#include "CompanyTest.h"
#include "ModalDriver.h"
#include "RecordingPlatform.h"
#include "TestDb.h"
#include "lookup/frmListView.h"
#include "session/Common.h"
#include "session/mdlDalvoni.h"
#include "tax/BatchLock.h"
#include "tax/frmGenerateIncomeTax.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

// Clicks Generate and waits until the run is over.
void Generate(frmGenerateIncomeTax &f)
{
    QSignalSpy ended(&f, &frmGenerateIncomeTax::runEnded);
    f.CmGenerate_Click();
    QVERIFY(ended.wait(60000));
}

} // namespace

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
    void cleanup() { TestDb::Exec("DROP TRIGGER IF EXISTS hr0910.it_reject"); }

    void loadsTheTaxYear()
    {
        mdlDalvoni::TaxYearStart = QDate(2018, 5, 1);
        frmGenerateIncomeTax f;
        QCOMPARE(f.windowTitle(), "Generate Income Tax");
        QCOMPARE(f.ui.DtFrom->date(), QDate(2018, 5, 1));
        QCOMPARE(f.ui.DtTo->date(), QDate(2019, 3, 31));
        QCOMPARE(f.ui.LbPer->text(), "0 %");
        QVERIFY(f.ui.LbSummary->text().isEmpty());
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
        Generate(f);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 1);
        QCOMPARE(TestDb::Count("hr0910.hr_it WHERE emp_slno='2'"), 1);
        // The end is plain to see: the screen's own title, a full bar and what was written.
        QCOMPARE(f.windowTitle(), "Generate Income Tax");
        QCOMPARE(f.ui.LbPer->text(), "100 %");
        QCOMPARE(f.ui.Pbar->value(), f.ui.Pbar->maximum());
        QVERIFY2(f.ui.LbSummary->text().endsWith(": 1 selected, 1 inserted, 0 updated, 0 skipped without gross pay."),
                 qPrintable(f.ui.LbSummary->text()));
        QVERIFY(rec.messages.isEmpty());

        // No pick (the list closed with Escape): everything is emptied and the next run covers all.
        WhenModalShown<frmListView>([](frmListView *d) { QTest::keyClick(d->ui.GrHelp, Qt::Key_Escape); });
        QTest::keyClick(f.ui.TxEmpCode, Qt::Key_F1);
        QVERIFY(f.ui.TxEmpCode->text().isEmpty());
        QVERIFY(f.ui.LbName->text().isEmpty());
        QVERIFY(f.empSlno().isEmpty());
        Generate(f);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 3);
        QVERIFY(f.ui.LbSummary->text().endsWith(": 3 selected, 2 inserted, 1 updated, 0 skipped without gross pay."));
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

    // The run goes on its own thread: the screen answers while it waits for another
    // workstation's run of the company, shows every employee's caption, and allows no second run.
    void runsBesideTheScreenWithItsProgress()
    {
        RecordingPlatform rec;
        DbConnection other(QStringLiteral("other workstation"));
        other.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
        auto held = std::make_unique<BatchLock::Guard>(
            other, BatchLock::Owner{"C01", "2", "clerk", "WS-7", QDate(2018, 4, 1), QDate(2019, 3, 31)}, 0);

        frmGenerateIncomeTax f;
        f.setProgressInterval(0);
        f.show();
        QStringList seen;
        connect(&f, &QWidget::windowTitleChanged,
                [&](const QString &title) { seen << title + "|" + f.ui.LbPer->text(); });
        QSignalSpy ended(&f, &frmGenerateIncomeTax::runEnded);
        f.CmGenerate_Click();
        QVERIFY(f.isRunning());
        QVERIFY(!f.ui.CmGenerate->isEnabled() && !f.ui.CmClose->isEnabled() && f.ui.TxEmpCode->isReadOnly());
        f.CmGenerate_Click(); // a second click inside the run does nothing
        QVERIFY(!f.close());
        // The screen keeps answering while the run waits; then the other run ends.
        QString waiting;
        QTimer::singleShot(300, [&] {
            if (f.isRunning())
                waiting = f.ui.LbSummary->text();
            held.reset();
        });
        QVERIFY(ended.wait(60000));
        QVERIFY2(waiting.startsWith("Waiting up to 5 seconds for another run of this company to finish: clerk on "
                                    "workstation WS-7"),
                 qPrintable(waiting));
        QCOMPARE(ended.size(), 1);
        QCOMPARE(seen, QStringList({" [ 0/3]|33 %", " [ 1/3]|66 %", " [ 2/3]|100 %", "Generate Income Tax|100 %"}));
        QCOMPARE(f.ui.Pbar->value(), 3);
        QCOMPARE(f.ui.Pbar->maximum(), 3);
        QVERIFY(f.ui.CmGenerate->isEnabled() && f.ui.CmClose->isEnabled() && !f.ui.TxEmpCode->isReadOnly());
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 3);
        QVERIFY(rec.messages.isEmpty());
    }

    void emptySelectionShowsNoneOfNone()
    {
        TestDb::Exec("UPDATE hr0910.hr_employee SET emp_flag=1");
        RecordingPlatform rec;
        frmGenerateIncomeTax f;
        Generate(f);
        QCOMPARE(f.ui.LbPer->text(), "0 %");
        QCOMPARE(f.ui.Pbar->value(), 0);
        QVERIFY(f.ui.LbSummary->text().endsWith(": 0 selected, 0 inserted, 0 updated, 0 skipped without gross pay."));
        QVERIFY(rec.messages.isEmpty());
    }

    void failureIsShownAndScreenStaysUsable()
    {
        TestDb::Exec("DELETE FROM hr0910.hr_finalize");
        RecordingPlatform rec;
        frmGenerateIncomeTax f;
        Generate(f);
        QCOMPARE(rec.messages.size(), 1);
        QVERIFY(rec.lastMessage().contains("31/03/2019"));
        QCOMPARE(rec.messages.last().icon, Platform::Icon::Critical);
        QCOMPARE(f.ui.LbSummary->text(), "Stopped before the end: see the message.");
        QVERIFY(rec.exits.isEmpty());
        QVERIFY(f.ui.CmGenerate->isEnabled());

        // A record the server refuses is named, and nothing of the run is kept.
        TestDb::AddFinalize(QDate(2018, 9, 30));
        TestDb::Exec("CREATE TRIGGER hr0910.it_reject BEFORE INSERT ON hr0910.hr_it FOR EACH ROW "
                     "IF NEW.emp_slno='3' THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT='refused'; END IF");
        Generate(f);
        QVERIFY2(rec.lastMessage().contains("employee E003") && rec.lastMessage().contains("No tax record was changed"),
                 qPrintable(rec.lastMessage()));
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 0);

        TestDb::Exec("DROP TRIGGER hr0910.it_reject");
        Generate(f);
        QCOMPARE(TestDb::Count("hr0910.hr_it"), 3);
    }
};

QTEST_MAIN(TestFrmGenerateIncomeTax)
#include "tst_frmgenerateincometax.moc"
