#pragma once

#include <QWidget>

#include "ui_frmLogin.h"

// Identifies the user against the suite's user table and hands over to the company list.
class frmLogin : public QWidget
{
    Q_OBJECT

public:
    explicit frmLogin(QWidget *parent = nullptr);

    void CmOk_Click();
    void CmExit_Click();

    Ui::frmLogin ui;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
};
