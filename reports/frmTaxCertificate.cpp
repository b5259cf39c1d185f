#include "frmTaxCertificate.h"

#include "CertificateThread.h"
#include "lookup/PickEmployee.h"
#include "reports/OutputFolder.h"
#include "session/Platform.h"
#include "session/mdlDalvoni.h"
#include "ui/FormUtil.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QShortcut>
#include <QTime>
#include <QMdiSubWindow>
#include <QUrl>

#include <algorithm>

namespace {

// Employees named one by one at the end of a run; the rest are counted.
constexpr int kNamedAtEnd = 8;

} // namespace

frmTaxCertificate::frmTaxCertificate(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    ui.TxEmpCode->installEventFilter(this);
    connect(ui.CmWrite, &QPushButton::clicked, this, &frmTaxCertificate::CmWrite_Click);
    connect(ui.CmCancel, &QPushButton::clicked, this, &frmTaxCertificate::CmCancel_Click);
    connect(ui.CmClose, &QPushButton::clicked, this, &frmTaxCertificate::CmClose_Click);
    connect(ui.TxEmpCode, &QLineEdit::textChanged, this, &frmTaxCertificate::TxEmpCode_Change);
    // The keys the button captions promise; Escape stops a run, or closes the screen.
    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence(Qt::Key_F5), [this] { ui.CmWrite->click(); }},
        {QKeySequence(Qt::Key_F9), [this] { ui.CmClose->click(); }},
        {QKeySequence(Qt::Key_Escape), [this] { Escape_Pressed(); }},
    };
    for (const auto &[key, action] : keys) {
        auto *shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    }
    Form_Load();
}

frmTaxCertificate::~frmTaxCertificate()
{
    if (m_thread) {
        m_thread->requestStop();
        m_thread->wait();
    }
}

void frmTaxCertificate::Form_Load()
{
    CentreInMain(this);
    ui.DtFrom->setDate(mdlDalvoni::TaxYearStart);
    ui.DtTo->setDate(mdlDalvoni::TaxYearEnd);
    ui.TxFolder->setText(QDir::toNativeSeparators(QDir(OutputFolder()).filePath(QStringLiteral("Certificates"))));
    ui.CmCancel->setEnabled(false);
    ui.OptCompany->setFocus();
}

bool frmTaxCertificate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui.TxEmpCode && event->type() == QEvent::KeyPress)
        return TxEmpCode_KeyDown(static_cast<QKeyEvent *>(event));
    return QWidget::eventFilter(watched, event);
}

// F1 opens the employee list; Enter moves on to the period. Other keys are the box's own.
bool frmTaxCertificate::TxEmpCode_KeyDown(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        ui.DtFrom->setFocus();
        return true;
    }
    if (key != Qt::Key_F1)
        return false;
    if (isRunning())
        return true;
    std::optional<EmployeePick> pick;
    try {
        pick = PickEmployee(mdlDalvoni::CompanyCode, ui.TxEmpCode->text(), BlankCode::OffersAll);
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
        return true;
    }
    // No pick empties the code and the name, as on the other screens.
    const EmployeePick p = pick.value_or(EmployeePick());
    m_picking = true;
    ui.TxEmpCode->setText(p.code);
    m_picking = false;
    ui.LbName->setText(p.name);
    m_empSlno = p.slno;
    if (!p.slno.isEmpty())
        ui.OptEmployee->setChecked(true);
    return true;
}

// A typed code is not a pick: the name and the serial number go until F1 picks again.
void frmTaxCertificate::TxEmpCode_Change()
{
    if (m_picking)
        return;
    ui.LbName->clear();
    m_empSlno.clear();
}

void frmTaxCertificate::CmWrite_Click()
{
    if (isRunning())
        return;
    const bool one = ui.OptEmployee->isChecked();
    if (one && m_empSlno.isEmpty()) {
        platform().message(QStringLiteral("Pick the employee with F1 in Emp Code first."), Platform::Icon::Information);
        ui.TxEmpCode->setFocus();
        return;
    }
    if (ui.DtFrom->date() > ui.DtTo->date()) {
        platform().message(QStringLiteral("The period ends before it starts."), Platform::Icon::Information);
        ui.DtTo->setFocus();
        return;
    }
    const QString folder = QDir::fromNativeSeparators(ui.TxFolder->text().trimmed());
    if (folder.isEmpty()) {
        platform().message(QStringLiteral("Enter the folder the certificates are to be written into."),
                           Platform::Icon::Information);
        ui.TxFolder->setFocus();
        return;
    }

    const auto request =
        CertificateRun::SessionRequest(ui.DtFrom->date(), ui.DtTo->date(), one ? m_empSlno : QString(), folder);
    DbConnection &session = mdlDalvoni::Db();
    m_thread = new CertificateThread(request, session.connectString(), session.limits(), this);
    connect(m_thread, &CertificateThread::progressed, this, &frmTaxCertificate::showProgress, Qt::QueuedConnection);
    connect(m_thread, &QThread::finished, this, &frmTaxCertificate::endRun, Qt::QueuedConnection);
    setRunning(true);
    ui.Pbar->setRange(0, 0);
    ui.LbPer->setText(QStringLiteral("0 %"));
    ui.LbSummary->setText(QStringLiteral("Reading the tax records..."));
    m_thread->start();
}

void frmTaxCertificate::setRunning(bool running)
{
    for (QWidget *w :
         std::initializer_list<QWidget *>{ui.OptCompany, ui.OptEmployee, ui.DtFrom, ui.DtTo, ui.CmWrite, ui.CmClose})
        w->setEnabled(!running);
    ui.TxEmpCode->setReadOnly(running);
    ui.TxFolder->setReadOnly(running);
    ui.CmCancel->setEnabled(running);
    if (running)
        ui.CmCancel->setFocus();
}

void frmTaxCertificate::showProgress(int done, int total)
{
    ui.Pbar->setRange(0, std::max(total, 1));
    ui.Pbar->setValue(std::min(done, std::max(total, 1)));
    ui.LbPer->setText(QStringLiteral("%1 %").arg(total > 0 ? done * 100 / total : 0));
    if (m_thread)
        ui.LbSummary->setText(QStringLiteral("Writing the certificates: %1 of %2.").arg(done).arg(total));
}

void frmTaxCertificate::CmCancel_Click()
{
    if (!m_thread)
        return;
    m_thread->requestStop();
    ui.CmCancel->setEnabled(false);
    ui.LbSummary->setText(QStringLiteral("Stopping after the certificate being written..."));
}

void frmTaxCertificate::Escape_Pressed()
{
    if (isRunning())
        CmCancel_Click();
    else
        CmClose_Click();
}

// The run is over: what it wrote and refused, and the folder opened; or why it could not run.
void frmTaxCertificate::endRun()
{
    CertificateThread *thread = m_thread;
    if (!thread)
        return;
    thread->wait();
    const auto result = thread->result();
    const QString failure = thread->failure();
    thread->deleteLater();
    m_thread = nullptr;
    setRunning(false);
    ui.CmWrite->setFocus();

    if (!result) {
        ui.Pbar->setRange(0, 1);
        ui.Pbar->setValue(0);
        ui.LbSummary->setText(QStringLiteral("Nothing more was written: see the message."));
        platform().message(failure, Platform::Icon::Critical);
        emit runEnded();
        return;
    }
    QStringList lines{
        QStringLiteral("Finished at %1: %2.")
            .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), CertificateRun::SummaryText(*result))};
    const QStringList entries = CertificateRun::EntryLines(*result);
    lines << entries.mid(0, kNamedAtEnd);
    if (entries.size() > kNamedAtEnd)
        lines << QStringLiteral("... and %1 more (itbatch --certificates lists them all).")
                     .arg(entries.size() - kNamedAtEnd);
    ui.LbSummary->setText(lines.join(QLatin1Char('\n')));
    showWholeSummary();
    if (!result->stopped) {
        ui.Pbar->setValue(ui.Pbar->maximum());
        ui.LbPer->setText(QStringLiteral("100 %"));
    }
    if (result->written > 0)
        platform().openUrl(QUrl::fromLocalFile(result->folder).toString());
    emit runEnded();
}

// The window grows to show every line of the summary, within the main window's area.
void frmTaxCertificate::showWholeSummary()
{
    auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!sub)
        return;
    const int more = ui.LbSummary->heightForWidth(ui.LbSummary->width()) - ui.LbSummary->height();
    if (more <= 0)
        return;
    QRect g = sub->geometry();
    const QWidget *area = sub->parentWidget();
    const int room = area ? area->height() : g.height() + more;
    g.setHeight(std::min(g.height() + more, room));
    if (g.bottom() >= room)
        g.moveTop(std::max(0, room - g.height()));
    sub->setGeometry(g);
}

void frmTaxCertificate::CmClose_Click()
{
    if (!isRunning())
        CloseScreen(this);
}

void frmTaxCertificate::closeEvent(QCloseEvent *event)
{
    // Not in the middle of a run: Escape or Cancel stops it first.
    if (isRunning())
        event->ignore();
    else
        QWidget::closeEvent(event);
}
