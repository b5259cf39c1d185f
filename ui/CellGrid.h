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

signals:
    // A cell was picked with the mouse, or with Enter or Space on the keyboard.
    void rowPicked(int row, int col);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Sheet m_sheet;
    SheetModel *m_model;
};
