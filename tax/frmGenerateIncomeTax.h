#pragma once

#include <QWidget>

class QKeyEvent;

#include "TaxRecord.h"
#include "ui_frmGenerateIncomeTax.h"

// Generate Income Tax: the tax records of the company's employees, or of one, for a period.
class frmGenerateIncomeTax : public QWidget
{
    Q_OBJECT

public:
    explicit frmGenerateIncomeTax(QWidget *parent = nullptr);

    Ui::frmGenerateIncomeTax ui;

    // The picked employee's serial number (the code box's tag) and company (the name's tag).
    QString empSlno() const { return m_empSlno; }
    QString empCompany() const { return m_empCompany; }
    bool isRunning() const { return m_running; }

    void CmGenerate_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    bool TxEmpCode_KeyDown(QKeyEvent *event);
    void CmClose_Click();

    QString m_empSlno;
    QString m_empCompany;
    RebateState m_rebate; // slabs and rebate of the last run, kept while the screen is open
    bool m_running = false;
};
