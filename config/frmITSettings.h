#pragma once

#include <QWidget>

#include "ui_frmITSettings.h"

class QLineEdit;

// Income Tax Settings: the six limits and the four slabs of the session's financial year.
class frmITSettings : public QWidget
{
    Q_OBJECT

public:
    explicit frmITSettings(QWidget *parent = nullptr);

    Ui::frmITSettings ui;

    void Form_Load();
    void CmApply_Click();
    void CmClose_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Where Enter in a limit box moves the focus.
    QWidget *enterTarget(QObject *box) const;
};
