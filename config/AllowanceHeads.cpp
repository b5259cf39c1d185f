#include "AllowanceHeads.h"

#include "session/ColumnLengths.h"
#include "session/Common.h"
#include "session/DbConnection.h"

namespace AllowanceHeads {

namespace {

QString Number(const QString &text)
{
    return PlainNumber(LeadingNumber(text));
}

// The name as it is stored: upper case, no blanks around it.
QString StoredName(const Entry &entry)
{
    return SqlEscape(entry.name.toUpper().trimmed());
}

// A name or code that its column cannot hold is refused before anything is written (a
// server that is not strict would cut it and report success).
void CheckLengths(DbConnection &db, const Entry &entry)
{
    const QString table = QStringLiteral("hr0910.hr_it_allowance");
    ColumnLengths::Check(db, table, QStringLiteral("allowance_code"), entry.code.trimmed(),
                         QStringLiteral("The allowance code"));
    ColumnLengths::Check(db, table, QStringLiteral("allowance_name"), entry.name.toUpper().trimmed(),
                         QStringLiteral("The allowance name"));
}

} // namespace

bool MayMaintain(const QString &userId)
{
    return LeadingNumber(userId) == 1;
}

QString ListQuery()
{
    return QStringLiteral("Select * from hr0910.hr_it_allowance  order by allowance_code");
}

QList<Row> LoadList(DbConnection &db)
{
    QList<Row> rows;
    Recordset rs = db.query(ListQuery());
    while (!rs.eof()) {
        Row r;
        r.name = rs.text(QStringLiteral("allowance_name"));
        r.code = rs.text(QStringLiteral("allowance_code"));
        r.flag =
            rs.number(QStringLiteral("allowance_flag")) == 0 ? QStringLiteral("Addition") : QStringLiteral("Deduction");
        r.dedPer = rs.text(QStringLiteral("allowance_ded_per"));
        r.dedAmt = rs.text(QStringLiteral("allowance_ded_amount"));
        rows << r;
        rs.moveNext();
    }
    rs.close();
    return rows;
}

QString DuplicateQuery(const Entry &entry, const QString &companyCode)
{
    return QStringLiteral("Select * from hr0910.hr_it_allowance Where allowance_name='") + SqlEscape(entry.name) +
           QStringLiteral("' and comp_code='") + SqlEscape(companyCode) + QStringLiteral("'");
}

QString InsertStatement(const Entry &entry, const Stamp &stamp)
{
    return QStringLiteral("Insert into hr0910.hr_it_allowance(unit_code, comp_code,allowance_code,allowance_name,"
                          "allowance_ded_per,allowance_ded_amount,allowance_flag,created_by,created_date,"
                          "created_time) Values('") +
           SqlEscape(stamp.unitCode) + QStringLiteral("','") + SqlEscape(stamp.companyCode) + QStringLiteral("','") +
           SqlEscape(entry.code.trimmed()) + QStringLiteral("','") + StoredName(entry) + QStringLiteral("',") +
           Number(entry.dedPer) + QStringLiteral(",") + Number(entry.dedAmt) + QStringLiteral(",'") +
           (entry.addition ? QStringLiteral("0") : QStringLiteral("1")) + QStringLiteral("',") + Number(stamp.userId) +
           QStringLiteral(",'") + SqlSlashDate(stamp.now.date()) + QStringLiteral("','") + SqlTime(stamp.now.time()) +
           QStringLiteral("')");
}

QString RunningNumberUpdate(const Entry &entry)
{
    QString code = entry.code;
    const QString next = IncrementCode(code);
    return QStringLiteral("Update hr0910.numbersetup set no_value='") + SqlEscape(next) +
           QStringLiteral("' Where no_id='IT_CODE'");
}

QString UpdateStatement(const Entry &entry, const Stamp &stamp)
{
    return QStringLiteral("Update hr0910.hr_it_allowance Set allowance_name='") + StoredName(entry) +
           QStringLiteral("',allowance_ded_per=") + Number(entry.dedPer) + QStringLiteral(",allowance_ded_amount=") +
           Number(entry.dedAmt) + QStringLiteral(", modified_by=") + Number(stamp.userId) +
           QStringLiteral(",modified_date='") + SqlSlashDate(stamp.now.date()) + QStringLiteral("',modified_time='") +
           SqlTime(stamp.now.time()) + QStringLiteral("' Where  allowance_code='") + SqlEscape(entry.code.trimmed()) +
           QStringLiteral("' and unit_code='") + SqlEscape(stamp.unitCode) + QStringLiteral("' and comp_code='") +
           SqlEscape(stamp.companyCode) + QStringLiteral("'");
}

InsertResult Insert(DbConnection &db, const Entry &entry, const Stamp &stamp)
{
    CheckLengths(db, entry);
    Recordset rs = db.query(DuplicateQuery(entry, stamp.companyCode));
    const bool exists = !rs.eof();
    rs.close();
    if (exists)
        return InsertResult::Duplicate;

    Transaction tx(db);
    db.execute(InsertStatement(entry, stamp));
    db.execute(RunningNumberUpdate(entry));
    tx.commit();
    return InsertResult::Inserted;
}

void Update(DbConnection &db, const Entry &entry, const Stamp &stamp)
{
    CheckLengths(db, entry);
    Transaction tx(db);
    db.execute(UpdateStatement(entry, stamp));
    tx.commit();
}

} // namespace AllowanceHeads
