// The program on a real display, as a clerk sees it (a 1366x768 X screen with a window
// manager, Qt's xcb platform), on the demo company: the login, the company list and every
// screen of the menus open showing their whole form, their grids' columns are as wide as
// their headings and the data in view, the employee list shows the row that Enter takes,
// and Enter on a focused button clicks it. A day's work goes from the keyboard: the keys the
// captions name, Escape, Tab out of the grids, the menu bar, Ctrl+A in a box, the focus on
// opening, the employee list on a typed code, and Generate's scope.
#include "DemoData.h"
#include "ModalDriver.h"
#include "RecordingPlatform.h"
#include "TestDb.h"
#include "lookup/frmListView.h"
#include "reports/Statement.h"
#include "reports/frmrptIT.h"
#include "session/Common.h"
#include "session/SessionData.h"
#include "session/frmChangeCompany.h"
#include "session/frmFinancialYear.h"
#include "session/frmLogin.h"
#include "session/frmMain.h"
#include "session/mdlDalvoni.h"
#include "tax/frmGenerateIncomeTax.h"
#include "tax/frmIncomeTax.h"
#include "ui/GridUtil.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTableView>
#include <QtTest>

// Fails with every problem found named.
#define VERIFY_NONE(problems)                                                                                          \
    do {                                                                                                               \
        const QStringList found = (problems);                                                                          \
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1String("; "))));                                        \
    } while (false)

namespace {

template <typename T> T *ShownWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<T *>(w); t && t->isVisible())
            return t;
    return nullptr;
}

// Makes the window the active one (the window manager may take a moment on a busy machine).
bool Activated(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 15000);
}

// Widgets of the form (those the form's design names), not a widget's own inner parts.
QList<QWidget *> DesignedWidgets(QWidget *form)
{
    QList<QWidget *> found;
    for (QWidget *w : form->findChildren<QWidget *>())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")) && w->isVisibleTo(form) &&
            !w->isWindow())
            found.append(w);
    return found;
}

// What of a form the user cannot see: the form squeezed below what its layout needs, or a
// control outside the part of the form that is on screen (`shown`, in the form's coordinates).
QStringList HiddenParts(QWidget *form, const QRect &shown)
{
    QStringList problems;
    const QSize least = form->minimumSizeHint();
    if (form->width() < least.width() || form->height() < least.height())
        problems << QStringLiteral("%1 is %2x%3, its layout needs %4x%5")
                        .arg(form->objectName())
                        .arg(form->width())
                        .arg(form->height())
                        .arg(least.width())
                        .arg(least.height());
    for (QWidget *w : DesignedWidgets(form)) {
        const QRect r(w->mapTo(form, QPoint(0, 0)), w->size());
        if (!shown.contains(r))
            problems << QStringLiteral("%1 at (%2,%3 %4x%5) is outside what shows of %6")
                            .arg(w->objectName())
                            .arg(r.x())
                            .arg(r.y())
                            .arg(r.width())
                            .arg(r.height())
                            .arg(form->objectName());
    }
    return problems;
}

// Columns narrower than their heading, or than a text in view. A left-aligned text may run
// on over an empty cell to its right, as in a spreadsheet.
QStringList NarrowColumns(QWidget *form)
{
    QStringList problems;
    for (auto *view : form->findChildren<QTableView *>()) {
        if (view->objectName().isEmpty() || !view->isVisibleTo(form))
            continue;
        const QAbstractItemModel *model = view->model();
        const int margin = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
        const int firstRow = qMax(0, view->rowAt(0));
        const int lastRow = view->rowAt(view->viewport()->height() - 1) < 0
                                ? model->rowCount() - 1
                                : view->rowAt(view->viewport()->height() - 1);
        for (int c = 0; c < model->columnCount(); ++c) {
            if (view->isColumnHidden(c))
                continue;
            const int width = view->columnWidth(c);
            const QHeaderView *header = view->horizontalHeader();
            if (!header->isHidden() && header->sectionSizeHint(c) > width)
                problems << QStringLiteral("%1 column %2 (\"%3\") is %4 px, its heading needs %5")
                                .arg(view->objectName())
                                .arg(c)
                                .arg(model->headerData(c, Qt::Horizontal).toString())
                                .arg(width)
                                .arg(header->sectionSizeHint(c));
            for (int r = firstRow; r <= lastRow; ++r) {
                const QModelIndex i = model->index(r, c);
                const QString text = i.data().toString();
                if (text.isEmpty())
                    continue;
                const QVariant font = i.data(Qt::FontRole);
                const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : view->font());
                const int needed = metrics.horizontalAdvance(text) + margin;
                if (needed <= width)
                    continue;
                const auto align = Qt::Alignment(i.data(Qt::TextAlignmentRole).toInt());
                const bool runsOn = !(align & (Qt::AlignRight | Qt::AlignHCenter)) && c + 1 < model->columnCount() &&
                                    model->index(r, c + 1).data().toString().isEmpty();
                if (!runsOn)
                    problems << QStringLiteral("%1 column %2 is %3 px, \"%4\" in row %5 needs %6")
                                    .arg(view->objectName())
                                    .arg(c)
                                    .arg(width)
                                    .arg(text)
                                    .arg(r)
                                    .arg(needed);
            }
        }
    }
    return problems;
}

// Buttons of the form that Enter does not click when they have the focus. The form's own
// handlers are disconnected first, so that nothing is saved, run or closed.
QStringList DeadButtons(QWidget *form)
{
    QStringList problems;
    if (!Activated(form->window()))
        return {form->objectName() + QStringLiteral(" never becomes the active window")};
    for (auto *button : form->findChildren<QPushButton *>()) {
        if (!button->isVisibleTo(form) || !button->isEnabled() || button->objectName().isEmpty())
            continue;
        QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
        QSignalSpy clicks(button, &QAbstractButton::clicked);
        button->setFocus();
        if (!button->hasFocus())
            problems << button->objectName() + QStringLiteral(" takes no focus");
        QTest::keyClick(button, Qt::Key_Return);
        if (clicks.count() != 1)
            problems << button->objectName() + QStringLiteral(" is not clicked by Enter");
    }
    return problems;
}

// A window of its own (login, lists, the employee list) within the screen, its form whole.
QStringList WholeWindow(QWidget *window)
{
    QStringList problems;
    const QRect screen = window->screen()->availableGeometry();
    if (!screen.contains(window->frameGeometry()))
        problems << QStringLiteral("%1's frame is not within the screen").arg(window->objectName());
    return problems + HiddenParts(window, window->rect());
}

// The name of an employee of the main company with declarations of the tax year, whom the
// employee list finds by that name alone.
QString DeclaringEmployee(const QDate &yearStart)
{
    return TestDb::Scalar(QStringLiteral("SELECT emp_name FROM hr_it_trans INNER JOIN hr_employee e ON "
                                         "e.emp_slno=hr_it_trans.emp_slno WHERE comp_code='") +
                          QLatin1String(DemoData::kMainCompany) + QStringLiteral("' AND emp_it_from='") +
                          SqlDate(yearStart) +
                          QStringLiteral("' AND emp_disable=0 AND (SELECT COUNT(*) FROM hr_employee x WHERE "
                                         "x.emp_name LIKE CONCAT('%',e.emp_name,'%'))=1 ORDER BY emp_code LIMIT 1"))
        .toString();
}

} // namespace

class tst_Display : public QObject
{
    Q_OBJECT

    // The day the demo is made for: its year (2026-27) is the default, paid April to November.
    static inline const QDate kDemoDay{2026, 12, 9};

    RecordingPlatform m_rec;
    QDate m_defaultFrom; // the session's year after login: the demo's default

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QCOMPARE(QGuiApplication::primaryScreen()->size(), QSize(1366, 768));
        DemoOptions demo;
        demo.employees = 60;
        demo.reset = true;
        demo.today = kDemoDay;
        DemoData::Generate(TestDb::Open(), demo);
        mdlDalvoni::ServerAddress = QStringLiteral("127.0.0.1");
        mdlDalvoni::UnitCode = QLatin1String(DemoData::kHeadOfficeUnit);
        mdlDalvoni::UnitName = QStringLiteral("HEAD OFFICE");
        frmMain::registerMainArea();

        // The statement's year: 2018-19, with the demo's declarations of the year.
        const QDate yearStart = DemoData::HistoryYearFrom, yearEnd = yearStart.addYears(1).addDays(-1);
        // The statement's data: the tax records of the demo's employees, with the largest figures.
        QString figures;
        for (int i = 0; i < 23; ++i)
            figures += QStringLiteral(",12345678.9");
        TestDb::Exec(QStringLiteral("INSERT INTO hr_it (emp_slno, emp_code, comp_code, emp_months_rem, emp_gross, "
                                    "emp_gross_proj, emp_hra, emp_hra_proj, emp_pf, emp_pf_proj, emp_pro_tax, "
                                    "emp_hl_int, emp_hl_int_limit, emp_mc, emp_mc_limit, emp_ta, emp_ta_proj, "
                                    "emp_80c_total, emp_80c_limit, emp_80c_net, emp_taxable_amt, emp_excemption, "
                                    "emp_net_taxable_amt, emp_cess, emp_payable, emp_sal_cut, emp_balance, "
                                    "emp_it_from, emp_it_to) SELECT emp_slno, concat(emp_code_char,emp_code), "
                                    "comp_code, 11") +
                     figures + QStringLiteral(",'") + SqlDate(yearStart) + QStringLiteral("','") + SqlDate(yearEnd) +
                     QStringLiteral("' FROM hr_employee WHERE comp_code='") + QLatin1String(DemoData::kMainCompany) +
                     QStringLiteral("' AND emp_flag=0"));
        QVERIFY(!DeclaringEmployee(yearStart).isEmpty());
        QVERIFY(!DeclaringEmployee(DemoData::DefaultYearFrom(kDemoDay)).isEmpty());
    }

    // The way in: the login and the company list, each whole, each left by Enter on its button.
    void loginAndCompanyList()
    {
        auto *login = new frmLogin;
        login->show();
        QVERIFY(Activated(login));
        VERIFY_NONE(WholeWindow(login));
        login->ui.TxtUserName->setText(QStringLiteral("admin"));
        login->ui.TxtPassword->setText(QStringLiteral("Admin@123"));
        login->ui.CmOk->setFocus();
        QTest::keyClick(login->ui.CmOk, Qt::Key_Return);

        frmChangeCompany *companies = nullptr;
        QTRY_VERIFY((companies = ShownWindow<frmChangeCompany>()));
        QVERIFY(Activated(companies));
        VERIFY_NONE(WholeWindow(companies));
        VERIFY_NONE(NarrowColumns(companies));
        companies->ui.CmSwitch->setFocus();
        QTest::keyClick(companies->ui.CmSwitch, Qt::Key_Return);
        QCOMPARE(m_rec.questions, QStringList{QStringLiteral("Do you want to Change the Company... ")});

        frmMain *main = frmMain::existing();
        QVERIFY(main && main->isVisible());
        QVERIFY(Activated(main));
        QVERIFY(main->screen()->availableGeometry().contains(main->frameGeometry()));
        QVERIFY(m_rec.exits.isEmpty());
    }

    void everyMenuScreenShowsWhole_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("year"); // the financial year's first calendar year; 0 for the default
        for (const char *item : {"mnuAdditionsMaster", "mnuSettings", "mnuNewRegime", "mnuTransactions",
                                 "mnuGenerateTax", "mnuIncomeTaxStatement", "mnuRegimeComparison",
                                 "mnuChangeFinancialYear", "mnuEmployerDetails", "mnuTaxCertificates"})
            QTest::newRow(item) << QString::fromLatin1(item) << 2018;
        // The worksheet in the demo's default year, the new regime's figures beside its own.
        QTest::newRow("mnuTransactions, the default year") << QStringLiteral("mnuTransactions") << 0;
    }
    void everyMenuScreenShowsWhole()
    {
        QFETCH(QString, item);
        QFETCH(int, year);
        frmMain *main = ShownMain();
        QVERIFY(main);
        const QDate defaultFrom = mdlDalvoni::FinYearFrom;
        if (year > 0)
            SessionData::SwitchYear(mdlDalvoni::Db(), QDate(year, 4, 1), QDate(year + 1, 3, 31));
        const auto restore = qScopeGuard([defaultFrom] {
            SessionData::SwitchYear(mdlDalvoni::Db(), defaultFrom, defaultFrom.addYears(1).addDays(-1));
        });
        main->ui.mdiArea->closeAllSubWindows();
        QTRY_VERIFY(main->ui.mdiArea->subWindowList().isEmpty());
        auto *action = main->findChild<QAction *>(item);
        QVERIFY(action);
        action->trigger();

        if (item == QLatin1String("mnuChangeFinancialYear")) {
            frmFinancialYear *years = nullptr;
            QTRY_VERIFY((years = ShownWindow<frmFinancialYear>()));
            QVERIFY(Activated(years));
            VERIFY_NONE(WholeWindow(years));
            VERIFY_NONE(NarrowColumns(years));
            VERIFY_NONE(DeadButtons(years));
            years->close();
            return;
        }

        QMdiSubWindow *sub = main->ui.mdiArea->activeSubWindow();
        QVERIFY(sub);
        QWidget *form = sub->widget();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        QTRY_VERIFY(form->isVisible());
        // With the data the screen shows at work.
        if (auto *statement = qobject_cast<frmrptIT *>(form))
            statement->CmShow_Click();
        if (auto *sheet = qobject_cast<frmIncomeTax *>(form))
            pickAndLoad(sheet);
        QApplication::processEvents();

        // The frame within the main window's area, the form whole inside the frame.
        const QRect area = main->ui.mdiArea->viewport()->rect();
        QVERIFY2(area.contains(sub->geometry()), qPrintable(item));
        const QRect shown =
            QRect(form->mapFrom(main->ui.mdiArea->viewport(), area.topLeft()), area.size()).intersected(form->rect());
        VERIFY_NONE(HiddenParts(form, shown));
        const QSize wanted = form->sizeHint();
        const QSize room = area.size() - (sub->size() - form->size());
        QVERIFY2(form->width() >= qMin(wanted.width(), room.width()) &&
                     form->height() >= qMin(wanted.height(), room.height()),
                 qPrintable(QStringLiteral("%1 opens at %2x%3, asks for %4x%5")
                                .arg(item)
                                .arg(form->width())
                                .arg(form->height())
                                .arg(wanted.width())
                                .arg(wanted.height())));
        VERIFY_NONE(NarrowColumns(form));
        VERIFY_NONE(DeadButtons(form));
    }

    // A screen opens with the focus on its first field (the code box where there is one), so
    // that F1 works before any click.
    void screensOpenOnTheirFirstField_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("field");
        QTest::newRow("worksheet") << "mnuTransactions"
                                   << "TxEmpCode";
        QTest::newRow("generate") << "mnuGenerateTax"
                                  << "TxEmpCode";
        QTest::newRow("statement") << "mnuIncomeTaxStatement"
                                   << "TxEmpCode";
        QTest::newRow("settings") << "mnuSettings"
                                  << "TxHLInterestLimit";
        QTest::newRow("heads") << "mnuAdditionsMaster"
                               << "FbAllowance";
        // The regime of employees without a choice: the new one in 2026-27.
        QTest::newRow("new regime") << "mnuNewRegime"
                                    << "OptNewRegime";
        QTest::newRow("employer details") << "mnuEmployerDetails"
                                          << "TxTan";
        QTest::newRow("tax certificates") << "mnuTaxCertificates"
                                          << "OptCompany";
    }
    void screensOpenOnTheirFirstField()
    {
        QFETCH(QString, item);
        QFETCH(QString, field);
        QWidget *form = openScreen(item, 0);
        QVERIFY(form);
        QTRY_VERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), field);
        QVERIFY(form->isAncestorOf(QApplication::focusWidget()));
    }

    // The keys a caption names do what the button does, wherever the focus is on the screen,
    // and Escape closes every screen as its close box does (asking first about unsaved work);
    // in a cell being edited Escape leaves the cell.
    void keysOfTheCaptionsAndEscape_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("prepare"); // "load", "edit", "mediclaim", "cell", in that order
        QTest::addColumn<int>("key");
        QTest::addColumn<QList<bool>>("answers"); // to the unsaved-work question
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("after"); // "Button=caption", "statement shown", "editor hidden"
        const QList<bool> none;
        QTest::newRow("worksheet F3 edits") << "mnuTransactions"
                                            << "load" << int(Qt::Key_F3) << none << false << "CmEdit=Update - F5";
        QTest::newRow("worksheet F5 updates")
            << "mnuTransactions"
            << "load edit mediclaim" << int(Qt::Key_F5) << none << false << "CmEdit=Edit - F3";
        QTest::newRow("worksheet F5 not while it reads Edit")
            << "mnuTransactions"
            << "load" << int(Qt::Key_F5) << none << false << "CmEdit=Edit - F3";
        QTest::newRow("worksheet F9 closes") << "mnuTransactions"
                                             << "load" << int(Qt::Key_F9) << none << true << "";
        QTest::newRow("worksheet Escape closes") << "mnuTransactions"
                                                 << "" << int(Qt::Key_Escape) << none << true << "";
        QTest::newRow("worksheet Escape asks, No keeps")
            << "mnuTransactions"
            << "load edit mediclaim" << int(Qt::Key_Escape) << QList<bool>{false} << false << "CmEdit=Update - F5";
        QTest::newRow("worksheet Escape asks, Yes closes")
            << "mnuTransactions"
            << "load edit mediclaim" << int(Qt::Key_Escape) << QList<bool>{true} << true << "";
        QTest::newRow("worksheet Escape in a cell")
            << "mnuTransactions"
            << "load edit cell" << int(Qt::Key_Escape) << none << false << "editor hidden";
        QTest::newRow("statement F5 shows") << "mnuIncomeTaxStatement"
                                            << "" << int(Qt::Key_F5) << none << false << "statement shown";
        QTest::newRow("statement F9 closes") << "mnuIncomeTaxStatement"
                                             << "" << int(Qt::Key_F9) << none << true << "";
        QTest::newRow("statement Escape closes") << "mnuIncomeTaxStatement"
                                                 << "" << int(Qt::Key_Escape) << none << true << "";
        QTest::newRow("generate Escape closes") << "mnuGenerateTax"
                                                << "" << int(Qt::Key_Escape) << none << true << "";
        QTest::newRow("settings Escape closes") << "mnuSettings"
                                                << "" << int(Qt::Key_Escape) << none << true << "";
        QTest::newRow("heads F2 starts a head") << "mnuAdditionsMaster"
                                                << "" << int(Qt::Key_F2) << none << false << "CmNew=Save - F5";
        QTest::newRow("heads Escape closes") << "mnuAdditionsMaster"
                                             << "" << int(Qt::Key_Escape) << none << true << "";
        QTest::newRow("new regime Escape closes") << "mnuNewRegime"
                                                  << "" << int(Qt::Key_Escape) << none << true << "";
        QTest::newRow("employer details F9 closes") << "mnuEmployerDetails"
                                                    << "" << int(Qt::Key_F9) << none << true << "";
        QTest::newRow("employer details Escape closes") << "mnuEmployerDetails"
                                                        << "" << int(Qt::Key_Escape) << none << true << "";
        QTest::newRow("tax certificates F9 closes") << "mnuTaxCertificates"
                                                    << "" << int(Qt::Key_F9) << none << true << "";
        QTest::newRow("tax certificates Escape closes") << "mnuTaxCertificates"
                                                        << "" << int(Qt::Key_Escape) << none << true << "";
    }
    void keysOfTheCaptionsAndEscape()
    {
        QFETCH(QString, item);
        QFETCH(QString, prepare);
        QFETCH(int, key);
        QFETCH(QList<bool>, answers);
        QFETCH(bool, closes);
        QFETCH(QString, after);
        // 2018-19: the year of the statement's records and the employees' tax records.
        QWidget *form = openScreen(item, 2018);
        QVERIFY(form);
        const QPointer<QWidget> alive(form);
        auto *sheet = qobject_cast<frmIncomeTax *>(form);
        if (prepare.contains(QLatin1String("load")))
            pickAndLoad(sheet);
        if (prepare.contains(QLatin1String("edit")))
            sheet->ui.CmEdit->click();
        if (prepare.contains(QLatin1String("mediclaim"))) {
            sheet->ui.TxMediClaim->setFocus();
            sheet->ui.TxMediClaim->setText(Format00(LeadingNumber(sheet->ui.TxMediClaim->text()) + 1000));
            QVERIFY(!sheet->unsavedChanges().isEmpty());
        }
        if (prepare.contains(QLatin1String("cell"))) {
            QTableWidget *grid = sheet->ui.GrDeductions;
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(grid->model()->index(0, 1)).center());
            QTRY_VERIFY(sheet->ui.TxDedMove->hasFocus());
        }
        m_rec.clear();
        m_rec.answers = answers;
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus && form->isAncestorOf(focus));
        QTest::keyClick(focus, Qt::Key(key));
        QCOMPARE(m_rec.questions.size(), int(answers.size()));
        if (closes) {
            QTRY_VERIFY(!alive);
            QTRY_VERIFY(frmMain::existing()->ui.mdiArea->subWindowList().isEmpty());
            return;
        }
        QApplication::processEvents();
        QVERIFY(alive && alive->isVisible());
        if (after == QLatin1String("statement shown")) {
            QVERIFY(qobject_cast<frmrptIT *>(form)->CurrentRow >= Statement::kFirstDataRow);
        } else if (after == QLatin1String("editor hidden")) {
            QVERIFY(!sheet->ui.TxDedMove->isVisible());
            QVERIFY(sheet->ui.GrDeductions->hasFocus());
        } else if (!after.isEmpty()) {
            const QStringList button = after.split(QLatin1Char('='));
            auto *b = form->findChild<QAbstractButton *>(button[0]);
            QVERIFY(b);
            QCOMPARE(b->text(), button[1]);
        }
        if (key == Qt::Key_F5 && sheet && prepare.contains(QLatin1String("edit")))
            QVERIFY2(m_rec.lastMessage().contains(QLatin1String(" Updated.")), qPrintable(m_rec.lastMessage()));
    }

    // Tab and Shift+Tab leave the worksheet's grid, its cell editor and the statement's
    // sheet for the controls before and after them; Enter on a cell in edit mode edits it.
    void tabLeavesTheGrids_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("editing");   // the worksheet in edit mode, the cell editor open
        QTest::addColumn<QString>("after");  // what Tab reaches
        QTest::addColumn<QString>("before"); // what Shift+Tab reaches
        QTest::newRow("worksheet grid") << "mnuTransactions" << false << "CmEdit"
                                        << "TxEmpCode";
        QTest::newRow("worksheet cell editor") << "mnuTransactions" << true << "CmEdit"
                                               << "TxMediClaim";
        QTest::newRow("statement sheet") << "mnuIncomeTaxStatement" << false << "TxEmpCode"
                                         << "CmClose";
    }
    void tabLeavesTheGrids()
    {
        QFETCH(QString, item);
        QFETCH(bool, editing);
        QFETCH(QString, after);
        QFETCH(QString, before);
        for (const bool forward : {true, false}) {
            QWidget *form = openScreen(item, 2018);
            QVERIFY(form);
            QAbstractItemView *grid = nullptr;
            if (auto *sheet = qobject_cast<frmIncomeTax *>(form)) {
                pickAndLoad(sheet);
                grid = sheet->ui.GrDeductions;
                if (editing) {
                    sheet->ui.CmEdit->click();
                    grid->setFocus();
                    QTest::keyClick(grid, Qt::Key_Return);
                    QVERIFY(sheet->ui.TxDedMove->isVisible() && sheet->ui.TxDedMove->hasFocus());
                }
            } else {
                auto *statement = qobject_cast<frmrptIT *>(form);
                statement->CmShow_Click();
                grid = statement->ui.FBook;
            }
            if (!editing)
                grid->setFocus();
            QTRY_VERIFY(QApplication::focusWidget());
            QWidget *from = QApplication::focusWidget();
            QTest::keyClick(from, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                            forward ? Qt::NoModifier : Qt::ShiftModifier);
            QTRY_VERIFY(QApplication::focusWidget() && QApplication::focusWidget() != from);
            QCOMPARE(QApplication::focusWidget()->objectName(), forward ? after : before);
        }
    }

    // F10 and Alt alone open the menu bar, Alt and the underlined letter a menu; every menu
    // and item has an access key of its own within its menu, and its caption is as before.
    void menuBarFromTheKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("opens"); // the menu that opens
        QTest::newRow("F10") << int(Qt::Key_F10) << int(Qt::NoModifier) << "mnuMasters";
        QTest::newRow("Alt alone") << int(Qt::Key_Alt) << int(Qt::AltModifier) << "mnuMasters";
        QTest::newRow("Alt+R") << int(Qt::Key_R) << int(Qt::AltModifier) << "mnuReports";
        QTest::newRow("Alt+O") << int(Qt::Key_O) << int(Qt::AltModifier) << "mnuTools";
    }
    void menuBarFromTheKeyboard()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, opens);
        frmMain *main = ShownMain();
        QVERIFY(main);
        main->ui.mdiArea->closeAllSubWindows();
        QTRY_VERIFY(main->ui.mdiArea->subWindowList().isEmpty());
        QVERIFY(Activated(main));
        QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : main;
        QTest::keyClick(focus, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        // Alt alone highlights the first menu where the style says so; Down then opens it.
        if (!QTest::qWaitFor([] { return QApplication::activePopupWidget(); }, 500)) {
            QTRY_VERIFY(main->menuBar()->activeAction());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        }
        QMenu *menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
        QCOMPARE(menu->objectName(), opens);
        // Escape closes the menu, and a second one leaves the menu bar.
        QTest::keyClick(menu, Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        if (main->menuBar()->activeAction())
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : main->menuBar(),
                            Qt::Key_Escape);
        QTRY_VERIFY(!main->menuBar()->activeAction());

        // The access keys: one a caption, unique within its menu; the captions unchanged.
        const auto checkKeys = [](const QList<QAction *> &actions) {
            QStringList captions, problems;
            QSet<QChar> letters;
            for (QAction *a : actions) {
                if (a->isSeparator())
                    continue;
                const QString text = a->text();
                const int marker = int(text.indexOf(QLatin1Char('&')));
                QString shown = text;
                shown.remove(QLatin1Char('&'));
                captions << shown;
                if (marker < 0 || marker + 1 >= text.size() || text.count(QLatin1Char('&')) != 1)
                    problems << shown + QStringLiteral(" has no access key");
                else if (letters.contains(text.at(marker + 1).toUpper()))
                    problems << shown + QStringLiteral(" shares its access key");
                else
                    letters.insert(text.at(marker + 1).toUpper());
            }
            return std::make_pair(captions, problems);
        };
        const auto [top, topProblems] = checkKeys(main->menuBar()->actions());
        QCOMPARE(top, (QStringList{"Master", "Transaction", "Generate Income Tax", "Reports", "Tools"}));
        VERIFY_NONE(topProblems);
        const QList<std::pair<QMenu *, QStringList>> menus = {
            {main->ui.mnuMasters, {"Addition Master", "Settings", "Tax Regimes"}},
            {main->ui.mnuReports, {"Income Tax Statement", "Regime Comparison"}},
            {main->ui.mnuTools, {"Change Company", "Change Financial Year"}}};
        for (const auto &[m, described] : menus) {
            const auto [items, problems] = checkKeys(m->actions());
            for (const QString &caption : described)
                QVERIFY2(items.contains(caption), qPrintable(caption));
            VERIFY_NONE(problems);
        }
    }

    // Ctrl+A in a text or amount box selects its text; elsewhere it is Change Company.
    void ctrlASelectsInABox()
    {
        auto *sheet = qobject_cast<frmIncomeTax *>(openScreen(QStringLiteral("mnuTransactions"), 2018));
        QVERIFY(sheet);
        pickAndLoad(sheet);
        sheet->ui.CmEdit->click();
        for (QLineEdit *box : {sheet->ui.TxHLInterest, sheet->ui.TxEmpCode}) {
            box->setFocus();
            QTRY_VERIFY(box->hasFocus());
            QApplication::processEvents();
            box->deselect();
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(box->selectedText(), box->text());
            QVERIFY(!ShownWindow<frmChangeCompany>());
        }
        sheet->ui.CmClose->setFocus();
        QTest::keyClick(sheet->ui.CmClose, Qt::Key_A, Qt::ControlModifier);
        frmChangeCompany *companies = nullptr;
        QTRY_VERIFY((companies = ShownWindow<frmChangeCompany>()));
        companies->close();
    }

    // The employee list finds the start of a code as well as of a name; a text that matches
    // nobody says so, and Enter or Escape then pick nobody.
    void lookupTakesTheTypedCodeOrNobody_data()
    {
        QTest::addColumn<QString>("typed"); // "code" for the code of the seventh employee
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("picks");
        QTest::newRow("a code") << "code" << int(Qt::Key_Return) << true;
        QTest::newRow("a code, Escape") << "code" << int(Qt::Key_Escape) << true;
        QTest::newRow("nobody, Enter") << "SZZ" << int(Qt::Key_Return) << false;
        QTest::newRow("nobody, Escape") << "SZZ" << int(Qt::Key_Escape) << false;
    }
    void lookupTakesTheTypedCodeOrNobody()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(bool, picks);
        Recordset rs = TestDb::Open().query(
            QStringLiteral("SELECT concat(emp_code_char,emp_code) AS code, emp_name FROM hr_employee WHERE "
                           "comp_code='") +
            QLatin1String(DemoData::kMainCompany) +
            QStringLiteral("' AND emp_disable=0 AND emp_flag=0 ORDER BY 1 LIMIT 6,1"));
        QVERIFY(!rs.eof());
        const QString code = rs.text("code"), name = rs.text("emp_name");
        rs.close();
        const QString text = typed == QLatin1String("code") ? code : typed;
        auto *sheet = qobject_cast<frmIncomeTax *>(openScreen(QStringLiteral("mnuTransactions"), 0));
        QVERIFY(sheet);
        QString line;
        bool shown = false;
        WhenModalShown<frmListView>([&](frmListView *list) {
            // The keys go to the list once the window manager has made it the active window.
            if (!Activated(list))
                return;
            shown = true;
            QTest::keyClicks(list->ui.TxtSearch, text);
            if (auto *note = list->findChild<QLabel *>(QStringLiteral("LbNoMatch")); note && note->isVisible())
                line = note->text();
            QTest::keyClick(list->ui.TxtSearch, Qt::Key(key));
        });
        QTest::keyClick(sheet->ui.TxEmpCode, Qt::Key_F1);
        QVERIFY(shown);
        QCOMPARE(sheet->ui.TxEmpCode->text(), picks ? code : QString());
        QCOMPARE(sheet->ui.LbName->text(), picks ? name : QString());
        if (picks)
            QVERIFY(line.isEmpty());
        else
            QVERIFY2(line.startsWith(QStringLiteral("No employee starts with \"") + text + QLatin1Char('"')),
                     qPrintable(line));
    }

    // Emptying Generate's code box lets go of the employee picked: an empty box is the whole
    // company, as the screen shows it.
    void emptiedCodeBoxIsTheWholeCompany()
    {
        auto *generate = qobject_cast<frmGenerateIncomeTax *>(openScreen(QStringLiteral("mnuGenerateTax"), 0));
        QVERIFY(generate);
        const QString name = DeclaringEmployee(DemoData::DefaultYearFrom(kDemoDay));
        WhenModalShown<frmListView>([&](frmListView *list) {
            QTest::keyClicks(list->ui.TxtSearch, name);
            QTest::keyClick(list->ui.TxtSearch, Qt::Key_Return);
        });
        generate->ui.TxEmpCode->setFocus();
        QTest::keyClick(generate->ui.TxEmpCode, Qt::Key_F1);
        QCOMPARE(generate->ui.LbName->text(), name);
        QVERIFY(!generate->empSlno().isEmpty());
        QTest::keyClick(generate->ui.TxEmpCode, Qt::Key_End);
        while (!generate->ui.TxEmpCode->text().isEmpty())
            QTest::keyClick(generate->ui.TxEmpCode, Qt::Key_Backspace);
        QCOMPARE(generate->ui.LbName->text(), QString());
        QCOMPARE(generate->empSlno(), QString());
        QCOMPARE(generate->empCompany(), QString());
    }

    // After every test: the demo's default year, no screen open.
    void cleanup()
    {
        if (frmMain *main = frmMain::existing()) {
            m_rec.answers.clear();
            main->ui.mdiArea->closeAllSubWindows();
            QTRY_VERIFY(main->ui.mdiArea->subWindowList().isEmpty());
        }
        if (m_defaultFrom.isValid())
            SessionData::SwitchYear(mdlDalvoni::Db(), m_defaultFrom, m_defaultFrom.addYears(1).addDays(-1));
    }

private:
    // Opens a menu item's screen in the main window, every other screen closed, in the
    // financial year that starts in April of `year` (0: the demo's default year).
    QWidget *openScreen(const QString &item, int year)
    {
        frmMain *main = ShownMain();
        if (!main)
            return nullptr;
        main->ui.mdiArea->closeAllSubWindows();
        if (!QTest::qWaitFor([main] { return main->ui.mdiArea->subWindowList().isEmpty(); }))
            return nullptr;
        const QDate from = year > 0 ? QDate(year, 4, 1) : m_defaultFrom;
        SessionData::SwitchYear(mdlDalvoni::Db(), from, from.addYears(1).addDays(-1));
        main->findChild<QAction *>(item)->trigger();
        QMdiSubWindow *sub = main->ui.mdiArea->activeSubWindow();
        if (!sub || !QTest::qWaitFor([sub] { return sub->widget()->isVisible(); }) || !Activated(main))
            return nullptr;
        return sub->widget();
    }

    // The main window after login and company choice; shown here when the way in failed, so
    // that every screen is still looked at.
    frmMain *ShownMain()
    {
        frmMain *main = frmMain::existing();
        if (!main || !main->isVisible()) {
            mdlDalvoni::UserId = QStringLiteral("1");
            mdlDalvoni::UserName = QStringLiteral("admin");
            mdlDalvoni::CompanyCode = QLatin1String(DemoData::kMainCompany);
            main = frmMain::instance();
            main->show();
        }
        if (!m_defaultFrom.isValid())
            m_defaultFrom = mdlDalvoni::FinYearFrom;
        return Activated(main) ? main : nullptr;
    }

    // F1 on the worksheet: the employee list on the real display shows the row Enter takes and
    // whole columns; typing a name and Enter picks him, Enter in the code box loads him.
    void pickAndLoad(frmIncomeTax *sheet)
    {
        const QString declaring = DeclaringEmployee(mdlDalvoni::TaxYearStart);
        QStringList listProblems;
        bool shown = false;
        WhenModalShown<frmListView>([&](frmListView *list) {
            shown = true;
            listProblems << WholeWindow(list) << NarrowColumns(list);
            QTableView *grid = list->ui.GrHelp;
            if (!grid->viewport()->rect().contains(grid->visualRect(grid->currentIndex())))
                listProblems << QStringLiteral("the row Enter takes is out of view");
            QTest::keyClicks(list->ui.TxtSearch, declaring);
            QTest::keyClick(list->ui.TxtSearch, Qt::Key_Return);
        });
        sheet->ui.TxEmpCode->setFocus();
        QTest::keyClick(sheet->ui.TxEmpCode, Qt::Key_F1);
        QVERIFY(shown);
        VERIFY_NONE(listProblems);
        QTest::keyClick(sheet->ui.TxEmpCode, Qt::Key_Return);
        QVERIFY(!CellText(sheet->ui.GrDeductions, 0, 1).isEmpty());
    }
};

QTEST_MAIN(tst_Display)
#include "tst_display.moc"
