#include <QApplication>

#include "session/Platform.h"
#include "ui/QtPlatform.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QtPlatform desktop;
    setPlatform(&desktop);
    return 0;
}
