#include "frmMain.h"

#include "AppSettings.h"
#include "Common.h"
#include "Platform.h"
#include "SessionData.h"
#include "SessionText.h"
#include "config/frmEmployerDetails.h"
#include "config/frmITSettings.h"
#include "config/frmNewRegime.h"
#include "config/frmOtherAllowance.h"
#include "frmChangeCompany.h"
#include "frmFinancialYear.h"
#include "mdlDalvoni.h"
#include "reports/frmTaxCertificate.h"
#include "reports/frmrptIT.h"
#include "reports/frmRegimeComparison.h"
#include "tax/frmGenerateIncomeTax.h"
#include "tax/frmIncomeTax.h"
#include "ui/Artwork.h"
#include "ui/FormUtil.h"
#include "ui/UnsavedWork.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QStyle>

namespace {
QPointer<frmMain> g_main;

bool IsProgramWindow(const QWidget *w)
{
    return QByteArray(w->metaObject()->className()).startsWith("frm");
}
} // namespace

frmMain::frmMain(QWidget *parent) : QMainWindow(parent)
{
    ui.setupUi(this);
    g_main = this;
    m_statusPanel = new QLabel(this);
    m_statusPanel->setObjectName(QStringLiteral("SBarPanel1"));
    m_statusPanel->setFrameShape(QFrame::Panel);
    m_statusPanel->setFrameShadow(QFrame::Sunken);
    ui.SBar->addWidget(m_statusPanel, 1);
    ui.mdiArea->viewport()->installEventFilter(this);
    qApp->installEventFilter(this);
    if (QScreen *screen = this->screen()) {
        const QRect free = screen->availableGeometry();
        resize(free.size() * 0.85);
        move(free.center() - rect().center());
        // On a laptop's screen (1366x768 and the like) the screens need all the room there is.
        if (free.width() < 1600 || free.height() < 900)
            setWindowState(Qt::WindowMaximized);
    }

    connect(ui.mnuAdditionsMaster, &QAction::triggered, this, &frmMain::mnuAdditionsMaster_Click);
    connect(ui.mnuSettings, &QAction::triggered, this, &frmMain::mnuSettings_Click);
    connect(ui.mnuNewRegime, &QAction::triggered, this, &frmMain::mnuNewRegime_Click);
    connect(ui.mnuEmployerDetails, &QAction::triggered, this, &frmMain::mnuEmployerDetails_Click);
    connect(ui.mnuTransactions, &QAction::triggered, this, &frmMain::mnuTransactions_Click);
    connect(ui.mnuGenerateTax, &QAction::triggered, this, &frmMain::mnuGenerateTax_Click);
    connect(ui.mnuIncomeTaxStatement, &QAction::triggered, this, &frmMain::mnuIncomeTaxStatement_Click);
    connect(ui.mnuTaxCertificates, &QAction::triggered, this, &frmMain::mnuTaxCertificates_Click);
    connect(ui.mnuRegimeComparison, &QAction::triggered, this, &frmMain::mnuRegimeComparison_Click);
    connect(ui.mnuChangeCompany, &QAction::triggered, this, &frmMain::mnuChangeCompany_Click);
    connect(ui.mnuChangeFinancialYear, &QAction::triggered, this, &frmMain::mnuChangeFinancialYear_Click);
    // F10 opens the menu bar, as Alt alone does (eventFilter); Alt and a menu's underlined
    // letter open that menu.
    auto *menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, &frmMain::openMenuBar);

    Form_Load();
}

frmMain::~frmMain() = default;

frmMain *frmMain::instance()
{
    if (!g_main)
        new frmMain;
    return g_main;
}

frmMain *frmMain::existing()
{
    return g_main;
}

void frmMain::registerMainArea()
{
    SetMainAreaProvider([]() -> QWidget * { return instance()->ui.mdiArea; });
}

void frmMain::Form_Load()
{
    try {
        SessionData::UseDefaultYear(mdlDalvoni::Db());
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
        platform().exitProgram(1);
        return;
    }
    showFinancialYear(QLatin1String(SessionText::kLoadProducts));
}

void frmMain::showFinancialYear(const QString &products)
{
    setStatusText(SessionText::StatusLine(products));
    ui.LbFinYear->setText(SessionText::FinYearCaption());
}

QString frmMain::statusText() const
{
    return m_statusPanel->text();
}

void frmMain::setStatusText(const QString &text)
{
    m_statusPanel->setText(text);
}

int frmMain::loadedWindowCount() const
{
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (IsProgramWindow(w))
            ++count;
    return count + int(ui.mdiArea->subWindowList().size());
}

QStringList frmMain::unsavedWork() const
{
    QStringList unsaved;
    for (QMdiSubWindow *sub : ui.mdiArea->subWindowList()) {
        if (const auto *screen = dynamic_cast<const UnsavedWork *>(sub->widget())) {
            const QString what = screen->unsavedChanges();
            if (!what.isEmpty())
                unsaved << sub->widget()->windowTitle() + QStringLiteral(": ") + what;
        }
    }
    return unsaved;
}

bool frmMain::mayEnd() const
{
    return MayEndProgram(unsavedWork());
}

bool frmMain::mainWindowAlone()
{
    if (loadedWindowCount() > 1) {
        platform().message(QStringLiteral("Close All forms and try again!!!!"), Platform::Icon::Information);
        return false;
    }
    return true;
}

void frmMain::addScreen(QWidget *screen)
{
    screen->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = ui.mdiArea->addSubWindow(screen);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // A screen that closes itself takes its frame with it, so that no empty frame stays loaded.
    connect(screen, &QObject::destroyed, ui.mdiArea, [frame = QPointer<QMdiSubWindow>(sub)] {
        if (frame)
            frame->deleteLater();
    });
    // The screen at the size its layout asks for, within the room the main window has.
    sub->adjustSize();
    if (ui.mdiArea->isVisible()) {
        const QSize room = ui.mdiArea->viewport()->size();
        sub->resize(sub->size().boundedTo(room).expandedTo(sub->minimumSizeHint()));
    }
    CentreInMain(screen);
    sub->show();
    ui.mdiArea->setActiveSubWindow(sub);
    FocusFirstField(screen);
}

template <typename T> bool frmMain::bringForward()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *list = qobject_cast<T *>(w)) {
            list->show();
            list->raise();
            list->activateWindow();
            return true;
        }
    }
    return false;
}

void frmMain::attachDialog(QWidget *window)
{
    if (isVisible() && window->parentWidget() != this)
        window->setParent(this, Qt::Dialog);
}

void frmMain::mnuAdditionsMaster_Click()
{
    openScreen<frmOtherAllowance>();
}

void frmMain::mnuSettings_Click()
{
    if (mainWindowAlone())
        openScreen<frmITSettings>();
}

// The year's tax figures change only while no screen that reads them is open.
void frmMain::mnuNewRegime_Click()
{
    if (mainWindowAlone())
        openScreen<frmNewRegime>();
}

void frmMain::mnuEmployerDetails_Click()
{
    openScreen<frmEmployerDetails>();
}

void frmMain::mnuTransactions_Click()
{
    openScreen<frmIncomeTax>();
}

void frmMain::mnuGenerateTax_Click()
{
    openScreen<frmGenerateIncomeTax>();
}

void frmMain::mnuIncomeTaxStatement_Click()
{
    openScreen<frmrptIT>();
}

void frmMain::mnuTaxCertificates_Click()
{
    openScreen<frmTaxCertificate>();
}

void frmMain::mnuRegimeComparison_Click()
{
    openScreen<frmRegimeComparison>();
}

void frmMain::mnuChangeCompany_Click()
{
    if (bringForward<frmChangeCompany>())
        return;
    auto *list = new frmChangeCompany;
    list->show();
    list->activateWindow();
}

void frmMain::mnuChangeFinancialYear_Click()
{
    if (!mainWindowAlone())
        return;
    auto *list = new frmFinancialYear;
    list->show();
    list->activateWindow();
}

void frmMain::openMenuBar()
{
    const QList<QAction *> menus = ui.menubar->actions();
    if (!menus.isEmpty() && !ui.menubar->activeAction())
        ui.menubar->setActiveAction(menus.first());
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!mayEnd()) {
        event->ignore();
        return;
    }
    // The lists shown over the frame go with it.
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != this && IsProgramWindow(w))
            w->close();
    QMainWindow::closeEvent(event);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    // Ctrl+Y belongs to the Tools menu everywhere in this window, also while a text box of a
    // screen has the focus (which would otherwise take it as redo). Ctrl+A does too, except in
    // a text or amount box, where it selects the box's text as in every text box.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *widget = qobject_cast<QWidget *>(watched);
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool textBox = qobject_cast<QLineEdit *>(widget) != nullptr;
        if (widget && widget->window() == this && key->modifiers() == Qt::ControlModifier &&
            ((key->key() == Qt::Key_A && !textBox) || key->key() == Qt::Key_Y)) {
            event->ignore();
            return true;
        }
    }
    watchAltAlone(watched, event);
    if (watched == ui.mdiArea->viewport() && event->type() == QEvent::Resize)
        ui.mdiArea->setBackground(MainBackground(ui.mdiArea->viewport()->size()));
    return QMainWindow::eventFilter(watched, event);
}

// Alt pressed and let go with no other key between opens the menu bar, where the style does
// not do it itself.
void frmMain::watchAltAlone(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::WindowDeactivate && watched == this) {
        m_altAlone = false;
        return;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this ||
        style()->styleHint(QStyle::SH_MenuBar_AltKeyNavigation, nullptr, ui.menubar))
        return;
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool alt = key->key() == Qt::Key_Alt;
    if (type != QEvent::KeyRelease) {
        // A key that a shortcut takes (Alt and a letter) reaches the filter only as its
        // shortcut override; the same key reaches the focused control and its parents.
        if (!key->isAutoRepeat())
            m_altAlone = alt && !(key->modifiers() & ~(Qt::KeypadModifier | Qt::AltModifier));
    } else if (alt && m_altAlone) {
        m_altAlone = false;
        openMenuBar();
    }
}
