#pragma once

#include <QDialog>

#include "ui_frmListView.h"

// The program's one pick-list: a modal search list over a query; the pick comes back in
// the session's ListPick1 .. ListPick10.
class frmListView : public QDialog
{
    Q_OBJECT

public:
    explicit frmListView(QWidget *parent = nullptr);

    // Runs HelpQry on the session connection and, when it yields rows, shows them modally.
    // Widths are in twips; a width of 0 hides the column. A query error propagates (DbError).
    static void ShowForm(const QString &HelpQry, int DisplayFields, const QString &HelpText, int FormWidth,
                         int Icol, const QString &IcolText, int IICol, const QString &IIColText,
                         int IIICol, const QString &IIIColText, int IVCol, const QString &IVColText,
                         int VCol, const QString &VColText, int VICol, const QString &VIColText,
                         int VIICol, const QString &VIIColText, int VIIICol, const QString &VIIIColText,
                         int IXCol, const QString &IXColText, int XCol, const QString &XColText);

    Ui::frmListView ui;
};
