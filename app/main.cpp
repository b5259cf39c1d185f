#include <QApplication>

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

    if (Startup::Run(mdlDalvoni::Db()) != Startup::Outcome::Ready)
        return 1;
    frmMain::registerMainArea();
    (new frmSplash)->show();
    return app.exec();
}
