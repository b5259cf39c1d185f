#include "BatchThread.h"

#include <QElapsedTimer>

#include <atomic>

BatchThread::BatchThread(const IncomeTaxBatch::Request &request, const RebateState &state, const QString &connectString,
                         const SessionLimits &limits, QObject *parent)
    : QThread(parent), m_request(request), m_state(state), m_connectString(connectString), m_limits(limits)
{
    qRegisterMetaType<IncomeTaxBatch::Progress>();
}

void BatchThread::run()
{
    // A connection name of its own: the session's connection belongs to the screens' thread.
    static std::atomic<int> serial{0};
    DbConnection db(QStringLiteral("IncomeTax batch %1").arg(++serial));
    db.setLimits(m_limits);
    QElapsedTimer sinceTold;
    sinceTold.start();
    try {
        try {
            db.open(m_connectString);
        } catch (const DbError &e) {
            throw IncomeTaxBatch::Error(
                QStringLiteral("Income tax could not be generated: the batch's connection to the database server "
                               "could not be opened.\nNo tax record was changed.\n") +
                e.text());
        }
        m_result = IncomeTaxBatch::Run(db, m_request, m_state, [this, &sinceTold](const IncomeTaxBatch::Progress &p) {
            if (p.value == 0 || p.value >= p.maximum || m_interval <= 0 || sinceTold.elapsed() >= m_interval) {
                emit progressed(p);
                sinceTold.restart();
            }
        });
    } catch (const IncomeTaxBatch::Error &e) {
        m_failure = e.text();
    } catch (const DbError &e) {
        m_failure = QStringLiteral("Income tax could not be generated.\nNo tax record was changed.\n") + e.text();
    }
    db.close();
}
