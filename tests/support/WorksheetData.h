#pragma once

#include <QString>

// One complete employee of the standard company for the worksheet's tests (tax year 2018-19):
// "E1", code EMP001, ASHA RAO of the Mumbai unit. Six salary months April to September 2018,
// each basic 50000, house-rent allowance 30000, conveyance 1600, overtime 500 (a head that is
// not gross pay), provident fund 6000, profession tax 200 and income tax 3000 deducted;
// bonus 10000 in October; September's payroll finalised. Declarations of the year: LIC
// 50000, rent 240000 and one under a head that no longer exists; one LIC line of the year
// before. Tax record with housing-loan interest 120000 and mediclaim 30000.
namespace WorksheetData {

void AddCompleteEmployee();
// A declaration row of an employee for a tax year starting 1 April of fromYear.
void AddDeclaration(const QString &slno, const QString &code, const QString &amount, int line, int fromYear = 2018);

} // namespace WorksheetData
