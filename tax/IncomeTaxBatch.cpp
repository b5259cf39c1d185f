#include "IncomeTaxBatch.h"

#include "SalaryFigures.h"
#include "session/Common.h"
#include "session/DbConnection.h"
#include "session/mdlDalvoni.h"

namespace IncomeTaxBatch {

namespace {

QString N(double value)
{
    return PlainNumber(value);
}

QString DayText(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace

Request SessionRequest(const QDate &from, const QDate &to, const QString &slno)
{
    Request r;
    r.companyCode = mdlDalvoni::CompanyCode;
    r.finYearFrom = mdlDalvoni::FinYearFrom;
    r.finYearTo = mdlDalvoni::FinYearTo;
    r.from = from;
    r.to = to;
    r.slno = slno;
    r.userId = mdlDalvoni::UserId;
    r.today = QDate::currentDate();
    r.now = QTime::currentTime();
    return r;
}

QString CountSql(const QString &companyCode, const QString &slno)
{
    const QString comp = SqlEscape(companyCode);
    QString sql = QStringLiteral("Select count(*) as tot_count from hr_employee where comp_code='") + comp +
                  QStringLiteral("' and emp_flag=0");
    if (!slno.isEmpty())
        sql += QStringLiteral(" and emp_slno='") + SqlEscape(slno) + QStringLiteral("' and comp_code='") + comp +
               QStringLiteral("'");
    return sql;
}

QString ListSql(const QString &companyCode, const QString &slno)
{
    const QString comp = SqlEscape(companyCode);
    QString sql =
        QStringLiteral("Select * from hr_employee where comp_code='") + comp + QStringLiteral("' and emp_flag=0 ");
    if (!slno.isEmpty())
        sql += QStringLiteral(" and emp_slno='") + SqlEscape(slno) + QStringLiteral("' and comp_code='") + comp +
               QStringLiteral("'");
    return sql;
}

QString RecordSql(const QString &slno, const QDate &from, const QDate &to)
{
    return QStringLiteral("Select * from hr_it where emp_slno='") + SqlEscape(slno) +
           QStringLiteral("' and emp_it_from= '") + SqlDate(from) + QStringLiteral("' and emp_it_to='") + SqlDate(to) +
           QStringLiteral("'");
}

QString InsertSql(const Request &req, const QString &slno, const QString &empCode, const TaxFigures &f,
                  const TaxSettings &s)
{
    QString sql = QStringLiteral(
        "Insert into hr_it(emp_slno, emp_code,comp_code,emp_months_rem, emp_gross, emp_gross_proj, emp_hra, "
        "emp_hra_proj, emp_pf, emp_pf_proj, emp_pro_tax, emp_hl_int, emp_hl_int_limit, emp_mc, "
        "emp_mc_limit,emp_ta,emp_ta_proj, emp_80c_total, emp_80c_limit, emp_80c_net, emp_taxable_amt, "
        "emp_excemption, emp_net_taxable_amt, emp_cess, "
        "emp_payable,emp_sal_cut,emp_balance,emp_it_from,emp_it_to,created_by, created_date, created_time) values ");
    sql.reserve(sql.size() + 400);
    sql += QStringLiteral("('") + SqlEscape(slno) + QStringLiteral("' , '") + SqlEscape(empCode) +
           QStringLiteral("','") + SqlEscape(req.companyCode) + QStringLiteral("',") + N(f.monthsRemaining) +
           QStringLiteral(", ") + N(f.gross) + QStringLiteral(", ") + N(f.grossProj) + QStringLiteral(", ") + N(f.hra) +
           QStringLiteral(", ") + N(f.hraProj) + QStringLiteral(", ") + N(f.pf) + QStringLiteral(", ") + N(f.pfProj) +
           QStringLiteral(", ") + N(f.professionTax) + QStringLiteral(", 0, ") + N(s.hlLimit) +
           QStringLiteral(", 0, ") + N(s.mcLimit) + QStringLiteral(",") + N(f.ta) + QStringLiteral(",") + N(f.taProj) +
           QStringLiteral(", 0, ") + N(s.limit80c) + QStringLiteral(", 0, 0, ") + N(s.taxLimit) + QStringLiteral(", ") +
           N(f.tax) + QStringLiteral(", ") + N(f.cess) + QStringLiteral(", ") + N(f.payable) + QStringLiteral(",") +
           N(f.salCut) + QStringLiteral(",") + N(f.balance) + QStringLiteral(",'") + SqlSlashDate(req.from) +
           QStringLiteral("','") + SqlSlashDate(req.to) + QStringLiteral("', ") + N(LeadingNumber(req.userId)) +
           QStringLiteral(",'") + SqlSlashDate(req.today) + QStringLiteral("','") + SqlTime(req.now) +
           QStringLiteral("')");
    return sql;
}

QString UpdateSql(const Request &req, const QString &slno, const TaxFigures &f, const TaxSettings &s, double hlInt,
                  double mc)
{
    return QStringLiteral("Update hr_it set emp_months_rem =") + N(f.monthsRemaining) + QStringLiteral(", emp_gross=") +
           N(f.gross) + QStringLiteral(", emp_gross_proj=") + N(f.grossProj) + QStringLiteral(", emp_hra=") + N(f.hra) +
           QStringLiteral(", emp_hra_proj=") + N(f.hraProj) + QStringLiteral(", emp_pf=") + N(f.pf) +
           QStringLiteral(" , emp_pf_proj=") + N(f.pfProj) + QStringLiteral(", emp_pro_tax=") + N(f.professionTax) +
           QStringLiteral(", emp_hl_int=") + N(hlInt) + QStringLiteral(", emp_hl_int_limit=") + N(s.hlLimit) +
           QStringLiteral(", emp_mc=") + N(mc) + QStringLiteral(", emp_mc_limit=") + N(s.mcLimit) +
           QStringLiteral(", emp_ta=") + N(f.ta) + QStringLiteral(",emp_ta_proj=") + N(f.taProj) +
           QStringLiteral(", emp_80c_total=") + N(f.total80c) + QStringLiteral(", emp_80c_limit=") + N(s.limit80c) +
           QStringLiteral(", emp_80c_net=") + N(f.net80c) + QStringLiteral(", emp_taxable_amt=") + N(f.taxable) +
           QStringLiteral(", emp_excemption=") + N(s.taxLimit) + QStringLiteral(", emp_net_taxable_amt=") + N(f.tax) +
           QStringLiteral(", emp_cess=") + N(f.cess) + QStringLiteral(", emp_payable=") + N(f.payable) +
           QStringLiteral(",emp_sal_cut=") + N(f.salCut) + QStringLiteral(",") + QStringLiteral(" emp_balance=") +
           N(f.balance) + QStringLiteral(" where emp_slno='") + SqlEscape(slno) +
           QStringLiteral("' and emp_it_from='") + SqlDate(req.from) + QStringLiteral("' and emp_it_to='") +
           SqlDate(req.to) + QStringLiteral("'");
}

QString CaptionText(int value, int maximum)
{
    return QStringLiteral(" [ %1/%2]").arg(value).arg(maximum);
}

QString PercentText(int value, int maximum)
{
    // Whole percent in integers: 29 of 100 is 29, where 29 / 100 * 100 in doubles is 28.99...
    const long long pct = maximum > 0 ? static_cast<long long>(value) * 100 / maximum : 0;
    return QString::number(pct) + QStringLiteral(" %");
}

Result Run(DbConnection &db, const Request &req, RebateState &state,
           const std::function<void(const Progress &)> &progress)
{
    TaxRules::Context ctx;
    ctx.periodFrom = req.from;
    ctx.periodTo = req.to;
    ctx.finYearFrom = req.finYearFrom;
    ctx.finYearTo = req.finYearTo;
    ctx.today = req.today;

    Result result;
    Recordset list;
    QString current; // the employee being processed, for the message of a failure
    try {
        ctx.settings = TaxRules::LoadYear(db, req.finYearFrom, req.finYearTo, state);

        const QDate last = SalaryFigures::ReadLastFinalised(db, req.companyCode, req.to);
        if (!last.isValid())
            throw Error(QStringLiteral("No salary month of this company has been finalised up to %1.\n"
                                       "Income tax cannot be generated before the first payroll is finalised.")
                            .arg(DayText(req.to)));
        ctx.monthsRemaining = SalaryFigures::MonthsRemaining(last, req.to);
        if (ctx.monthsRemaining >= 12)
            throw Error(QStringLiteral("The last finalised salary month is %1, %2 months before the period end %3.\n"
                                       "The remaining salary cannot be projected over 12 months or more.")
                            .arg(DayText(last))
                            .arg(ctx.monthsRemaining)
                            .arg(DayText(req.to)));

        const QString total = QueryFirstValue(db, CountSql(req.companyCode, req.slno));
        result.selected = static_cast<int>(LeadingNumber(total));
        Progress p;
        p.maximum = result.selected;
        p.percent = QStringLiteral("0%");
        if (progress)
            progress(p);

        list = db.query(ListSql(req.companyCode, req.slno));
        while (!list.eof()) {
            const QString slno = list.text(QStringLiteral("emp_slno"));
            const QString empCode = list.text(QStringLiteral("emp_code_char")) + list.text(QStringLiteral("emp_code"));
            current = empCode + QStringLiteral(" (serial no. ") + slno + QStringLiteral(")");

            const auto figures =
                TaxRules::ComputeEmployee(db, slno, list.text(QStringLiteral("emp_unit_code")), ctx, state);
            if (!figures) {
                ++result.skipped;
            } else {
                Recordset rec = db.query(RecordSql(slno, req.from, req.to));
                if (rec.eof()) {
                    rec.close();
                    db.execute(InsertSql(req, slno, empCode, *figures, ctx.settings));
                    ++result.inserted;
                } else {
                    const double hlInt = rec.number(QStringLiteral("emp_hl_int"));
                    const double mc = rec.number(QStringLiteral("emp_mc"));
                    rec.close();
                    db.execute(UpdateSql(req, slno, *figures, ctx.settings, hlInt, mc));
                    ++result.updated;
                }
            }

            p.caption = CaptionText(p.value, p.maximum);
            ++p.value;
            p.percent = PercentText(p.value, p.maximum);
            current.clear();
            if (progress)
                progress(p);
            list.moveNext();
        }
        list.close();
    } catch (const DbError &e) {
        list.close();
        if (current.isEmpty())
            throw Error(QStringLiteral("Income tax could not be generated.\n%1").arg(e.text()));
        throw Error(QStringLiteral("Income tax could not be generated for employee %1.\n"
                                   "Records written before this employee are kept.\n%2")
                        .arg(current, e.text()));
    }
    return result;
}

} // namespace IncomeTaxBatch
