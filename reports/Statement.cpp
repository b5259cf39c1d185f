#include "Statement.h"

#include "session/Common.h"
#include "session/DbConnection.h"
#include "tax/RegimeChoice.h"

namespace Statement {

namespace {

struct Column
{
    const char *heading1;
    const char *heading2;
    int width;
    const char *field;
};

// In sheet order: two heading lines, width in twips, the hr_it (or employee) column; the
// regime, last, is read beside the records.
const Column kColumns[kColumnCount] = {
    {"Code", "", 1750, "emp_code"},
    {"Name", "", 4000, "emp_name"},
    {"PAN No", "", 3200, "emp_pan"},
    {"Months", "Rem.", 2000, "emp_months_rem"},
    {"Gross ", "Pay", 2500, "emp_gross"},
    {"Gross", "Proj.", 2500, "emp_gross_proj"},
    {"H.R.A", "", 2500, "emp_hra"},
    {"H.R.A", "Proj.", 2500, "emp_hra_proj"},
    {"P.F", "", 2500, "emp_pf"},
    {"P.F", "Proj.", 2500, "emp_pf_proj"},
    {"Profession", "Tax", 2500, "emp_pro_tax"},
    {"H.Loan", "Intr.", 2500, "emp_hl_int"},
    {"H.Loan", "Limit", 2500, "emp_hl_int_limit"},
    {"Medi", "Claim", 2500, "emp_mc"},
    {"M.C", "Limit", 2500, "emp_mc_limit"},
    {"STD ", "DED", 2500, "emp_ta"},
    {"T.A", "Proj", 2500, "emp_ta_proj"},
    {"80-c", "Total", 2500, "emp_80c_total"},
    {"80-c", "Limit", 2500, "emp_80c_limit"},
    {"80-c", "Net", 2500, "emp_80c_net"},
    {"Taxable", "Amt", 2500, "emp_taxable_amt"},
    {"Exception", "", 2500, "emp_excemption"},
    {"Net", "Taxable", 2500, "emp_net_taxable_amt"},
    {"Cess", "", 2500, "emp_cess"},
    {"Net", "Payable", 2500, "emp_payable"},
    {"Sal", "Deduction", 2500, "emp_sal_cut"},
    {"Balance", "", 2500, "emp_balance"},
    {"Regime", "", 2000, nullptr},
};

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
            sheet.setText(row, c, rs.text(QLatin1String(kColumns[c - 1].field)));
        for (int c = 5; c <= kRecordColumns; ++c)
            sheet.setNumber(row, c, rs.number(QLatin1String(kColumns[c - 1].field)));
        const auto choice = choices.constFind(rs.text(QStringLiteral("emp_slno")));
        sheet.setText(row, kRegimeColumn,
                      RegimeText(RegimeChoice::Effective(
                          newRegime, choice == choices.cend() ? std::nullopt : std::optional<TaxRegime>(*choice))));
        sheet.setFont({row, 1, row, kColumnCount}, dataFont);
        sheet.setAlignment({row, 4, row, kColumnCount}, HAlign::Right, VAlign::Centre);
        sheet.setNumberFormat({row, 4, row, kRecordColumns}, QStringLiteral("#,##"));
        rs.moveNext();
    }
    rs.close();
    return row;
}

} // namespace Statement
