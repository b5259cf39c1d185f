#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include "session/Startup.h"
#include "session/frmMain.h"
#include "session/frmSplash.h"
#include "session/mdlDalvoni.h"
#include "session/Platform.h"
#include "ui/QtPlatform.h"

#include <cstdio>
#include <cstring>

namespace {

// --version and --help are answered before any window or connection, so that they work
// without a display and without a server.
bool AnsweredOnTerminal(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("IncomeTax %s\n", mdlDalvoni::kProgramVersion);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: IncomeTax [--version] [--help]\n\n"
                        "The salary income-tax module of the Corvantis HR and payroll suite. The server's\n"
                        "address comes from ~/.config/Dalvoni/Dalvoni.ini; see \"man IncomeTax\".\n");
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (AnsweredOnTerminal(argc, argv))
        return 0;
    QApplication app(argc, argv);
    QtPlatform desktop;
    setPlatform(&desktop);

    // The start picture is up while the server is reached, so that a slow or unreachable
    // server never leaves the user without a window; it fades out once start-up is done.
    auto *splash = new frmSplash;
    splash->Timer1.stop();
    splash->setWindowOpacity(1.0);
    splash->show();
    QElapsedTimer shown;
    shown.start();
    while (!(splash->windowHandle() && splash->windowHandle()->isExposed()) && shown.elapsed() < 1000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    splash->repaint();

    // A connection the server or the network dropped is opened again by the next action;
    // the user is told once each time.
    mdlDalvoni::Db().setReopenNotice(
        [](const QString &text) { platform().message(text, Platform::Icon::Information); });

    if (Startup::Run(mdlDalvoni::Db()) != Startup::Outcome::Ready)
        return 1;
    frmMain::registerMainArea();
    splash->Timer1.start();
    return app.exec();
}
