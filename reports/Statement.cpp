#include "Statement.h"

#include "session/Common.h"
#include "session/DbConnection.h"
#include "tax/RegimeChoice.h"
#include "tax/TaxRecord.h"

namespace Statement {

namespace {

struct Column
{
    const char *heading1;
    const char *heading2;
    int width;
};

// In sheet order: two heading lines and the width in twips; the regime is read beside the
// records, and the tax per month, last, worked out from the record's balance and months.
// clang-format off
const Column kColumns[kColumnCount] = {
    {"Code", "", 1750},
    {"Name", "", 4000},
    {"PAN No", "", 3200},
    {"Months", "Rem.", 2000},
    {"Gross ", "Pay", 2500},
    {"Gross", "Proj.", 2500},
    {"H.R.A", "", 2500},
    {"H.R.A", "Proj.", 2500},
    {"P.F", "", 2500},
    {"P.F", "Proj.", 2500},
    {"Profession", "Tax", 2500},
    {"H.Loan", "Intr.", 2500},
    {"H.Loan", "Limit", 2500},
    {"Medi", "Claim", 2500},
    {"M.C", "Limit", 2500},
    {"STD ", "DED", 2500},
    {"T.A", "Proj", 2500},
    {"80-c", "Total", 2500},
    {"80-c", "Limit", 2500},
    {"80-c", "Net", 2500},
    {"Taxable", "Amt", 2500},
    {"Exception", "", 2500},
    {"Net", "Taxable", 2500},
    {"Cess", "", 2500},
    {"Net", "Payable", 2500},
    {"Sal", "Deduction", 2500},
    {"Balance", "", 2500},
    {"Regime", "", 2000},
    {"Per", "Month", 2500},
};
// clang-format on

// The column each sheet column shows: the record's listed columns (tax/TaxRecord.h), with the
// employee's name and PAN (hr_employee) after the code.
static_assert(TaxRecord::kListedColumns + 2 == kRecordColumns);
const QStringList &Fields()
{
    static const QStringList fields = [] {
        QStringList f = TaxRecord::ListedColumns();
        f.insert(1, QStringLiteral("emp_name"));
        f.insert(2, QStringLiteral("emp_pan"));
        return f;
    }();
    return fields;
}

constexpr SheetColour kNavy = RgbColour(0, 0, 128);
constexpr SheetColour kSilver = RgbColour(192, 192, 192);

const QString kSegoe = QStringLiteral("Segoe UI");

} // namespace

void DrawLayout(Sheet &sheet)
{
    sheet.setColumnCount(kColumnCount);
    sheet.setRowHeight(1, 500);
    sheet.setText(1, 1, QStringLiteral("ZN - CORPORATE"));
    sheet.setFont({1, 1, 1, 1}, CellFont{kSegoe, 14, true, kNavy});
    sheet.setText(2, 1, QStringLiteral("CORPORATE"));
    sheet.setFont({2, 1, 2, 1}, CellFont{kSegoe, 10, true, kNavy});
    sheet.setFont({3, 1, 3, 1}, CellFont{kSegoe, 8, true, kNavy});

    const CellRange headings{kFirstHeadingRow, 1, kFirstDataRow - 1, kColumnCount};
    sheet.setFont(headings, CellFont{QStringLiteral("Arial"), 8, true, 0});
    sheet.setBorders(headings, true);
    sheet.setFill(headings, kSilver);
    sheet.setAlignment(headings, HAlign::Right, VAlign::Centre);
    sheet.setWrap(headings, false);
    for (int c = 1; c <= kColumnCount; ++c) {
        const Column &col = kColumns[c - 1];
        sheet.setText(kFirstHeadingRow, c, QString::fromLatin1(col.heading1));
        if (*col.heading2)
            sheet.setText(kFirstHeadingRow + 1, c, QString::fromLatin1(col.heading2));
        sheet.setColumnWidth(c, col.width);
    }
}

QString Query(const QString &companyCode, const QDate &from, const QDate &to, const QString &code)
{
    QString sql = QStringLiteral("Select hr_it.*,emp_name,emp_pan from hr_it Inner Join hr_employee on "
                                 "hr_employee.emp_slno=hr_it.emp_slno where hr_it.comp_code='") +
                  SqlEscape(companyCode) + QStringLiteral("' and emp_it_from= '") + SqlDate(from) +
                  QStringLiteral("' and emp_it_to='") + SqlDate(to);
    if (code.isEmpty())
        return sql + QStringLiteral("' order by emp_code");
    return sql + QStringLiteral("'  and hr_it.emp_code='") + SqlEscape(code.trimmed()) +
           QStringLiteral("'  order by emp_code");
}

QString RegimeText(TaxRegime regime)
{
    return regime == TaxRegime::New ? QStringLiteral("New") : QStringLiteral("Old");
}

int Build(Sheet &sheet, DbConnection &db, const QString &companyCode, const QDate &from, const QDate &to,
          const QString &code, const QDate &today, const QDate &finYearFrom, const QDate &finYearTo)
{
    DrawLayout(sheet);
    int row = kFirstDataRow - 1;
    sheet.clear({kFirstDataRow, 1, std::max(sheet.lastRow(), kFirstDataRow), kColumnCount});
    sheet.setText(3, 1, QStringLiteral("Income Tax Statement as on ") + ShortDate(today));

    // The regimes are read beside the records, which keep their own query: an employee
    // without a choice of his own has the year's default.
    const std::optional<NewRegimeSetup::Year> newRegime = NewRegimeSetup::Load(db, finYearFrom, finYearTo);
    QHash<QString, TaxRegime> choices;
    if (newRegime)
        choices = RegimeChoice::LoadChoices(db, companyCode, finYearFrom, finYearTo);

    Recordset rs = db.query(Query(companyCode, from, to, code));
    const CellFont dataFont{kSegoe, 8, false, 0};
    while (!rs.eof()) {
        ++row;
        // Text columns show a missing value as an empty cell, number columns as 0.
        for (int c = 1; c <= 4; ++c)
            sheet.setText(row, c, rs.text(Fields()[c - 1]));
        for (int c = 5; c <= kRecordColumns; ++c)
            sheet.setNumber(row, c, rs.number(Fields()[c - 1]));
        const auto choice = choices.constFind(rs.text(QStringLiteral("emp_slno")));
        sheet.setText(row, kRegimeColumn,
                      RegimeText(RegimeChoice::Effective(
                          newRegime, choice == choices.cend() ? std::nullopt : std::optional<TaxRegime>(*choice))));
        sheet.setNumber(row, kPerMonthColumn,
                        TaxRecord::PerMonth(rs.number(QStringLiteral("emp_balance")),
                                            static_cast<int>(rs.number(QStringLiteral("emp_months_rem")))));
        sheet.setFont({row, 1, row, kColumnCount}, dataFont);
        sheet.setAlignment({row, 4, row, kColumnCount}, HAlign::Right, VAlign::Centre);
        sheet.setNumberFormat({row, 4, row, kRecordColumns}, QStringLiteral("#,##"));
        sheet.setNumberFormat({row, kPerMonthColumn, row, kPerMonthColumn}, QStringLiteral("#,##"));
        rs.moveNext();
    }
    rs.close();
    return row;
}

} // namespace Statement
