#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>
#include <vector>

// A spreadsheet of cells addressed (row, col) from 1. A cell holds nothing, a text or a
// number, and a format: font, fill, borders, alignment, word wrap and number format. The
// sheet keeps column widths and row heights in twips. Screens show it with CellGrid; the
// statement writers read it.

// A colour as 0xRRGGBB.
using SheetColour = std::uint32_t;
constexpr SheetColour RgbColour(int r, int g, int b)
{
    return (SheetColour(r & 0xff) << 16) | (SheetColour(g & 0xff) << 8) | SheetColour(b & 0xff);
}

struct CellFont
{
    QString family = QStringLiteral("Arial");
    double size = 8;
    bool bold = false;
    SheetColour colour = 0;

    bool operator==(const CellFont &) const = default;
};

enum class HAlign { General, Left, Centre, Right };
enum class VAlign { Bottom, Centre, Top };

struct CellFormat
{
    CellFont font;
    bool filled = false;
    SheetColour fill = 0xffffff;
    bool borders = false; // a thin line on all four sides
    HAlign hAlign = HAlign::General;
    VAlign vAlign = VAlign::Bottom;
    bool wrap = false;
    QString numberFormat; // "" is general; "#,##" groups whole numbers and shows zero empty;
                          // "#,##0.00" groups with two decimals

    bool operator==(const CellFormat &) const = default;
};

// A rectangle of cells, corners included.
struct CellRange
{
    int row1, col1, row2, col2;
};

class Sheet
{
public:
    static constexpr int kDefaultColumnWidth = 1200; // twips
    static constexpr int kDefaultRowHeight = 255;    // twips

    Sheet();

    // The number of columns shown; cells beyond it may still be written.
    int columnCount() const { return m_columnCount; }
    void setColumnCount(int count);

    // The last row holding a value or a format other than the default; 0 when none.
    int lastRow() const;

    void setText(int row, int col, const QString &text);
    void setNumber(int row, int col, double number);
    // A null value leaves the cell empty.
    void setValue(int row, int col, const QVariant &value);
    // QString, double or an invalid QVariant for an empty cell.
    QVariant value(int row, int col) const;
    bool isNumber(int row, int col) const;
    // What the cell shows: the text, or the number in the cell's number format.
    QString text(int row, int col) const;

    const CellFormat &format(int row, int col) const;
    void setFormat(const CellRange &range, const CellFormat &format);
    void setFont(const CellRange &range, const CellFont &font);
    void setFill(const CellRange &range, SheetColour colour);
    void setBorders(const CellRange &range, bool on);
    void setAlignment(const CellRange &range, HAlign h, VAlign v);
    void setWrap(const CellRange &range, bool wrap);
    void setNumberFormat(const CellRange &range, const QString &format);

    // Empties the values and resets the formats of the range.
    void clear(const CellRange &range);
    // Empties the whole sheet (widths and heights stay).
    void clearAll();

    int columnWidth(int col) const;
    void setColumnWidth(int col, int twips);
    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);
    // True for rows whose height was set.
    bool hasRowHeight(int row) const;

    // Formats in use; a cell's format is one of these.
    const std::vector<CellFormat> &formats() const { return m_formats; }
    int formatId(int row, int col) const;

    // A number as the format shows it: "#,##" rounds to a whole number, groups thousands
    // with commas and shows zero as nothing; "#,##0.00" groups thousands with two decimals;
    // any other format gives the plain number.
    static QString formatNumber(double number, const QString &format);

private:
    struct Cell
    {
        QVariant value;
        int formatId = 0;
    };
    Cell *cellFor(int row, int col);
    const Cell *findCell(int row, int col) const;
    int intern(const CellFormat &format);
    template <typename Change> void changeFormat(const CellRange &range, Change change);

    std::vector<std::vector<Cell>> m_rows; // m_rows[row - 1][col - 1]
    std::vector<CellFormat> m_formats;     // [0] is the default
    std::vector<int> m_widths;             // twips, by column; -1 for the default
    std::vector<int> m_heights;            // twips, by row; -1 for the default
    int m_columnCount = 0;
};
