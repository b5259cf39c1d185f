#pragma once

#include <QWidget>

#include "ui_frmITSettings.h"

// Income Tax Settings
class frmITSettings : public QWidget
{
    Q_OBJECT

public:
    explicit frmITSettings(QWidget *parent = nullptr);

    Ui::frmITSettings ui;
};
