#pragma once

#include <QWidget>

#include "tax/RegimeComparison.h"
#include "ui_frmRegimeComparison.h"

// Regime Comparison: every in-service employee of the session's company and financial year
// with the tax payable under each regime, the regime that applies and what the other one
// would save; ordered by code or by the saving, all employees or those whose regime costs
// more, with totals; exported as a workbook.
class frmRegimeComparison : public QWidget
{
    Q_OBJECT

public:
    explicit frmRegimeComparison(QWidget *parent = nullptr);

    Ui::frmRegimeComparison ui;

    void Form_Load();
    void CmShow_Click();
    void CmExport_Click();
    void CmClose_Click();

    // The rows read by the last Show (all of them, whatever the options show).
    const QList<RegimeComparison::Row> &rows() const { return m_rows; }

private:
    // Lays the rows out again as the options say.
    void ShowRows();

    QList<RegimeComparison::Row> m_rows;
    bool m_shown = false;
};
