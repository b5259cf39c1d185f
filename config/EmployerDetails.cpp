#include "EmployerDetails.h"

#include "session/Common.h"
#include "session/DbConnection.h"

#include <QRegularExpression>

namespace EmployerDetails {

namespace {

struct FieldInfo
{
    const char *column;
    const char *name;
};

constexpr FieldInfo kFields[kFieldCount] = {
    {"tan", "TAN"},
    {"pan", "PAN"},
    {"address", "address"},
    {"city", "city"},
    {"resp_name", "name of the person responsible for deducting the tax"},
    {"resp_father_name", "father's name of the person responsible"},
    {"resp_designation", "designation of the person responsible"},
    {"sign_place", "place of signing"},
};

bool Matches(const QString &text, const char *pattern)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(pattern))).match(text).hasMatch();
}

QString Cleaned(const Details &d, Field f)
{
    const QString text = d[f].trimmed();
    return f == Field::Tan || f == Field::Pan ? text.toUpper() : text;
}

} // namespace

const char *Column(Field field)
{
    return kFields[static_cast<int>(field)].column;
}

QString Name(Field field)
{
    return QStringLiteral("the ") + QLatin1String(kFields[static_cast<int>(field)].name);
}

bool IsTan(const QString &text)
{
    return Matches(text, "[A-Z]{4}[0-9]{5}[A-Z]");
}

bool IsPan(const QString &text)
{
    return Matches(text, "[A-Z]{5}[0-9]{4}[A-Z]");
}

std::optional<Problem> Check(const Details &details)
{
    for (int i = 0; i < kFieldCount; ++i) {
        const auto f = static_cast<Field>(i);
        if (Cleaned(details, f).isEmpty())
            return Problem{f, Name(f) + QStringLiteral(" is missing")};
    }
    if (!IsTan(Cleaned(details, Field::Tan)))
        return Problem{Field::Tan, QStringLiteral("the TAN \"%1\" is not four letters, five digits and a letter")
                                       .arg(details[Field::Tan].trimmed())};
    if (!IsPan(Cleaned(details, Field::Pan)))
        return Problem{Field::Pan, QStringLiteral("the PAN \"%1\" is not five letters, four digits and a letter")
                                       .arg(details[Field::Pan].trimmed())};
    return std::nullopt;
}

QString LoadSql(const QString &companyCode)
{
    QString sql = QStringLiteral("Select e.*,u.user_name from hr_it_employer e left join dalvoni.userdetails u on "
                                 "u.user_id=coalesce(e.modified_by,e.created_by) where e.comp_code='");
    return sql + SqlEscape(companyCode) + QStringLiteral("'");
}

std::optional<Details> Load(DbConnection &db, const QString &companyCode)
{
    Recordset rs = db.query(LoadSql(companyCode));
    if (rs.eof())
        return std::nullopt;
    Details d;
    d.companyCode = companyCode;
    for (int i = 0; i < kFieldCount; ++i)
        d.fields[i] = rs.text(QLatin1String(kFields[i].column));
    d.changedBy = rs.text(QStringLiteral("user_name"));
    const bool modified = !rs.isNull(QStringLiteral("modified_date"));
    const QDate date = rs.date(modified ? QStringLiteral("modified_date") : QStringLiteral("created_date"));
    const QVariant time = rs.value(modified ? QStringLiteral("modified_time") : QStringLiteral("created_time"));
    if (date.isValid())
        d.changedAt = QDateTime(date, time.isNull() ? QTime(0, 0) : time.toTime());
    rs.close();
    return d;
}

QString SaveSql(const Details &details, const AuditStamp &stamp)
{
    QString values;
    for (int i = 0; i < kFieldCount; ++i)
        values += QLatin1String(kFields[i].column) + QStringLiteral("='") +
                  SqlEscape(Cleaned(details, static_cast<Field>(i))) + QStringLiteral("', ");
    const QString user = PlainNumber(LeadingNumber(stamp.userId));
    const QString date = SqlSlashDate(stamp.now.date());
    const QString time = SqlTime(stamp.now.time());
    return QStringLiteral("Insert into hr_it_employer set comp_code='") + SqlEscape(details.companyCode) +
           QStringLiteral("', ") + values + QStringLiteral("created_by=") + user + QStringLiteral(", created_date='") +
           date + QStringLiteral("', created_time='") + time + QStringLiteral("' on duplicate key update ") + values +
           QStringLiteral("modified_by=") + user + QStringLiteral(", modified_date='") + date +
           QStringLiteral("', modified_time='") + time + QStringLiteral("'");
}

void Save(DbConnection &db, const Details &details, const AuditStamp &stamp)
{
    db.execute(SaveSql(details, stamp));
}

} // namespace EmployerDetails
