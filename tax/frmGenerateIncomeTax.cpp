#include "frmGenerateIncomeTax.h"

frmGenerateIncomeTax::frmGenerateIncomeTax(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
}
