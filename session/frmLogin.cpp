#include "frmLogin.h"

#include "AppSettings.h"
#include "LoginCheck.h"
#include "Platform.h"
#include "frmChangeCompany.h"
#include "mdlDalvoni.h"
#include "ui/Artwork.h"
#include "ui/FormUtil.h"

#include <QKeyEvent>
#include <QScreen>

frmLogin::frmLogin(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui.ImgLogo->setPixmap(SuitePicture(QSize(110, 110)));
    ui.TxtUserName->installEventFilter(this);
    ui.TxtPassword->installEventFilter(this);
    LimitToColumn(ui.TxtUserName, QStringLiteral("dalvoni.userdetails"), QStringLiteral("user_name"));
    LimitToColumn(ui.TxtPassword, QStringLiteral("dalvoni.userdetails"), QStringLiteral("user_password"));
    // Every typed character shows as "*", whatever the desktop style prefers.
    ui.TxtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    connect(ui.CmOk, &QPushButton::clicked, this, &frmLogin::CmOk_Click);
    connect(ui.CmExit, &QPushButton::clicked, this, &frmLogin::CmExit_Click);
    Form_Load();
}

void frmLogin::Form_Load()
{
    ui.TxtUserName->setText(AppSettings::Get(AppSettings::kLoginSection, AppSettings::kLoginKey));
    adjustSize();
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void frmLogin::CmOk_Click()
{
    LoginCheck::Result result;
    try {
        result = LoginCheck::Check(mdlDalvoni::Db(), ui.TxtUserName->text(), ui.TxtPassword->text());
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
        platform().exitProgram(1);
        return;
    }
    if (result.outcome != LoginCheck::Outcome::Admitted) {
        platform().message(result.message, result.icon);
        if (result.clearPassword)
            ui.TxtPassword->clear();
        // A denied login leaves the focus where it was; the other refusals ask for the password again.
        if (result.outcome != LoginCheck::Outcome::Denied)
            ui.TxtPassword->setFocus();
        return;
    }
    auto *companies = new frmChangeCompany;
    companies->show();
    companies->activateWindow();
    close();
}

void frmLogin::CmExit_Click()
{
    platform().exitProgram(0);
}

bool frmLogin::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (box && (box == ui.TxtUserName || box == ui.TxtPassword)) {
        if (event->type() == QEvent::FocusIn) {
            SelectAllText(box);
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (box == ui.TxtUserName) {
                    ui.TxtPassword->setFocus();
                } else {
                    ui.CmOk->setFocus();
                    CmOk_Click();
                }
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
