// The program on a real display, as a clerk sees it (a 1366x768 X screen with a window
// manager, Qt's xcb platform), on the demo company: the login, the company list and every
// screen of the menus open showing their whole form, their grids' columns are as wide as
// their headings and the data in view, the employee list shows the row that Enter takes,
// and Enter on a focused button clicks it.
#include "DemoData.h"
#include "ModalDriver.h"
#include "RecordingPlatform.h"
#include "TestDb.h"
#include "lookup/frmListView.h"
#include "reports/frmrptIT.h"
#include "session/Common.h"
#include "session/SessionData.h"
#include "session/frmChangeCompany.h"
#include "session/frmFinancialYear.h"
#include "session/frmLogin.h"
#include "session/frmMain.h"
#include "session/mdlDalvoni.h"
#include "tax/frmIncomeTax.h"
#include "ui/GridUtil.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
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

    RecordingPlatform m_rec;

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QCOMPARE(QGuiApplication::primaryScreen()->size(), QSize(1366, 768));
        DemoOptions demo;
        demo.employees = 60;
        demo.reset = true;
        demo.recentPayroll = true;
        DemoData::Generate(TestDb::Open(), demo);
        mdlDalvoni::ServerAddress = QStringLiteral("127.0.0.1");
        mdlDalvoni::UnitCode = QLatin1String(DemoData::kHeadOfficeUnit);
        mdlDalvoni::UnitName = QStringLiteral("HEAD OFFICE");
        frmMain::registerMainArea();

        const QDate yearStart = DemoData::DefaultYearFrom, yearEnd = yearStart.addYears(1).addDays(-1);
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
        QVERIFY(!DeclaringEmployee(DemoData::RecentYearFrom).isEmpty());
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
        for (const char *item :
             {"mnuAdditionsMaster", "mnuSettings", "mnuNewRegime", "mnuTransactions", "mnuGenerateTax",
              "mnuIncomeTaxStatement", "mnuRegimeComparison", "mnuChangeFinancialYear"})
            QTest::newRow(item) << QString::fromLatin1(item) << 0;
        // The worksheet with the new regime's figures beside its own.
        QTest::newRow("mnuTransactions 2025-26") << QStringLiteral("mnuTransactions") << 2025;
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

private:
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
