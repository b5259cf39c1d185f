#include "frmListView.h"

frmListView::frmListView(QWidget *parent) : QDialog(parent)
{
    ui.setupUi(this);
}

void frmListView::ShowForm(const QString &, int, const QString &, int, int, const QString &, int, const QString &,
                           int, const QString &, int, const QString &, int, const QString &, int, const QString &,
                           int, const QString &, int, const QString &, int, const QString &, int, const QString &)
{
}
