#pragma once

#include <QDialog>

#include "ListViewModel.h"
#include "ui_frmListView.h"

// The program's one pick-list: a modal search list over a query; the pick comes back in
// the session's ListPick1 .. ListPick10.
class frmListView : public QDialog
{
    Q_OBJECT

public:
    explicit frmListView(QWidget *parent = nullptr);

    // Runs HelpQry on the session connection and, when it yields rows, shows them modally
    // in a freshly created dialog. Widths are in twips; a width of 0 hides the column.
    // A query error propagates to the caller (DbError); an empty result shows nothing.
    static void ShowForm(const QString &HelpQry, int DisplayFields, const QString &HelpText, int FormWidth, int Icol,
                         const QString &IcolText, int IICol, const QString &IIColText, int IIICol,
                         const QString &IIIColText, int IVCol, const QString &IVColText, int VCol,
                         const QString &VColText, int VICol, const QString &VIColText, int VIICol,
                         const QString &VIIColText, int VIIICol, const QString &VIIIColText, int IXCol,
                         const QString &IXColText, int XCol, const QString &XColText);

    // The grid as the screen shows it (row 0 the headings, data from row 1).
    ListViewModel &grid() { return m_model; }
    int currentRow() const;
    int topRow() const;
    int searchRow() const { return m_searchRow; }
    // The typed text matches no row: the box and a line say so, nothing is highlighted, and
    // Enter or Escape close the list without a pick.
    bool findsNothing() const { return m_findsNothing; }

    Ui::frmListView ui;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void TxtSearch_Change();
    void GrHelp_RowColChange();
    void pickFromSearch();
    // Finds the first row whose column `column` starts with the text (any letter case); 0 when none.
    int findRow(int column, const QString &text) const;
    void showFindsNothing(bool nothing);
    void pickFromGrid();
    void setTopRow(int row);
    void setCurrentRow(int row);
    // Column widths: the described ones (twips; 0 hides), widened to the headings and to the
    // first `rows` rows' texts; the dialog widens to show them.
    void fitColumns(const int (&widthsTwips)[10], int rows);

    ListViewModel m_model;
    int m_searchRow = 1;
    bool m_filling = false;
    bool m_findsNothing = false;
    QString m_rowsCalled; // "employee" in "No employee starts with ..."
};
