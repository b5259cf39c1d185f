// Walks the program as a clerk would (start-up, login, company choice, every menu screen) on
// the server the settings name, and saves a picture of each screen as it opens into the
// folder given as the first argument. The second and third arguments are the user and the
// password to log in with (default admin / Admin@123, the demo company's first user).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include "config/frmEmployerDetails.h"
#include "config/frmITSettings.h"
#include "config/frmNewRegime.h"
#include "config/frmOtherAllowance.h"
#include "lookup/frmListView.h"
#include "reports/frmRegimeComparison.h"
#include "reports/frmTaxCertificate.h"
#include "reports/frmrptIT.h"
#include "session/Common.h"
#include "session/Startup.h"
#include "session/frmChangeCompany.h"
#include "session/frmFinancialYear.h"
#include "session/frmLogin.h"
#include "session/frmMain.h"
#include "session/mdlDalvoni.h"
#include "tax/frmGenerateIncomeTax.h"
#include "tax/frmIncomeTax.h"
#include "ui/CellGrid.h"
#include "ui/QtPlatform.h"

namespace {

// Answers every question with OK, so that the walk needs no hand on the keyboard.
class AgreeingPlatform : public QtPlatform
{
public:
    bool askOkCancel(const QString &, Icon) override { return true; }
    // The certificates' folder is not opened in a file manager during the walk.
    bool openUrl(const QString &) override { return true; }
};

QString g_folder;

template <typename T> T *Window()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<T *>(w); t && t->isVisible())
            return t;
    return nullptr;
}

// Lets the window system and the program catch up.
void Pause(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Key(QWidget *w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString &text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(w, &release);
}

void Type(QWidget *w, const QString &text)
{
    for (QChar c : text)
        Key(w, c.toUpper().unicode(), Qt::NoModifier, QString(c));
}

// The window as the screen shows it, frame, open menus and message boxes over it included.
void Save(QWidget *w, const QString &name)
{
    Pause(400);
    const QRect r = w->frameGeometry();
    w->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).save(QDir(g_folder).filePath(name));
}

template <typename T> void CloseScreen(frmMain *main)
{
    for (QMdiSubWindow *sub : main->ui.mdiArea->subWindowList())
        if (qobject_cast<T *>(sub->widget()))
            sub->close();
    Pause(200);
}

// Runs action on the modal window that the next step opens, once it is on screen.
void WhenModal(std::function<void(QWidget *)> action)
{
    auto *timer = new QTimer;
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget *w = QApplication::activeModalWidget(); w && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            Pause(300);
            action(w);
        }
    });
    timer->start();
}

int Walk(const QString &user, const QString &password)
{
    auto *login = new frmLogin;
    login->show();
    Pause(800);
    login->ui.TxtUserName->setText(user);
    login->ui.TxtPassword->setText(password);
    Save(login, QStringLiteral("login.png"));
    login->CmOk_Click();
    Pause(800);

    frmChangeCompany *list = Window<frmChangeCompany>();
    if (!list)
        return 2;
    Save(list, QStringLiteral("company.png"));
    list->CmSwitch_Click();
    Pause(800);

    frmMain *main = frmMain::existing();
    if (!main || !main->isVisible())
        return 3;
    main->ui.mnuMasters->popup(
        main->mapToGlobal(main->ui.menubar->actionGeometry(main->ui.mnuMasters->menuAction()).bottomLeft()));
    Save(main, QStringLiteral("main-window.png"));
    main->ui.mnuMasters->hide();

    // The worksheet and the statement in the demo's default year, today's, with its payroll
    // up to the last complete month: the employee's regime beside the old regime's figures.
    // The worksheet: the employee list on F1, then Enter loads the picked employee.
    main->mnuTransactions_Click();
    Pause(500);
    auto *sheet = Window<frmMain>()->findChild<frmIncomeTax *>();
    // An employee with declarations of the tax year, found by typing his name; one taxed under
    // the year's default regime (the new one), whose tax is therefore not the old regime's.
    const QString withDeclarations = QueryFirstValue(
        mdlDalvoni::Db(),
        QStringLiteral("Select emp_name from hr_it_trans Inner Join hr_employee on "
                       "hr_employee.emp_slno=hr_it_trans.emp_slno where comp_code='") +
            mdlDalvoni::CompanyCode + QStringLiteral("' and emp_it_from='") + SqlDate(mdlDalvoni::TaxYearStart) +
            QStringLiteral("' and hr_employee.emp_slno not in (Select emp_slno from hr_it_emp_regime where "
                           "ac_from_date='") +
            SqlDate(mdlDalvoni::FinYearFrom) + QStringLiteral("') order by emp_code limit 1"));
    WhenModal([withDeclarations](QWidget *w) {
        auto *lookup = static_cast<frmListView *>(w);
        Save(lookup, QStringLiteral("lookup.png"));
        Type(lookup->ui.TxtSearch, withDeclarations);
        Key(lookup->ui.TxtSearch, Qt::Key_Return);
    });
    sheet->ui.TxEmpCode->setFocus();
    Key(sheet->ui.TxEmpCode, Qt::Key_F1);
    Pause(300);
    Key(sheet->ui.TxEmpCode, Qt::Key_Return);
    Save(main, QStringLiteral("worksheet.png"));
    CloseScreen<frmIncomeTax>(main);

    // The statement scrolled to its last columns, the regimes among them; then half way
    // across and down, the code and name still in view.
    main->mnuIncomeTaxStatement_Click();
    auto *statement = main->findChild<frmrptIT *>();
    statement->CmShow_Click();
    Pause(200);
    QScrollBar *across = statement->ui.FBook->horizontalScrollBar();
    across->setValue(across->maximum());
    Save(main, QStringLiteral("statement.png"));
    across->setValue(across->maximum() / 2);
    QScrollBar *down = statement->ui.FBook->verticalScrollBar();
    down->setValue(down->maximum() / 2);
    Save(main, QStringLiteral("statement-scrolled.png"));
    CloseScreen<frmrptIT>(main);

    // The regime comparison of the company, by the saving, those whose regime costs more first.
    main->mnuRegimeComparison_Click();
    if (auto *comparison = main->findChild<frmRegimeComparison *>()) {
        comparison->CmShow_Click();
        comparison->ui.OptBySaving->setChecked(true);
        Pause(200);
    }
    Save(main, QStringLiteral("regime-comparison.png"));
    CloseScreen<frmRegimeComparison>(main);

    // Generate at the end of a run of the whole company, its summary in view.
    main->mnuGenerateTax_Click();
    if (auto *generate = main->findChild<frmGenerateIncomeTax *>()) {
        generate->CmGenerate_Click();
        for (int waited = 0; generate->isRunning() && waited < 60000; waited += 100)
            Pause(100);
    }
    Save(main, QStringLiteral("generate.png"));
    CloseScreen<frmGenerateIncomeTax>(main);

    // The tax certificates of the whole company at the end of their run, written into the
    // folder the walk's script renders a page of (IT_CERTIFICATE_FOLDER).
    main->mnuTaxCertificates_Click();
    if (auto *certificates = main->findChild<frmTaxCertificate *>()) {
        const QString folder = qEnvironmentVariable("IT_CERTIFICATE_FOLDER");
        if (!folder.isEmpty())
            certificates->ui.TxFolder->setText(folder);
        certificates->CmWrite_Click();
        for (int waited = 0; certificates->isRunning() && waited < 120000; waited += 100)
            Pause(100);
        Pause(200);
    }
    Save(main, QStringLiteral("tax-certificates.png"));
    CloseScreen<frmTaxCertificate>(main);

    main->mnuEmployerDetails_Click();
    Save(main, QStringLiteral("employer-details.png"));
    CloseScreen<frmEmployerDetails>(main);

    main->mnuAdditionsMaster_Click();
    Save(main, QStringLiteral("allowance-master.png"));
    CloseScreen<frmOtherAllowance>(main);

    main->mnuSettings_Click();
    Save(main, QStringLiteral("settings.png"));
    CloseScreen<frmITSettings>(main);

    main->mnuNewRegime_Click();
    Save(main, QStringLiteral("new-regime.png"));
    CloseScreen<frmNewRegime>(main);

    main->mnuChangeFinancialYear_Click();
    Pause(300);
    if (auto *years = Window<frmFinancialYear>()) {
        Save(main, QStringLiteral("financial-year.png"));
        years->close();
    }

    // A short message over a screen: its title must show whole.
    main->mnuGenerateTax_Click();
    Pause(300);
    WhenModal([](QWidget *w) {
        Save(frmMain::existing(), QStringLiteral("message.png"));
        Key(w, Qt::Key_Return);
    });
    main->mnuSettings_Click();
    CloseScreen<frmGenerateIncomeTax>(main);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QString user = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("admin");
    const QString password = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("Admin@123");
    AgreeingPlatform desktop;
    setPlatform(&desktop);
    if (Startup::Run(mdlDalvoni::Db()) != Startup::Outcome::Ready)
        return 1;
    frmMain::registerMainArea();
    QTimer::singleShot(0, [&] { app.exit(Walk(user, password)); });
    return app.exec();
}
