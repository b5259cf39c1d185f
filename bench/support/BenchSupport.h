#pragma once

// What the benchmarks share: the delay proxy in front of the server, and the "key=value ..."
// lines in which a measured run in a child process reports.

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <map>
#include <stdexcept>

namespace BenchSupport {

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

// The values of a "key=value key=value" line.
inline std::map<QString, QString> Values(const QString &line)
{
    std::map<QString, QString> values;
    for (const QString &pair : line.trimmed().split(QLatin1Char(' ')))
        values[pair.section(QLatin1Char('='), 0, 0)] = pair.section(QLatin1Char('='), 1);
    return values;
}

} // namespace BenchSupport
