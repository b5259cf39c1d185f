#include "RecordingPlatform.h"

RecordingPlatform::RecordingPlatform()
{
    setPlatform(this);
}

RecordingPlatform::~RecordingPlatform()
{
    setPlatform(nullptr);
}

void RecordingPlatform::message(const QString &text, Icon icon)
{
    messages.append({text, icon});
}

bool RecordingPlatform::askOkCancel(const QString &text, Icon)
{
    questions.append(text);
    return answers.isEmpty() ? true : answers.takeFirst();
}

bool RecordingPlatform::askYesNo(const QString &text, Icon, Default)
{
    questions.append(text);
    return answers.isEmpty() ? true : answers.takeFirst();
}

int RecordingPlatform::askChoice(const QString &text, Icon, const QStringList &buttons, int defaultButton)
{
    questions.append(text);
    choiceButtons.append(buttons);
    if (choices.isEmpty())
        return defaultButton;
    const QString pressed = choices.takeFirst();
    for (int i = 0; i < buttons.size(); ++i)
        if (QString(buttons[i]).remove(QLatin1Char('&')) == pressed)
            return i;
    return int(buttons.size()) - 1;
}

QString RecordingPlatform::saveFileName(const QString &folder, const QString &filter, const QString &proposedName)
{
    saveRequests.append({folder, filter, proposedName});
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
}

bool RecordingPlatform::openUrl(const QString &address)
{
    openedUrls.append(address);
    return true;
}

bool RecordingPlatform::startDetached(const QString &program, const QStringList &arguments)
{
    started.append({program, arguments});
    return startResult;
}

void RecordingPlatform::exitProgram(int code)
{
    exits.append(code);
}

void RecordingPlatform::clear()
{
    messages.clear();
    questions.clear();
    answers.clear();
    choices.clear();
    choiceButtons.clear();
    saveAnswers.clear();
    saveRequests.clear();
    openedUrls.clear();
    started.clear();
    exits.clear();
}
