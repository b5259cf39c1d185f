#pragma once

#include <QWidget>

class QKeyEvent;

#include "ui_frmTaxCertificate.h"

#include <QPointer>

#include "CertificateThread.h"

// Tax Certificates: the year's tax certificate (the computation part of Form 16 Part B, Form
// 130 from 2026-27) of every employee of the company, or of one, for a period, written as PDF
// files into a folder from the stored tax records. The writing goes on a thread of its own;
// the screen shows its progress, stops it on Escape or Cancel, and at the end says what it
// wrote and refused and opens the folder.
class frmTaxCertificate : public QWidget
{
    Q_OBJECT

public:
    explicit frmTaxCertificate(QWidget *parent = nullptr);
    // Waits for a run that is still going on (it stops at the next employee).
    ~frmTaxCertificate() override;

    Ui::frmTaxCertificate ui;

    // The picked employee's serial number; empty without a pick.
    QString empSlno() const { return m_empSlno; }
    bool isRunning() const { return m_thread != nullptr; }

    // Starts the run and returns; runEnded() follows when it is over.
    void CmWrite_Click();
    void CmCancel_Click();
    void CmClose_Click();

signals:
    void runEnded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void showWholeSummary();
    void Form_Load();
    bool TxEmpCode_KeyDown(QKeyEvent *event);
    void TxEmpCode_Change();
    void Escape_Pressed();
    void showProgress(int done, int total);
    void endRun();
    void setRunning(bool running);

    QString m_empSlno;
    bool m_picking = false;
    QPointer<CertificateThread> m_thread;
};
