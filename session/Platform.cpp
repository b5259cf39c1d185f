#include "Platform.h"

#include <QProcess>
#include <cstdio>
#include <cstdlib>

namespace {
ConsolePlatform g_console;
Platform *g_platform = nullptr;
} // namespace

Platform &platform()
{
    return g_platform ? *g_platform : g_console;
}

void setPlatform(Platform *p)
{
    g_platform = p;
}

void ConsolePlatform::message(const QString &text, Icon)
{
    std::fprintf(stderr, "%s\n", qPrintable(text.trimmed()));
}

bool ConsolePlatform::askOkCancel(const QString &text, Icon)
{
    std::fprintf(stderr, "%s [OK]\n", qPrintable(text.trimmed()));
    return true;
}

bool ConsolePlatform::askYesNo(const QString &text, Icon, Default)
{
    std::fprintf(stderr, "%s [No]\n", qPrintable(text.trimmed()));
    return false;
}

int ConsolePlatform::askChoice(const QString &text, Icon, const QStringList &buttons, int)
{
    std::fprintf(stderr, "%s [%s]\n", qPrintable(text.trimmed()),
                 qPrintable(QString(buttons.value(buttons.size() - 1)).remove(QLatin1Char('&'))));
    return int(buttons.size()) - 1;
}

QString ConsolePlatform::saveFileName(const QString &, const QString &, const QString &)
{
    return QString();
}

bool ConsolePlatform::openUrl(const QString &)
{
    return false;
}

bool ConsolePlatform::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

void ConsolePlatform::exitProgram(int code)
{
    std::exit(code);
}
