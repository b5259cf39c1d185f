#include "frmEmployerDetails.h"

#include "session/DbConnection.h"
#include "session/Platform.h"
#include "session/mdlDalvoni.h"
#include "ui/FormUtil.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QShortcut>

using EmployerDetails::Field;

frmEmployerDetails::frmEmployerDetails(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    connect(ui.CmSave, &QPushButton::clicked, this, &frmEmployerDetails::CmSave_Click);
    connect(ui.CmClose, &QPushButton::clicked, this, &frmEmployerDetails::CmClose_Click);
    for (int i = 0; i < EmployerDetails::kFieldCount; ++i) {
        QLineEdit *b = box(static_cast<Field>(i));
        b->installEventFilter(this);
        LimitToColumn(b, QStringLiteral("hr0910.hr_it_employer"),
                      QLatin1String(EmployerDetails::Column(static_cast<Field>(i))));
    }
    const std::pair<Qt::Key, QPushButton *> keys[] = {
        {Qt::Key_F5, ui.CmSave}, {Qt::Key_F9, ui.CmClose}, {Qt::Key_Escape, ui.CmClose}};
    for (const auto &[key, button] : keys) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
    }
    Form_Load();
}

QLineEdit *frmEmployerDetails::box(Field field) const
{
    QLineEdit *const boxes[] = {ui.TxTan,      ui.TxPan,        ui.TxAddress,     ui.TxCity,
                                ui.TxRespName, ui.TxFatherName, ui.TxDesignation, ui.TxSignPlace};
    return boxes[static_cast<int>(field)];
}

void frmEmployerDetails::Form_Load()
{
    CentreInMain(this);
    ui.LbCompany->setText(mdlDalvoni::CompanyName);
    std::optional<EmployerDetails::Details> stored;
    try {
        stored = EmployerDetails::Load(mdlDalvoni::Db(), mdlDalvoni::CompanyCode);
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
    }
    if (stored) {
        m_stored = stored->fields;
        for (int i = 0; i < EmployerDetails::kFieldCount; ++i)
            box(static_cast<Field>(i))->setText(m_stored[i]);
        showChanged(*stored);
    } else {
        ui.LbChanged->setText(QStringLiteral("Not entered yet: the company's tax certificates need them."));
    }
    ui.TxTan->setFocus();
}

void frmEmployerDetails::showChanged(const EmployerDetails::Details &d)
{
    if (!d.changedAt.isValid())
        return;
    ui.LbChanged->setText(QStringLiteral("Last changed by %1 on %2.")
                              .arg(d.changedBy.isEmpty() ? QStringLiteral("an unknown user") : d.changedBy,
                                   QLocale().toString(d.changedAt, QLocale::ShortFormat)));
}

EmployerDetails::Details frmEmployerDetails::shown() const
{
    EmployerDetails::Details d;
    d.companyCode = mdlDalvoni::CompanyCode;
    for (int i = 0; i < EmployerDetails::kFieldCount; ++i)
        d.fields[i] = box(static_cast<Field>(i))->text();
    return d;
}

// Enter moves on to the next box, from the last one to Save.
bool frmEmployerDetails::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            for (int i = 0; i < EmployerDetails::kFieldCount; ++i) {
                if (watched == box(static_cast<Field>(i))) {
                    if (i + 1 < EmployerDetails::kFieldCount)
                        box(static_cast<Field>(i + 1))->setFocus();
                    else
                        ui.CmSave->setFocus();
                    return true;
                }
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmEmployerDetails::CmSave_Click()
{
    EmployerDetails::Details d = shown();
    if (const auto problem = EmployerDetails::Check(d)) {
        QString text = problem->message;
        text[0] = text[0].toUpper();
        platform().message(text + QLatin1Char('.'), Platform::Icon::Information);
        box(problem->field)->setFocus();
        box(problem->field)->selectAll();
        return;
    }
    const AuditStamp stamp{mdlDalvoni::UserId, QDateTime::currentDateTime()};
    try {
        EmployerDetails::Save(mdlDalvoni::Db(), d, stamp);
    } catch (const DbError &e) {
        platform().message(QStringLiteral("The employer details were not saved.\n") + e.text(),
                           Platform::Icon::Critical);
        return;
    }
    // Shown as stored: trimmed, TAN and PAN in capitals.
    for (int i = 0; i < EmployerDetails::kFieldCount; ++i) {
        QString text = d.fields[i].trimmed();
        if (i == static_cast<int>(Field::Tan) || i == static_cast<int>(Field::Pan))
            text = text.toUpper();
        box(static_cast<Field>(i))->setText(text);
        m_stored[i] = text;
    }
    d.changedBy = mdlDalvoni::UserName;
    d.changedAt = stamp.now;
    showChanged(d);
    platform().message(QStringLiteral("Employer Details of %1 Saved.   ").arg(mdlDalvoni::CompanyName),
                       Platform::Icon::Information);
    ui.CmClose->setFocus();
}

QString frmEmployerDetails::unsavedChanges() const
{
    return shown().fields == m_stored ? QString()
                                      : QStringLiteral("the employer details of ") + mdlDalvoni::CompanyName;
}

void frmEmployerDetails::CmClose_Click()
{
    CloseScreen(this);
}

void frmEmployerDetails::closeEvent(QCloseEvent *event)
{
    if (!MayCloseScreen(*this)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
