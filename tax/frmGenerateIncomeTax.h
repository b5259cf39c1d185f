#pragma once

#include <QWidget>

class QKeyEvent;

#include "IncomeTaxBatch.h"
#include "TaxRecord.h"
#include "ui_frmGenerateIncomeTax.h"

#include <QPointer>

class BatchThread;

// Generate Income Tax: the tax records of the company's employees, or of one, for a period.
// The run goes on a thread of its own with a connection of its own; the screen shows its
// progress, keeps its buttons off until it ends, and then says what it wrote.
class frmGenerateIncomeTax : public QWidget
{
    Q_OBJECT

public:
    explicit frmGenerateIncomeTax(QWidget *parent = nullptr);
    // Waits for a run that is still going on: it ends with its records stored or undone.
    ~frmGenerateIncomeTax() override;

    Ui::frmGenerateIncomeTax ui;

    // The picked employee's serial number (the code box's tag) and company (the name's tag).
    QString empSlno() const { return m_empSlno; }
    QString empCompany() const { return m_empCompany; }
    bool isRunning() const { return m_running; }
    // How often the run's progress is shown, at most (0: after every employee).
    void setProgressInterval(int milliseconds) { m_progressInterval = milliseconds; }

    // Starts the run and returns; runEnded() follows when it is over.
    void CmGenerate_Click();

signals:
    // The run is over, stored or not (the screen shows which).
    void runEnded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    bool TxEmpCode_KeyDown(QKeyEvent *event);
    void TxEmpCode_Change();
    void CmClose_Click();
    void showProgress(const IncomeTaxBatch::Progress &p);
    void endRun();

    QString m_empSlno;
    QString m_empCompany;
    RebateState m_rebate; // slabs and rebate of the last run, kept while the screen is open
    bool m_running = false;
    QPointer<BatchThread> m_thread;
    int m_progressInterval = 40;
};
