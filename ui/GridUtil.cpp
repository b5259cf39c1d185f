#include "GridUtil.h"

#include "FormUtil.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>

QString CellText(const QTableWidget *grid, int row, int col)
{
    const QTableWidgetItem *item = grid->item(row, col);
    return item ? item->text() : QString();
}

QVariant CellData(const QTableWidget *grid, int row, int col)
{
    const QTableWidgetItem *item = grid->item(row, col);
    return item ? item->data(Qt::UserRole) : QVariant();
}

void SetCellText(QTableWidget *grid, int row, int col, const QString &text, const QVariant &data)
{
    QTableWidgetItem *item = grid->item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, col, item);
    }
    item->setText(text);
    item->setData(Qt::UserRole, data);
}

void SetUpListGrid(QTableWidget *grid, int rows, const QList<int> &widthsTwips)
{
    grid->clear();
    grid->setRowCount(rows);
    grid->setColumnCount(int(widthsTwips.size()));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab goes on to the buttons; the arrow keys move in the list.
    grid->setTabKeyNavigation(false);
    int lastShown = -1, shownWidth = 0;
    for (int c = 0; c < widthsTwips.size(); ++c) {
        grid->setColumnHidden(c, widthsTwips[c] == 0);
        grid->setColumnWidth(c, TwipsToPixels(widthsTwips[c]));
        if (widthsTwips[c] > 0) {
            lastShown = c;
            shownWidth += TwipsToPixels(widthsTwips[c]);
        }
    }
    // The described widths are the least the grid shows; the last column seen takes what room
    // is left, so that the highlight of the current row runs across the whole grid.
    if (lastShown >= 0) {
        grid->horizontalHeader()->setSectionResizeMode(lastShown, QHeaderView::Stretch);
        grid->setMinimumWidth(shownWidth + 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width());
    }
}
