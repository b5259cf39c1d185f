// Walks the shell as a user would (start-up, login, company choice) on the server the
// settings name and saves pictures of the login, the company list and the main window
// into the folder given as the only argument.
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTimer>

#include "session/Startup.h"
#include "session/frmChangeCompany.h"
#include "session/frmLogin.h"
#include "session/frmMain.h"
#include "session/mdlDalvoni.h"
#include "ui/QtPlatform.h"

namespace {

// Answers every question with OK, so that the walk needs no hand on the keyboard.
class AgreeingPlatform : public QtPlatform
{
public:
    bool askOkCancel(const QString &, Icon) override { return true; }
};

template <typename T> T *Window()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<T *>(w); t && t->isVisible())
            return t;
    return nullptr;
}

// The window as the screen shows it, frame and open menus included.
void Save(QWidget *w, const QString &folder, const QString &name)
{
    QApplication::processEvents();
    const QRect r = w->frameGeometry();
    w->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).save(QDir(folder).filePath(name));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    AgreeingPlatform desktop;
    setPlatform(&desktop);
    if (Startup::Run(mdlDalvoni::Db()) != Startup::Outcome::Ready)
        return 1;
    frmMain::registerMainArea();

    auto *login = new frmLogin;
    login->show();
    QTimer::singleShot(300, [&] {
        login->ui.TxtUserName->setText(QStringLiteral("admin"));
        login->ui.TxtPassword->setText(QStringLiteral("admin"));
        Save(login, folder, QStringLiteral("login.png"));
        login->CmOk_Click();
    });
    QTimer::singleShot(800, [&] {
        frmChangeCompany *list = Window<frmChangeCompany>();
        if (!list)
            return app.exit(2);
        list->ui.GrCompany->setCurrentCell(1, 1);
        Save(list, folder, QStringLiteral("company.png"));
        list->CmSwitch_Click();
    });
    QTimer::singleShot(1300, [&] {
        frmMain *main = frmMain::existing();
        if (!main || !main->isVisible())
            return app.exit(3);
        main->resize(1100, 700);
        main->ui.mnuTools->popup(
            main->mapToGlobal(main->ui.menubar->actionGeometry(main->ui.mnuTools->menuAction()).bottomLeft()));
    });
    QTimer::singleShot(1900, [&] {
        frmMain *main = frmMain::existing();
        Save(main, folder, QStringLiteral("main-window.png"));
        app.exit(0);
    });
    return app.exec();
}
