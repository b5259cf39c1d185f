#include "frmOtherAllowance.h"

#include "session/Common.h"
#include "session/Platform.h"
#include "session/mdlDalvoni.h"
#include "ui/CellGrid.h"
#include "ui/FormUtil.h"
#include "ui/NumericEdit.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace {

const QString kNewCaption = QStringLiteral("New - F2");
const QString kSaveCaption = QStringLiteral("Save - F5");

// Column widths of the list in twips; the code column stays hidden.
constexpr int kListWidths[5] = {9000, 0, 3000, 3000, 3000};

} // namespace

frmOtherAllowance::frmOtherAllowance(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    for (QLineEdit *box : {ui.TxDedPer, ui.TxDedAmt}) {
        AttachNumericKeyFilter(box, 12, 2, 1, false);
        box->installEventFilter(this);
    }
    ui.TxName->installEventFilter(this);
    LimitToColumn(ui.TxCode, QStringLiteral("hr0910.hr_it_allowance"), QStringLiteral("allowance_code"));
    LimitToColumn(ui.TxName, QStringLiteral("hr0910.hr_it_allowance"), QStringLiteral("allowance_name"));

    connect(ui.CmNew, &QPushButton::clicked, this, [this] { CmNew_Click(); });
    connect(ui.CmEdit, &QPushButton::clicked, this, [this] { CmEdit_Click(); });
    connect(ui.CmCancel, &QPushButton::clicked, this, [this] { CmCancel_Click(); });
    connect(ui.CmClose, &QPushButton::clicked, this, [this] { CmClose_Click(); });
    connect(ui.FbAllowance, &CellGrid::rowPicked, this, [this] { FbAllowance_RowPick(); });
    bindKeys();
    Form_Load();
}

void frmOtherAllowance::Form_Load()
{
    CentreInMain(this);
    drawHeadings();
    fillList();
    setMode(false);
    // The clerk starts from the list of heads, on the first one (the fields are closed until
    // New or Edit).
    if (listRows() >= 2)
        ui.FbAllowance->setActiveCell(2, 1);
    ui.FbAllowance->setFocus();
}

void frmOtherAllowance::setMode(bool edit)
{
    m_editMode = edit;
    m_entered = shownFields();
    ui.TxCode->setEnabled(edit);
    ui.TxName->setEnabled(edit);
    ui.CmEdit->setEnabled(!edit);
    ui.CmClose->setEnabled(!edit);
    ui.CmCancel->setEnabled(edit);
    ui.CmNew->setText(edit ? kSaveCaption : kNewCaption);
    ui.FbAllowance->setEnabled(!edit);
}

// --- The list ---------------------------------------------------------------------------

void frmOtherAllowance::drawHeadings()
{
    CellGrid *grid = ui.FbAllowance;
    grid->setHeadingsVisible(false);
    Sheet &sheet = grid->sheet();
    sheet.setColumnCount(5);
    for (int c = 1; c <= 5; ++c)
        sheet.setColumnWidth(c, kListWidths[c - 1]);
    const QString headings[5] = {QStringLiteral("Allowance"), QStringLiteral("Allowance Code"), QStringLiteral("Flag"),
                                 QStringLiteral("Ded %"), QStringLiteral("Ded Amt")};
    for (int c = 1; c <= 5; ++c)
        sheet.setText(1, c, headings[c - 1]);
    const CellRange headingRow{1, 1, 1, 5};
    sheet.setFont(headingRow, CellFont{QStringLiteral("Segoe UI"), 8, true, 0});
    sheet.setBorders(headingRow, true);
    sheet.setFill(headingRow, RgbColour(192, 192, 192));
    sheet.setAlignment(headingRow, HAlign::General, VAlign::Centre);
    grid->refresh();
}

QString frmOtherAllowance::listCell(int row, int col) const
{
    return ui.FbAllowance->sheet().text(row, col);
}

int frmOtherAllowance::listRows() const
{
    return ui.FbAllowance->sheet().lastRow();
}

void frmOtherAllowance::fillList()
{
    QList<AllowanceHeads::Row> rows;
    try {
        rows = AllowanceHeads::LoadList(mdlDalvoni::Db());
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
        return;
    }
    // Rows are overwritten in place; heads are never deleted, so the list only grows.
    Sheet &sheet = ui.FbAllowance->sheet();
    int row = 2;
    for (const AllowanceHeads::Row &r : rows) {
        sheet.setText(row, 1, r.name);
        sheet.setText(row, 2, r.code);
        sheet.setText(row, 3, r.flag);
        sheet.setText(row, 4, r.dedPer);
        sheet.setText(row, 5, r.dedAmt);
        ++row;
    }
    if (row > 2) {
        sheet.setFont(CellRange{2, 1, row - 1, 5}, CellFont{QStringLiteral("Arial"), 8, false, 0});
        sheet.setAlignment(CellRange{2, 1, row - 1, 3}, HAlign::General, VAlign::Centre);
        sheet.setAlignment(CellRange{2, 4, row - 1, 5}, HAlign::Right, VAlign::Centre);
    }
    ui.FbAllowance->refresh();
}

void frmOtherAllowance::FbAllowance_RowPick()
{
    const int row = ui.FbAllowance->activeRow();
    if (row < 1)
        return;
    ui.TxCode->setText(listCell(row, 2));
    ui.TxName->setText(listCell(row, 1));
    // The amount boxes hold amounts only, whatever the cell shows.
    ui.TxDedPer->setText(Format00(LeadingNumber(listCell(row, 4))));
    ui.TxDedAmt->setText(Format00(LeadingNumber(listCell(row, 5))));
    const QString flag = listCell(row, 3);
    if (flag == QLatin1String("Addition"))
        ui.OptAdd->setChecked(true);
    else if (flag == QLatin1String("Deduction"))
        ui.OptSub->setChecked(true);
}

// --- Buttons ----------------------------------------------------------------------------

void frmOtherAllowance::CmNew_Click()
{
    if (!AllowanceHeads::MayMaintain(mdlDalvoni::UserId)) {
        platform().message(QStringLiteral("You are Not Allowed to do this task.   "), Platform::Icon::Critical);
        return;
    }
    if (ui.CmNew->text() == kNewCaption) {
        ui.TxCode->clear();
        ui.TxName->clear();
        ui.TxDedPer->setText(QStringLiteral("0.00"));
        ui.TxDedAmt->setText(QStringLiteral("0.00"));
        try {
            ui.TxCode->setText(
                ReadRunningNumber(mdlDalvoni::Db(), QString::fromLatin1(AllowanceHeads::kRunningNumberId)));
        } catch (const DbError &e) {
            platform().message(e.text(), Platform::Icon::Critical);
            return;
        }
        setMode(true);
        ui.TxName->setFocus();
        fillList();
        return;
    }

    if (ui.TxName->text().trimmed().isEmpty()) {
        platform().message(QStringLiteral("Please Enter the Allowance.  "), Platform::Icon::Information);
        ui.TxName->setFocus();
        return;
    }
    if (EditingExisting) {
        if (!saveUpdate())
            return;
        EditingExisting = false;
        setMode(false);
        fillList();
    } else {
        if (!saveInsert()) {
            ui.FbAllowance->setEnabled(true);
            return;
        }
        setMode(false);
        fillList();
    }
}

bool frmOtherAllowance::saveInsert()
{
    try {
        if (AllowanceHeads::Insert(mdlDalvoni::Db(), typedEntry(), sessionStamp()) ==
            AllowanceHeads::InsertResult::Duplicate) {
            platform().message(QStringLiteral("The Same Allowance Already Exists.   "), Platform::Icon::Information);
            ui.TxCode->setFocus();
            return false;
        }
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Information);
        return false;
    }
    return true;
}

bool frmOtherAllowance::saveUpdate()
{
    try {
        AllowanceHeads::Update(mdlDalvoni::Db(), typedEntry(), sessionStamp());
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Information);
        return false;
    }
    return true;
}

AllowanceHeads::Entry frmOtherAllowance::typedEntry() const
{
    AllowanceHeads::Entry e;
    e.code = ui.TxCode->text();
    e.name = ui.TxName->text();
    e.dedPer = ui.TxDedPer->text();
    e.dedAmt = ui.TxDedAmt->text();
    e.addition = ui.OptAdd->isChecked();
    return e;
}

AllowanceHeads::Stamp frmOtherAllowance::sessionStamp() const
{
    return {mdlDalvoni::UnitCode, mdlDalvoni::CompanyCode, mdlDalvoni::UserId, QDateTime::currentDateTime()};
}

void frmOtherAllowance::CmEdit_Click()
{
    EditingExisting = true;
    setMode(true);
}

void frmOtherAllowance::CmCancel_Click()
{
    EditingExisting = false;
    setMode(false);
}

void frmOtherAllowance::CmClose_Click()
{
    CloseScreen(this);
}

frmOtherAllowance::Fields frmOtherAllowance::shownFields() const
{
    return {ui.TxCode->text().trimmed(), ui.TxName->text().trimmed(), LeadingNumber(ui.TxDedPer->text()),
            LeadingNumber(ui.TxDedAmt->text()), ui.OptAdd->isChecked()};
}

QString frmOtherAllowance::unsavedChanges() const
{
    if (!m_editMode || shownFields() == m_entered)
        return QString();
    const QString head = EditingExisting ? QStringLiteral("the changes to the head") : QStringLiteral("the new head");
    const QString name = ui.TxName->text().trimmed().toUpper();
    return name.isEmpty() ? head : head + QLatin1Char(' ') + name;
}

// The frame's close box closes the screen in edit mode too, where Close is disabled.
void frmOtherAllowance::closeEvent(QCloseEvent *event)
{
    if (!MayCloseScreen(*this)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

// --- Keys -------------------------------------------------------------------------------

void frmOtherAllowance::bindKeys()
{
    // A key acts only while its button does: click() does nothing on a disabled button.
    BindKey(this, QKeySequence(Qt::Key_F2), [this] { ui.CmNew->click(); });
    BindKey(this, QKeySequence(Qt::Key_F3), [this] { ui.CmEdit->click(); });
    BindKey(this, QKeySequence(Qt::Key_F5), [this] {
        if (ui.CmNew->text() == kSaveCaption)
            ui.CmNew->click();
    });
    BindKey(this, QKeySequence(Qt::Key_F8), [this] { ui.CmCancel->click(); });
    BindKey(this, QKeySequence(Qt::Key_F9), [this] { ui.CmClose->click(); });
    // Escape closes in either mode, asking first about a head not yet saved.
    CloseOnEscape(this);
}

bool frmOtherAllowance::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto *box = qobject_cast<QLineEdit *>(watched))
            SelectAllText(box);
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (enter && watched == ui.TxName) {
            if (ui.TxName->text().trimmed().isEmpty()) {
                platform().message(QStringLiteral("Please Enter the Allowance Type.   "), Platform::Icon::Information);
                ui.TxName->setFocus();
            } else {
                ui.TxDedPer->setFocus();
            }
            return true;
        }
        if (enter && watched == ui.TxDedPer)
            ui.TxDedAmt->setFocus();
        else if (enter && watched == ui.TxDedAmt)
            ui.OptAdd->setFocus();
    }
    return QWidget::eventFilter(watched, event);
}
