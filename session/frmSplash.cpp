#include "frmSplash.h"

#include "frmLogin.h"
#include "ui/Artwork.h"

#include <QScreen>

frmSplash::frmSplash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    ui.setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_StyledBackground);
    ui.Image1->setPixmap(SuitePicture(QSize(150, 150)));
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    setWindowOpacity(0.0);
    Timer1.setInterval(1);
    connect(&Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Timer1.start();
}

void frmSplash::Timer1_Timer()
{
    ++m_ticks;
    if (m_counter <= 49) {
        m_counter += 5;
        m_level += 5;
    } else {
        m_level -= 5;
    }
    setWindowOpacity(m_level / 50.0);
    if (m_level <= 0) {
        Timer1.stop();
        // The login is up before the splash goes, so the program never runs without a window.
        auto *login = new frmLogin;
        login->show();
        login->activateWindow();
        close();
    }
}
