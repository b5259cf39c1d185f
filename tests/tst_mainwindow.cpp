// The main window and the two lists: the load's year and status line, the company choice
// and its captions, the financial-year switch, Escape and Close, the main-window-alone guard,
// one window per screen, and the question before unsaved work is lost.
#include "ModalDriver.h"
#include "RecordingPlatform.h"
#include "Screens.h"
#include "TestDb.h"
#include "WorksheetData.h"
#include "config/frmITSettings.h"
#include "config/frmNewRegime.h"
#include "config/frmOtherAllowance.h"
#include "lookup/frmListView.h"
#include "session/Common.h"
#include "session/frmChangeCompany.h"
#include "session/frmFinancialYear.h"
#include "session/frmMain.h"
#include "session/mdlDalvoni.h"
#include "tax/frmIncomeTax.h"
#include "ui/GridUtil.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QtTest>

using namespace mdlDalvoni;

namespace {

template <typename T> int Screens(frmMain *main)
{
    int n = 0;
    for (QMdiSubWindow *sub : main->ui.mdiArea->subWindowList())
        if (qobject_cast<T *>(sub->widget()))
            ++n;
    return n;
}

// The session as right after login of the clerk at head office.
void LoggedIn(bool userType = false, const QString &server = QStringLiteral("127.0.0.1"))
{
    ServerAddress = server;
    UnitCode = QStringLiteral("HO");
    UnitName = QStringLiteral("HEAD OFFICE");
    UserId = QStringLiteral("2");
    UserName = QStringLiteral("clerk");
    UserType = userType;
}

QString YearsText(const QDate &from, const QDate &to)
{
    return QStringLiteral("     [Financial Year ") + ShortDate(from) + QStringLiteral(" - ") + ShortDate(to) +
           QStringLiteral("]");
}

void PressEnter(QTableWidget *grid, int row)
{
    grid->setCurrentCell(row, 1);
    QTest::keyClick(grid, Qt::Key_Return);
}

// The main window shown with company C01, as after the first company choice.
frmMain *ShownMain()
{
    frmMain *main = frmMain::instance();
    CompanyCode = QStringLiteral("C01");
    CompanyName = QStringLiteral("ZENITH TEXTILES LTD");
    main->show();
    return main;
}

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        frmMain::registerMainArea();
        // Closing the main window in a test is not the end of the test run.
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void init()
    {
        TestDb::Reset();
        TestDb::LoadStandardMasters();
        LoggedIn();
    }

    void cleanup()
    {
        qDeleteAll(TopLevelWindows<frmChangeCompany>());
        qDeleteAll(TopLevelWindows<frmFinancialYear>());
        delete frmMain::existing();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void companyListAfterLoginLoadsTheMainWindowHidden()
    {
        RecordingPlatform rec;
        TestDb::Exec(QStringLiteral("INSERT INTO dalvoni.acc_companymaster VALUES ('C00','FIRST BY PRIORITY',0,0),"
                                    "('C09','DISABLED',1,0)"));
        auto *list = new frmChangeCompany;
        QCOMPARE(list->windowTitle(), QStringLiteral("Change Company"));
        QCOMPARE(list->ui.CmSwitch->text(), QStringLiteral("Login"));
        QTableWidget *grid = list->ui.GrCompany;
        QCOMPARE(grid->rowCount(), 7);
        QCOMPARE(grid->columnCount(), 3);
        QVERIFY(grid->isColumnHidden(0) && grid->isColumnHidden(2) && !grid->isColumnHidden(1));
        QCOMPARE(CellText(grid, 0, 0), QStringLiteral("C00"));
        QCOMPARE(CellText(grid, 1, 1), QStringLiteral("ZENITH TEXTILES LTD"));
        QCOMPARE(CellText(grid, 2, 0), QStringLiteral("C02"));
        QCOMPARE(CellText(grid, 3, 0), QString());

        // Centring the list created the main window and ran its load, before any company.
        frmMain *main = frmMain::existing();
        QVERIFY(main);
        QVERIFY(!main->isVisible());
        QCOMPARE(FinYearFrom, QDate(2018, 4, 1));
        QCOMPARE(TaxYearEnd, QDate(2019, 3, 31));
        QCOMPARE(main->statusText(), QStringLiteral("Corvantis Accounts +      HEAD OFFICE  [User : clerk ]") +
                                         YearsText(QDate(2018, 4, 1), QDate(2019, 3, 31)));
        QCOMPARE(main->ui.LbFinYear->text(), QStringLiteral("Financial Year ") + ShortDate(QDate(2018, 4, 1)) +
                                                 QStringLiteral(" - ") + ShortDate(QDate(2019, 3, 31)));
        QCOMPARE(main->windowTitle(), QStringLiteral("Income Tax Calculator"));
        QVERIFY(rec.messages.isEmpty());
    }

    void manyCompaniesGrowTheGrid()
    {
        RecordingPlatform rec;
        for (int i = 3; i <= 12; ++i)
            TestDb::Exec(QStringLiteral("INSERT INTO dalvoni.acc_companymaster VALUES ('C%1','CO %1',0,%1)")
                             .arg(i, 2, 10, QLatin1Char('0')));
        frmChangeCompany list;
        QCOMPARE(list.ui.GrCompany->rowCount(), 12);
        QCOMPARE(CellText(list.ui.GrCompany, 11, 0), QStringLiteral("C12"));
    }

    void companyChoiceCaptions_data()
    {
        QTest::addColumn<bool>("userType");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("caption");
        const QString place = QStringLiteral("ZENITH EXPORTS  HEAD OFFICE") + QString(47, QLatin1Char(' '));
        QTest::newRow("human resource, even local")
            << true << "127.0.0.1"
            << QStringLiteral("Human Resource     ") + place + QStringLiteral("*[Current User : clerk ]*");
        QTest::newRow("network") << false << "10.0.0.5"
                                 << QStringLiteral("Income Tax Calculator  ") + place +
                                        QStringLiteral("[Current User : clerk ]");
        QTest::newRow("local") << false << "127.0.0.1"
                               << QStringLiteral("Income Tax Calculator   [Local]  ") + place +
                                      QStringLiteral("[Current User : clerk ]");
    }

    void companyChoiceCaptions()
    {
        QFETCH(bool, userType);
        QFETCH(QString, server);
        QFETCH(QString, caption);
        LoggedIn(userType, server);
        RecordingPlatform rec;
        QPointer<frmChangeCompany> list = new frmChangeCompany;
        list->show();
        PressEnter(list->ui.GrCompany, 1);
        QCOMPARE(rec.questions, QStringList{QStringLiteral("Do you want to Change the Company... ")});
        QCOMPARE(CompanyCode, QStringLiteral("C02"));
        QCOMPARE(CompanyName, QStringLiteral("ZENITH EXPORTS"));
        frmMain *main = frmMain::existing();
        QCOMPARE(main->windowTitle(), caption);
        QVERIFY(main->isVisible());
        QTRY_VERIFY(list.isNull());
        QVERIFY(rec.exits.isEmpty());
        // The status line keeps what the load wrote (no company then).
        QVERIFY(main->statusText().startsWith(QStringLiteral("Corvantis Accounts +      HEAD OFFICE")));
    }

    void emptyRowAsksNothing()
    {
        RecordingPlatform rec;
        frmChangeCompany list;
        list.show();
        PressEnter(list.ui.GrCompany, 4);
        QTest::mouseClick(list.ui.CmSwitch, Qt::LeftButton);
        TestDb::Exec(QStringLiteral("DELETE FROM dalvoni.acc_companymaster"));
        frmChangeCompany empty;
        QTest::mouseClick(empty.ui.CmSwitch, Qt::LeftButton);
        QVERIFY(rec.questions.isEmpty());
        QVERIFY(CompanyCode.isEmpty());
        QVERIFY(rec.exits.isEmpty());
    }

    void cancelEndsTheProgram_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("after login") << false;
        QTest::newRow("from the menu") << true;
    }

    void cancelEndsTheProgram()
    {
        QFETCH(bool, fromMenu);
        RecordingPlatform rec;
        if (fromMenu)
            ShownMain();
        frmChangeCompany list;
        list.show();
        rec.answers = {false};
        PressEnter(list.ui.GrCompany, 1);
        QCOMPARE(rec.exits, QList<int>{0});
        QCOMPARE(CompanyCode, fromMenu ? QStringLiteral("C01") : QString());
    }

    void escapeAndClose()
    {
        RecordingPlatform rec;
        // Right after login, Escape and Close both end the program.
        {
            frmChangeCompany list;
            list.show();
            QTest::keyClick(list.ui.GrCompany, Qt::Key_Escape);
            QCOMPARE(rec.exits, QList<int>{0});
            QTest::mouseClick(list.ui.CmClose, Qt::LeftButton);
            QCOMPARE(rec.exits, (QList<int>{0, 0}));
        }
        rec.clear();
        // From the menu, Escape only closes the list; Close still ends the program.
        frmMain *main = ShownMain();
        main->mnuChangeCompany_Click();
        QCOMPARE(TopLevelWindows<frmChangeCompany>().size(), 1);
        QPointer<frmChangeCompany> list = TopLevelWindows<frmChangeCompany>().first();
        QTest::keyClick(list->ui.GrCompany, Qt::Key_Escape);
        QTRY_VERIFY(list.isNull());
        QVERIFY(rec.exits.isEmpty());
        QVERIFY(main->isVisible());
        main->mnuChangeCompany_Click();
        QTest::mouseClick(TopLevelWindows<frmChangeCompany>().first()->ui.CmClose, Qt::LeftButton);
        QCOMPARE(rec.exits, QList<int>{0});
    }

    void closingTheListBeforeTheMainWindowEnds()
    {
        RecordingPlatform rec;
        auto *list = new frmChangeCompany;
        list->show();
        list->close();
        QCOMPARE(rec.exits, QList<int>{0});
        delete list;
    }

    void noDefaultYearKeepsTheDates()
    {
        RecordingPlatform rec;
        TestDb::Exec(QStringLiteral("UPDATE dalvoni.ac_fin_year SET ac_default=0"));
        frmMain *main = frmMain::instance();
        QVERIFY(!FinYearFrom.isValid());
        QVERIFY(rec.messages.isEmpty());
        QCOMPARE(main->ui.LbFinYear->text(), QStringLiteral("Financial Year  - "));
    }

    void twoDefaultYearsTakeTheFirstRow()
    {
        RecordingPlatform rec;
        TestDb::Exec(QStringLiteral("UPDATE dalvoni.ac_fin_year SET ac_default=1 WHERE ac_from_date='2016-04-01'"));
        frmMain::instance();
        QCOMPARE(FinYearFrom, QDate(2016, 4, 1));
    }

    void loadFailureIsShownAndEnds()
    {
        RecordingPlatform rec;
        TestDb::Exec(QStringLiteral("RENAME TABLE dalvoni.ac_fin_year TO dalvoni.ac_fin_year_away"));
        frmMain::instance();
        TestDb::Exec(QStringLiteral("RENAME TABLE dalvoni.ac_fin_year_away TO dalvoni.ac_fin_year"));
        QCOMPARE(rec.messages.size(), 1);
        QCOMPARE(rec.messages[0].icon, Platform::Icon::Critical);
        QCOMPARE(rec.exits, QList<int>{1});
    }

    void financialYearSwitch()
    {
        RecordingPlatform rec;
        frmMain *main = ShownMain();
        main->mnuChangeFinancialYear_Click();
        QCOMPARE(TopLevelWindows<frmFinancialYear>().size(), 1);
        QPointer<frmFinancialYear> list = TopLevelWindows<frmFinancialYear>().first();
        QTableWidget *grid = list->ui.GrUnit;
        QCOMPARE(list->windowTitle(), QStringLiteral(" Financial Year"));
        QCOMPARE(grid->rowCount(), 12);
        QCOMPARE(grid->columnCount(), 5);
        QCOMPARE(CellText(grid, 0, 1), QStringLiteral("2016-17"));
        QCOMPARE(CellText(grid, 2, 2), ShortDate(QDate(2018, 4, 1)));
        // The default year is current and marked red.
        QCOMPARE(grid->currentRow(), 2);
        QCOMPARE(grid->item(2, 1)->foreground().color(), QColor(255, 0, 0));

        // Cancel leaves everything as it was.
        rec.answers = {false};
        PressEnter(grid, 0);
        QCOMPARE(rec.questions,
                 QStringList{QStringLiteral("Do you want to change the Financial Year to \r\n             2016-17")});
        QCOMPARE(FinYearFrom, QDate(2018, 4, 1));
        QVERIFY(!list.isNull());

        // An empty row asks nothing.
        PressEnter(grid, 7);
        QCOMPARE(rec.questions.size(), 1);

        TestDb::Exec(QStringLiteral("UPDATE dalvoni.ac_fin_year SET ac_it_start_date='2016-05-01' "
                                    "WHERE ac_from_date='2016-04-01'"));
        PressEnter(grid, 0);
        QCOMPARE(FinYearFrom, QDate(2016, 4, 1));
        QCOMPARE(FinYearTo, QDate(2017, 3, 31));
        QCOMPARE(TaxYearStart, QDate(2016, 5, 1));
        QCOMPARE(TaxYearEnd, QDate(2017, 3, 31));
        QCOMPARE(main->statusText(),
                 QStringLiteral("Corvantis Inventory  +  ZENITH TEXTILES LTD    HEAD OFFICE  [User : clerk ]") +
                     YearsText(QDate(2016, 4, 1), QDate(2017, 3, 31)));
        QCOMPARE(main->ui.LbFinYear->text(), QStringLiteral("Financial Year ") + ShortDate(QDate(2016, 4, 1)) +
                                                 QStringLiteral(" - ") + ShortDate(QDate(2017, 3, 31)));
        QTRY_VERIFY(list.isNull());
        QVERIFY(rec.exits.isEmpty());
    }

    void yearOfSeveralUnitsTakesTheLastRow()
    {
        RecordingPlatform rec;
        TestDb::Exec(QStringLiteral("INSERT INTO dalvoni.ac_fin_year VALUES "
                                    "('MUM','2017-04-01','2018-03-31','2017-06-01','2018-05-31',0,0,'2017-18')"));
        frmMain *main = ShownMain();
        main->mnuChangeFinancialYear_Click();
        frmFinancialYear *list = TopLevelWindows<frmFinancialYear>().first();
        // The list offers only years open to this program.
        QCOMPARE(CellText(list->ui.GrUnit, 4, 0), QString());
        PressEnter(list->ui.GrUnit, 1);
        QCOMPARE(FinYearFrom, QDate(2017, 4, 1));
        QCOMPARE(TaxYearStart, QDate(2017, 6, 1));
        QCOMPARE(TaxYearEnd, QDate(2018, 5, 31));
    }

    void financialYearEscapeCloses()
    {
        RecordingPlatform rec;
        frmMain *main = ShownMain();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QTest::keyClick(main, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(TopLevelWindows<frmFinancialYear>().size(), 1);
        QPointer<frmFinancialYear> list = TopLevelWindows<frmFinancialYear>().first();
        QTest::keyClick(list->ui.GrUnit, Qt::Key_Escape);
        QTRY_VERIFY(list.isNull());
        QVERIFY(rec.questions.isEmpty());
        QCOMPARE(FinYearFrom, QDate(2018, 4, 1));
    }

    void mainWindowAloneGuard()
    {
        RecordingPlatform rec;
        frmMain *main = ShownMain();
        QCOMPARE(main->loadedWindowCount(), 1);
        main->mnuTransactions_Click();
        QCOMPARE(main->loadedWindowCount(), 2);

        main->mnuSettings_Click();
        main->mnuChangeFinancialYear_Click();
        QCOMPARE(rec.messages.size(), 2);
        QCOMPARE(rec.messages[0].text, QStringLiteral("Close All forms and try again!!!!"));
        QCOMPARE(rec.messages[0].icon, Platform::Icon::Information);
        QCOMPARE(Screens<frmITSettings>(main), 0);
        QVERIFY(TopLevelWindows<frmFinancialYear>().isEmpty());
        QCOMPARE(Screens<frmIncomeTax>(main), 1);

        // A hidden screen is still loaded.
        main->ui.mdiArea->subWindowList().first()->hide();
        main->mnuSettings_Click();
        QCOMPARE(rec.messages.size(), 3);

        // Closed screens are gone: the guard lets the screen open.
        main->ui.mdiArea->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(main->loadedWindowCount(), 1);
        main->mnuSettings_Click();
        QCOMPARE(Screens<frmITSettings>(main), 1);
        QCOMPARE(rec.messages.size(), 3);

        // The company list counts as a loaded window too.
        main->ui.mdiArea->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main->mnuChangeCompany_Click();
        main->mnuChangeFinancialYear_Click();
        QCOMPARE(rec.messages.size(), 4);
    }

    void oneWindowPerScreen()
    {
        RecordingPlatform rec;
        frmMain *main = ShownMain();
        main->mnuTransactions_Click();
        main->mnuAdditionsMaster_Click();
        main->mnuGenerateTax_Click();
        main->mnuIncomeTaxStatement_Click();
        QCOMPARE(main->ui.mdiArea->subWindowList().size(), 4);
        main->mnuTransactions_Click();
        QCOMPARE(main->ui.mdiArea->subWindowList().size(), 4);
        QCOMPARE(Screens<frmIncomeTax>(main), 1);
        QVERIFY(qobject_cast<frmIncomeTax *>(main->ui.mdiArea->activeSubWindow()->widget()));

        main->mnuChangeCompany_Click();
        main->mnuChangeCompany_Click();
        QCOMPARE(TopLevelWindows<frmChangeCompany>().size(), 1);
        QVERIFY(rec.messages.isEmpty());

        // A screen that closes itself leaves no empty frame behind.
        QPointer<QWidget> worksheet = main->ui.mdiArea->activeSubWindow()->widget();
        worksheet->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(worksheet.isNull());
        QCOMPARE(main->ui.mdiArea->subWindowList().size(), 3);
    }

    void listsAreCentredOverTheMainArea()
    {
        RecordingPlatform rec;
        frmMain *main = ShownMain();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        main->mnuChangeFinancialYear_Click();
        frmFinancialYear *list = TopLevelWindows<frmFinancialYear>().first();
        const QPoint areaCentre = main->ui.mdiArea->mapToGlobal(main->ui.mdiArea->rect().center());
        const QPoint listCentre = list->frameGeometry().center();
        QVERIFY2((areaCentre - listCentre).manhattanLength() <= 4, qPrintable(QStringLiteral("%1,%2 vs %3,%4")
                                                                                  .arg(areaCentre.x())
                                                                                  .arg(areaCentre.y())
                                                                                  .arg(listCentre.x())
                                                                                  .arg(listCentre.y())));

        // A screen inside the frame sits in the middle of the area (one smaller than the
        // offscreen platform's area).
        main->mnuGenerateTax_Click();
        QMdiSubWindow *sub = main->ui.mdiArea->activeSubWindow();
        QVERIFY((main->ui.mdiArea->viewport()->rect().center() - sub->geometry().center()).manhattanLength() <= 4);
    }

    void menusAndShortcuts()
    {
        RecordingPlatform rec;
        frmMain *main = ShownMain();
        const QList<QAction *> top = main->menuBar()->actions();
        QStringList captions;
        // The captions as described; the marker of the access key aside.
        for (QAction *a : top)
            captions << QString(a->text()).remove(QLatin1Char('&'));
        QCOMPARE(captions, (QStringList{"Master", "Transaction", "Generate Income Tax", "Reports", "Tools"}));
        QCOMPARE(main->ui.mnuChangeCompany->shortcut(), QKeySequence(QStringLiteral("Ctrl+A")));
        QCOMPARE(main->ui.mnuChangeFinancialYear->shortcut(), QKeySequence(QStringLiteral("Ctrl+Y")));
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QTest::keyClick(main, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(TopLevelWindows<frmChangeCompany>().size(), 1);
        qDeleteAll(TopLevelWindows<frmChangeCompany>());

        // A text box of a screen keeps Ctrl+A, which selects its text, as in every text box;
        // Ctrl+Y stays the menu's (here refused: a screen is open).
        main->mnuTransactions_Click();
        auto *box = new QLineEdit(main->ui.mdiArea->activeSubWindow()->widget());
        box->setText(QStringLiteral("text"));
        box->show();
        main->activateWindow();
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        box->deselect();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(TopLevelWindows<frmChangeCompany>().size(), 0);
        QCOMPARE(box->selectedText(), QStringLiteral("text"));
        rec.clear();
        QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(rec.lastMessage(), QStringLiteral("Close All forms and try again!!!!"));
    }

    // Whatever ends the program (Close or Cancel on the company list, also opened from Tools,
    // or closing the main window), and closing a screen itself, asks first while a screen
    // holds unsaved changes, and goes on only on Yes; with nothing unsaved nothing is asked.
    void unsavedWorkIsAskedFor_data()
    {
        QTest::addColumn<QString>("route");   // "Close", "Cancel", "main window" or "screen"
        QTest::addColumn<QString>("screen");  // "worksheet", "heads", "new regime" or "unchanged worksheet"
        QTest::addColumn<bool>("answer");     // to the question about the unsaved changes
        QTest::addColumn<QString>("unsaved"); // what the question names ("" when none is asked)
        QTest::addColumn<bool>("ends");       // the program ends (for "screen": the screen closes)
        const QString mediclaim = QStringLiteral("the mediclaim of ASHA RAO");
        const QString head = QStringLiteral("the changes to the head");
        QTest::newRow("Close, nothing changed") << "Close"
                                                << "unchanged worksheet" << true << "" << true;
        QTest::newRow("Close, worksheet kept") << "Close"
                                               << "worksheet" << false << mediclaim << false;
        QTest::newRow("Close, worksheet lost") << "Close"
                                               << "worksheet" << true << mediclaim << true;
        QTest::newRow("Cancel, head kept") << "Cancel"
                                           << "heads" << false << head << false;
        QTest::newRow("Cancel, head lost") << "Cancel"
                                           << "heads" << true << head << true;
        QTest::newRow("main window, worksheet kept") << "main window"
                                                     << "worksheet" << false << mediclaim << false;
        QTest::newRow("main window, head lost") << "main window"
                                                << "heads" << true << head << true;
        QTest::newRow("screen, nothing changed") << "screen"
                                                 << "unchanged worksheet" << true << "" << true;
        QTest::newRow("screen, worksheet kept") << "screen"
                                                << "worksheet" << false << mediclaim << false;
        QTest::newRow("screen, head lost") << "screen"
                                           << "heads" << true << head << true;
        const QString figures = QStringLiteral("the tax regimes' figures of the year 2018-19");
        QTest::newRow("Close, new regime kept") << "Close"
                                                << "new regime" << false << figures << false;
        QTest::newRow("main window, new regime lost") << "main window"
                                                      << "new regime" << true << figures << true;
        QTest::newRow("screen, new regime kept") << "screen"
                                                 << "new regime" << false << figures << false;
    }
    void unsavedWorkIsAskedFor()
    {
        QFETCH(QString, route);
        QFETCH(QString, screen);
        QFETCH(bool, answer);
        QFETCH(QString, unsaved);
        QFETCH(bool, ends);
        WorksheetData::AddCompleteEmployee();
        RecordingPlatform rec;
        frmMain *main = ShownMain();
        QPointer<QWidget> shown;
        if (screen.endsWith(QLatin1String("worksheet"))) {
            auto *w = main->openScreen<frmIncomeTax>();
            WhenModalShown<frmListView>([](frmListView *d) {
                QTest::keyClicks(d->ui.TxtSearch, QStringLiteral("ASHA"));
                QTest::keyClick(d->ui.TxtSearch, Qt::Key_Return);
            });
            QTest::keyClick(w->ui.TxEmpCode, Qt::Key_F1);
            QTest::keyClick(w->ui.TxEmpCode, Qt::Key_Return);
            QTest::mouseClick(w->ui.CmEdit, Qt::LeftButton);
            if (screen == QLatin1String("worksheet")) {
                w->ui.TxMediClaim->selectAll();
                QTest::keyClicks(w->ui.TxMediClaim, QStringLiteral("5000"));
            }
            shown = w;
        } else if (screen == QLatin1String("new regime")) {
            auto *n = main->openScreen<frmNewRegime>();
            n->ui.TxStdDeduction->setFocus();
            n->ui.TxStdDeduction->selectAll();
            QTest::keyClicks(n->ui.TxStdDeduction, QStringLiteral("5"));
            shown = n;
        } else {
            auto *h = main->openScreen<frmOtherAllowance>();
            QTest::mouseClick(h->ui.CmEdit, Qt::LeftButton);
            h->ui.TxDedAmt->selectAll();
            QTest::keyClicks(h->ui.TxDedAmt, QStringLiteral("5"));
            shown = h;
        }
        const QString title = shown->windowTitle();
        rec.clear();
        rec.answers = route == QLatin1String("Cancel") ? QList<bool>{false, answer} : QList<bool>{answer};

        if (route == QLatin1String("Close") || route == QLatin1String("Cancel")) {
            main->mnuChangeCompany_Click();
            frmChangeCompany *list = TopLevelWindows<frmChangeCompany>().first();
            if (route == QLatin1String("Close"))
                QTest::mouseClick(list->ui.CmClose, Qt::LeftButton);
            else
                PressEnter(list->ui.GrCompany, 1);
            QCOMPARE(rec.exits, ends ? QList<int>{0} : QList<int>{});
            QCOMPARE(CompanyCode, QStringLiteral("C01"));
        } else if (route == QLatin1String("main window")) {
            main->close();
            QCOMPARE(main->isVisible(), !ends);
        } else {
            shown->parentWidget()->close(); // the close box of the screen's frame
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(shown.isNull(), ends);
        }

        const QStringList asked = route == QLatin1String("Cancel") ? rec.questions.mid(1) : rec.questions;
        if (unsaved.isEmpty()) {
            QCOMPARE(asked, QStringList());
            return;
        }
        QCOMPARE(asked.size(), 1);
        const QString named = route == QLatin1String("screen") ? unsaved : title + QStringLiteral(": ") + unsaved;
        QVERIFY2(asked[0].contains(QStringLiteral("\n   ") + named + QStringLiteral("\n")), qPrintable(asked[0]));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
