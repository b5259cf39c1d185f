#pragma once

#include <QWidget>

#include "config/EmployerDetails.h"
#include "ui/UnsavedWork.h"
#include "ui_frmEmployerDetails.h"

#include <array>

class QLineEdit;

// Employer Details: the TAN, PAN, address and signatory of the session's company, which the
// year's tax certificates name. Enter moves from box to box and on to Save; Save checks the
// formats and stores them with who changed them and when.
class frmEmployerDetails : public QWidget, public UnsavedWork
{
    Q_OBJECT

public:
    explicit frmEmployerDetails(QWidget *parent = nullptr);

    Ui::frmEmployerDetails ui;

    void CmSave_Click();
    void CmClose_Click();

    QString unsavedChanges() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    QLineEdit *box(EmployerDetails::Field field) const;
    EmployerDetails::Details shown() const;
    void showChanged(const EmployerDetails::Details &details);

    std::array<QString, EmployerDetails::kFieldCount> m_stored;
};
