#pragma once

#include <QWidget>

#include "ui_frmGenerateIncomeTax.h"

// Generate Income Tax
class frmGenerateIncomeTax : public QWidget
{
    Q_OBJECT

public:
    explicit frmGenerateIncomeTax(QWidget *parent = nullptr);

    Ui::frmGenerateIncomeTax ui;
};
