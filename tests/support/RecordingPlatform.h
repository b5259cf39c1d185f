#pragma once

#include "session/Platform.h"

#include <QList>
#include <QStringList>

// Records what the program asks of the desktop and answers from scripted queues, so that
// no test ever waits on a modal box. Installed by the constructor, removed by the destructor.
class RecordingPlatform : public Platform
{
public:
    struct Message
    {
        QString text;
        Icon icon;
    };

    RecordingPlatform();
    ~RecordingPlatform() override;

    void message(const QString &text, Icon icon) override;
    bool askOkCancel(const QString &text, Icon icon) override;
    bool askYesNo(const QString &text, Icon icon, Default defaultButton = Default::Yes) override;
    int askChoice(const QString &text, Icon icon, const QStringList &buttons, int defaultButton) override;
    QString saveFileName(const QString &folder, const QString &filter, const QString &proposedName) override;
    bool openUrl(const QString &address) override;
    bool startDetached(const QString &program, const QStringList &arguments) override;
    void exitProgram(int code) override;

    void clear();
    // The last message text ("" when none).
    QString lastMessage() const { return messages.isEmpty() ? QString() : messages.last().text; }

    QList<Message> messages; // messages shown
    QStringList questions;   // questions asked (both kinds)
    QList<bool> answers;     // answers to give, in order; empty: OK / Yes
    // The buttons (their texts without the '&' of the key) to press in questions with buttons
    // of their own, in order; empty: the default button. The buttons offered, by question.
    QStringList choices;
    QList<QStringList> choiceButtons;
    QStringList saveAnswers; // file names the save dialog returns; empty: cancelled
    struct SaveRequest
    {
        QString folder, filter, proposedName;
    };
    QList<SaveRequest> saveRequests;
    QStringList openedUrls;
    QList<QPair<QString, QStringList>> started;
    bool startResult = true;
    QList<int> exits; // exit codes asked for
};
