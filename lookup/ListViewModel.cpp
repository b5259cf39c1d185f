#include "ListViewModel.h"

ListViewModel::ListViewModel(QObject *parent) : QAbstractTableModel(parent)
{
    for (int c = 0; c < kColumns; ++c)
        m_headings.append(QString());
    m_alignment.fill(Qt::AlignLeft | Qt::AlignVCenter, kColumns);
}

void ListViewModel::setGridRows(int rows)
{
    rows = qMax(rows, 2);
    if (rows == m_gridRows)
        return;
    if (rows > m_gridRows) {
        beginInsertRows(QModelIndex(), m_gridRows - 1, rows - 2);
        m_gridRows = rows;
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), rows - 1, m_gridRows - 2);
        m_gridRows = rows;
        if (m_rows.size() > rows - 1)
            m_rows.resize(rows - 1);
        endRemoveRows();
    }
}

void ListViewModel::setHeading(int column, const QString &text)
{
    if (column < 0 || column >= kColumns)
        return;
    m_headings[column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

QString ListViewModel::heading(int column) const
{
    return column >= 0 && column < kColumns ? m_headings[column] : QString();
}

QString ListViewModel::cell(int row, int column) const
{
    if (row == 0)
        return heading(column);
    if (row < 1 || row > m_rows.size() || column < 0 || column >= kColumns)
        return QString();
    return m_rows[row - 1].value(column);
}

void ListViewModel::setCell(int row, int column, const QString &text)
{
    if (row < 1 || column < 0 || column >= kColumns)
        return;
    while (m_rows.size() < row) {
        QStringList empty;
        for (int c = 0; c < kColumns; ++c)
            empty.append(QString());
        m_rows.append(empty);
    }
    m_rows[row - 1][column] = text;
}

void ListViewModel::setAlignment(int column, Qt::Alignment alignment)
{
    if (column >= 0 && column < kColumns)
        m_alignment[column] = alignment;
}

int ListViewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_gridRows - 1;
}

int ListViewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant ListViewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole)
        return cell(index.row() + 1, index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_alignment[index.column()]);
    return QVariant();
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal)
        return heading(section);
    if (role == Qt::DisplayRole && orientation == Qt::Vertical)
        return section + 1;
    return QVariant();
}
