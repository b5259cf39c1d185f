#include "frmOtherAllowance.h"

frmOtherAllowance::frmOtherAllowance(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
}
