#pragma once

// What the payroll has paid an employee in a period, read from the payroll tables, and the
// month counts and projections that turn it into a year's figures.

#include <QDate>
#include <QString>
#include <QStringList>

class DbConnection;

namespace SalaryFigures {

// The salary heads the tax computation knows by code.
enum class Head {
    HraReceived,        // 'OTH0000000019', paid
    BasicPay,           // 'OTH0000000001', 'OTH0000000002', 'OTH0000000017', paid
    ProvidentFund,      // 'OTH0000000013', 'OTH0000000014', deducted
    ProfessionTax,      // 'OTH0000000033', deducted
    TransportAllowance, // 'OTH0000000048', 'OTH0000000023', paid
    TaxDeducted,        // 'OTH0000000030', deducted (income tax withheld)
};

// The codes of a head, as its statement filters them.
QStringList HeadCodes(Head head);

// The batch and the worksheet send the same statements but for blanks: the worksheet's
// transport-allowance filter has a blank after "in", and its monthly gross statement one
// blank (not two) before "Inner Join" and a blank at the end.
enum class Caller { Batch, Worksheet };

// The statement of one salary-head sum.
QString SumSql(Head head, const QString &slno, const QDate &from, const QDate &to, Caller caller = Caller::Batch);
// The sum itself: 0 for no row or a null sum, otherwise rounded to two decimals.
double Sum(DbConnection &db, Head head, const QString &slno, const QDate &from, const QDate &to,
           Caller caller = Caller::Batch);

inline double SumHraReceived(DbConnection &db, const QString &slno, const QDate &from, const QDate &to)
{
    return Sum(db, Head::HraReceived, slno, from, to);
}
inline double SumBasicPay(DbConnection &db, const QString &slno, const QDate &from, const QDate &to)
{
    return Sum(db, Head::BasicPay, slno, from, to);
}
inline double SumProvidentFund(DbConnection &db, const QString &slno, const QDate &from, const QDate &to)
{
    return Sum(db, Head::ProvidentFund, slno, from, to);
}
inline double SumProfessionTax(DbConnection &db, const QString &slno, const QDate &from, const QDate &to)
{
    return Sum(db, Head::ProfessionTax, slno, from, to);
}
inline double SumTransportAllowance(DbConnection &db, const QString &slno, const QDate &from, const QDate &to,
                                    Caller caller = Caller::Batch)
{
    return Sum(db, Head::TransportAllowance, slno, from, to, caller);
}
inline double SumTaxDeducted(DbConnection &db, const QString &slno, const QDate &from, const QDate &to)
{
    return Sum(db, Head::TaxDeducted, slno, from, to);
}

// Gross pay month by month (visible heads only): the sum of the months, each rounded, and
// the number of months with visible lines.
struct MonthlyGross
{
    double gross = 0;
    int months = 0;
};
QString MonthlyGrossSql(const QString &slno, const QDate &from, const QDate &to, Caller caller = Caller::Batch);
MonthlyGross ReadMonthlyGross(DbConnection &db, const QString &slno, const QDate &from, const QDate &to,
                              Caller caller = Caller::Batch);

// Bonus paid in the period (not rounded).
QString BonusSql(const QString &slno, const QDate &from, const QDate &to);
double ReadBonus(DbConnection &db, const QString &slno, const QDate &from, const QDate &to);

// The last finalised salary month ('SAL') of a company up to the period end; invalid when none.
QString LastFinalisedSql(const QString &companyCode, const QDate &periodEnd);
QDate ReadLastFinalised(DbConnection &db, const QString &companyCode, const QDate &periodEnd);

// Months of the period after the last finalised payroll.
int MonthsRemaining(const QDate &lastFinalised, const QDate &periodEnd);
// Months from the period start to today, less one.
int MonthsElapsed(const QDate &periodStart, const QDate &today);

// Rounded M x (A / (12 - M)); 0 when M is 0. M must be below 12.
double Project(double amount, int monthsRemaining);
// Gross projection: at the monthly rate G / N when N differs from E (0 when N is 0), else
// by Project.
double ProjectGross(double gross, int paidMonths, int monthsElapsed, int monthsRemaining);

} // namespace SalaryFigures
