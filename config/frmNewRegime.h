#pragma once

#include <QWidget>

#include "NewRegimeSetup.h"
#include "ui/UnsavedWork.h"
#include "ui_frmNewRegime.h"

class QTableWidget;

// Tax Regimes: the new regime's figures of the session's financial year (the regime of
// employees without a choice of their own, the slabs and the surcharge bands) and the old
// regime's surcharge bands.
class frmNewRegime : public QWidget, public UnsavedWork
{
    Q_OBJECT

public:
    explicit frmNewRegime(QWidget *parent = nullptr);

    Ui::frmNewRegime ui;

    void Form_Load();
    void CmSave_Click();
    void CmClose_Click();
    // Fills the screen with the previous year's figures (stored only by Save).
    void CmCopyPrevious_Click();

    // The figures as the screen holds them; rows left empty are no slab or band. With rows,
    // the grid row of each slab and band.
    NewRegimeSetup::Year TypedYear(QList<int> *slabRows = nullptr, QList<int> *bandRows = nullptr) const;
    // The old regime's bands as the screen holds them (with rows, the grid row of each).
    QList<NewRegimeSetup::SurchargeBand> TypedOldSurcharge(QList<int> *rows = nullptr) const;

    // The figures on the screen when they differ from those stored for the year (as the screen
    // loaded or saved them), a cell being typed into included.
    QString unsavedChanges() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void ShowYear(const NewRegimeSetup::Year &year);
    void ShowBands(QTableWidget *grid, const QList<NewRegimeSetup::SurchargeBand> &bands);
    QList<NewRegimeSetup::SurchargeBand> TypedBands(const QTableWidget *grid, QList<int> *rows) const;
    // Enter in a grid: the next cell; a filled last row gets a new row after it, an empty one
    // hands the focus to the next field.
    void GridEnter(QTableWidget *grid);
    void InsertRow(QTableWidget *grid);
    void RemoveRow(QTableWidget *grid);
    // Tells the user what is wrong and puts the cursor there.
    void ShowProblem(const NewRegimeSetup::Problem &problem, const QList<int> &slabRows, const QList<int> &bandRows,
                     const QList<int> &oldRows = {});
    // Where Enter moves the focus from a field.
    QWidget *EnterTarget(QObject *field) const;
    // Shows both regimes as stored and takes them as what the screen loaded.
    void ShowStored(const NewRegimeSetup::Regimes &stored);

    // Both regimes as stored when the screen loaded or last saved them: a save asks before it
    // replaces what another workstation saved since.
    NewRegimeSetup::Regimes m_loaded;
};
