#pragma once

#include <QString>
#include <QStringList>

// What the program asks of the desktop: message boxes, questions, the save dialog, opening
// an address, starting a program without waiting, and ending the program. The forms and
// the core call it through platform(); the program installs the Qt Widgets version, the
// command-line tools a console version, and tests a recording double.
class Platform
{
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    // The button of a question that Enter presses.
    enum class Default { Yes, No };

    virtual ~Platform() = default;

    // A modal message with an OK button and the application's title.
    virtual void message(const QString &text, Icon icon) = 0;
    // OK / Cancel; true for OK.
    virtual bool askOkCancel(const QString &text, Icon icon) = 0;
    // Yes / No; true for Yes. A question whose Yes throws work away makes No the default.
    virtual bool askYesNo(const QString &text, Icon icon, Default defaultButton = Default::Yes) = 0;
    // A question with buttons of its own, named in order ("Reload", "Overwrite", "Cancel"):
    // the index of the button pressed. Enter presses defaultButton; Escape and the frame's close
    // box press the last one, which must be the answer that changes nothing.
    virtual int askChoice(const QString &text, Icon icon, const QStringList &buttons, int defaultButton) = 0;
    // The common save dialog; an empty result means the user cancelled.
    virtual QString saveFileName(const QString &folder, const QString &filter, const QString &proposedName) = 0;
    // Opens a document or web address with the desktop's handler.
    virtual bool openUrl(const QString &address) = 0;
    // Starts a program and does not wait for it.
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
    // Ends the program at once with the given exit code.
    virtual void exitProgram(int code) = 0;
};

// The platform in use (a console one until another is installed).
Platform &platform();
// Installs a platform; the caller keeps ownership. nullptr restores the console one.
void setPlatform(Platform *p);

// Prints messages to standard error and answers every question with its default (OK, No,
// the button that changes nothing).
class ConsolePlatform : public Platform
{
public:
    void message(const QString &text, Icon icon) override;
    bool askOkCancel(const QString &text, Icon icon) override;
    bool askYesNo(const QString &text, Icon icon, Default defaultButton = Default::Yes) override;
    // Answers with the last button, the one that changes nothing.
    int askChoice(const QString &text, Icon icon, const QStringList &buttons, int defaultButton) override;
    QString saveFileName(const QString &folder, const QString &filter, const QString &proposedName) override;
    bool openUrl(const QString &address) override;
    bool startDetached(const QString &program, const QStringList &arguments) override;
    void exitProgram(int code) override;
};
