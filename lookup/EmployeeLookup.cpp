#include "EmployeeLookup.h"

#include "session/Common.h"

namespace {

const char *const kSelect =
    "Select concat(emp_code_char,emp_code),emp_name,desig_name,dept_name,unit_name,comp_name,emp_slno,emp_pan,"
    "emp_unit_code,hr_employee.comp_code from  hr0910.hr_employee Left Outer Join hr0910.hr_designation on "
    "desig_code=emp_desig_code  Left Outer Join hr0910.hr_department on dept_code=emp_dept_code  Left Outer Join "
    "dalvoni.unitmaster on unitmaster.unit_code=hr_employee.emp_unit_code  Left Outer Join dalvoni.acc_companymaster "
    "on acc_companymaster.comp_code=hr0910.hr_employee.comp_code";

} // namespace

QString EmployeeLookupSql(const QString &companyCode, const QString &typed, BlankCode blanks)
{
    const QString company = SqlEscape(companyCode);
    const QString text = typed.toUpper().trimmed();
    const bool empty = blanks == BlankCode::OffersAll ? text.isEmpty() : typed.isEmpty();
    if (empty)
        return QLatin1String(kSelect) + QStringLiteral(" where  hr_employee.comp_code='") + company +
               QStringLiteral("' and emp_disable=0 and emp_flag=0 order by concat(emp_code_char,emp_code)");
    const QString like = SqlLikeEscape(text);
    return QLatin1String(kSelect) + QStringLiteral(" Where hr_employee.comp_code='") + company +
           QStringLiteral("' and  (concat(emp_code_char,emp_code) like '%") + like +
           QStringLiteral("%' or emp_name like '%") + like +
           QStringLiteral("%' and emp_disable=0 and emp_flag=0) order by concat(emp_code_char,emp_code)");
}
