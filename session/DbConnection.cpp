#include "DbConnection.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlError>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Error numbers of the server and of its client library that the session acts on.
enum ServerError {
    kServerShutdown = 1053,     // the server is shutting down
    kLockWaitTimeout = 1205,    // a row, table or metadata lock was not granted in time
    kDeadlock = 1213,           // two sessions waited for each other; this one was undone
    kDuplicateKey = 1062,       // a row with the same unique key is stored
    kConnectionKilled = 1927,   // the session was killed on the server
    kStatementTimeout = 1969,   // max_statement_time exceeded (MariaDB)
    kServerGone = 2006,         // the server has gone away
    kServerLost = 2013,         // lost connection during a statement
    kServerLostExtended = 2055, // lost connection, with the system's reason
    kQueryTimeout = 3024,       // max_execution_time exceeded (MySQL)
};

const QString kLostText = QStringLiteral("The connection to the database server was lost.");
const QString kLostInTransactionText =
    QStringLiteral("The connection to the database server was lost during this change; the server has undone "
                   "what had been done of it.");
const QString kReopenedText =
    QStringLiteral("The connection to the database server was lost and has been opened again.   ");

QString ErrorText(const QSqlError &e)
{
    QString t = e.databaseText().trimmed();
    if (t.isEmpty())
        t = e.driverText().trimmed();
    if (t.isEmpty())
        t = e.text().trimmed();
    return t;
}

int NativeCode(const QSqlError &e)
{
    return e.nativeErrorCode().toInt();
}

// A failed call that left no error at all could not even get a statement handle: the
// driver has given the connection up.
bool IsLostLink(const QSqlError &e)
{
    if (e.type() == QSqlError::NoError)
        return true;
    switch (NativeCode(e)) {
    case kServerShutdown:
    case kConnectionKilled:
    case kServerGone:
    case kServerLost:
    case kServerLostExtended:
        return true;
    default:
        return false;
    }
}

// "the table hr_it", "the tables hr_it, hr_employee", "the database".
QString TablesPhrase(const QString &sql)
{
    const QStringList tables = StatementTables(sql);
    if (tables.isEmpty())
        return QStringLiteral("the database");
    return (tables.size() == 1 ? QStringLiteral("the table ") : QStringLiteral("the tables ")) +
           tables.join(QStringLiteral(", "));
}

// What a statement does, for a message: "reading the table hr_it".
QString ActionPhrase(const QString &sql)
{
    const QString verb = sql.trimmed().section(QLatin1Char(' '), 0, 0).toLower();
    QString action = QStringLiteral("a request on");
    if (verb == QLatin1String("select"))
        action = QStringLiteral("reading");
    else if (verb == QLatin1String("insert"))
        action = QStringLiteral("storing into");
    else if (verb == QLatin1String("update"))
        action = QStringLiteral("changing");
    else if (verb == QLatin1String("delete"))
        action = QStringLiteral("removing rows from");
    return action + QLatin1Char(' ') + TablesPhrase(sql);
}

QString Capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

// The text of an error that came without one: it still says what failed.
QString nonEmptyText(const QString &text, const QString &sql, DbError::Kind kind)
{
    if (!text.trimmed().isEmpty())
        return text;
    if (kind == DbError::Kind::ConnectionLost)
        return kLostText;
    return Capitalised(ActionPhrase(sql)) +
           QStringLiteral(" failed, and neither the database server nor its driver said why.");
}

QString BusyText(const QString &sql, int code, int waitedSeconds)
{
    const QStringList tables = StatementTables(sql);
    QString who = tables.isEmpty()     ? QStringLiteral("The data needed")
                  : tables.size() == 1 ? QStringLiteral("The table ") + tables.first()
                                       : QStringLiteral("One of the tables ") + tables.join(QStringLiteral(", "));
    QString text = who + QStringLiteral(" is in use by another user or program");
    if (code == kLockWaitTimeout)
        text += QStringLiteral(", and the server gave up waiting for it after %1 seconds").arg(waitedSeconds);
    return text + QStringLiteral(".\nNothing was lost: this step was not carried out. Please try again in a moment.");
}

QString TimeLimitText(const QString &sql, int limitSeconds)
{
    return QStringLiteral("The database server stopped %1 after %2 seconds, the longest one request of this program "
                          "may run.\nNothing was lost: this step was not carried out.")
        .arg(ActionPhrase(sql))
        .arg(limitSeconds);
}

} // namespace

DbError::DbError(const QString &text, const QString &sql, Kind kind, int nativeCode)
    : std::runtime_error(nonEmptyText(text, sql, kind).toStdString()), m_text(nonEmptyText(text, sql, kind)),
      m_sql(sql), m_kind(kind), m_nativeCode(nativeCode)
{
}

bool DbError::isDeadlock() const
{
    return m_kind == Kind::Busy && m_nativeCode == kDeadlock;
}

bool DbError::isDuplicateKey() const
{
    return m_kind == Kind::Other && m_nativeCode == kDuplicateKey;
}

QStringList StatementTables(const QString &sql)
{
    // straight_join is one word: \b does not stand between its '_' and "join".
    static const QRegularExpression table(
        QStringLiteral("\\b(?:from|(?:straight_)?join|into|update)\\s+`?([A-Za-z0-9_$]+(?:`?\\.`?[A-Za-z0-9_$]+)?)"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList tables;
    for (const QRegularExpressionMatch &m : table.globalMatch(sql)) {
        QString name = m.captured(1);
        name.remove(QLatin1Char('`'));
        if (!tables.contains(name, Qt::CaseInsensitive))
            tables << name;
    }
    return tables;
}

void Recordset::moveNext()
{
    if (!m_valid)
        return;
    m_valid = m_query.next();
    // A fetch that failed (the connection dropped under it) is not the end of the rows.
    const QSqlError error = m_query.lastError();
    if (!m_valid && error.type() != QSqlError::NoError) {
        const QString sql = m_query.lastQuery();
        throw DbError(Capitalised(ActionPhrase(sql)) + QStringLiteral(" stopped before the last row: ") +
                          ErrorText(error),
                      sql, DbError::Kind::Other, NativeCode(error));
    }
}

void Recordset::close()
{
    m_valid = false;
    m_query.finish();
}

int Recordset::indexOf(const QString &column) const
{
    int i = m_record.indexOf(column);
    if (i < 0) {
        // Qualified names ("hr_it.emp_slno") come back unqualified.
        const int dot = column.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0)
            i = m_record.indexOf(column.mid(dot + 1));
    }
    if (i < 0)
        throw DbError(QStringLiteral("Item cannot be found in the collection: %1").arg(column));
    return i;
}

QVariant Recordset::value(const QString &column) const
{
    return value(indexOf(column));
}

QVariant Recordset::value(int index) const
{
    if (!m_valid)
        throw DbError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    return m_query.value(index);
}

static QString VariantText(const QVariant &v)
{
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    if (v.typeId() == QMetaType::Double) {
        // Plain decimal, as the server would print it without trailing zeros.
        QString s = QString::number(v.toDouble(), 'f', 6);
        while (s.contains(QLatin1Char('.')) && (s.endsWith(QLatin1Char('0')) || s.endsWith(QLatin1Char('.'))))
            s.chop(1);
        if (s == QLatin1String("-0"))
            s = QStringLiteral("0");
        return s;
    }
    return v.toString();
}

QString Recordset::text(const QString &column) const
{
    return VariantText(value(column));
}
QString Recordset::text(int index) const
{
    return VariantText(value(index));
}

double Recordset::number(const QString &column) const
{
    return number(indexOf(column));
}

double Recordset::number(int index) const
{
    const QVariant v = value(index);
    if (v.isNull())
        return 0.0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d : 0.0;
}

QDate Recordset::date(const QString &column) const
{
    return date(indexOf(column));
}

QDate Recordset::date(int index) const
{
    const QVariant v = value(index);
    if (v.isNull())
        return QDate();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    return QDate::fromString(v.toString().left(10), QStringLiteral("yyyy-MM-dd"));
}

// One attempt to connect, run on a thread of its own: some drivers do not bound the wait for
// an unreachable or hung server, so the session gives the attempt up when it outlasts the
// connect limit and leaves it to end by itself.
struct DbConnection::Attempt
{
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    bool abandoned = false;
    bool opened = false;
    QString name;
};

DbConnection::DbConnection(const QString &name) : m_name(name)
{
}

DbConnection::~DbConnection()
{
    close();
}

void DbConnection::open(const QString &connectString)
{
    close();
    m_connectString = connectString;
    m_lost = false;
    connect();
}

void DbConnection::connect()
{
    dropConnection();
    const QString name = m_generation == 0 ? m_name : m_name + QStringLiteral("~%1").arg(m_generation);
    ++m_generation;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
    if (!db.isValid()) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw DbError(QStringLiteral("The ODBC database driver of Qt is not installed (QODBC)."));
    }
    db.setDatabaseName(m_connectString);
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(m_limits.connectSeconds));

    auto attempt = std::make_shared<Attempt>();
    attempt->name = name;
    std::thread([db, attempt]() mutable {
        const bool opened = db.open();
        std::lock_guard lock(attempt->mutex);
        if (attempt->abandoned && opened)
            db.close();
        db = QSqlDatabase();
        attempt->opened = opened;
        attempt->done = true;
        attempt->ended.notify_all();
    }).detach();

    std::unique_lock lock(attempt->mutex);
    if (!attempt->ended.wait_for(lock, std::chrono::seconds(qMax(1, m_limits.connectSeconds)),
                                 [&attempt] { return attempt->done; })) {
        attempt->abandoned = true;
        lock.unlock();
        m_abandoned.push_back(attempt);
        throw DbError(QStringLiteral("The database server did not answer within %1 seconds.\n"
                                     "It may be stopped, or the network to it may be down.")
                          .arg(m_limits.connectSeconds));
    }
    lock.unlock();
    if (!attempt->opened) {
        const QSqlError error = db.lastError();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        const QString text = ErrorText(error);
        throw DbError(text.isEmpty() ? QStringLiteral("Cannot connect to the database server.") : text, QString(),
                      DbError::Kind::Other, NativeCode(error));
    }
    m_current = name;
    applySessionSettings();
}

void DbConnection::applySessionSettings()
{
    QSqlError error;
    const auto run = [this, &error](const QString &sql) {
        QSqlQuery q(database());
        const bool done = q.exec(sql);
        error = q.lastError();
        return done;
    };

    // Typed text reaches the server through SqlEscape, which writes literals by the server's
    // default rules, where a backslash escapes. A server running with NO_BACKSLASH_ESCAPES
    // would store every typed backslash doubled, so our own session drops that mode.
    const QString mode = QStringLiteral("SET SESSION sql_mode=TRIM(BOTH ',' FROM REPLACE(CONCAT(',',@@SESSION.sql_mode,"
                                        "','),',NO_BACKSLASH_ESCAPES,',','))");
    if (!run(mode)) {
        const DbError failed = failure(error, mode);
        dropConnection();
        throw failed;
    }

    // Whether the server logs statements; a server that does not say is taken to.
    {
        QSqlQuery q(database());
        m_mayReadCommitted = q.exec(QStringLiteral("Select @@log_bin, @@binlog_format")) && q.next() &&
                             (q.value(0).toInt() == 0 ||
                              q.value(1).toString().compare(QLatin1String("STATEMENT"), Qt::CaseInsensitive) != 0);
    }

    // Bounded waits; a server without one of these settings keeps its own.
    const QString lockWait = QString::number(m_limits.lockWaitSeconds);
    run(QStringLiteral("SET SESSION lock_wait_timeout=") + lockWait);
    run(QStringLiteral("SET SESSION innodb_lock_wait_timeout=") + lockWait);
    if (m_limits.statementSeconds > 0 &&
        !run(QStringLiteral("SET SESSION max_statement_time=") + QString::number(m_limits.statementSeconds)))
        run(QStringLiteral("SET SESSION max_execution_time=") + QString::number(m_limits.statementSeconds * 1000));
}

void DbConnection::dropConnection()
{
    if (!m_current.isEmpty()) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_current, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_current);
        m_current.clear();
    }
    m_inTransaction = false;
    // Attempts given up earlier are forgotten once they have ended.
    std::erase_if(m_abandoned, [](const std::shared_ptr<Attempt> &attempt) {
        std::lock_guard lock(attempt->mutex);
        if (attempt->done)
            QSqlDatabase::removeDatabase(attempt->name);
        return attempt->done;
    });
}

bool DbConnection::isOpen() const
{
    return !m_current.isEmpty() && QSqlDatabase::database(m_current, false).isOpen();
}

void DbConnection::close()
{
    dropConnection();
    m_lost = false;
}

QSqlDatabase DbConnection::database() const
{
    return QSqlDatabase::database(m_current.isEmpty() ? m_name : m_current, false);
}

DbError DbConnection::failure(const QSqlError &error, const QString &sql)
{
    const int code = NativeCode(error);
    if (IsLostLink(error)) {
        // Without an open connection there is nothing to open again.
        if (m_current.isEmpty())
            return DbError(QStringLiteral("The connection to the database server is not open."), sql,
                           DbError::Kind::Other, code);
        m_lost = true;
        QString text = ErrorText(error);
        if (text.isEmpty())
            text = kLostText;
        if (m_inTransaction)
            text += QLatin1Char('\n') + kLostInTransactionText;
        return DbError(text, sql, DbError::Kind::ConnectionLost, code);
    }
    switch (code) {
    case kLockWaitTimeout:
    case kDeadlock:
        return DbError(BusyText(sql, code, m_limits.lockWaitSeconds), sql, DbError::Kind::Busy, code);
    case kStatementTimeout:
    case kQueryTimeout:
        return DbError(TimeLimitText(sql, m_limits.statementSeconds), sql, DbError::Kind::TimeLimit, code);
    default:
        return DbError(ErrorText(error), sql, DbError::Kind::Other, code);
    }
}

void DbConnection::reopenIfLost()
{
    if (!m_lost)
        return;
    // A transaction ends with its connection: nothing of it may go on on a new one.
    if (m_inTransaction)
        throw DbError(kLostInTransactionText, QString(), DbError::Kind::ConnectionLost);
    reopen();
}

void DbConnection::reopen()
{
    try {
        connect();
    } catch (const DbError &e) {
        m_lost = true;
        throw DbError(QStringLiteral("The connection to the database server was lost, and it could not be opened "
                                     "again:\n") +
                          e.text() +
                          QStringLiteral("\nThe next action tries again; if the server stays out of reach, close the "
                                         "program and start it again later."),
                      QString(), DbError::Kind::ConnectionLost, e.nativeCode());
    }
    m_lost = false;
    if (m_reopenNotice)
        m_reopenNotice(kReopenedText);
}

Recordset DbConnection::runQuery(const QString &sql)
{
    Recordset rs;
    rs.m_query = QSqlQuery(database());
    rs.m_query.setForwardOnly(true);
    if (!rs.m_query.exec(sql))
        throw failure(rs.m_query.lastError(), sql);
    rs.m_record = rs.m_query.record();
    rs.m_valid = rs.m_query.next();
    if (!rs.m_valid && rs.m_query.lastError().type() != QSqlError::NoError)
        throw failure(rs.m_query.lastError(), sql);
    return rs;
}

Recordset DbConnection::query(const QString &sql)
{
    reopenIfLost();
    if (m_recorder)
        m_recorder(sql, true);
    try {
        return runQuery(sql);
    } catch (const DbError &e) {
        if (e.kind() != DbError::Kind::ConnectionLost || m_inTransaction)
            throw;
    }
    // A read changed nothing: it is repeated once on a new connection.
    reopen();
    return runQuery(sql);
}

int DbConnection::execute(const QString &sql)
{
    // A write is never repeated: when the connection dropped under it, it may have been done.
    reopenIfLost();
    if (m_recorder)
        m_recorder(sql, false);
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw failure(q.lastError(), sql);
    return q.numRowsAffected();
}

void DbConnection::begin()
{
    reopenIfLost();
    QSqlError error;
    const auto start = [this, &error] {
        QSqlDatabase db = database();
        const bool started = db.transaction();
        error = db.lastError();
        return started;
    };
    if (!start()) {
        const DbError failed = failure(error, QString());
        if (failed.kind() != DbError::Kind::ConnectionLost)
            throw failed;
        // Nothing has been done yet: the transaction starts on a new connection.
        reopen();
        if (!start())
            throw failure(error, QString());
    }
    m_inTransaction = true;
}

void DbConnection::commit()
{
    if (m_lost && m_inTransaction) {
        m_inTransaction = false;
        throw DbError(kLostInTransactionText, QString(), DbError::Kind::ConnectionLost);
    }
    // The transaction is over whatever the commit's outcome; a commit that lost its
    // connection may or may not have been done, so its error says no more than the driver's.
    m_inTransaction = false;
    QSqlDatabase db = database();
    if (!db.commit())
        throw failure(db.lastError(), QString());
}

void DbConnection::rollback()
{
    // A lost connection took its transaction with it; the server has undone it.
    if (m_lost) {
        m_inTransaction = false;
        return;
    }
    QSqlDatabase db = database();
    if (db.rollback()) {
        m_inTransaction = false;
        return;
    }
    const DbError error = failure(db.lastError(), QString());
    m_inTransaction = false;
    throw error;
}

void RetryOnCollision(const RetryPolicy &policy, const std::function<void()> &work, const RetryNotice &retrying)
{
    int pause = std::max(1, policy.firstPauseMs);
    for (int attempt = 1;; ++attempt) {
        try {
            work();
            return;
        } catch (const DbError &e) {
            const int allowed = e.isDeadlock() || (policy.duplicates && e.isDuplicateKey()) ? policy.attempts
                                : e.kind() == DbError::Kind::Busy                           ? policy.lockWaitAttempts
                                                                                            : 1;
            if (attempt >= allowed)
                throw;
            const int wait = pause + int(QRandomGenerator::global()->bounded(pause + 1));
            if (retrying)
                retrying(e, attempt + 1, allowed, wait);
            QThread::msleep(wait);
            pause *= 2;
        }
    }
}

QString LockHolderText(DbConnection &db)
{
    try {
        Recordset rs = db.query(QStringLiteral(
            "Select p.USER,p.HOST,timestampdiff(second,t.trx_started,now()) as open_for from "
            "information_schema.INNODB_TRX t join information_schema.PROCESSLIST p on "
            "p.ID=t.trx_mysql_thread_id where t.trx_mysql_thread_id<>connection_id() and t.trx_lock_structs>0 "
            "order by t.trx_started limit 1"));
        if (rs.eof())
            return QString();
        QString host = rs.text(QStringLiteral("HOST"));
        if (const int colon = int(host.lastIndexOf(QLatin1Char(':'))); colon > 0)
            host.truncate(colon);
        const int seconds = static_cast<int>(rs.number(QStringLiteral("open_for")));
        QString who = QStringLiteral("user ") + rs.text(QStringLiteral("USER"));
        if (!host.isEmpty())
            who += QStringLiteral(" from ") + host;
        return who +
               QStringLiteral(", in a transaction open for %1 second%2").arg(seconds).arg(seconds == 1 ? "" : "s");
    } catch (const DbError &) {
        // Without the PROCESS privilege the server shows none but our own.
        return QString();
    }
}

Transaction::Transaction(DbConnection &db) : m_db(db)
{
    m_db.begin();
}

Transaction::~Transaction()
{
    if (!m_done) {
        try {
            m_db.rollback();
        } catch (const DbError &) {
            // The server has dropped the transaction already.
        }
    }
}

void Transaction::commit()
{
    m_done = true;
    m_db.commit();
}
