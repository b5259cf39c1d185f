#pragma once

#include <QWidget>

#include "ui_frmFinancialYear.h"

// The list of the financial years offered to this program: the choice sets the session's
// year and tax year and rewrites the main window's status line and year label.
class frmFinancialYear : public QWidget
{
    Q_OBJECT

public:
    explicit frmFinancialYear(QWidget *parent = nullptr);

    void CmSwitch_Click();

    Ui::frmFinancialYear ui;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load();
};
