#pragma once

#include <QWidget>

#include "ui_frmrptIT.h"

// Income TaxStatement
class frmrptIT : public QWidget
{
    Q_OBJECT

public:
    explicit frmrptIT(QWidget *parent = nullptr);

    Ui::frmrptIT ui;
};
