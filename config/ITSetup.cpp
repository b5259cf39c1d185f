#include "ITSetup.h"

#include "session/Common.h"
#include "session/DbConnection.h"

namespace ITSetup {

namespace {

// Each limit's where clause, exactly as the server has always been sent it.
const char *const kWhere[LimitCount] = {
    " where set_id='80C_LIMIT' and ac_from_date='", " where set_id='HL_LIMIT' and  ac_from_date='",
    " where set_id='MC_LIMIT' and ac_from_date='",  " where set_id='TAX_LIMIT' and ac_from_date='",
    " where set_id='REBATE' and ac_from_date='",    " where set_id='CESS' and ac_from_date='",
};

const char *const kSetIds[LimitCount] = {"80C_LIMIT", "HL_LIMIT", "MC_LIMIT", "TAX_LIMIT", "REBATE", "CESS"};

} // namespace

QString SetId(Limit limit)
{
    return QString::fromLatin1(kSetIds[limit]);
}

QString SetupSql(const QDate &from, const QDate &to)
{
    return QStringLiteral("Select * from hr_it_setup where ac_from_date='") + SqlDate(from) +
           QStringLiteral("' and ac_to_date='") + SqlDate(to) + QStringLiteral("'");
}

QString SlabsSql(const QDate &from, const QDate &to, Reader reader)
{
    const QString head = reader == Reader::SettingsScreen
                             ? QStringLiteral("Select * from hr_it_slabs where it_ac_from_date='")
                             : QStringLiteral("select * from hr_it_slabs where it_ac_from_date='");
    return head + SqlDate(from) + QStringLiteral("' and it_ac_to_date='") + SqlDate(to) + QStringLiteral("'");
}

Year Load(DbConnection &db, const QDate &from, const QDate &to, Reader reader)
{
    Year year;
    Recordset rs = db.query(SetupSql(from, to));
    while (!rs.eof()) {
        const QString id = rs.text(QStringLiteral("set_id"));
        for (int i = 0; i < LimitCount; ++i) {
            if (id == QLatin1String(kSetIds[i])) {
                year.limits[i] = rs.number(QStringLiteral("set_value"));
                break;
            }
        }
        rs.moveNext();
    }
    rs.close();

    rs = db.query(SlabsSql(from, to, reader));
    while (!rs.eof()) {
        const double n = rs.number(QStringLiteral("it_slab"));
        for (int i = 1; i <= 4; ++i) {
            if (n == i)
                year.slabs[i - 1] =
                    TaxSlab{rs.number(QStringLiteral("it_slab_start")), rs.number(QStringLiteral("it_slab_end")),
                            rs.number(QStringLiteral("it_per"))};
        }
        rs.moveNext();
    }
    rs.close();
    return year;
}

QStringList UpdateStatements(const std::array<QString, LimitCount> &texts, const QDate &from, const QDate &to)
{
    QStringList sql;
    for (int i = 0; i < LimitCount; ++i) {
        sql << QStringLiteral("Update hr_it_setup set set_value=") + PlainNumber(LeadingNumber(texts[i])) +
                   QLatin1String(kWhere[i]) + SqlDate(from) + QStringLiteral("' and ac_to_date='") + SqlDate(to) +
                   QStringLiteral("'");
    }
    return sql;
}

void Save(DbConnection &db, const std::array<QString, LimitCount> &texts, const QDate &from, const QDate &to)
{
    const QStringList statements = UpdateStatements(texts, from, to);
    Transaction tx(db);
    for (const QString &sql : statements)
        db.execute(sql);
    tx.commit();
}

} // namespace ITSetup
