#pragma once

#include "reports/Sheet.h"

#include <QTableView>

class SheetModel;

// A spreadsheet grid on screen: shows its Sheet with fonts, fills, borders, alignment,
// column widths and row heights. Change the sheet, then call refresh().
class CellGrid : public QTableView
{
    Q_OBJECT

public:
    explicit CellGrid(QWidget *parent = nullptr);

    Sheet &sheet() { return m_sheet; }
    const Sheet &sheet() const { return m_sheet; }

    // Shows the sheet as it now stands (rows, columns, widths, heights and cells).
    void refresh();

    // The active cell, (row, col) from 1; 0 when none.
    int activeRow() const;
    int activeCol() const;
    void setActiveCell(int row, int col);

    // Row numbers and column letters along the edges, as a spreadsheet shows them (on by default).
    void setHeadingsVisible(bool visible);

    // Keeps the first rows and columns in view while the rest scrolls under them, as a
    // spreadsheet's frozen panes do; (0, 0) lets everything scroll again.
    void freezePanes(int rows, int cols);

    // The whole sheet, headings and scroll bars included, and at least the page rows set
    // here: a window opened for it shows as much of it as it has room for.
    QSize sizeHint() const override;
    void setPageRows(int rows);

    // How the sheet's column widths show. By default they are twips (15 to a pixel); a sheet
    // whose widths are relative values says how many of them make a pixel. From fitFromRow on
    // (0: nowhere) every cell's text fits its column: a column is widened where a heading or
    // a value needs more. The rows above it are titles that run on across empty neighbours.
    void setColumnUnit(double unitsPerPixel, int fitFromRow = 0);

signals:
    // A cell was picked with the mouse, or with Enter or Space on the keyboard.
    void rowPicked(int row, int col);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void updateGeometries() override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A view of the same sheet laid over this one, showing the frozen rows, columns or both.
    QTableView *makePane(bool columnHeadings, bool rowHeadings);
    void syncPanes();
    void placePanes();
    int frozenWidth() const;
    int frozenHeight() const;
    // A sheet column's width on screen, in pixels.
    int shownWidth(int col) const;
    // The pixels the widest text of a column needs from the fitted row on; 0 when it has none.
    int neededWidth(int col) const;

    Sheet m_sheet;
    SheetModel *m_model;
    int m_pageRows = 0;
    double m_unitsPerPixel = 0; // 0: twips
    int m_fitFromRow = 0;
    int m_frozenRows = 0;
    int m_frozenCols = 0;
    QTableView *m_topPane = nullptr;    // the frozen rows, scrolling across with the sheet
    QTableView *m_leftPane = nullptr;   // the frozen columns, scrolling down with the sheet
    QTableView *m_cornerPane = nullptr; // where both meet: never scrolls
};
