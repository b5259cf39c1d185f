#include "ComparisonSheet.h"

#include <algorithm>

namespace ComparisonSheet {

namespace {

struct Column
{
    const char *heading;
    int width; // twips
};

const Column kColumns[kColumnCount] = {
    {"Code", 1600},       {"Name", 3000},       {"Regime", 1300}, {"Choice", 1500},
    {"Old Regime", 2200}, {"New Regime", 2200}, {"Saving", 2200}, {"Costs More", 1700},
};

constexpr SheetColour kNavy = RgbColour(0, 0, 128);
constexpr SheetColour kSilver = RgbColour(192, 192, 192);
constexpr SheetColour kCostsMore = RgbColour(255, 230, 230);
const QString kSegoe = QStringLiteral("Segoe UI");
const QString kAmount = QStringLiteral("#,##0.00");

} // namespace

QList<RegimeComparison::Row> Shown(const QList<RegimeComparison::Row> &rows, Order order, Filter filter)
{
    QList<RegimeComparison::Row> shown;
    for (const RegimeComparison::Row &r : rows)
        if (filter == Filter::All || r.costsMore())
            shown.append(r);
    if (order == Order::Saving)
        std::stable_sort(shown.begin(), shown.end(), [](const auto &a, const auto &b) {
            return a.saving() != b.saving() ? a.saving() > b.saving() : a.code < b.code;
        });
    return shown;
}

int Build(Sheet &sheet, const QList<RegimeComparison::Row> &shown, const QString &company, const QString &yearText)
{
    sheet.clearAll();
    sheet.setColumnCount(kColumnCount);
    sheet.setRowHeight(1, 500);
    sheet.setText(1, 1, company);
    sheet.setFont({1, 1, 1, 1}, CellFont{kSegoe, 14, true, kNavy});
    sheet.setText(2, 1, QStringLiteral("Regime Comparison ") + yearText);
    sheet.setFont({2, 1, 2, 1}, CellFont{kSegoe, 10, true, kNavy});
    sheet.setText(3, 1, QStringLiteral("Saving: what the other regime would save the employee"));
    sheet.setFont({3, 1, 3, 1}, CellFont{kSegoe, 8, false, kNavy});

    const CellRange headings{kHeadingRow, 1, kHeadingRow, kColumnCount};
    sheet.setFont(headings, CellFont{QStringLiteral("Arial"), 8, true, 0});
    sheet.setBorders(headings, true);
    sheet.setFill(headings, kSilver);
    sheet.setAlignment(headings, HAlign::Centre, VAlign::Centre);
    for (int c = 1; c <= kColumnCount; ++c) {
        sheet.setText(kHeadingRow, c, QString::fromLatin1(kColumns[c - 1].heading));
        sheet.setColumnWidth(c, kColumns[c - 1].width);
    }

    const CellFont data{kSegoe, 8, false, 0};
    int row = kFirstDataRow - 1;
    for (const RegimeComparison::Row &r : shown) {
        ++row;
        sheet.setText(row, 1, r.code);
        sheet.setText(row, 2, r.name);
        sheet.setText(row, 3, r.regime == TaxRegime::New ? QStringLiteral("New") : QStringLiteral("Old"));
        sheet.setText(row, 4,
                      !r.paid       ? QStringLiteral("No pay")
                      : r.ownChoice ? QStringLiteral("Own")
                                    : QStringLiteral("Default"));
        sheet.setNumber(row, 5, r.oldPayable);
        sheet.setNumber(row, 6, r.newPayable);
        sheet.setNumber(row, 7, r.saving());
        sheet.setText(row, 8, r.costsMore() ? QStringLiteral("Yes") : QString());
        sheet.setFont({row, 1, row, kColumnCount}, data);
        sheet.setAlignment({row, 5, row, 7}, HAlign::Right, VAlign::Centre);
        sheet.setNumberFormat({row, 5, row, 7}, kAmount);
        if (r.costsMore())
            sheet.setFill({row, 1, row, kColumnCount}, kCostsMore);
    }

    const RegimeComparison::Totals t = RegimeComparison::Sum(shown);
    ++row;
    sheet.setText(row, 1, QStringLiteral("Total"));
    // The employees, and in the mark's column how many are marked.
    sheet.setText(row, 2, QStringLiteral("%1 employees").arg(shown.size()));
    sheet.setText(row, 8, QString::number(t.costsMore));
    sheet.setNumber(row, 5, t.oldPayable);
    sheet.setNumber(row, 6, t.newPayable);
    sheet.setNumber(row, 7, t.saving);
    sheet.setFont({row, 1, row, kColumnCount}, CellFont{kSegoe, 8, true, 0});
    sheet.setBorders({row, 1, row, kColumnCount}, true);
    sheet.setAlignment({row, 5, row, 7}, HAlign::Right, VAlign::Centre);
    sheet.setNumberFormat({row, 5, row, 7}, kAmount);
    return row;
}

} // namespace ComparisonSheet
