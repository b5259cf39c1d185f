#include "CertificateData.h"

#include "session/Common.h"
#include "session/DbConnection.h"
#include "tax/BatchInputs.h"
#include "tax/RegimeChoice.h"
#include "tax/SalaryFigures.h"
#include "tax/TaxRules.h"

namespace CertificateData {

QString EmployeesSql(const Request &r)
{
    QString sql = QStringLiteral(
        "Select e.emp_slno,concat(e.emp_code_char,e.emp_code) as code,e.emp_name,e.emp_pan,g.desig_name,d.dept_name "
        "from hr_employee e left join hr_designation g on g.desig_code=e.emp_desig_code left join hr_department d on "
        "d.dept_code=e.emp_dept_code where e.comp_code='");
    sql += SqlEscape(r.companyCode) + QLatin1Char('\'');
    if (!r.slno.isEmpty())
        return sql + QStringLiteral(" and e.emp_slno='") + SqlEscape(r.slno) + QLatin1Char('\'');
    return sql +
           QStringLiteral(" and (e.emp_flag=0 or exists (Select 1 from hr_it h where h.emp_slno=e.emp_slno and "
                          "h.emp_it_from='") +
           SqlDate(r.from) + QStringLiteral("' and h.emp_it_to='") + SqlDate(r.to) +
           QStringLiteral("')) order by concat(e.emp_code_char,e.emp_code),e.emp_slno");
}

QString DeclarationsSql(const QString &employeeTable, const QDate &from, const QDate &to)
{
    // The batch's declarations of the period: every row whose year starts within it.
    return QStringLiteral("Select v.k,t.emp_it_allowance_code,t.emp_amount,a.allowance_name from ") + employeeTable +
           QStringLiteral(" straight_join hr_it_trans t on t.emp_slno=v.s left join hr_it_allowance a on "
                          "a.allowance_code=t.emp_it_allowance_code where t.emp_it_from>='") +
           SqlDate(from) + QStringLiteral("' and t.emp_it_from<='") + SqlDate(to) +
           QStringLiteral("' order by v.k,t.emp_it_from,t.emp_allowance_slno,t.emp_it_trans_id");
}

Context Load(DbConnection &db, const Request &request)
{
    Context c;
    c.request = request;
    c.companyName = QueryFirstValue(db, QStringLiteral("Select comp_name from dalvoni.acc_companymaster where "
                                                       "comp_code='") +
                                            SqlEscape(request.companyCode) + QLatin1Char('\''));
    if (c.companyName.isEmpty())
        throw Problem(QStringLiteral("There is no company with the code \"%1\".").arg(request.companyCode));
    const auto employer = EmployerDetails::Load(db, request.companyCode);
    if (!employer)
        throw Problem(QStringLiteral("No certificate was written: the employer's details of %1 have not been "
                                     "entered (the TAN is missing). Enter them in Master: Employer Details.")
                          .arg(c.companyName));
    if (const auto problem = EmployerDetails::Check(*employer))
        throw Problem(QStringLiteral("No certificate was written: in the employer's details of %1 %2. Enter them in "
                                     "Master: Employer Details.")
                          .arg(c.companyName, problem->message));
    c.employer = *employer;
    c.year = TaxCertificate::LoadYear(db, request.finYearFrom, request.finYearTo);
    if (c.year.newRegime)
        c.choices =
            RegimeChoice::LoadChoices(db, request.companyCode, request.finYearFrom, request.finYearTo, request.slno);
    const QDate last = SalaryFigures::ReadLastFinalised(db, request.companyCode, request.to);
    if (last.isValid())
        c.monthsRemaining = std::max(0, SalaryFigures::MonthsRemaining(last, request.to));

    Recordset rs = db.query(EmployeesSql(request));
    for (; !rs.eof(); rs.moveNext())
        c.employees.append({rs.text(0), rs.text(1), rs.text(2), rs.text(3).trimmed(), rs.text(4), rs.text(5)});
    rs.close();
    return c;
}

namespace {

// The certificate of one employee with his record, or why there is none.
void Prepare(CertificateData::Prepared &p, const Context &c, const TaxRecord::Record &record,
             const QList<Certificate::Declaration> &declarations)
{
    const Request &r = c.request;
    // A record made while months remained, of a period whose last month has been finalised since.
    if (c.monthsRemaining == 0 && record.figures.monthsRemaining > 0) {
        p.status = Prepared::Status::Refused;
        p.reason = QStringLiteral("its record projects %1 month(s) that the payroll has finalised since; generate "
                                  "the records again")
                       .arg(record.figures.monthsRemaining);
        return;
    }
    TaxRules::Context regimes;
    regimes.newRegime = c.year.newRegime;
    regimes.regimeChoices = c.choices;
    const TaxRegime regime = TaxRules::RegimeOf(regimes, p.employee.slno);
    const TaxCertificate::Outcome outcome =
        TaxCertificate::Derive(record, regime, Certificate::Declared80c(declarations), c.year);
    if (!outcome.computation) {
        p.status = Prepared::Status::Refused;
        p.reason = outcome.refusal;
        return;
    }
    p.status = Prepared::Status::Ready;
    Certificate::Inputs &in = p.inputs;
    in.companyName = c.companyName;
    in.employer = c.employer;
    in.employee = p.employee;
    in.declarations = declarations;
    in.record = record;
    in.computation = *outcome.computation;
    in.finYearFrom = r.finYearFrom;
    in.periodFrom = r.from;
    in.periodTo = r.to;
    in.monthsRemaining = record.figures.monthsRemaining;
    in.issued = r.issued;
}

} // namespace

std::vector<Prepared> ReadSet(DbConnection &db, const Context &c, int first, int count)
{
    const Request &r = c.request;
    QStringList slnos;
    std::vector<Prepared> set(count);
    for (int i = 0; i < count; ++i) {
        set[i].employee = c.employees[first + i];
        slnos << set[i].employee.slno;
    }
    const auto records = TaxRecord::ReadSet(db, slnos, r.from, r.to);

    std::vector<QList<Certificate::Declaration>> declarations(count);
    Recordset rs = db.query(DeclarationsSql(BatchInputs::EmployeeTable(slnos), r.from, r.to));
    for (; !rs.eof(); rs.moveNext()) {
        const QString head = rs.text(1);
        const QString name = rs.text(3);
        // A null amount counts as 0, as the batch reads it.
        declarations[BatchInputs::EmployeeIndex(rs, count)].append(
            {head, name.isEmpty() ? head : name, LeadingNumber(rs.text(2))});
    }
    rs.close();

    for (int i = 0; i < count; ++i)
        if (records[i])
            Prepare(set[i], c, *records[i], declarations[i]);
    return set;
}

} // namespace CertificateData
