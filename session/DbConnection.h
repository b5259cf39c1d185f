#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QDate>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class QSqlError;

// A database failure, carrying the driver's own text (never an empty one) and, where it
// came from a statement, that statement.
class DbError : public std::runtime_error
{
public:
    enum class Kind {
        Other,          // the server's or the driver's own refusal
        ConnectionLost, // the link to the server broke; a transaction on it is over
        Busy,           // a lock held by another session was not released in time
        TimeLimit,      // the statement ran longer than the session allows
        TooLong,        // a text does not fit its column (found before anything was sent)
    };

    explicit DbError(const QString &text, const QString &sql = QString(), Kind kind = Kind::Other, int nativeCode = 0);
    QString text() const { return m_text; }
    QString sql() const { return m_sql; }
    Kind kind() const { return m_kind; }
    // The server's or client library's error number; 0 when there was none.
    int nativeCode() const { return m_nativeCode; }
    // Busy because this session and another waited for each other: the server undid this
    // session's whole transaction (otherwise a lock wait that ran out undid one statement).
    bool isDeadlock() const;
    // The server refused a row because another with the same key is stored.
    bool isDuplicateKey() const;

private:
    QString m_text;
    QString m_sql;
    Kind m_kind;
    int m_nativeCode;
};

// The tables a statement names after FROM, JOIN, INTO and UPDATE, in order, each once
// ("hr_it", "dalvoni.userdetails").
QStringList StatementTables(const QString &sql);

// A read-only, forward-only result: read a column by name, test for null and end, move next.
class Recordset
{
public:
    Recordset() = default;
    Recordset(Recordset &&) = default;
    Recordset &operator=(Recordset &&) = default;

    bool eof() const { return !m_valid; }
    void moveNext();
    void close();

    int columnCount() const { return m_record.count(); }
    QString columnName(int index) const { return m_record.fieldName(index); }

    QVariant value(const QString &column) const;
    QVariant value(int index) const;
    bool isNull(const QString &column) const { return value(column).isNull(); }
    bool isNull(int index) const { return value(index).isNull(); }
    // Text of the value; "" for null. Dates come as yyyy-MM-dd.
    QString text(const QString &column) const;
    QString text(int index) const;
    // Number of the value; 0 for null or text that is not a number.
    double number(const QString &column) const;
    double number(int index) const;
    QDate date(const QString &column) const;
    QDate date(int index) const;

private:
    friend class DbConnection;
    int indexOf(const QString &column) const;

    QSqlQuery m_query;
    QSqlRecord m_record;
    bool m_valid = false;
};

// How long a session of the program waits before it gives up. Every connection gets them
// when it opens; the lock and statement limits are the server session's own settings.
struct SessionLimits
{
    // A connection attempt that gets no answer ends in a message after this.
    int connectSeconds = 15;
    // Waiting for a row, table or metadata lock held by another session (lock_wait_timeout
    // and innodb_lock_wait_timeout).
    int lockWaitSeconds = 20;
    // The running time of one statement on the server (MariaDB's max_statement_time; on
    // MySQL max_execution_time, which bounds reads only). 0 leaves the server's own.
    int statementSeconds = 900;
};

// The one connection to the suite's server, over Qt SQL's ODBC driver.
//
// The session it opens never treats a backslash as an escape character (whatever the
// server's sql_mode says, so that typed text escaped by SqlEscape arrives as typed), waits
// for locks and runs statements within its limits. A connection that the server or the
// network dropped is opened again by the next action outside a transaction; a read that
// meets the dropped connection is repeated once on the new one (it changed nothing), a
// write never is (it may have been done).
class DbConnection
{
public:
    explicit DbConnection(const QString &name = QStringLiteral("IncomeTax"));
    ~DbConnection();
    DbConnection(const DbConnection &) = delete;
    DbConnection &operator=(const DbConnection &) = delete;

    // Opens with an ODBC connection string; throws DbError with the driver's text, or with
    // our own when the server gave no answer within the connect limit.
    void open(const QString &connectString);
    bool isOpen() const;
    void close();

    // Runs a SELECT, forward-only and read-only, positioned on its first row.
    Recordset query(const QString &sql);
    // Sends one statement; returns the number of affected rows (-1 when unknown).
    int execute(const QString &sql);

    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    QSqlDatabase database() const;
    QString name() const { return m_name; }
    // The connection string of the last open, for a second connection of the same session.
    QString connectString() const { return m_connectString; }
    // Counts the connections made: it changes whenever the connection is opened again, so
    // that what the server keeps per connection (a named lock) can be known to be gone.
    int generation() const { return m_generation; }

    // The limits the next open gives the session.
    void setLimits(const SessionLimits &limits) { m_limits = limits; }
    const SessionLimits &limits() const { return m_limits; }

    // Told once each time a lost connection has been opened again (the program shows it to
    // the user; the connection itself shows nothing).
    using ReopenNotice = std::function<void(const QString &text)>;
    void setReopenNotice(ReopenNotice notice) { m_reopenNotice = std::move(notice); }
    // True after the server or the network dropped the connection, until it is open again.
    bool isLost() const { return m_lost; }
    // Whether a transaction of this session may read committed rows only (no gap locks, so
    // that writers of different rows do not wait for each other): not on a server that logs
    // statements (binlog_format STATEMENT), which refuses the writes of such a transaction.
    bool mayReadCommitted() const { return m_mayReadCommitted; }

    // Sees every statement sent (true for a query), for measuring the client's share of a run.
    using Recorder = std::function<void(const QString &sql, bool isQuery)>;
    void setRecorder(Recorder recorder) { m_recorder = std::move(recorder); }

    struct Attempt;

private:
    void connect();
    void applySessionSettings();
    void dropConnection();
    void reopenIfLost();
    void reopen();
    DbError failure(const QSqlError &error, const QString &sql);
    Recordset runQuery(const QString &sql);

    QString m_name;
    QString m_current; // the name Qt SQL knows the open connection by
    int m_generation = 0;
    QString m_connectString;
    SessionLimits m_limits;
    bool m_inTransaction = false;
    bool m_lost = false;
    bool m_mayReadCommitted = true;
    ReopenNotice m_reopenNotice;
    Recorder m_recorder;
    // Attempts that gave no answer in time and still run; removed once they have ended.
    std::vector<std::shared_ptr<Attempt>> m_abandoned;
};

// How work that is one whole transaction is tried again when the server undid it because
// another session got in its way.
struct RetryPolicy
{
    int attempts = 3;      // in all, the first one counted, after a deadlock
    int firstPauseMs = 50; // before the second attempt, doubled before each one after it
    // After a lock wait that ran out (the work has waited the session's lock wait already):
    // 1 tries no more.
    int lockWaitAttempts = 1;
    bool duplicates = false; // a row refused for a key that another session stored meanwhile
                             // is tried again as a deadlock is
};
// Runs work; when it throws a DbError of a collision the policy names, pauses (the pause
// and up to as much again, at random, so that two sessions do not meet again) and runs it
// again, up to the policy's attempts for that collision; then the last error propagates.
// retrying is told before each pause.
using RetryNotice = std::function<void(const DbError &error, int nextAttempt, int ofAttempts, int pauseMs)>;
void RetryOnCollision(const RetryPolicy &policy, const std::function<void()> &work, const RetryNotice &retrying = {});

// Who holds rows locked on the server, as far as this session may see it: "user root from
// 10.0.0.7, in a transaction open for 25 seconds" for the longest-running transaction of
// another connection that holds locks; empty when none is seen (the account may lack the
// PROCESS privilege).
QString LockHolderText(DbConnection &db);

// Rolls the transaction back unless commit() was called.
class Transaction
{
public:
    explicit Transaction(DbConnection &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    DbConnection &m_db;
    bool m_done = false;
};
