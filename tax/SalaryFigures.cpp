#include "SalaryFigures.h"

#include "session/Common.h"
#include "session/DbConnection.h"

namespace SalaryFigures {

QStringList HeadCodes(Head head)
{
    switch (head) {
    case Head::HraReceived:
        return {QStringLiteral("OTH0000000019")};
    case Head::BasicPay:
        return {QStringLiteral("OTH0000000001"), QStringLiteral("OTH0000000002"), QStringLiteral("OTH0000000017")};
    case Head::ProvidentFund:
        return {QStringLiteral("OTH0000000013"), QStringLiteral("OTH0000000014")};
    case Head::ProfessionTax:
        return {QStringLiteral("OTH0000000033")};
    case Head::TransportAllowance:
        return {QStringLiteral("OTH0000000048"), QStringLiteral("OTH0000000023")};
    case Head::TaxDeducted:
        return {QStringLiteral("OTH0000000030")};
    }
    return {};
}

QString SumSql(Head head, const QString &slno, const QDate &from, const QDate &to, Caller caller)
{
    QString select, filter;
    switch (head) {
    case Head::HraReceived:
        select = QStringLiteral("Select sum(emp_sal_dr) as hra FROM hr_emp_salary where emp_slno='");
        filter = QStringLiteral("' and emp_sal_type='OTH0000000019'");
        break;
    case Head::BasicPay:
        select = QStringLiteral("Select sum(emp_sal_dr) as emp_basic FROM hr_emp_salary where emp_slno='");
        filter = QStringLiteral("' and emp_sal_type in ('OTH0000000001','OTH0000000002','OTH0000000017')");
        break;
    case Head::ProvidentFund:
        select = QStringLiteral("Select sum(emp_sal_cr) as emp_pf FROM hr_emp_salary where emp_slno='");
        filter = QStringLiteral("' and emp_sal_type in ('OTH0000000013','OTH0000000014')");
        break;
    case Head::ProfessionTax:
        select = QStringLiteral("Select sum(emp_sal_cr) as profession_tax FROM hr_emp_salary where emp_slno='");
        filter = QStringLiteral("' and emp_sal_type='OTH0000000033'");
        break;
    case Head::TransportAllowance:
        select = QStringLiteral("Select sum(emp_sal_dr) as transport_allowance FROM hr_emp_salary where emp_slno='");
        filter = caller == Caller::Batch ? QStringLiteral("' and emp_sal_type in('OTH0000000048','OTH0000000023')")
                                         : QStringLiteral("' and emp_sal_type in ('OTH0000000048','OTH0000000023')");
        break;
    case Head::TaxDeducted:
        select = QStringLiteral("Select sum(emp_sal_cr) as profession_tax FROM hr_emp_salary where emp_slno='");
        filter = QStringLiteral("' and emp_sal_type='OTH0000000030'");
        break;
    }
    return select + SqlEscape(slno) + QStringLiteral("' and emp_sal_date_from>='") + SqlDate(from) +
           QStringLiteral("' and emp_sal_date_from<='") + SqlDate(to) + filter;
}

double Sum(DbConnection &db, Head head, const QString &slno, const QDate &from, const QDate &to, Caller caller)
{
    Recordset rs = db.query(SumSql(head, slno, from, to, caller));
    if (rs.eof())
        return 0.0;
    const double value = RoundAmount(rs.number(0));
    rs.close();
    return value;
}

QString MonthlyGrossSql(const QString &slno, const QDate &from, const QDate &to, Caller caller)
{
    if (caller == Caller::Batch)
        return QStringLiteral("SELECT sum(emp_sal_dr) as gross_pay FROM hr_emp_salary  Inner Join hr_otherallowance on "
                              "allowance_code=emp_sal_type where emp_slno='") +
               SqlEscape(slno) + QStringLiteral("' and emp_sal_date_from>='") + SqlDate(from) +
               QStringLiteral("' and emp_sal_date_from<='") + SqlDate(to) +
               QStringLiteral("' and allowance_visible=0 group by emp_sal_date_from");
    return QStringLiteral("SELECT sum(emp_sal_dr) as gross_pay FROM hr_emp_salary Inner Join hr_otherallowance on "
                          "allowance_code=emp_sal_type where emp_slno='") +
           SqlEscape(slno) + QStringLiteral("' and emp_sal_date_from>='") + SqlDate(from) +
           QStringLiteral("' and emp_sal_date_from<='") + SqlDate(to) +
           QStringLiteral("' and allowance_visible=0 group by emp_sal_date_from ");
}

MonthlyGross ReadMonthlyGross(DbConnection &db, const QString &slno, const QDate &from, const QDate &to, Caller caller)
{
    MonthlyGross result;
    Recordset rs = db.query(MonthlyGrossSql(slno, from, to, caller));
    while (!rs.eof()) {
        result.gross = RoundAmount(result.gross + rs.number(QStringLiteral("gross_pay")));
        ++result.months;
        rs.moveNext();
    }
    rs.close();
    return result;
}

QString BonusSql(const QString &slno, const QDate &from, const QDate &to)
{
    return QStringLiteral("Select sum(emp_bonus) as emp_bonus from hr_emp_bonus where emp_slno='") + SqlEscape(slno) +
           QStringLiteral("' and emp_date>='") + SqlDate(from) + QStringLiteral("' and emp_date<='") + SqlDate(to) +
           QStringLiteral("' group by emp_slno");
}

double ReadBonus(DbConnection &db, const QString &slno, const QDate &from, const QDate &to)
{
    double bonus = 0.0;
    Recordset rs = db.query(BonusSql(slno, from, to));
    while (!rs.eof()) {
        bonus += rs.number(QStringLiteral("emp_bonus"));
        rs.moveNext();
    }
    rs.close();
    return bonus;
}

QString LastFinalisedSql(const QString &companyCode, const QDate &periodEnd)
{
    return QStringLiteral("Select max(entry_date) from hr_finalize where comp_code='") + SqlEscape(companyCode) +
           QStringLiteral("' and entry_type='SAL' and entry_date<='") + SqlDate(periodEnd) + QStringLiteral("'");
}

QDate ReadLastFinalised(DbConnection &db, const QString &companyCode, const QDate &periodEnd)
{
    return DateFromText(QueryFirstValue(db, LastFinalisedSql(companyCode, periodEnd)));
}

int MonthsRemaining(const QDate &lastFinalised, const QDate &periodEnd)
{
    return MonthDiff(lastFinalised, periodEnd);
}

int MonthsElapsed(const QDate &periodStart, const QDate &today)
{
    return MonthDiff(periodStart, today) - 1;
}

double Project(double amount, int monthsRemaining)
{
    if (monthsRemaining == 0)
        return 0.0;
    return RoundAmount(monthsRemaining * (amount / (12 - monthsRemaining)));
}

double ProjectGross(double gross, int paidMonths, int monthsElapsed, int monthsRemaining)
{
    if (paidMonths != monthsElapsed) {
        if (paidMonths == 0)
            return 0.0;
        return RoundAmount((gross / paidMonths) * monthsRemaining);
    }
    return Project(gross, monthsRemaining);
}

} // namespace SalaryFigures
