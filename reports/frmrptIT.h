#pragma once

#include <QWidget>

class QKeyEvent;

#include "ui_frmrptIT.h"

// Income TaxStatement: the stored tax records of the company for a period, shown as a
// sheet, exported as a workbook and printed through the spooler.
class frmrptIT : public QWidget
{
    Q_OBJECT

public:
    explicit frmrptIT(QWidget *parent = nullptr);

    Ui::frmrptIT ui;

    // The row of the last employee after a build, the row where the listing stopped after
    // a print; 0 until either.
    int CurrentRow = 0;

    void Form_Load();
    void CmShow_Click();
    void CmPrint_Click();
    void CmExport_Click();
    void CmClose_Click();
    void TxEmpCode_Change();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool TxEmpCode_KeyDown(QKeyEvent *event);
    bool DTFrom_KeyDown(QKeyEvent *event);
    void showEmployeeLookup();
};
