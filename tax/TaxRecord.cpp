#include "TaxRecord.h"

#include "BatchInputs.h"
#include "session/Common.h"
#include "session/DbConnection.h"

#include <cmath>
#include <type_traits>

namespace TaxRecord {

namespace {

// A value as SQL text: texts escaped and quoted, numbers plain, dates 'yyyy/mm/dd' and times
// 'HH:mm:ss' quoted.
QString Sql(const QString &text)
{
    return QLatin1Char('\'') + SqlEscape(text) + QLatin1Char('\'');
}
QString Sql(double number)
{
    return PlainNumber(number);
}
QString Sql(const QDate &date)
{
    return QLatin1Char('\'') + SqlSlashDate(date) + QLatin1Char('\'');
}
QString Sql(const QTime &time)
{
    return QLatin1Char('\'') + SqlTime(time) + QLatin1Char('\'');
}

// A value read back: a null text is "", a null number 0, a null date or time invalid.
void Get(const Recordset &rs, int i, QString &text)
{
    text = rs.text(i);
}
void Get(const Recordset &rs, int i, double &number)
{
    number = rs.number(i);
}
void Get(const Recordset &rs, int i, int &number)
{
    number = static_cast<int>(rs.number(i));
}
void Get(const Recordset &rs, int i, QDate &date)
{
    date = rs.date(i);
}
void Get(const Recordset &rs, int i, QTime &time)
{
    const QVariant v = rs.value(i);
    time = v.isNull() ? QTime() : v.toTime();
}

// The part of a record a member belongs to.
template <class Part, class R> auto &PartOf(R &record)
{
    if constexpr (std::is_same_v<Part, TaxFigures>)
        return record.figures;
    else if constexpr (std::is_same_v<Part, TaxSettings>)
        return record.limits;
    else
        return record;
}

template <class> struct MemberOf;
template <class T, class P> struct MemberOf<T P::*>
{
    using Part = P;
};

// The value of a member of Record, of its figures or of its limits.
template <auto member> constexpr Value At()
{
    using Part = typename MemberOf<decltype(member)>::Part;
    return {[](const Record &r) { return Sql(PartOf<Part>(r).*member); },
            [](Record &r, const Recordset &rs, int i) { Get(rs, i, PartOf<Part>(r).*member); },
            std::is_same_v<Part, TaxSettings>};
}

using enum Write;

// The columns of hr_it with the value of each, what the insert and the update write, whether
// the statement lists it, and the texts before it in the insert's column list, in its values
// and in the update (the texts as they have always been sent, blanks and all).
constexpr Column kColumns[] = {
    // name, value, insert, update, listed, list, values, update
    {"emp_slno", At<&Record::slno>(), Value, Key, false, "", "", ""},
    {"emp_code", At<&Record::empCode>(), Value, None, true, ", ", " , ", ""},
    {"comp_code", At<&Record::companyCode>(), Value, None, false, ",", ",", ""},
    {"emp_months_rem", At<&TaxFigures::monthsRemaining>(), Value, Value, true, ",", ",", "", " ="},
    {"emp_gross", At<&TaxFigures::gross>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_gross_proj", At<&TaxFigures::grossProj>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_hra", At<&TaxFigures::hra>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_hra_proj", At<&TaxFigures::hraProj>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_pf", At<&TaxFigures::pf>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_pf_proj", At<&TaxFigures::pfProj>(), Value, Value, true, ", ", ", ", " , "},
    {"emp_pro_tax", At<&TaxFigures::professionTax>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_hl_int", At<&TaxFigures::declaredHlInt>(), Zero, Kept, true, ", ", ", ", ", "},
    {"emp_hl_int_limit", At<&TaxSettings::hlLimit>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_mc", At<&TaxFigures::declaredMc>(), Zero, Kept, true, ", ", ", ", ", "},
    {"emp_mc_limit", At<&TaxSettings::mcLimit>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_ta", At<&TaxFigures::ta>(), Value, Value, true, ",", ",", ", "},
    {"emp_ta_proj", At<&TaxFigures::taProj>(), Value, Value, true, ",", ",", ","},
    // The insert stores the 80C figures and the taxable amount it computed, as the update does,
    // so that a new record adds up (they were once left at 0 until the next run).
    {"emp_80c_total", At<&TaxFigures::total80c>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_80c_limit", At<&TaxSettings::limit80c>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_80c_net", At<&TaxFigures::net80c>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_taxable_amt", At<&TaxFigures::taxable>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_excemption", At<&TaxFigures::exemption>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_net_taxable_amt", At<&TaxFigures::tax>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_cess", At<&TaxFigures::cess>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_payable", At<&TaxFigures::payable>(), Value, Value, true, ", ", ", ", ", "},
    {"emp_sal_cut", At<&TaxFigures::salCut>(), Value, Value, true, ",", ",", ","},
    {"emp_balance", At<&TaxFigures::balance>(), Value, Value, true, ",", ",", ", "},
    {"emp_it_from", At<&Record::from>(), Value, Key, false, ",", ",", ""},
    {"emp_it_to", At<&Record::to>(), Value, Key, false, ",", ",", ""},
    {"created_by", At<&Record::createdBy>(), Value, None, false, ",", ", ", ""},
    {"created_date", At<&Record::createdDate>(), Value, None, false, ", ", ",", ""},
    {"created_time", At<&Record::createdTime>(), Value, None, false, ", ", ",", ""},
};

constexpr int ListedCount()
{
    int n = 0;
    for (const Column &c : kColumns)
        n += c.listed ? 1 : 0;
    return n;
}
static_assert(ListedCount() == kListedColumns);

// The columns as a select list, each with a prefix ("h.").
QString SelectList(const QString &prefix)
{
    QStringList names;
    for (const Column &c : kColumns)
        names << prefix + QLatin1String(c.name);
    return names.join(QLatin1Char(','));
}

// The record of a result row whose columns, from first on, are the select list's.
Record FromRow(const Recordset &rs, int first)
{
    Record r;
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i)
        kColumns[i].value.read(r, rs, first + i);
    return r;
}

} // namespace

std::span<const Column> Columns()
{
    return kColumns;
}

QStringList ListedColumns()
{
    QStringList listed;
    for (const Column &c : kColumns)
        if (c.listed)
            listed << QLatin1String(c.name);
    return listed;
}

double PerMonth(double balance, int monthsRemaining)
{
    const double owed = RoundAmount(balance);
    if (owed <= 0)
        return 0;
    if (monthsRemaining <= 0)
        return owed;
    // In paise, so that an even split is not pushed up a rupee by the binary noise of a division.
    const long long paise = std::llround(owed * 100);
    const long long perMonth = 100LL * monthsRemaining;
    return static_cast<double>((paise + perMonth - 1) / perMonth);
}

QString ReadSql(const QString &slno, const QDate &from, const QDate &to)
{
    return QStringLiteral("Select ") + SelectList(QString()) + QStringLiteral(" from hr_it where emp_slno='") +
           SqlEscape(slno) + QStringLiteral("' and emp_it_from='") + SqlDate(from) +
           QStringLiteral("' and emp_it_to='") + SqlDate(to) + QStringLiteral("' order by emp_it_id limit 1");
}

QString ReadSetSql(const QStringList &slnos, const QDate &from, const QDate &to)
{
    return QStringLiteral("Select v.k,") + SelectList(QStringLiteral("h.")) + QStringLiteral(" from ") +
           BatchInputs::EmployeeTable(slnos) +
           QStringLiteral(" straight_join hr_it h on h.emp_slno=v.s where h.emp_it_from='") + SqlDate(from) +
           QStringLiteral("' and h.emp_it_to='") + SqlDate(to) + QStringLiteral("' order by v.k,h.emp_it_id");
}

std::optional<Record> Read(DbConnection &db, const QString &slno, const QDate &from, const QDate &to)
{
    Recordset rs = db.query(ReadSql(slno, from, to));
    std::optional<Record> record;
    if (!rs.eof())
        record = FromRow(rs, 0);
    rs.close();
    return record;
}

std::vector<std::optional<Record>> ReadSet(DbConnection &db, const QStringList &slnos, const QDate &from,
                                           const QDate &to)
{
    std::vector<std::optional<Record>> records(slnos.size());
    if (slnos.isEmpty())
        return records;
    Recordset rs = db.query(ReadSetSql(slnos, from, to));
    for (; !rs.eof(); rs.moveNext()) {
        std::optional<Record> &record = records[BatchInputs::EmployeeIndex(rs, static_cast<int>(slnos.size()))];
        if (!record)
            record = FromRow(rs, 1);
    }
    rs.close();
    return records;
}

} // namespace TaxRecord
