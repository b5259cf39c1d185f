#pragma once

#include "../session/Platform.h"

class QWidget;

// The desktop as Qt Widgets offers it: QMessageBox, QFileDialog, QDesktopServices, QProcess.
class QtPlatform : public Platform
{
public:
    void message(const QString &text, Icon icon) override;
    bool askOkCancel(const QString &text, Icon icon) override;
    bool askYesNo(const QString &text, Icon icon, Default defaultButton = Default::Yes) override;
    int askChoice(const QString &text, Icon icon, const QStringList &buttons, int defaultButton) override;
    QString saveFileName(const QString &folder, const QString &filter, const QString &proposedName) override;
    bool openUrl(const QString &address) override;
    bool startDetached(const QString &program, const QStringList &arguments) override;
    void exitProgram(int code) override;

    // The title of every message box.
    static QString title();
    // The text a box shows: the given one, or, when that is empty, one that still says that
    // the last action failed and on which screen. No box ever goes out without a text.
    static QString shownText(const QString &text);
};
