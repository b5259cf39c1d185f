#include "WorksheetData.h"

#include "TestDb.h"

#include <QDate>

namespace WorksheetData {

void AddDeclaration(const QString &slno, const QString &code, const QString &amount, int line, int fromYear)
{
    TestDb::Exec(
        QStringLiteral("INSERT INTO hr0910.hr_it_trans (emp_slno,emp_it_allowance_code,emp_amount,"
                       "emp_allowance_slno,emp_it_from,emp_it_to) VALUES ('%1','%2',%3,%4,'%5-04-01','%6-03-31')")
            .arg(slno, code, amount)
            .arg(line)
            .arg(fromYear)
            .arg(fromYear + 1));
}

void AddCompleteEmployee()
{
    using TestDb::AddSalary;
    TestDb::AddEmployee(QStringLiteral("E1"), QStringLiteral("EMP"), QStringLiteral("001"), QStringLiteral("ASHA RAO"),
                        QStringLiteral("MUM"));
    for (int month = 4; month <= 9; ++month) {
        const QDate d(2018, month, 1);
        AddSalary(QStringLiteral("E1"), d, QStringLiteral("OTH0000000001"), 50000);
        AddSalary(QStringLiteral("E1"), d, QStringLiteral("OTH0000000019"), 30000);
        AddSalary(QStringLiteral("E1"), d, QStringLiteral("OTH0000000048"), 1600);
        AddSalary(QStringLiteral("E1"), d, QStringLiteral("OTH0000000041"), 500);
        AddSalary(QStringLiteral("E1"), d, QStringLiteral("OTH0000000013"), 0, 6000);
        AddSalary(QStringLiteral("E1"), d, QStringLiteral("OTH0000000033"), 0, 200);
        AddSalary(QStringLiteral("E1"), d, QStringLiteral("OTH0000000030"), 0, 3000);
    }
    TestDb::Exec("INSERT INTO hr0910.hr_emp_bonus (emp_slno,emp_bonus,emp_date) VALUES ('E1',10000,'2018-10-20'),"
                 "('E1',5000,'2019-05-10')");
    TestDb::AddFinalize(QDate(2018, 8, 31));
    TestDb::AddFinalize(QDate(2018, 9, 30));
    TestDb::AddFinalize(QDate(2019, 6, 30));
    AddDeclaration(QStringLiteral("E1"), QStringLiteral("ITA000001"), QStringLiteral("50000"), 1);
    AddDeclaration(QStringLiteral("E1"), QStringLiteral("ITA000005"), QStringLiteral("240000"), 2);
    AddDeclaration(QStringLiteral("E1"), QStringLiteral("ITA999999"), QStringLiteral("7000"), 3);
    AddDeclaration(QStringLiteral("E1"), QStringLiteral("ITA000001"), QStringLiteral("99999"), 1, 2017);
    TestDb::Exec("INSERT INTO hr0910.hr_it (emp_slno,emp_code,comp_code,emp_hl_int,emp_mc,emp_it_from,emp_it_to) "
                 "VALUES ('E1','EMP001','C01',120000,30000,'2018-04-01','2019-03-31')");
}

} // namespace WorksheetData
