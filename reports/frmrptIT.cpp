#include "frmrptIT.h"

frmrptIT::frmrptIT(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
}
