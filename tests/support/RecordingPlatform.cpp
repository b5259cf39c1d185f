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
    saveAnswers.clear();
    saveRequests.clear();
    openedUrls.clear();
    started.clear();
    exits.clear();
}
