#pragma once

#include <QMainWindow>
#include <QMdiSubWindow>

#include "ui/FormUtil.h"
#include "ui_frmMain.h"

class QLabel;

// The frame window: the menus that reach every screen, the status line of the session and
// the financial-year label. One per process, created on first use.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The main window, created and loaded on the first call.
    static frmMain *instance();
    // The main window when it exists, else nullptr.
    static frmMain *existing();
    // Lets CentreInMain find (and create) the main window's inner area.
    static void registerMainArea();

    // The first panel of the status bar.
    QString statusText() const;
    void setStatusText(const QString &text);
    // Shows the session's financial year: the status line, with these product words, and
    // the financial-year label.
    void showFinancialYear(const QString &products);

    // Windows of the program now loaded, this one included, shown or not.
    int loadedWindowCount() const;

    // What the open screens hold unsaved, one line each ("Income Tax Calculator: the
    // declarations of ASHA RAO").
    QStringList unsavedWork() const;
    // Asked before the program ends: true when no screen holds unsaved changes, or the user
    // agrees to lose them.
    bool mayEnd() const;

    // Opens a child screen, or brings the open one to the front; gives it the focus.
    template <typename T> T *openScreen();
    // Makes a list window a dialog of the main window once the main window is on screen.
    void attachDialog(QWidget *window);

    void mnuAdditionsMaster_Click();
    void mnuSettings_Click();
    void mnuNewRegime_Click();
    void mnuEmployerDetails_Click();
    void mnuTransactions_Click();
    void mnuGenerateTax_Click();
    void mnuIncomeTaxStatement_Click();
    void mnuTaxCertificates_Click();
    void mnuRegimeComparison_Click();
    void mnuChangeCompany_Click();
    void mnuChangeFinancialYear_Click();

    Ui::frmMain ui;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    // The guard of Settings and Change Financial Year: false (with the message) when any
    // other window is loaded.
    bool mainWindowAlone();
    void addScreen(QWidget *screen);
    // Opens the first menu of the menu bar; the arrow keys go on from there.
    void openMenuBar();
    void watchAltAlone(QObject *watched, QEvent *event);
    template <typename T> bool bringForward();

    QLabel *m_statusPanel = nullptr;
    bool m_altAlone = false; // Alt is down and no other key came since
};

template <typename T> T *frmMain::openScreen()
{
    for (QMdiSubWindow *sub : ui.mdiArea->subWindowList()) {
        if (auto *screen = qobject_cast<T *>(sub->widget())) {
            sub->showNormal();
            ui.mdiArea->setActiveSubWindow(sub);
            FocusFirstField(screen);
            return screen;
        }
    }
    auto *screen = new T;
    addScreen(screen);
    return screen;
}
