#include "frmGenerateIncomeTax.h"

#include "IncomeTaxBatch.h"
#include "lookup/PickEmployee.h"
#include "session/Platform.h"
#include "session/mdlDalvoni.h"
#include "ui/FormUtil.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>

frmGenerateIncomeTax::frmGenerateIncomeTax(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    ui.TxEmpCode->installEventFilter(this);
    connect(ui.CmGenerate, &QPushButton::clicked, this, &frmGenerateIncomeTax::CmGenerate_Click);
    connect(ui.CmClose, &QPushButton::clicked, this, &frmGenerateIncomeTax::CmClose_Click);
    Form_Load();
}

void frmGenerateIncomeTax::Form_Load()
{
    CentreInMain(this);
    ui.DtFrom->setDate(mdlDalvoni::TaxYearStart);
    ui.DtTo->setDate(mdlDalvoni::TaxYearEnd);
}

bool frmGenerateIncomeTax::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui.TxEmpCode && event->type() == QEvent::KeyPress)
        return TxEmpCode_KeyDown(static_cast<QKeyEvent *>(event));
    return QWidget::eventFilter(watched, event);
}

// F1 opens the employee list (not during a run); every other key is the box's own.
bool frmGenerateIncomeTax::TxEmpCode_KeyDown(QKeyEvent *event)
{
    if (event->key() != Qt::Key_F1)
        return false;
    if (m_running)
        return true;
    std::optional<EmployeePick> pick;
    try {
        pick = PickEmployee(mdlDalvoni::CompanyCode, ui.TxEmpCode->text(), BlankCode::OffersAll);
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
        return true;
    }
    // Taken whatever the list returned: no pick empties the code, the name and both tags.
    const EmployeePick p = pick.value_or(EmployeePick());
    ui.TxEmpCode->setText(p.code);
    ui.LbName->setText(p.name);
    m_empCompany = p.companyName;
    m_empSlno = p.slno;
    return true;
}

void frmGenerateIncomeTax::CmGenerate_Click()
{
    if (m_running)
        return;
    m_running = true;
    ui.CmGenerate->setEnabled(false);
    ui.CmClose->setEnabled(false);
    ui.TxEmpCode->setReadOnly(true);

    const QString slno = ui.LbName->text().isEmpty() ? QString() : m_empSlno;
    const auto request = IncomeTaxBatch::SessionRequest(ui.DtFrom->date(), ui.DtTo->date(), slno);
    try {
        IncomeTaxBatch::Run(mdlDalvoni::Db(), request, m_rebate, [this](const IncomeTaxBatch::Progress &p) {
            if (p.value == 0) {
                // Selection counted: an empty one still shows an empty bar, never a busy one.
                ui.Pbar->setRange(0, std::max(p.maximum, 1));
                ui.Pbar->setValue(0);
                ui.LbPer->setText(p.percent);
                if (p.maximum == 0) {
                    setWindowTitle(IncomeTaxBatch::CaptionText(0, 0));
                    ui.LbPer->setText(IncomeTaxBatch::PercentText(0, 0));
                }
            } else {
                setWindowTitle(p.caption);
                ui.Pbar->setValue(std::min(p.value, ui.Pbar->maximum()));
                ui.LbPer->setText(p.percent);
            }
            QCoreApplication::processEvents();
        });
    } catch (const IncomeTaxBatch::Error &e) {
        platform().message(e.text(), Platform::Icon::Critical);
    }

    ui.TxEmpCode->setReadOnly(false);
    ui.CmGenerate->setEnabled(true);
    ui.CmClose->setEnabled(true);
    m_running = false;
}

void frmGenerateIncomeTax::CmClose_Click()
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->close();
    else
        close();
}

void frmGenerateIncomeTax::closeEvent(QCloseEvent *event)
{
    // Not in the middle of a run: the run would go on over a closed screen.
    if (m_running)
        event->ignore();
    else
        QWidget::closeEvent(event);
}
