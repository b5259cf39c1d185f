#pragma once

#include <QWidget>

#include "ui_frmOtherAllowance.h"

// Tax Adjustments
class frmOtherAllowance : public QWidget
{
    Q_OBJECT

public:
    explicit frmOtherAllowance(QWidget *parent = nullptr);

    Ui::frmOtherAllowance ui;
};
