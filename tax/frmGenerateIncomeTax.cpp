#include "frmGenerateIncomeTax.h"

#include "BatchThread.h"
#include "lookup/PickEmployee.h"
#include "session/Platform.h"
#include "session/mdlDalvoni.h"
#include "ui/FormUtil.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QTime>

frmGenerateIncomeTax::frmGenerateIncomeTax(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    ui.TxEmpCode->installEventFilter(this);
    connect(ui.CmGenerate, &QPushButton::clicked, this, &frmGenerateIncomeTax::CmGenerate_Click);
    connect(ui.CmClose, &QPushButton::clicked, this, &frmGenerateIncomeTax::CmClose_Click);
    connect(ui.TxEmpCode, &QLineEdit::textChanged, this, &frmGenerateIncomeTax::TxEmpCode_Change);
    CloseOnEscape(this);
    Form_Load();
}

frmGenerateIncomeTax::~frmGenerateIncomeTax()
{
    if (m_thread)
        m_thread->wait();
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

// An emptied code box lets go of the employee picked before: an empty box is the whole
// company, as the screen shows it. A typed text without F1 picks nobody and leaves the pick.
void frmGenerateIncomeTax::TxEmpCode_Change()
{
    if (!ui.TxEmpCode->text().isEmpty())
        return;
    ui.LbName->clear();
    m_empCompany.clear();
    m_empSlno.clear();
}

void frmGenerateIncomeTax::CmGenerate_Click()
{
    if (m_running)
        return;
    m_running = true;
    ui.CmGenerate->setEnabled(false);
    ui.CmClose->setEnabled(false);
    ui.TxEmpCode->setReadOnly(true);
    ui.DtFrom->setEnabled(false);
    ui.DtTo->setEnabled(false);
    ui.LbSummary->clear();

    const QString slno = ui.LbName->text().isEmpty() ? QString() : m_empSlno;
    const auto request = IncomeTaxBatch::SessionRequest(ui.DtFrom->date(), ui.DtTo->date(), slno);
    DbConnection &session = mdlDalvoni::Db();
    m_thread = new BatchThread(request, m_rebate, session.connectString(), session.limits(), this);
    m_thread->setProgressInterval(m_progressInterval);
    connect(m_thread, &BatchThread::progressed, this, &frmGenerateIncomeTax::showProgress, Qt::QueuedConnection);
    connect(m_thread, &QThread::finished, this, &frmGenerateIncomeTax::endRun, Qt::QueuedConnection);
    m_thread->start();
}

void frmGenerateIncomeTax::showProgress(const IncomeTaxBatch::Progress &p)
{
    if (!p.note.isEmpty()) {
        ui.LbSummary->setText(p.note);
        return;
    }
    if (p.value == 0) {
        // Selection counted: an empty one still shows an empty bar, never a busy one.
        ui.LbSummary->clear();
        ui.Pbar->setRange(0, std::max(p.maximum, 1));
        ui.Pbar->setValue(0);
        ui.LbPer->setText(p.percent);
        if (p.maximum == 0) {
            setWindowTitle(IncomeTaxBatch::CaptionText(0, 0));
            ui.LbPer->setText(IncomeTaxBatch::PercentText(0, 0));
        }
    } else {
        ui.Pbar->setValue(std::min(p.value, ui.Pbar->maximum()));
        ui.LbPer->setText(p.percent);
        setWindowTitle(p.caption);
    }
}

// The run is over: the screen says that it finished and what it wrote, or shows why it stopped.
void frmGenerateIncomeTax::endRun()
{
    BatchThread *thread = m_thread;
    if (!thread)
        return;
    thread->wait();
    m_rebate = thread->state();
    const auto result = thread->result();
    const QString failure = thread->failure();
    thread->deleteLater();
    m_thread = nullptr;

    setWindowTitle(QStringLiteral("Generate Income Tax"));
    if (result) {
        if (result->selected > 0) {
            ui.Pbar->setValue(ui.Pbar->maximum());
            ui.LbPer->setText(IncomeTaxBatch::PercentText(1, 1));
        }
        ui.LbSummary->setText(
            QStringLiteral("Finished at %1: %2.")
                .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), IncomeTaxBatch::SummaryText(*result)));
    } else {
        ui.LbSummary->setText(QStringLiteral("Stopped before the end: see the message."));
    }
    ui.TxEmpCode->setReadOnly(false);
    ui.DtFrom->setEnabled(true);
    ui.DtTo->setEnabled(true);
    ui.CmGenerate->setEnabled(true);
    ui.CmClose->setEnabled(true);
    m_running = false;
    if (!result)
        platform().message(failure, Platform::Icon::Critical);
    emit runEnded();
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
    // Not in the middle of a run: the clerk would not see how it ended.
    if (m_running)
        event->ignore();
    else
        QWidget::closeEvent(event);
}
