#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QDate>
#include <functional>
#include <stdexcept>

// A database failure, carrying the driver's own text.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &text, const QString &sql = QString());
    QString text() const { return m_text; }
    QString sql() const { return m_sql; }

private:
    QString m_text;
    QString m_sql;
};

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

private:
    friend class DbConnection;
    int indexOf(const QString &column) const;

    QSqlQuery m_query;
    QSqlRecord m_record;
    bool m_valid = false;
};

// The one connection to the suite's server, over Qt SQL's ODBC driver.
class DbConnection
{
public:
    explicit DbConnection(const QString &name = QStringLiteral("IncomeTax"));
    ~DbConnection();
    DbConnection(const DbConnection &) = delete;
    DbConnection &operator=(const DbConnection &) = delete;

    // Opens with an ODBC connection string; throws DbError with the driver's text.
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

    // Sees every statement sent (true for a query), for measuring the client's share of a run.
    using Recorder = std::function<void(const QString &sql, bool isQuery)>;
    void setRecorder(Recorder recorder) { m_recorder = std::move(recorder); }

private:
    QString m_name;
    bool m_inTransaction = false;
    Recorder m_recorder;
};

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
