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

namespace {

// A head read from hr_it_allowance, as the list shows it.
Row RowOf(const Recordset &rs)
{
    Row r;
    r.name = rs.text(QStringLiteral("allowance_name"));
    r.code = rs.text(QStringLiteral("allowance_code"));
    r.flag =
        rs.number(QStringLiteral("allowance_flag")) == 0 ? QStringLiteral("Addition") : QStringLiteral("Deduction");
    r.dedPer = rs.text(QStringLiteral("allowance_ded_per"));
    r.dedAmt = rs.text(QStringLiteral("allowance_ded_amount"));
    return r;
}

// The head of the entry's code in the stamp's unit and company, as the update finds it.
QString HeadKey(const Entry &entry, const Stamp &stamp)
{
    return QStringLiteral(" Where  allowance_code='") + SqlEscape(entry.code.trimmed()) +
           QStringLiteral("' and unit_code='") + SqlEscape(stamp.unitCode) + QStringLiteral("' and comp_code='") +
           SqlEscape(stamp.companyCode) + QStringLiteral("'");
}

bool SameHead(const Row &a, const Row &b)
{
    return a.name == b.name && a.flag == b.flag && LeadingNumber(a.dedPer) == LeadingNumber(b.dedPer) &&
           LeadingNumber(a.dedAmt) == LeadingNumber(b.dedAmt);
}

} // namespace

QList<Row> LoadList(DbConnection &db)
{
    QList<Row> rows;
    Recordset rs = db.query(ListQuery());
    for (; !rs.eof(); rs.moveNext())
        rows << RowOf(rs);
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
           SqlTime(stamp.now.time()) + QStringLiteral("'") + HeadKey(entry, stamp);
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

UpdateResult Update(DbConnection &db, const Entry &entry, const Stamp &stamp, const Row *loaded)
{
    CheckLengths(db, entry);
    UpdateResult result;
    const QString code = entry.code.trimmed();
    // Only the head that was picked and is being saved under its own code is compared.
    const bool compare = loaded && loaded->code.trimmed().compare(code, Qt::CaseInsensitive) == 0;
    RetryOnCollision({3, 50}, [&] {
        result = UpdateResult();
        Transaction tx(db);
        if (compare) {
            Recordset rs = db.query(QStringLiteral("Select * from hr0910.hr_it_allowance") + HeadKey(entry, stamp) +
                                    QStringLiteral(" for update"));
            if (!rs.eof() && !SameHead(RowOf(rs), *loaded)) {
                result.changedMeanwhile = true;
                result.stored = RowOf(rs);
                return; // nothing written; the transaction is rolled back
            }
            rs.close();
        }
        db.execute(UpdateStatement(entry, stamp));
        tx.commit();
    });
    return result;
}

QStringList Changes(const Row &loaded, const Row &now)
{
    QStringList changes;
    const auto line = [&changes](const char *what, const QString &was, const QString &is) {
        if (was != is)
            changes << QLatin1String(what) + QStringLiteral(": now ") + is + QStringLiteral(", loaded ") + was;
    };
    line("Allowance", loaded.name, now.name);
    line("Flag", loaded.flag, now.flag);
    line("Ded %", Format00(LeadingNumber(loaded.dedPer)), Format00(LeadingNumber(now.dedPer)));
    line("Ded Amt", Format00(LeadingNumber(loaded.dedAmt)), Format00(LeadingNumber(now.dedAmt)));
    return changes;
}

} // namespace AllowanceHeads
