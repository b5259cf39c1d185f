#pragma once

#include <QWidget>

#include "AllowanceHeads.h"
#include "ui/UnsavedWork.h"
#include "ui_frmOtherAllowance.h"

// Tax Adjustments: the heads under which employees declare investments and deductions.
class frmOtherAllowance : public QWidget, public UnsavedWork
{
    Q_OBJECT

public:
    explicit frmOtherAllowance(QWidget *parent = nullptr);

    Ui::frmOtherAllowance ui;

    void Form_Load();
    void CmNew_Click();
    void CmEdit_Click();
    void CmCancel_Click();
    void CmClose_Click();
    // Copies the row of the list's active cell into the fields.
    void FbAllowance_RowPick();

    bool editing() const { return m_editMode; }
    bool editingExisting() const { return EditingExisting; }
    // Text of a list cell; rows and columns count from 1, row 1 holds the headings.
    QString listCell(int row, int col) const;
    int listRows() const;

    // In edit mode: the head being entered or changed, when its fields differ from what they
    // held as edit mode began.
    QString unsavedChanges() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The keys the buttons' captions name, and Escape.
    void bindKeys();
    void setMode(bool edit);
    void drawHeadings();
    void fillList();
    // Saves the fields; false when nothing was stored (the user has been told why).
    bool saveInsert();
    bool saveUpdate();
    AllowanceHeads::Entry typedEntry() const;
    AllowanceHeads::Stamp sessionStamp() const;

    // The fields that a save stores, as typed.
    struct Fields
    {
        QString code, name;
        double dedPer = 0, dedAmt = 0;
        bool addition = false;
        bool operator==(const Fields &) const = default;
    };
    Fields shownFields() const;

    bool EditingExisting = false;
    bool m_editMode = false;
    Fields m_entered; // as edit mode began
};
