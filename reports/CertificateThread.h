#pragma once

// The certificates written on a thread of their own, so that the screen that started them
// stays responsive: a connection of its own with the session's connection string and limits,
// progress told by queued signals, and a stop between two employees when asked.

#include "CertificateRun.h"
#include "session/DbConnection.h"

#include <QMetaType>
#include <QThread>

#include <atomic>
#include <optional>

class CertificateThread : public QThread
{
    Q_OBJECT

public:
    CertificateThread(const CertificateRun::Request &request, const QString &connectString, const SessionLimits &limits,
                      QObject *parent = nullptr);

    // Asks the run to stop after the employee it is on.
    void requestStop() { m_stop = true; }

    // After the thread has finished: what was written, or why it could not run.
    const std::optional<CertificateRun::Result> &result() const { return m_result; }
    QString failure() const { return m_failure; }

signals:
    void progressed(int done, int total);

protected:
    void run() override;

private:
    CertificateRun::Request m_request;
    QString m_connectString;
    SessionLimits m_limits;
    std::atomic<bool> m_stop{false};
    std::optional<CertificateRun::Result> m_result;
    QString m_failure;
};
