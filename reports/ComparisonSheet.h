#pragma once

// The regime comparison of a company laid out on a sheet, as the screen shows it and the
// workbook exports it: titles, headings, one row per employee and a row of totals.

#include "Sheet.h"
#include "tax/RegimeComparison.h"

#include <QList>
#include <QString>

namespace ComparisonSheet {

// Code, Name, Regime, Choice, Old Regime, New Regime, Saving, Costs More.
constexpr int kColumnCount = 8;
constexpr int kHeadingRow = 4;
constexpr int kFirstDataRow = 5;

enum class Order { Code, Saving };
enum class Filter { All, CostsMore };

// The rows shown: all or those whose regime costs more, by code or by the saving (largest
// first, then by code).
QList<RegimeComparison::Row> Shown(const QList<RegimeComparison::Row> &rows, Order order, Filter filter);

// Lays out the titles (company, "Regime Comparison" with the year), the headings, the rows and
// their totals. Returns the row of the totals.
int Build(Sheet &sheet, const QList<RegimeComparison::Row> &shown, const QString &company, const QString &yearText);

} // namespace ComparisonSheet
