#include "CertificateThread.h"

#include <QElapsedTimer>

CertificateThread::CertificateThread(const CertificateRun::Request &request, const QString &connectString,
                                     const SessionLimits &limits, QObject *parent)
    : QThread(parent), m_request(request), m_connectString(connectString), m_limits(limits)
{
}

void CertificateThread::run()
{
    // A connection name of its own: the session's connection belongs to the screens' thread.
    static std::atomic<int> serial{0};
    DbConnection db(QStringLiteral("IncomeTax certificates %1").arg(++serial));
    db.setLimits(m_limits);
    QElapsedTimer sinceTold;
    sinceTold.start();
    try {
        db.open(m_connectString);
        m_result = CertificateRun::Run(
            db, m_request,
            [this, &sinceTold](const CertificateRun::Progress &p) {
                // Often enough to move the bar smoothly, not so often that the screen only repaints.
                if (p.done == 0 || p.done >= p.total || sinceTold.elapsed() >= 40) {
                    emit progressed(p.done, p.total);
                    sinceTold.restart();
                }
            },
            &m_stop);
    } catch (const CertificateData::Problem &e) {
        m_failure = e.text();
    } catch (const CertificateRun::Error &e) {
        m_failure = e.text();
    } catch (const DbError &e) {
        m_failure = QStringLiteral("The certificates could not be written: the database server reported an "
                                   "error.\n") +
                    e.text();
    }
    db.close();
}
