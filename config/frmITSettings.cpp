#include "frmITSettings.h"

frmITSettings::frmITSettings(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
}
