#include "frmrptIT.h"

#include "lookup/PickEmployee.h"
#include "reports/OutputFolder.h"
#include "reports/Statement.h"
#include "reports/StatementPrint.h"
#include "reports/Workbook.h"
#include "session/DbConnection.h"
#include "session/Platform.h"
#include "session/mdlDalvoni.h"
#include "ui/FormUtil.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>

namespace {

// Shows the busy pointer for as long as it lives.
class BusyPointer
{
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
};

bool PointerIsBusy()
{
    const QCursor *c = QApplication::overrideCursor();
    return c && c->shape() == Qt::WaitCursor;
}

// The line beside the buttons that tells where the last export or print went, so that the
// file can be found without a message box to close after every export.
constexpr const char *kOutputLabel = "LbOutputFile";

// sentence holds %1 for the file's full path; an empty file empties the line (after a failure).
void ShowOutputFile(QWidget *form, const QString &sentence, const QString &file)
{
    if (auto *label = form->findChild<QLabel *>(QLatin1String(kOutputLabel))) {
        const QString path = file.isEmpty() ? QString() : QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
        label->setText(path.isEmpty() ? QString() : sentence.arg(path));
        label->setToolTip(path);
    }
}

} // namespace

frmrptIT::frmrptIT(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    connect(ui.CmShow, &QPushButton::clicked, this, &frmrptIT::CmShow_Click);
    connect(ui.CmPrint, &QPushButton::clicked, this, &frmrptIT::CmPrint_Click);
    connect(ui.CmExport, &QPushButton::clicked, this, &frmrptIT::CmExport_Click);
    connect(ui.CmClose, &QPushButton::clicked, this, &frmrptIT::CmClose_Click);
    connect(ui.TxEmpCode, &QLineEdit::textChanged, this, &frmrptIT::TxEmpCode_Change);
    ui.TxEmpCode->installEventFilter(this);
    ui.DTFrom->installEventFilter(this);
    // The title and heading rows, and each employee's code and name, stay in view however far
    // the sheet is scrolled.
    ui.FBook->freezePanes(Statement::kFirstDataRow - 1, 2);
    // Opened, it shows a page of the statement, not only its headings.
    ui.FBook->setPageRows(30);
    // The widths as a spreadsheet program shows the exported workbook (256 to a character of
    // about seven pixels), so that a screen shows some twenty columns; a column whose heading
    // or figures need more is widened to them.
    ui.FBook->setColumnUnit(256.0 / 7, Statement::kFirstHeadingRow);

    auto *output = new QLabel(this);
    output->setObjectName(QLatin1String(kOutputLabel));
    output->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long path is cut at the right edge rather than widening the screen; the tip shows it whole.
    output->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ui.layButtons->insertWidget(0, output, 1);

    // The keys the button captions promise.
    const std::pair<Qt::Key, QPushButton *> keys[] = {
        {Qt::Key_F5, ui.CmShow}, {Qt::Key_F7, ui.CmPrint}, {Qt::Key_F9, ui.CmClose}, {Qt::Key_F11, ui.CmExport}};
    for (const auto &[key, button] : keys)
        BindKey(this, QKeySequence(key), [button = button] { button->click(); });
    CloseOnEscape(this);
    Form_Load();
}

void frmrptIT::Form_Load()
{
    CentreInMain(this);
    ui.DTFrom->setDate(mdlDalvoni::TaxYearStart);
    ui.DTTo->setDate(mdlDalvoni::TaxYearEnd);
    Statement::DrawLayout(ui.FBook->sheet());
    ui.FBook->refresh();
}

void frmrptIT::CmShow_Click()
{
    BusyPointer busy;
    try {
        // The regimes are those of the session's financial year, whatever the period shown.
        CurrentRow = Statement::Build(ui.FBook->sheet(), mdlDalvoni::Db(), mdlDalvoni::CompanyCode, ui.DTFrom->date(),
                                      ui.DTTo->date(), ui.TxEmpCode->text(), QDate::currentDate(),
                                      mdlDalvoni::FinYearFrom, mdlDalvoni::FinYearTo);
    } catch (const DbError &e) {
        // What was read so far stays on the sheet.
        ui.FBook->refresh();
        platform().message(e.text(), Platform::Icon::Information);
        return;
    }
    ui.FBook->refresh();
}

void frmrptIT::CmPrint_Click()
{
    int stoppedAt = CurrentRow;
    const QByteArray text = StatementPrint::Text(ui.FBook->sheet(), ui.FBook->sheet().lastRow(), &stoppedAt);
    CurrentRow = stoppedAt;
    const QString file = QDir(OutputFolder()).filePath(QStringLiteral("os.prn"));
    const QString spooler = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("inetspooler"));
    // The described message, and on the next lines why, and that nothing went to the printer.
    const auto refuse = [this](const QString &why) {
        ShowOutputFile(this, {}, {});
        platform().message(QStringLiteral("File Cannot be Printed.   \n") + why +
                               QStringLiteral("\nNothing was sent to the printer.   "),
                           Platform::Icon::Information);
    };
    QString error;
    if (!StatementPrint::Write(file, text, &error)) {
        refuse(error);
        return;
    }
    // The path goes as one argument, so blanks in it do not split it.
    if (!platform().startDetached(spooler, {QFileInfo(file).absoluteFilePath()})) {
        refuse(QStringLiteral("The print program ") + QDir::toNativeSeparators(spooler) +
               QStringLiteral(" could not be started: it may be missing from the program's folder."));
        return;
    }
    ShowOutputFile(this, QStringLiteral("Print file written: %1"), file);
}

void frmrptIT::CmExport_Click()
{
    if (PointerIsBusy())
        return;
    if (CurrentRow <= 4) {
        platform().message(QStringLiteral("No details found.   "), Platform::Icon::Information);
        return;
    }
    BusyPointer busy;
    const QString chosen = ChooseWorkbookFile(
        windowTitle() + QLatin1Char(' ') + mdlDalvoni::UnitCode + QLatin1Char(' ') +
        QLocale::c().toString(ui.DTFrom->date(), QStringLiteral("dd-MMM-yyyy")) + QStringLiteral(".xlsx"));
    if (chosen.isEmpty())
        return; // cancelled, or an existing file kept
    QString error;
    // Printed from a spreadsheet program: the two heading rows on every page; on screen the
    // headings and the code and name columns stay in view.
    const WorkbookPages pages{4, 5, 5, 2, ui.FBook->sheet().text(3, 1)};
    if (!WriteWorkbook(ui.FBook->sheet(), chosen, &error, pages)) {
        ShowOutputFile(this, {}, {});
        platform().message(error, Platform::Icon::Information);
        return;
    }
    ShowOutputFile(this, QStringLiteral("Exported to %1"), chosen);
}

void frmrptIT::CmClose_Click()
{
    close();
}

void frmrptIT::TxEmpCode_Change()
{
    ui.LbName->clear();
}

bool frmrptIT::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (watched == ui.TxEmpCode)
            return TxEmpCode_KeyDown(key);
        if (watched == ui.DTFrom)
            return DTFrom_KeyDown(key);
    }
    return QWidget::eventFilter(watched, event);
}

// F1 opens the employee list, Enter moves on to Show; other keys are the box's own.
bool frmrptIT::TxEmpCode_KeyDown(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_F1) {
        showEmployeeLookup();
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        ui.CmShow->setFocus();
        return true;
    }
    return false;
}

// Enter moves on to Show.
bool frmrptIT::DTFrom_KeyDown(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    ui.CmShow->setFocus();
    return true;
}

void frmrptIT::showEmployeeLookup()
{
    std::optional<EmployeePick> pick;
    try {
        pick = PickEmployee(mdlDalvoni::CompanyCode, ui.TxEmpCode->text(), BlankCode::Searches);
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Information);
        return;
    }
    const EmployeePick p = pick.value_or(EmployeePick());
    ui.TxEmpCode->setText(p.code);
    ui.LbName->setText(p.name);
    ui.LbName->setProperty("Tag", p.slno);
    ui.TxEmpCode->setProperty("Tag", p.pan);
}
