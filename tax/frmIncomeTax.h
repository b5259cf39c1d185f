#pragma once

#include <QWidget>

#include "ui_frmIncomeTax.h"

// Income Tax Calculator
class frmIncomeTax : public QWidget
{
    Q_OBJECT

public:
    explicit frmIncomeTax(QWidget *parent = nullptr);

    Ui::frmIncomeTax ui;
};
