#include "BatchInputs.h"

#include "SalaryFigures.h"
#include "session/Common.h"
#include "session/DbConnection.h"

namespace BatchInputs {

namespace {

using SalaryFigures::Head;

// The heads of the one pass over the salary lines, with the column each sums and its alias.
struct HeadColumn
{
    Head head;
    const char *column;
    const char *alias;
};
const HeadColumn kHeadColumns[] = {
    {Head::HraReceived, "emp_sal_dr", "hra"},
    {Head::BasicPay, "emp_sal_dr", "emp_basic"},
    {Head::ProvidentFund, "emp_sal_cr", "emp_pf"},
    {Head::ProfessionTax, "emp_sal_cr", "profession_tax"},
    {Head::TransportAllowance, "emp_sal_dr", "transport_allowance"},
    {Head::TaxDeducted, "emp_sal_cr", "tax_deducted"},
};

QString CodeList(const QStringList &codes)
{
    QStringList quoted;
    for (const QString &c : codes)
        quoted << QLatin1Char('\'') + c + QLatin1Char('\'');
    return QLatin1Char('(') + quoted.join(QLatin1Char(',')) + QLatin1Char(')');
}

QString Between(const QString &column, const QDate &from, const QDate &to)
{
    return column + QStringLiteral(">='") + SqlDate(from) + QStringLiteral("' and ") + column + QStringLiteral("<='") +
           SqlDate(to) + QLatin1Char('\'');
}

} // namespace

int EmployeeIndex(const Recordset &rs, int count)
{
    const int k = static_cast<int>(rs.number(QStringLiteral("k")));
    if (k < 0 || k >= count)
        throw DbError(QStringLiteral("The server answered for an employee that was not asked for (%1).").arg(k));
    return k;
}

QString EmployeeTable(const QStringList &slnos)
{
    QString sql;
    sql.reserve(40 + slnos.size() * 32);
    sql += QLatin1Char('(');
    for (int i = 0; i < slnos.size(); ++i) {
        sql += i == 0 ? QStringLiteral("Select 0 as k,'")
                      : QStringLiteral(" union all Select ") + QString::number(i) + QStringLiteral(",'");
        sql += SqlEscape(slnos[i]) + (i == 0 ? QStringLiteral("' as s") : QStringLiteral("'"));
    }
    sql += QStringLiteral(") v");
    return sql;
}

QString EmployeeTable(const QList<Employee> &employees)
{
    QStringList slnos;
    slnos.reserve(employees.size());
    for (const Employee &e : employees)
        slnos << e.slno;
    return EmployeeTable(slnos);
}

QString MonthlyGrossSql(const QString &employeeTable, const QDate &from, const QDate &to)
{
    return QStringLiteral("Select v.k,sum(s.emp_sal_dr) as gross_pay from ") + employeeTable +
           QStringLiteral(" straight_join hr_emp_salary s on s.emp_slno=v.s inner join hr_otherallowance a on "
                          "a.allowance_code=s.emp_sal_type where ") +
           Between(QStringLiteral("s.emp_sal_date_from"), from, to) +
           QStringLiteral(
               " and a.allowance_visible=0 group by v.k,s.emp_sal_date_from order by v.k,s.emp_sal_date_from");
}

QString HeadSumsSql(const QString &employeeTable, const QDate &from, const QDate &to)
{
    QString sql = QStringLiteral("Select v.k");
    QStringList all;
    for (const HeadColumn &h : kHeadColumns) {
        const QStringList codes = SalaryFigures::HeadCodes(h.head);
        all << codes;
        sql += QStringLiteral(",sum(case when s.emp_sal_type in ") + CodeList(codes) + QStringLiteral(" then s.") +
               QLatin1String(h.column) + QStringLiteral(" end) as ") + QLatin1String(h.alias);
    }
    return sql + QStringLiteral(" from ") + employeeTable +
           QStringLiteral(" straight_join hr_emp_salary s on s.emp_slno=v.s where ") +
           Between(QStringLiteral("s.emp_sal_date_from"), from, to) + QStringLiteral(" and s.emp_sal_type in ") +
           CodeList(all) + QStringLiteral(" group by v.k");
}

QString BonusSql(const QString &employeeTable, const QDate &from, const QDate &to)
{
    return QStringLiteral("Select v.k,sum(b.emp_bonus) as emp_bonus from ") + employeeTable +
           QStringLiteral(" straight_join hr_emp_bonus b on b.emp_slno=v.s where ") +
           Between(QStringLiteral("b.emp_date"), from, to) + QStringLiteral(" group by v.k");
}

QString DeclarationsSql(const QString &employeeTable, const QDate &from, const QDate &to)
{
    return QStringLiteral("Select v.k,t.emp_it_allowance_code,t.emp_amount from ") + employeeTable +
           QStringLiteral(" straight_join hr_it_trans t on t.emp_slno=v.s where ") +
           Between(QStringLiteral("t.emp_it_from"), from, to);
}

QString RecordsSql(const QString &employeeTable, const QDate &from, const QDate &to)
{
    return QStringLiteral("Select v.k,h.emp_it_from,h.emp_it_to,h.emp_hl_int,h.emp_mc from ") + employeeTable +
           QStringLiteral(" straight_join hr_it h on h.emp_slno=v.s where h.emp_it_from>='") + SqlDate(from) +
           QStringLiteral("' and h.emp_it_to<='") + SqlDate(to) + QStringLiteral("' for update");
}

std::vector<Inputs> Read(DbConnection &db, const QList<Employee> &employees, const QDate &from, const QDate &to)
{
    const int n = static_cast<int>(employees.size());
    std::vector<Inputs> result(n);
    if (n == 0)
        return result;
    const QString table = EmployeeTable(employees);

    // Month by month, each month's sum added and rounded in the order of the months.
    Recordset rs = db.query(MonthlyGrossSql(table, from, to));
    for (; !rs.eof(); rs.moveNext()) {
        TaxRules::EmployeeInputs &in = result[EmployeeIndex(rs, n)].in;
        in.gross = RoundAmount(in.gross + rs.number(QStringLiteral("gross_pay")));
        ++in.paidMonths;
    }
    rs.close();

    rs = db.query(HeadSumsSql(table, from, to));
    for (; !rs.eof(); rs.moveNext()) {
        TaxRules::EmployeeInputs &in = result[EmployeeIndex(rs, n)].in;
        const auto sum = [&rs](const char *alias) { return RoundAmount(rs.number(QLatin1String(alias))); };
        in.hraReceived = sum("hra");
        in.basic = sum("emp_basic");
        in.pf = sum("emp_pf");
        in.professionTax = sum("profession_tax");
        in.transport = sum("transport_allowance");
        in.taxDeducted = sum("tax_deducted");
    }
    rs.close();

    rs = db.query(BonusSql(table, from, to));
    for (; !rs.eof(); rs.moveNext())
        result[EmployeeIndex(rs, n)].in.bonus += rs.number(QStringLiteral("emp_bonus"));
    rs.close();

    // Each employee's rows in the order they come, as the statement of one employee reads them.
    rs = db.query(DeclarationsSql(table, from, to));
    for (; !rs.eof(); rs.moveNext())
        TaxRules::AddDeclaration(result[EmployeeIndex(rs, n)].in, rs.text(QStringLiteral("emp_it_allowance_code")),
                                 rs.text(QStringLiteral("emp_amount")));
    rs.close();

    std::vector<QList<TaxRules::PeriodRecord>> records(n);
    rs = db.query(RecordsSql(table, from, to));
    for (; !rs.eof(); rs.moveNext()) {
        const int k = EmployeeIndex(rs, n);
        const TaxRules::PeriodRecord r{rs.date(QStringLiteral("emp_it_from")), rs.date(QStringLiteral("emp_it_to")),
                                       rs.number(QStringLiteral("emp_hl_int")), rs.number(QStringLiteral("emp_mc"))};
        Inputs &e = result[k];
        if (!e.hasRecord && r.from == from && r.to == to) {
            e.hasRecord = true;
            e.recordHlInt = r.hlInt;
            e.recordMc = r.mc;
        }
        records[k].append(r);
    }
    rs.close();
    for (int k = 0; k < n; ++k)
        TaxRules::UseDeclaringRecord(result[k].in, records[k], from, to);
    return result;
}

} // namespace BatchInputs
