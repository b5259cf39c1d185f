#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include "session/Startup.h"
#include "session/frmMain.h"
#include "session/frmSplash.h"
#include "session/mdlDalvoni.h"
#include "session/Platform.h"
#include "ui/QtPlatform.h"

int main(int argc, char *argv[])
{
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
