#pragma once

#include <QWidget>

#include "ui_frmChangeCompany.h"

// The list of the suite's companies: the choice sets the session's company and the main
// window's caption and shows the main window.
class frmChangeCompany : public QWidget
{
    Q_OBJECT

public:
    explicit frmChangeCompany(QWidget *parent = nullptr);

    void CmSwitch_Click();
    void CmClose_Click();

    Ui::frmChangeCompany ui;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    // Right after login the main window is not shown yet; leaving the list then ends the program.
    bool beforeMainWindow() const;
    // Ends the program, unless a screen holds unsaved changes that the user keeps.
    void endProgram();

    bool m_chosen = false;
};
