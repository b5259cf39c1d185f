#include "QtPlatform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

namespace {

QMessageBox::Icon toIcon(Platform::Icon icon)
{
    switch (icon) {
    case Platform::Icon::Information:
        return QMessageBox::Information;
    case Platform::Icon::Warning:
        return QMessageBox::Warning;
    case Platform::Icon::Critical:
        return QMessageBox::Critical;
    case Platform::Icon::Question:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

QWidget *owner()
{
    return QApplication::activeWindow();
}

// A window manager cuts a caption wider than its window ("Incom... ulator"): a short message
// gets a box wide enough to show the program's title whole beside the frame's buttons.
void KeepTitleWhole(QMessageBox &box)
{
    QFont caption = box.font();
    caption.setBold(true);
    const int width = QFontMetrics(caption).horizontalAdvance(box.windowTitle()) + 170;
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

} // namespace

QString QtPlatform::shownText(const QString &text)
{
    if (!text.trimmed().isEmpty())
        return text;
    const QWidget *screen = owner();
    const QString where =
        screen && !screen->windowTitle().trimmed().isEmpty()
            ? QStringLiteral(" on the screen \"") + screen->windowTitle().trimmed() + QStringLiteral("\"")
            : QString();
    return QStringLiteral("The last action") + where +
           QStringLiteral(" failed, and no description of the fault was given.   \n"
                          "It may not have been completed; please check it before going on.   ");
}

namespace {

// The start picture stays up while the connection is made; a message of that time must not
// hide behind it.
void HideStartPicture()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() == Qt::SplashScreen)
            w->hide();
}

} // namespace

QString QtPlatform::title()
{
    return QStringLiteral("Income Tax Calculator");
}

void QtPlatform::message(const QString &text, Icon icon)
{
    HideStartPicture();
    QMessageBox box(toIcon(icon), title(), shownText(text), QMessageBox::Ok, owner());
    KeepTitleWhole(box);
    box.exec();
}

bool QtPlatform::askOkCancel(const QString &text, Icon icon)
{
    HideStartPicture();
    QMessageBox box(toIcon(icon), title(), shownText(text), QMessageBox::Ok | QMessageBox::Cancel, owner());
    KeepTitleWhole(box);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

bool QtPlatform::askYesNo(const QString &text, Icon icon, Default defaultButton)
{
    HideStartPicture();
    QMessageBox box(toIcon(icon), title(), shownText(text), QMessageBox::Yes | QMessageBox::No, owner());
    KeepTitleWhole(box);
    box.setDefaultButton(defaultButton == Default::Yes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int QtPlatform::askChoice(const QString &text, Icon icon, const QStringList &buttons, int defaultButton)
{
    HideStartPicture();
    QMessageBox box(toIcon(icon), title(), shownText(text), QMessageBox::NoButton, owner());
    KeepTitleWhole(box);
    QList<QPushButton *> pushed;
    for (int i = 0; i < buttons.size(); ++i)
        pushed << box.addButton(buttons[i],
                                i + 1 == buttons.size() ? QMessageBox::RejectRole : QMessageBox::ActionRole);
    if (pushed.isEmpty())
        return -1;
    box.setDefaultButton(pushed.value(defaultButton, pushed.last()));
    box.setEscapeButton(pushed.last());
    box.exec();
    const int pressed = int(pushed.indexOf(qobject_cast<QPushButton *>(box.clickedButton())));
    return pressed < 0 ? int(pushed.size()) - 1 : pressed;
}

QString QtPlatform::saveFileName(const QString &folder, const QString &filter, const QString &proposedName)
{
    // The overwrite question is the caller's, with its own wording.
    return QFileDialog::getSaveFileName(owner(), QString(), QDir(folder).filePath(proposedName), filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

bool QtPlatform::openUrl(const QString &address)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

bool QtPlatform::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

void QtPlatform::exitProgram(int code)
{
    std::fflush(nullptr);
    std::_Exit(code);
}
