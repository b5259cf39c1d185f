#include "BatchLock.h"

#include "session/Common.h"
#include "session/DbConnection.h"

#include <QDateTime>
#include <QStringList>

namespace BatchLock {

namespace {

QString Quoted(const QString &text)
{
    return QLatin1Char('\'') + SqlEscape(text) + QLatin1Char('\'');
}

QString DayText(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

// "10.0.0.7" of "10.0.0.7:51234".
QString ClientAddress(const QString &host)
{
    const int colon = host.lastIndexOf(QLatin1Char(':'));
    return colon > 0 ? host.left(colon) : host;
}

} // namespace

QString LockName(const QString &companyCode)
{
    return QStringLiteral("IncomeTax batch ") + companyCode;
}

QString AcquireSql(const QString &companyCode, int waitSeconds)
{
    return QStringLiteral("Select GET_LOCK(") + Quoted(LockName(companyCode)) + QLatin1Char(',') +
           QString::number(qMax(0, waitSeconds)) + QLatin1Char(')');
}

QString ReleaseSql(const QString &companyCode)
{
    return QStringLiteral("Select RELEASE_LOCK(") + Quoted(LockName(companyCode)) + QLatin1Char(')');
}

QString RecordSql(const Owner &owner)
{
    return QStringLiteral("Replace into hr_it_batch_run (comp_code,conn_id,user_id,user_name,workstation,emp_it_from,"
                          "emp_it_to,started_at) values (") +
           Quoted(owner.companyCode) + QStringLiteral(",CONNECTION_ID(),") + PlainNumber(LeadingNumber(owner.userId)) +
           QLatin1Char(',') + Quoted(owner.userName.left(50)) + QLatin1Char(',') + Quoted(owner.workstation.left(100)) +
           QStringLiteral(",'") + SqlDate(owner.from) + QStringLiteral("','") + SqlDate(owner.to) +
           QStringLiteral("',NOW())");
}

QString ForgetSql(const QString &companyCode)
{
    return QStringLiteral("Delete from hr_it_batch_run where comp_code=") + Quoted(companyCode) +
           QStringLiteral(" and conn_id=CONNECTION_ID()");
}

QString DescribeHolder(DbConnection &db, const QString &companyCode)
{
    const QString holder = QStringLiteral("IS_USED_LOCK(") + Quoted(LockName(companyCode)) + QLatin1Char(')');
    const QString withRun =
        QStringLiteral("Select p.USER,p.HOST,r.user_name,r.workstation,r.started_at,r.emp_it_from,r.emp_it_to from "
                       "(Select ") +
        holder +
        QStringLiteral(" as holder) l left join information_schema.PROCESSLIST p on p.ID=l.holder left join "
                       "hr_it_batch_run r on r.comp_code=") +
        Quoted(companyCode) + QStringLiteral(" and r.conn_id=l.holder where l.holder is not null");
    // A server without our table of runs still says which client holds the lock.
    const QString clientOnly =
        QStringLiteral("Select p.USER,p.HOST from information_schema.PROCESSLIST p where p.ID=") + holder;
    QStringList parts;
    try {
        Recordset rs;
        bool withRunTable = true;
        try {
            rs = db.query(withRun);
        } catch (const DbError &e) {
            if (e.kind() != DbError::Kind::Other)
                throw;
            withRunTable = false;
            rs = db.query(clientOnly);
        }
        if (rs.eof())
            return QString();
        const QString user = withRunTable ? rs.text(QStringLiteral("user_name")) : QString();
        const QString workstation = withRunTable ? rs.text(QStringLiteral("workstation")) : QString();
        const QString address = ClientAddress(rs.text(QStringLiteral("HOST")));
        QString who = user;
        if (!workstation.isEmpty())
            who += QStringLiteral(" on workstation ") + workstation +
                   (address.isEmpty() ? QString() : QStringLiteral(" (client ") + address + QLatin1Char(')'));
        else if (!address.isEmpty())
            who += QStringLiteral(" from client ") + address + QStringLiteral(" (server account ") +
                   rs.text(QStringLiteral("USER")) + QLatin1Char(')');
        if (!who.trimmed().isEmpty())
            parts << who.trimmed();
        if (withRunTable && !rs.isNull(QStringLiteral("started_at"))) {
            const QDateTime since = rs.value(QStringLiteral("started_at")).toDateTime();
            parts << QStringLiteral("running since ") + DayText(since.date()) + QLatin1Char(' ') +
                         since.time().toString(QStringLiteral("HH:mm:ss"));
            parts << QStringLiteral("for ") + DayText(rs.date(QStringLiteral("emp_it_from"))) + QStringLiteral(" to ") +
                         DayText(rs.date(QStringLiteral("emp_it_to")));
        }
        rs.close();
    } catch (const DbError &) {
        // Who it is cannot be learnt; the caller still says that another run holds the lock.
        return QString();
    }
    return parts.join(QStringLiteral(", "));
}

Guard::Guard(DbConnection &db, const Owner &owner, int waitSeconds,
             const std::function<void(const QString &holder)> &waiting)
    : m_db(db), m_companyCode(owner.companyCode)
{
    const auto acquire = [&](int seconds) {
        Recordset rs = db.query(AcquireSql(owner.companyCode, seconds));
        if (rs.isNull(0))
            throw DbError(QStringLiteral("The database server refused the lock of the company's run."),
                          AcquireSql(owner.companyCode, seconds));
        return rs.number(0) == 1;
    };
    m_taken = acquire(0);
    if (!m_taken && waitSeconds > 0) {
        if (waiting)
            waiting(DescribeHolder(db, owner.companyCode));
        m_taken = acquire(waitSeconds);
    }
    m_generation = db.generation();
    if (!m_taken)
        return;
    try {
        db.execute(RecordSql(owner));
    } catch (const DbError &) {
        // The lock alone keeps runs apart; without the row others are only told less.
    }
}

Guard::~Guard()
{
    if (!m_taken || !held())
        return;
    try {
        m_db.execute(ForgetSql(m_companyCode));
    } catch (const DbError &) {
        // A server without the table of runs; the lock is released all the same.
    }
    if (!held())
        return;
    try {
        m_db.query(ReleaseSql(m_companyCode)).close();
    } catch (const DbError &) {
        // A connection that ends releases the lock too.
    }
}

bool Guard::held() const
{
    return m_taken && !m_db.isLost() && m_db.generation() == m_generation;
}

} // namespace BatchLock
