#include "ColumnLengths.h"

#include "Common.h"
#include "DbConnection.h"

#include <QHash>

namespace ColumnLengths {

namespace {

// Lengths by table ("hr0910.hr_it_allowance"), then by column, in lower case.
using Table = QHash<QString, int>;
QHash<QString, Table> &cache()
{
    static QHash<QString, Table> tables;
    return tables;
}

// The lengths of the suite's own schema, for a server that does not tell.
int KnownLength(const QString &table, const QString &column)
{
    static const QHash<QString, int> known = {
        {QStringLiteral("dalvoni.userdetails.user_name"), 50},
        {QStringLiteral("dalvoni.userdetails.user_password"), 50},
        {QStringLiteral("hr0910.hr_employee.emp_code_char"), 10},
        {QStringLiteral("hr0910.hr_employee.emp_code"), 20},
        {QStringLiteral("hr0910.hr_it_allowance.allowance_code"), 20},
        {QStringLiteral("hr0910.hr_it_allowance.allowance_name"), 100},
        {QStringLiteral("hr0910.hr_it_trans.emp_slno"), 20},
        {QStringLiteral("hr0910.hr_it_trans.emp_it_allowance_code"), 20},
        {QStringLiteral("hr0910.numbersetup.no_value"), 60},
    };
    return known.value(table + QLatin1Char('.') + column, 0);
}

QString Qualified(const QString &table)
{
    const QString t = table.trimmed().toLower();
    return t.contains(QLatin1Char('.')) ? t : QStringLiteral("hr0910.") + t;
}

} // namespace

int Characters(const QString &text)
{
    return static_cast<int>(text.toUcs4().size());
}

int Of(DbConnection &db, const QString &table, const QString &column)
{
    const QString name = Qualified(table);
    const QString col = column.trimmed().toLower();
    auto found = cache().constFind(name);
    if (found == cache().constEnd()) {
        Table lengths;
        try {
            Recordset rs = db.query(
                QStringLiteral("Select lower(COLUMN_NAME),CHARACTER_MAXIMUM_LENGTH from information_schema.COLUMNS "
                               "where TABLE_SCHEMA='") +
                SqlEscape(name.section(QLatin1Char('.'), 0, 0)) + QStringLiteral("' and TABLE_NAME='") +
                SqlEscape(name.section(QLatin1Char('.'), 1)) +
                QStringLiteral("' and CHARACTER_MAXIMUM_LENGTH is not null"));
            while (!rs.eof()) {
                lengths.insert(rs.text(0), static_cast<int>(rs.number(1)));
                rs.moveNext();
            }
            rs.close();
        } catch (const DbError &) {
            // Asked again next time; until then the suite's own lengths serve.
            return KnownLength(name, col);
        }
        found = cache().insert(name, lengths);
    }
    const int length = found->value(col, 0);
    return length > 0 ? length : KnownLength(name, col);
}

void Check(DbConnection &db, const QString &table, const QString &column, const QString &text, const QString &what)
{
    const int length = Of(db, table, column);
    const int characters = Characters(text);
    if (length > 0 && characters > length)
        throw DbError(QStringLiteral("%1 is too long: %2 characters can be stored, and it has %3.   \n"
                                     "Nothing was stored; please shorten it.   ")
                          .arg(what)
                          .arg(length)
                          .arg(characters),
                      QString(), DbError::Kind::TooLong);
}

void Forget()
{
    cache().clear();
}

} // namespace ColumnLengths
