#include "frmRegimeComparison.h"

#include "reports/ComparisonSheet.h"
#include "reports/OutputFolder.h"
#include "reports/Workbook.h"
#include "session/Common.h"
#include "session/DbConnection.h"
#include "session/Platform.h"
#include "session/SessionText.h"
#include "session/mdlDalvoni.h"
#include "ui/FormUtil.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QLocale>

frmRegimeComparison::frmRegimeComparison(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    connect(ui.CmShow, &QPushButton::clicked, this, &frmRegimeComparison::CmShow_Click);
    connect(ui.CmExport, &QPushButton::clicked, this, &frmRegimeComparison::CmExport_Click);
    connect(ui.CmClose, &QPushButton::clicked, this, &frmRegimeComparison::CmClose_Click);
    for (QRadioButton *option : {ui.OptByCode, ui.OptBySaving, ui.OptAllEmployees, ui.OptCostsMore})
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on && m_shown)
                ShowRows();
        });
    // The titles and headings stay in view (every column fits across the screen).
    ui.FbComparison->freezePanes(ComparisonSheet::kHeadingRow, 0);
    ui.FbComparison->setPageRows(24);
    ui.FbComparison->setColumnUnit(15, ComparisonSheet::kHeadingRow);
    ui.LbOutputFile->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    // The keys the button captions promise; Escape closes.
    const std::pair<Qt::Key, QPushButton *> keys[] = {
        {Qt::Key_F5, ui.CmShow}, {Qt::Key_F11, ui.CmExport}, {Qt::Key_F9, ui.CmClose}};
    for (const auto &[key, button] : keys)
        BindKey(this, QKeySequence(key), [button = button] { button->click(); });
    CloseOnEscape(this);
    Form_Load();
}

void frmRegimeComparison::Form_Load()
{
    CentreInMain(this);
    ui.LbFinYear->setText(SessionText::FinYearCaption() + QStringLiteral("    Period ") +
                          ShortDate(mdlDalvoni::TaxYearStart) + QStringLiteral(" to ") +
                          ShortDate(mdlDalvoni::TaxYearEnd));
    ui.LbTotals->setText(QStringLiteral("Show (F5) works out both regimes for every employee in service."));
    ComparisonSheet::Build(ui.FbComparison->sheet(), {}, mdlDalvoni::CompanyName, QString());
    ui.FbComparison->refresh();
    ui.CmShow->setFocus();
}

void frmRegimeComparison::CmShow_Click()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString failure;
    try {
        IncomeTaxBatch::Request req =
            IncomeTaxBatch::SessionRequest(mdlDalvoni::TaxYearStart, mdlDalvoni::TaxYearEnd, QString());
        m_rows = RegimeComparison::Read(mdlDalvoni::Db(), req);
        m_shown = true;
    } catch (const IncomeTaxBatch::Error &e) {
        failure = e.text();
    } catch (const DbError &e) {
        failure = e.text();
    }
    QApplication::restoreOverrideCursor();
    if (!failure.isEmpty()) {
        platform().message(failure, Platform::Icon::Information);
        return;
    }
    ShowRows();
    ui.FbComparison->setActiveCell(ComparisonSheet::kFirstDataRow, 1);
    ui.FbComparison->setFocus();
}

void frmRegimeComparison::ShowRows()
{
    const auto order = ui.OptBySaving->isChecked() ? ComparisonSheet::Order::Saving : ComparisonSheet::Order::Code;
    const auto filter =
        ui.OptCostsMore->isChecked() ? ComparisonSheet::Filter::CostsMore : ComparisonSheet::Filter::All;
    const QList<RegimeComparison::Row> shown = ComparisonSheet::Shown(m_rows, order, filter);
    ComparisonSheet::Build(ui.FbComparison->sheet(), shown, mdlDalvoni::CompanyName,
                           ShortDate(mdlDalvoni::FinYearFrom) + QStringLiteral(" - ") +
                               ShortDate(mdlDalvoni::FinYearTo));
    ui.FbComparison->refresh();
    const RegimeComparison::Totals all = RegimeComparison::Sum(m_rows);
    ui.LbTotals->setText(QStringLiteral("%1 employees; %2 pay more under the regime that applies to them than "
                                        "they would under the other, %3 in all.")
                             .arg(m_rows.size())
                             .arg(all.costsMore)
                             .arg(Sheet::formatNumber(all.saving, QStringLiteral("#,##0.00"))));
}

void frmRegimeComparison::CmExport_Click()
{
    if (!m_shown) {
        platform().message(QStringLiteral("No details found.   "), Platform::Icon::Information);
        return;
    }
    const QString chosen = ChooseWorkbookFile(
        windowTitle() + QLatin1Char(' ') + mdlDalvoni::UnitCode + QLatin1Char(' ') +
        QLocale::c().toString(mdlDalvoni::FinYearFrom, QStringLiteral("dd-MMM-yyyy")) + QStringLiteral(".xlsx"));
    if (chosen.isEmpty())
        return; // cancelled, or an existing file kept
    QString error;
    const WorkbookPages pages{ComparisonSheet::kHeadingRow, ComparisonSheet::kHeadingRow, ComparisonSheet::kHeadingRow,
                              2, ui.FbComparison->sheet().text(2, 1)};
    if (!WriteWorkbook(ui.FbComparison->sheet(), chosen, &error, pages)) {
        ui.LbOutputFile->clear();
        platform().message(error, Platform::Icon::Information);
        return;
    }
    const QString path = QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath());
    ui.LbOutputFile->setText(QStringLiteral("Exported to %1").arg(path));
    ui.LbOutputFile->setToolTip(path);
}

void frmRegimeComparison::CmClose_Click()
{
    CloseScreen(this);
}
