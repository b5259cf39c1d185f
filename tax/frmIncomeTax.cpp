#include "frmIncomeTax.h"

frmIncomeTax::frmIncomeTax(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
}
