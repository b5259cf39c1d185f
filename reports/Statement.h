#pragma once

#include "Sheet.h"
#include "config/NewRegimeSetup.h"

#include <QByteArray>
#include <QDate>
#include <QString>

class DbConnection;

// The company's tax statement: the stored tax records of a period laid out on a sheet.
namespace Statement {

// The 27 columns of the tax record, after them the employee's regime of the financial year,
// and last the tax to deduct in each remaining month (the balance over the months remaining).
constexpr int kRecordColumns = 27;
constexpr int kRegimeColumn = 28;
constexpr int kPerMonthColumn = 29;
constexpr int kColumnCount = kPerMonthColumn;
constexpr int kFirstHeadingRow = 4;
constexpr int kFirstDataRow = 6;

// Rows 1 to 5: company lines, the title cell (left as it is) and the two heading lines,
// with their fonts, fill, borders, widths and alignment; the column count is set to 29.
void DrawLayout(Sheet &sheet);

// The tax records of the company for exactly this period, of every employee when code is
// empty, else of the employee with that code (blanks around it removed).
QString Query(const QString &companyCode, const QDate &from, const QDate &to, const QString &code);

// "Old" or "New", as the regime column shows it.
QString RegimeText(TaxRegime regime);

// Draws the layout, clears the rows from 6, writes the title with today's date and one row
// per tax record, with the employee's regime of the financial year finYearFrom to finYearTo
// (his choice, else the year's default; which the period need not match) and the tax to
// deduct per remaining month. Returns the row
// of the last employee (5 when there is none).
int Build(Sheet &sheet, DbConnection &db, const QString &companyCode, const QDate &from, const QDate &to,
          const QString &code, const QDate &today, const QDate &finYearFrom, const QDate &finYearTo);

} // namespace Statement
