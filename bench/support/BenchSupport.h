#pragma once

// What the benchmark drivers share: a measured run in a child process of their own, lists of
// numbers from the command line, and the delay proxy in front of the server.

#include <QCoreApplication>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <map>
#include <stdexcept>
#include <sys/resource.h>

namespace BenchSupport {

// The peak resident memory of this process, in kB.
inline long PeakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// The values of a "key=value key=value" line, as a measured run in a child process prints it.
inline std::map<QString, QString> Values(const QString &line)
{
    std::map<QString, QString> values;
    for (const QString &pair : line.trimmed().split(QLatin1Char(' ')))
        values[pair.section(QLatin1Char('='), 0, 0)] = pair.section(QLatin1Char('='), 1);
    return values;
}

// Runs this program again with the arguments and reads the "name=value" pairs it prints.
inline std::map<QString, QString> Child(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), args);
    p.waitForFinished(-1);
    std::map<QString, QString> values = Values(QString::fromLocal8Bit(p.readAllStandardOutput()));
    if (p.exitCode() != 0 || values[QStringLiteral("ok")] != QLatin1String("1"))
        std::fprintf(stderr, "%s: the run %s failed\n", qPrintable(QCoreApplication::applicationName()),
                     qPrintable(args.join(QLatin1Char(' '))));
    return values;
}

inline QList<double> Numbers(const QString &list)
{
    QList<double> n;
    for (const QString &s : list.split(QLatin1Char(','), Qt::SkipEmptyParts))
        n << s.toDouble();
    return n;
}

// tools/delayproxy on 127.0.0.2:3306 in front of the server on 127.0.0.1:3306, holding every
// chunk for half the round trip in each direction, for as long as it lives.
class Proxy
{
public:
    explicit Proxy(double roundTripMs)
    {
        m_process.setProgram(QCoreApplication::applicationDirPath() +
                             QStringLiteral("/../../tools/delayproxy/delayproxy"));
        m_process.setArguments(
            {QStringLiteral("127.0.0.2:3306"), QStringLiteral("127.0.0.1:3306"), QString::number(roundTripMs / 2)});
        m_process.start();
        if (!m_process.waitForReadyRead(5000))
            throw std::runtime_error("the delay proxy did not start");
    }
    ~Proxy()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    Proxy(const Proxy &) = delete;
    Proxy &operator=(const Proxy &) = delete;

private:
    QProcess m_process;
};

} // namespace BenchSupport
