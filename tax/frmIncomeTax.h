#pragma once

#include <QWidget>

#include "Worksheet.h"
#include "ui/UnsavedWork.h"
#include "ui_frmIncomeTax.h"

class DbError;
class QKeyEvent;
class NumericEdit;
class QLineEdit;

// Income Tax Calculator: one employee's figures, declarations and tax for the tax year.
class frmIncomeTax : public QWidget, public UnsavedWork
{
    Q_OBJECT

public:
    explicit frmIncomeTax(QWidget *parent = nullptr);

    Ui::frmIncomeTax ui;

    // The grid line and column that TxDedMove serves (line 1 is the grid's first data row).
    short EditRow = 1;
    short EditCol = 1;

    // Lays TxDedMove over the cell (EditRow, EditCol).
    void PlaceEditor();
    // Writes n into column 0 of every line n.
    void RenumberRows();
    void ComputeDeclarations();
    void ComputeTax();

    const Worksheet::Figures &figures() const { return m_fig; }

    // In edit mode: the declarations, housing-loan interest or mediclaim of the shown
    // employee that differ from what was loaded or saved.
    QString unsavedChanges() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    bool TxEmpCode_KeyDown(QKeyEvent *event);
    void TxEmpCode_Change();
    void pickEmployee();
    void loadFigures();
    void GrDeductions_Click(int row, int col);
    bool TxDedMove_KeyDown(QKeyEvent *event);
    void TxDedMove_Enter();
    void TxDedMove_ShiftDelete();
    void TxDedMove_F1();
    void TxHLInterest_Change();
    void TxMediClaim_Change();
    void OptOldRegime_Click();
    void OptNewRegime_Click();
    void CmEdit_Click();
    void CmClose_Click();

    // Number of grid rows, the header counted.
    int gridRows() const;
    void setGridRows(int rows);
    QString cell(int line, int col) const;
    void setCell(int line, int col, const QString &text);
    // The figures and the grid lines between the core and the controls.
    void linesFromGrid();
    void linesToGrid();
    void showFields();
    void showDbError(const DbError &error);

    // The regime of the shown employee, in a year with the new regime's figures: the option
    // checked, none before an employee is loaded.
    std::optional<TaxRegime> shownRegime() const;
    void setShownRegime(std::optional<TaxRegime> regime);
    // The new regime's figures beside the old ones, and which of the two is the employee's tax.
    void showRegime();
    // The regime can be changed in edit mode, once an employee is loaded.
    void updateRegimeControls();

    // The employee's entries as the screen shows them, and as they were last loaded or saved.
    struct Entries
    {
        QList<Worksheet::DeclarationLine> lines; // the filled lines
        double interest = 0;
        double premium = 0;
        std::optional<TaxRegime> regime;
    };
    Entries shownEntries() const;
    void rememberStored() { m_stored = shownEntries(); }

    // Loads the shown employee again from what is stored, over an empty grid.
    void reloadEmployee();

    Worksheet::Figures m_fig;
    Entries m_stored;
    // What the server held of the employee's entries when the screen loaded them: a save asks
    // before it replaces what another workstation changed since.
    std::optional<Worksheet::StoredEntries> m_storedAtLoad;
    Worksheet::YearSetup m_setup;
    NumericEdit *m_amountFilter = nullptr;
};
