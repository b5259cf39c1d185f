#include "Sheet.h"

#include "session/Common.h"

#include <algorithm>
#include <cmath>

Sheet::Sheet()
{
    m_formats.push_back(CellFormat());
}

void Sheet::setColumnCount(int count)
{
    m_columnCount = std::max(0, count);
}

int Sheet::lastRow() const
{
    for (int r = int(m_rows.size()); r >= 1; --r) {
        for (const Cell &c : m_rows[r - 1])
            if (c.value.isValid() || c.formatId != 0)
                return r;
    }
    return 0;
}

Sheet::Cell *Sheet::cellFor(int row, int col)
{
    if (row < 1 || col < 1)
        return nullptr;
    if (int(m_rows.size()) < row)
        m_rows.resize(row);
    auto &cells = m_rows[row - 1];
    if (int(cells.size()) < col)
        cells.resize(std::max(col, m_columnCount));
    return &cells[col - 1];
}

const Sheet::Cell *Sheet::findCell(int row, int col) const
{
    if (row < 1 || col < 1 || row > int(m_rows.size()))
        return nullptr;
    const auto &cells = m_rows[row - 1];
    if (col > int(cells.size()))
        return nullptr;
    return &cells[col - 1];
}

void Sheet::setText(int row, int col, const QString &text)
{
    if (Cell *c = cellFor(row, col))
        c->value = text;
}

void Sheet::setNumber(int row, int col, double number)
{
    if (Cell *c = cellFor(row, col))
        c->value = number;
}

void Sheet::setValue(int row, int col, const QVariant &value)
{
    Cell *c = cellFor(row, col);
    if (!c)
        return;
    if (value.isNull())
        c->value = QVariant();
    else if (value.typeId() == QMetaType::QString)
        c->value = value;
    else
        c->value = value.toDouble();
}

QVariant Sheet::value(int row, int col) const
{
    const Cell *c = findCell(row, col);
    return c ? c->value : QVariant();
}

bool Sheet::isNumber(int row, int col) const
{
    const Cell *c = findCell(row, col);
    return c && c->value.typeId() == QMetaType::Double;
}

QString Sheet::text(int row, int col) const
{
    const Cell *c = findCell(row, col);
    if (!c || !c->value.isValid())
        return QString();
    if (c->value.typeId() == QMetaType::Double)
        return formatNumber(c->value.toDouble(), m_formats[c->formatId].numberFormat);
    return c->value.toString();
}

QString Sheet::formatNumber(double number, const QString &format)
{
    if (format == QLatin1String("#,##0.00")) {
        // Two decimals, thousands grouped, zero as 0.00.
        QString text = Format00(number);
        const bool negative = text.startsWith(QLatin1Char('-'));
        for (int i = int(text.indexOf(QLatin1Char('.'))) - 3; i > (negative ? 1 : 0); i -= 3)
            text.insert(i, QLatin1Char(','));
        return text;
    }
    if (format != QLatin1String("#,##"))
        return PlainNumber(number);
    // Whole number, halves away from zero as the spreadsheet shows them.
    const double whole = std::round(number);
    if (whole == 0)
        return QString();
    QString digits = QString::number(std::fabs(whole), 'f', 0);
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return whole < 0 ? QLatin1Char('-') + digits : digits;
}

const CellFormat &Sheet::format(int row, int col) const
{
    return m_formats[formatId(row, col)];
}

int Sheet::formatId(int row, int col) const
{
    const Cell *c = findCell(row, col);
    return c ? c->formatId : 0;
}

int Sheet::intern(const CellFormat &format)
{
    for (size_t i = 0; i < m_formats.size(); ++i)
        if (m_formats[i] == format)
            return int(i);
    m_formats.push_back(format);
    return int(m_formats.size() - 1);
}

template <typename Change> void Sheet::changeFormat(const CellRange &range, Change change)
{
    // A range usually holds few distinct formats: remember what each became.
    std::vector<std::pair<int, int>> done;
    for (int r = std::max(1, range.row1); r <= range.row2; ++r) {
        for (int c = std::max(1, range.col1); c <= range.col2; ++c) {
            Cell *cell = cellFor(r, c);
            const int from = cell->formatId;
            auto hit = std::find_if(done.begin(), done.end(), [from](const auto &p) { return p.first == from; });
            if (hit == done.end()) {
                CellFormat f = m_formats[from];
                change(f);
                done.emplace_back(from, intern(f));
                hit = done.end() - 1;
            }
            cell->formatId = hit->second;
        }
    }
}

void Sheet::setFormat(const CellRange &range, const CellFormat &format)
{
    changeFormat(range, [&](CellFormat &f) { f = format; });
}

void Sheet::setFont(const CellRange &range, const CellFont &font)
{
    changeFormat(range, [&](CellFormat &f) { f.font = font; });
}

void Sheet::setFill(const CellRange &range, SheetColour colour)
{
    changeFormat(range, [&](CellFormat &f) {
        f.filled = true;
        f.fill = colour;
    });
}

void Sheet::setBorders(const CellRange &range, bool on)
{
    changeFormat(range, [&](CellFormat &f) { f.borders = on; });
}

void Sheet::setAlignment(const CellRange &range, HAlign h, VAlign v)
{
    changeFormat(range, [&](CellFormat &f) {
        f.hAlign = h;
        f.vAlign = v;
    });
}

void Sheet::setWrap(const CellRange &range, bool wrap)
{
    changeFormat(range, [&](CellFormat &f) { f.wrap = wrap; });
}

void Sheet::setNumberFormat(const CellRange &range, const QString &format)
{
    changeFormat(range, [&](CellFormat &f) { f.numberFormat = format; });
}

void Sheet::clear(const CellRange &range)
{
    const int lastRow = std::min(range.row2, int(m_rows.size()));
    for (int r = std::max(1, range.row1); r <= lastRow; ++r) {
        auto &cells = m_rows[r - 1];
        const int lastCol = std::min(range.col2, int(cells.size()));
        for (int c = std::max(1, range.col1); c <= lastCol; ++c)
            cells[c - 1] = Cell();
    }
    // Drop trailing rows that hold nothing any more.
    while (!m_rows.empty() && std::all_of(m_rows.back().begin(), m_rows.back().end(),
                                          [](const Cell &c) { return !c.value.isValid() && c.formatId == 0; }))
        m_rows.pop_back();
}

void Sheet::clearAll()
{
    m_rows.clear();
}

int Sheet::columnWidth(int col) const
{
    if (col >= 1 && col <= int(m_widths.size()) && m_widths[col - 1] >= 0)
        return m_widths[col - 1];
    return kDefaultColumnWidth;
}

void Sheet::setColumnWidth(int col, int twips)
{
    if (col < 1)
        return;
    if (int(m_widths.size()) < col)
        m_widths.resize(col, -1);
    m_widths[col - 1] = std::max(0, twips);
}

int Sheet::rowHeight(int row) const
{
    return hasRowHeight(row) ? m_heights[row - 1] : kDefaultRowHeight;
}

bool Sheet::hasRowHeight(int row) const
{
    return row >= 1 && row <= int(m_heights.size()) && m_heights[row - 1] >= 0;
}

void Sheet::setRowHeight(int row, int twips)
{
    if (row < 1)
        return;
    if (int(m_heights.size()) < row)
        m_heights.resize(row, -1);
    m_heights[row - 1] = std::max(0, twips);
}
