#pragma once

// The batch on a thread of its own, so that the screen that started it stays responsive: it
// opens a connection of its own with the session's connection string and limits, runs the
// batch on it and tells its progress by queued signals, at most every progressInterval.

#include "IncomeTaxBatch.h"
#include "session/DbConnection.h"

#include <QMetaType>
#include <QThread>

#include <optional>

class BatchThread : public QThread
{
    Q_OBJECT

public:
    BatchThread(const IncomeTaxBatch::Request &request, const RebateState &state, const QString &connectString,
                const SessionLimits &limits, QObject *parent = nullptr);

    // Progress is told when the selection is counted, when the last employee is done, and in
    // between no more often than this (0: after every employee).
    void setProgressInterval(int milliseconds) { m_interval = milliseconds; }

    // After the thread has finished: the counts of a run that was stored, or the text of why
    // it stopped; and the slabs and rebate the run leaves to the next one either way.
    const std::optional<IncomeTaxBatch::Result> &result() const { return m_result; }
    QString failure() const { return m_failure; }
    const RebateState &state() const { return m_state; }

signals:
    void progressed(const IncomeTaxBatch::Progress &progress);

protected:
    void run() override;

private:
    IncomeTaxBatch::Request m_request;
    RebateState m_state;
    QString m_connectString;
    SessionLimits m_limits;
    int m_interval = 40;
    std::optional<IncomeTaxBatch::Result> m_result;
    QString m_failure;
};

Q_DECLARE_METATYPE(IncomeTaxBatch::Progress)
