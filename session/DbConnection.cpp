#include "DbConnection.h"

#include <QSqlError>

namespace {

QString errorText(const QSqlError &e)
{
    QString t = e.databaseText().trimmed();
    if (t.isEmpty())
        t = e.driverText().trimmed();
    if (t.isEmpty())
        t = e.text().trimmed();
    return t;
}

} // namespace

DbError::DbError(const QString &text, const QString &sql)
    : std::runtime_error(text.toStdString()), m_text(text), m_sql(sql)
{
}

void Recordset::moveNext()
{
    if (m_valid)
        m_valid = m_query.next();
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

static QString variantText(const QVariant &v)
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
    return variantText(value(column));
}
QString Recordset::text(int index) const
{
    return variantText(value(index));
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
    const QVariant v = value(column);
    if (v.isNull())
        return QDate();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    return QDate::fromString(v.toString().left(10), QStringLiteral("yyyy-MM-dd"));
}

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
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
    if (!db.isValid())
        throw DbError(QStringLiteral("The ODBC database driver of Qt is not installed (QODBC)."));
    db.setDatabaseName(connectString);
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=15"));
    if (!db.open()) {
        const QString text = errorText(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw DbError(text.isEmpty() ? QStringLiteral("Cannot connect to the database server.") : text);
    }
}

bool DbConnection::isOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

void DbConnection::close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_inTransaction = false;
}

QSqlDatabase DbConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

Recordset DbConnection::query(const QString &sql)
{
    if (m_recorder)
        m_recorder(sql, true);
    Recordset rs;
    rs.m_query = QSqlQuery(database());
    rs.m_query.setForwardOnly(true);
    if (!rs.m_query.exec(sql))
        throw DbError(errorText(rs.m_query.lastError()), sql);
    rs.m_record = rs.m_query.record();
    rs.m_valid = rs.m_query.next();
    return rs;
}

int DbConnection::execute(const QString &sql)
{
    if (m_recorder)
        m_recorder(sql, false);
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw DbError(errorText(q.lastError()), sql);
    return q.numRowsAffected();
}

void DbConnection::begin()
{
    QSqlDatabase db = database();
    if (!db.transaction())
        throw DbError(errorText(db.lastError()));
    m_inTransaction = true;
}

void DbConnection::commit()
{
    QSqlDatabase db = database();
    m_inTransaction = false;
    if (!db.commit())
        throw DbError(errorText(db.lastError()));
}

void DbConnection::rollback()
{
    QSqlDatabase db = database();
    m_inTransaction = false;
    if (!db.rollback())
        throw DbError(errorText(db.lastError()));
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
