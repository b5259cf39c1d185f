#pragma once

#include <QString>
#include <QVariant>

class QTableWidget;

// Cell access of the list grids: a cell that was never written reads as "".
QString CellText(const QTableWidget *grid, int row, int col);
void SetCellText(QTableWidget *grid, int row, int col, const QString &text, const QVariant &data = QVariant());
QVariant CellData(const QTableWidget *grid, int row, int col);
// A header-less list grid: no headings, whole-row selection, no editing, widths in twips
// (0 hides the column).
void SetUpListGrid(QTableWidget *grid, int rows, const QList<int> &widthsTwips);
