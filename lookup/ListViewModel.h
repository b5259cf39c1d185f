#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

// The cells of the lookup grid: row 0 is the heading row, data rows from 1, columns 0 to
// 10 (column 0 never seen). Rows beyond the data are empty.
class ListViewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int kColumns = 11;

    explicit ListViewModel(QObject *parent = nullptr);

    // The grid's row count, the heading row included.
    int gridRows() const { return m_gridRows; }
    void setGridRows(int rows);
    void setHeading(int column, const QString &text);
    QString heading(int column) const;
    // Cell text of grid row `row` (from 1); "" for rows and columns beyond the data.
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    void setAlignment(int column, Qt::Alignment alignment);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    int m_gridRows = 2;
    QVector<QStringList> m_rows; // index 0 is grid row 1
    QStringList m_headings;
    QVector<Qt::Alignment> m_alignment;
};
