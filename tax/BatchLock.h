#pragma once

// One batch run of a company at a time, on every workstation: a named lock on the server,
// held by the connection that writes the run's records, and a row in hr_it_batch_run (written
// outside the run's transaction) that tells a second workstation whose run it waits for.

#include <QDate>
#include <QString>

#include <functional>

class DbConnection;

namespace BatchLock {

// Who runs the batch, and for what.
struct Owner
{
    QString companyCode;
    QString userId;
    QString userName;
    QString workstation;
    QDate from, to;
};

// The server's name of a company's run lock.
QString LockName(const QString &companyCode);

QString AcquireSql(const QString &companyCode, int waitSeconds);
QString ReleaseSql(const QString &companyCode);
QString RecordSql(const Owner &owner);
QString ForgetSql(const QString &companyCode);

// What the server knows of the run that holds the company's lock: "admin on workstation
// WS-12 (client 10.0.0.7), running since 15/10/2018 10:20:30, for 01/04/2018 to 31/03/2019";
// empty when nothing is known (the run may just have ended).
QString DescribeHolder(DbConnection &db, const QString &companyCode);

// Holds the company's run lock from construction to destruction.
class Guard
{
public:
    // Waits up to waitSeconds for the lock, telling waiting whose run holds it before it
    // waits; taken() tells whether it was granted. A granted lock is recorded in
    // hr_it_batch_run (a server without that table is only not told).
    Guard(DbConnection &db, const Owner &owner, int waitSeconds,
          const std::function<void(const QString &holder)> &waiting = {});
    // Forgets the run and releases the lock, unless the connection that held it is gone.
    ~Guard();
    Guard(const Guard &) = delete;
    Guard &operator=(const Guard &) = delete;

    bool taken() const { return m_taken; }
    // False once the connection has been opened again after a loss: the server released the
    // lock with the old connection, so nothing may be written on the strength of it.
    bool held() const;

private:
    DbConnection &m_db;
    QString m_companyCode;
    bool m_taken = false;
    int m_generation = 0;
};

} // namespace BatchLock
