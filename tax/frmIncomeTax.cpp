#include "frmIncomeTax.h"

#include "lookup/PickEmployee.h"
#include "lookup/frmListView.h"
#include "session/Common.h"
#include "session/Platform.h"
#include "session/mdlDalvoni.h"
#include "tax/RegimeChoice.h"
#include "tax/TaxRecord.h"
#include "ui/FormUtil.h"
#include "ui/NumericEdit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QRadioButton>
#include <QTableWidgetItem>

#include <algorithm>

namespace {

const QString kEditCaption = QStringLiteral("Edit - F3");
const QString kUpdateCaption = QStringLiteral("Update - F5");
const QString kDetailsMessage = QStringLiteral("Please Enter the Details Properly.   ");
const QString kOldRegimeTitle = QStringLiteral("Old Regime");
const QString kNewRegimeTitle = QStringLiteral("New Regime");
const QString kAppliesMark = QStringLiteral(" (applies)");

void Inform(const QString &text)
{
    platform().message(text, Platform::Icon::Information);
}

void SetShown(QWidget *w, const QString &text)
{
    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        if (edit->text() != text)
            edit->setText(text);
    } else if (auto *label = qobject_cast<QLabel *>(w)) {
        label->setText(text);
    }
}

// Marks a To Pay as the employee's tax: its caption in bold and its figure in navy. The
// figure keeps its font, so that its box keeps its width.
void MarkAsApplied(QLabel *caption, QLineEdit *figure, bool applied)
{
    QFont font = caption->font();
    if (font.bold() != applied) {
        font.setBold(applied);
        caption->setFont(font);
    }
    QPalette palette = figure->palette();
    const QColor text = applied ? QColor(0, 0, 128) : QApplication::palette(figure).color(QPalette::Text);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::Text, text);
    figure->setPalette(palette);
}

} // namespace

frmIncomeTax::frmIncomeTax(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);

    QPalette band = ui.LbTitle->palette();
    band.setColor(QPalette::Window, QColor(0, 0, 128));
    band.setColor(QPalette::WindowText, Qt::white);
    ui.LbTitle->setPalette(band);
    QFont title = ui.LbTitle->font();
    title.setPointSize(14);
    title.setBold(true);
    ui.LbTitle->setFont(title);

    auto *grid = ui.GrDeductions;
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(TwipsToPixels(255));
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab leaves the grid for the next control; inside it the arrow keys and Enter move.
    grid->setTabKeyNavigation(false);
    grid->installEventFilter(this);

    AttachNumericKeyFilter(ui.TxHLInterest, 12, 2, 1, false);
    AttachNumericKeyFilter(ui.TxMediClaim, 12, 2, 1, false);
    // The edit box takes amounts only in the Amount column: PlaceEditor turns its filter on there.
    m_amountFilter = AttachNumericKeyFilter(ui.TxDedMove, 12, 2, 1, false);
    m_amountFilter->setActive(false);
    // Installed after the key filters, so that the screen sees Enter, F1 and Shift+Delete first.
    for (QLineEdit *box : {ui.TxEmpCode, ui.TxDedMove, ui.TxHLInterest, ui.TxMediClaim})
        box->installEventFilter(this);

    connect(ui.TxEmpCode, &QLineEdit::textChanged, this, [this] { TxEmpCode_Change(); });
    connect(ui.TxHLInterest, &QLineEdit::textChanged, this, [this] { TxHLInterest_Change(); });
    connect(ui.TxMediClaim, &QLineEdit::textChanged, this, [this] { TxMediClaim_Change(); });
    connect(grid, &QTableWidget::cellClicked, this, [this](int row, int col) { GrDeductions_Click(row, col); });
    connect(ui.OptOldRegime, &QRadioButton::clicked, this, [this] { OptOldRegime_Click(); });
    connect(ui.OptNewRegime, &QRadioButton::clicked, this, [this] { OptNewRegime_Click(); });
    connect(ui.CmEdit, &QPushButton::clicked, this, [this] { CmEdit_Click(); });
    connect(ui.CmClose, &QPushButton::clicked, this, [this] { CmClose_Click(); });
    // The keys the captions name: F3 while the button reads "Edit - F3", F5 while it reads
    // "Update - F5".
    BindKey(this, QKeySequence(Qt::Key_F3), [this] {
        if (ui.CmEdit->text() == kEditCaption)
            ui.CmEdit->click();
    });
    BindKey(this, QKeySequence(Qt::Key_F5), [this] {
        if (ui.CmEdit->text() == kUpdateCaption)
            ui.CmEdit->click();
    });
    BindKey(this, QKeySequence(Qt::Key_F9), [this] { ui.CmClose->click(); });
    CloseOnEscape(this);

    Form_Load();
}

void frmIncomeTax::Form_Load()
{
    CentreInMain(this);

    auto *grid = ui.GrDeductions;
    grid->setColumnCount(4);
    grid->setHorizontalHeaderLabels({QStringLiteral("Sl No"), QStringLiteral("Particulars"), QStringLiteral("Amount"),
                                     QStringLiteral("Deduction Code")});
    const int widths[] = {500, 3800, 1500, 0};
    for (int c = 0; c < 4; ++c)
        grid->setColumnWidth(c, TwipsToPixels(widths[c]));
    grid->setColumnHidden(3, true);

    m_fig = Worksheet::OpenedFigures();
    m_setup.taxYearStart = mdlDalvoni::TaxYearStart;
    m_setup.taxYearEnd = mdlDalvoni::TaxYearEnd;
    m_setup.finYearFrom = mdlDalvoni::FinYearFrom;
    m_setup.finYearTo = mdlDalvoni::FinYearTo;
    try {
        Worksheet::LoadYearSetup(mdlDalvoni::Db(), m_setup, m_fig);
        Worksheet::LoadNewRegimeYear(mdlDalvoni::Db(), m_setup);
    } catch (const DbError &e) {
        showDbError(e);
    }
    // A year without the new regime's figures shows the worksheet as it always was.
    ui.FrRegime->setVisible(m_setup.newRegime.has_value());
    linesToGrid();
    showFields();
    ui.TxHLInterest->setEnabled(false);
    ui.TxMediClaim->setEnabled(false);
    setShownRegime(std::nullopt);
    showRegime();
    updateRegimeControls();
    rememberStored();
}

bool frmIncomeTax::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == ui.TxEmpCode) {
        if (type == QEvent::FocusIn)
            SelectAllText(ui.TxEmpCode);
        else if (type == QEvent::KeyPress)
            return TxEmpCode_KeyDown(static_cast<QKeyEvent *>(event));
    } else if (watched == ui.TxDedMove) {
        // A context menu over the edit box takes the focus only while it is open.
        if (type == QEvent::FocusOut && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
            ui.TxDedMove->hide();
        } else if (type == QEvent::ShortcutOverride && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            // Escape leaves the cell being edited, not the screen.
            event->accept();
            return true;
        } else if (type == QEvent::KeyPress && TxDedMove_KeyDown(static_cast<QKeyEvent *>(event))) {
            return true;
        }
    } else if (watched == ui.GrDeductions && type == QEvent::KeyPress) {
        // Enter on a cell in edit mode edits it, as a click does.
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && ui.CmEdit->text() != kEditCaption) {
            GrDeductions_Click(qMax(0, ui.GrDeductions->currentRow()), qMax(0, ui.GrDeductions->currentColumn()));
            return true;
        }
    } else if ((watched == ui.TxHLInterest || watched == ui.TxMediClaim) && type == QEvent::FocusIn) {
        SelectAllText(static_cast<QLineEdit *>(watched));
    }
    return QWidget::eventFilter(watched, event);
}

// --- The employee ---------------------------------------------------------------------

// F1 opens the employee list, Enter loads the figures; other keys are the box's own.
bool frmIncomeTax::TxEmpCode_KeyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        pickEmployee();
        return true;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        loadFigures();
        return true;
    }
    return false;
}

void frmIncomeTax::pickEmployee()
{
    std::optional<EmployeePick> pick;
    try {
        pick = PickEmployee(mdlDalvoni::CompanyCode, ui.TxEmpCode->text(), BlankCode::Searches);
    } catch (const DbError &e) {
        showDbError(e);
        return;
    }
    const EmployeePick p = pick.value_or(EmployeePick());
    ui.TxEmpCode->setText(p.code);
    m_fig.LbName = p.name;
    m_fig.LbDesig = p.designation;
    m_fig.LbDept = p.department;
    m_fig.LbUnit = p.unitName;
    m_fig.LbCompany = p.companyName;
    m_fig.LbSerialNo = p.slno;
    m_fig.LbPan = p.pan;
    m_fig.unitCodeTag = p.unitCode;
    m_fig.companyCodeTag = p.companyCode;
    showFields();
}

void frmIncomeTax::TxEmpCode_Change()
{
    const Worksheet::Figures before = m_fig;
    m_fig.TxEmpCode = ui.TxEmpCode->text();
    Worksheet::Clear(m_fig);
    m_storedAtLoad.reset();
    linesToGrid();
    showFields();
    if (Worksheet::TaxInputsDiffer(before, m_fig))
        ComputeTax();
    setShownRegime(std::nullopt);
    showRegime();
    updateRegimeControls();
    rememberStored();
}

void frmIncomeTax::loadFigures()
{
    if (m_fig.LbName.isEmpty()) {
        Inform(QStringLiteral("Please Select An Employee.   "));
        ui.TxEmpCode->setFocus();
        return;
    }
    linesFromGrid();
    Worksheet::LoadResult result;
    TaxRegime regime = TaxRegime::Old;
    m_storedAtLoad.reset();
    try {
        // Read first: a save in between makes the save ask, never replace it unseen.
        m_storedAtLoad = Worksheet::ReadStored(mdlDalvoni::Db(), m_fig.LbSerialNo, m_setup.taxYearStart,
                                               m_setup.taxYearEnd, m_setup.newRegime.has_value());
        result = Worksheet::LoadFigures(mdlDalvoni::Db(), m_fig, m_setup, QDate::currentDate());
        regime = Worksheet::LoadRegime(mdlDalvoni::Db(), m_fig.LbSerialNo, m_setup);
    } catch (const DbError &e) {
        linesToGrid();
        showFields();
        setShownRegime(std::nullopt);
        showRegime();
        updateRegimeControls();
        rememberStored();
        showDbError(e);
        return;
    }
    linesToGrid();
    showFields();
    setShownRegime(regime);
    showRegime();
    updateRegimeControls();
    rememberStored();
    if (!result.finalised)
        Inform(QStringLiteral("No salary month of this company has been finalised up to ") +
               ShortDate(m_setup.taxYearEnd) +
               QStringLiteral(".   \nThe months remaining cannot be counted, so nothing is projected.   "));
}

// --- The declaration grid -------------------------------------------------------------

int frmIncomeTax::gridRows() const
{
    return ui.GrDeductions->rowCount() + 1;
}

void frmIncomeTax::setGridRows(int rows)
{
    ui.GrDeductions->setRowCount(qMax(0, rows - 1));
}

QString frmIncomeTax::cell(int line, int col) const
{
    const QTableWidgetItem *item = ui.GrDeductions->item(line - 1, col);
    return item ? item->text() : QString();
}

void frmIncomeTax::setCell(int line, int col, const QString &text)
{
    QTableWidgetItem *item = ui.GrDeductions->item(line - 1, col);
    if (!item) {
        item = new QTableWidgetItem;
        if (col == 2)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ui.GrDeductions->setItem(line - 1, col, item);
    }
    item->setText(text);
}

void frmIncomeTax::linesFromGrid()
{
    m_fig.lines.clear();
    for (int line = 1; line < gridRows(); ++line)
        m_fig.lines.append({cell(line, 0), cell(line, 1), cell(line, 2), cell(line, 3)});
}

void frmIncomeTax::linesToGrid()
{
    setGridRows(m_fig.lines.size() + 1);
    for (int line = 1; line <= m_fig.lines.size(); ++line) {
        const Worksheet::DeclarationLine &l = m_fig.lines[line - 1];
        setCell(line, 0, l.slNo);
        setCell(line, 1, l.particulars);
        setCell(line, 2, l.amount);
        setCell(line, 3, l.code);
    }
}

void frmIncomeTax::RenumberRows()
{
    for (int line = 1; line < gridRows(); ++line)
        setCell(line, 0, QString::number(line));
}

void frmIncomeTax::PlaceEditor()
{
    if (EditRow >= gridRows())
        setGridRows(gridRows() + 1);
    RenumberRows();
    auto *grid = ui.GrDeductions;
    QLineEdit *box = ui.TxDedMove;
    // Amounts only in the Amount column, through the numeric key filter whichever way they come.
    m_amountFilter->setActive(EditCol == 2);
    box->setMaxLength(32767);
    grid->setCurrentCell(EditRow - 1, EditCol);
    const QModelIndex index = grid->model()->index(EditRow - 1, EditCol);
    grid->scrollTo(index);
    box->setText(cell(EditRow, EditCol));
    const QRect r = grid->visualRect(index);
    const QPoint topLeft = grid->viewport()->mapTo(box->parentWidget(), r.topLeft());
    box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    box->setGeometry(topLeft.x(), topLeft.y(), r.width(), TwipsToPixels(220));
    box->show();
    box->raise();
    box->setFocus();
    box->setCursorPosition(box->text().size());
}

void frmIncomeTax::GrDeductions_Click(int row, int col)
{
    if (ui.CmEdit->text() == kEditCaption)
        return;
    EditRow = static_cast<short>(row + 1);
    EditCol = static_cast<short>(col);
    if (cell(1, 1).isEmpty()) {
        EditRow = 1;
        EditCol = 1;
    }
    if (cell(EditRow, 1).isEmpty()) {
        int line = 1;
        while (line < gridRows() && !cell(line, 1).isEmpty())
            ++line;
        EditRow = static_cast<short>(line);
        EditCol = 1;
    }
    if (EditCol <= 1)
        EditCol = 1;
    ui.TxDedMove->setText(cell(EditRow, EditCol));
    PlaceEditor();
    ui.TxDedMove->selectAll();
}

bool frmIncomeTax::TxDedMove_KeyDown(QKeyEvent *event)
{
    // Escape leaves the cell as it was; Tab and Shift+Tab leave the grid, as from the grid.
    if (event->key() == Qt::Key_Escape) {
        ui.GrDeductions->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        ui.GrDeductions->setFocus(Qt::OtherFocusReason);
        focusNextPrevChild(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
        return true;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ShiftModifier) {
        TxDedMove_ShiftDelete();
        return true;
    }
    if (event->key() == Qt::Key_F1) {
        TxDedMove_F1();
        return true;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        TxDedMove_Enter();
        return true;
    }
    return false;
}

void frmIncomeTax::TxDedMove_ShiftDelete()
{
    const int current = ui.GrDeductions->currentRow();
    if (current >= 0)
        ui.GrDeductions->removeRow(current);
    // Back to 14 lines, but never fewer than the lines that still hold a declaration.
    int keep = 0;
    for (int line = 1; line < gridRows(); ++line)
        if (!cell(line, 1).isEmpty() || !cell(line, 2).isEmpty())
            keep = line;
    setGridRows(qMax(15, keep + 1));
    RenumberRows();
    EditCol = 1;
    PlaceEditor();
    ComputeDeclarations();
}

void frmIncomeTax::TxDedMove_F1()
{
    if (EditCol == 1) {
        try {
            frmListView::ShowForm(Worksheet::HeadListSql(), 2, QStringLiteral("Other Allowane"), 4000, 0,
                                  QStringLiteral("Code"), 4000, QStringLiteral("Allowance"), 0, QString(), 0, QString(),
                                  0, QString(), 0, QString(), 0, QString(), 0, QString(), 0, QString(), 0, QString());
        } catch (const DbError &e) {
            showDbError(e);
        }
        // A list closed without a pick leaves the line as it was.
        const bool picked = !mdlDalvoni::ListPick2.isEmpty();
        if (picked) {
            setCell(EditRow, 1, mdlDalvoni::ListPick2);
            ui.TxDedMove->setText(mdlDalvoni::ListPick2);
            setCell(EditRow, 3, mdlDalvoni::ListPick1);
            setCell(EditRow, 1, ui.TxDedMove->text());
            EditCol = 2;
        }
        mdlDalvoni::ListPick1.clear();
        mdlDalvoni::ListPick2.clear();
        PlaceEditor();
        // The head decides whether the line is rent.
        if (picked)
            ComputeDeclarations();
        return;
    }
    PlaceEditor();
}

void frmIncomeTax::TxDedMove_Enter()
{
    const QString text = ui.TxDedMove->text();
    if (EditCol == 1) {
        if (text.isEmpty()) {
            Inform(kDetailsMessage);
            PlaceEditor();
            return;
        }
        setCell(EditRow, 1, text.toUpper());
        EditCol = 2;
    } else if (EditCol == 2) {
        const double amount = LeadingNumber(text);
        if (amount == 0) {
            Inform(kDetailsMessage);
            ui.TxDedMove->show();
            ui.TxDedMove->setFocus();
            return;
        }
        // The cell shows the amount as the filter writes it; the save stores that number.
        setCell(EditRow, 2, Format00(amount));
        EditCol = 1;
        ++EditRow;
    }
    PlaceEditor();
    ComputeDeclarations();
}

// --- The computation ------------------------------------------------------------------

void frmIncomeTax::ComputeDeclarations()
{
    linesFromGrid();
    try {
        Worksheet::ComputeDeclarations(
            m_fig, Worksheet::LoadedSalarySum(mdlDalvoni::Db(), m_fig, m_setup.taxYearStart, m_setup.taxYearEnd));
    } catch (const DbError &e) {
        showDbError(e);
    }
    showFields();
    // The tax follows every change of the declarations, not only one of the net 80C amount:
    // a rent line changes the house-rent exemption alone.
    ComputeTax();
}

void frmIncomeTax::ComputeTax()
{
    Worksheet::ComputeTax(m_fig, m_setup);
    showFields();
    showRegime();
}

void frmIncomeTax::TxHLInterest_Change()
{
    m_fig.TxHLInterest = ui.TxHLInterest->text();
    ComputeTax();
}

void frmIncomeTax::TxMediClaim_Change()
{
    m_fig.TxMediClaim = ui.TxMediClaim->text();
    ComputeTax();
}

void frmIncomeTax::showFields()
{
    const struct
    {
        QWidget *widget;
        const QString *text;
    } fields[] = {
        {ui.LbName, &m_fig.LbName},
        {ui.LbDept, &m_fig.LbDept},
        {ui.LbDesig, &m_fig.LbDesig},
        {ui.LbUnit, &m_fig.LbUnit},
        {ui.LbCompany, &m_fig.LbCompany},
        {ui.LbPan, &m_fig.LbPan},
        {ui.LbSerialNo, &m_fig.LbSerialNo},
        {ui.TxGrossPay, &m_fig.TxGrossPay},
        {ui.TxProjection, &m_fig.TxProjection},
        {ui.TxTotalPay, &m_fig.TxTotalPay},
        {ui.TxMonths, &m_fig.TxMonths},
        {ui.TxHRA, &m_fig.TxHRA},
        {ui.TxHraProjection, &m_fig.TxHraProjection},
        {ui.TxProfTax, &m_fig.TxProfTax},
        {ui.TxTransportAllowance, &m_fig.TxTransportAllowance},
        {ui.TxHLInterest, &m_fig.TxHLInterest},
        {ui.TxHLInterestLimit, &m_fig.TxHLInterestLimit},
        {ui.TxMediClaim, &m_fig.TxMediClaim},
        {ui.TxMediClaimLimit, &m_fig.TxMediClaimLimit},
        {ui.TxPF, &m_fig.TxPF},
        {ui.TxTotal80c, &m_fig.TxTotal80c},
        {ui.Tx80CLimit, &m_fig.Tx80CLimit},
        {ui.TxNet80C, &m_fig.TxNet80C},
        {ui.TxTaxableAmt, &m_fig.TxTaxableAmt},
        {ui.TxExcemption, &m_fig.TxExcemption},
        {ui.TxNetTaxable, &m_fig.TxNetTaxable},
        {ui.TxTaxableIncome, &m_fig.TxTaxableIncome},
        {ui.LbRebate, &m_fig.LbRebate},
        {ui.LbNetAmount, &m_fig.LbNetAmount},
        {ui.TxSurcharge, &m_fig.TxSurcharge},
        {ui.TxCess, &m_fig.TxCess},
        {ui.TxNetTax, &m_fig.TxNetTax},
        {ui.TxSalaryDeductions, &m_fig.TxSalaryDeductions},
        {ui.TxBalance, &m_fig.TxBalance},
        {ui.TxPerMonth, &m_fig.TxPerMonth},
    };
    // Showing a figure is not a change made by the user.
    for (const auto &f : fields) {
        const bool blocked = f.widget->blockSignals(true);
        SetShown(f.widget, *f.text);
        f.widget->blockSignals(blocked);
    }
}

// --- The regime ---------------------------------------------------------------------

std::optional<TaxRegime> frmIncomeTax::shownRegime() const
{
    if (!m_setup.newRegime)
        return std::nullopt;
    if (ui.OptNewRegime->isChecked())
        return TaxRegime::New;
    if (ui.OptOldRegime->isChecked())
        return TaxRegime::Old;
    return std::nullopt;
}

void frmIncomeTax::setShownRegime(std::optional<TaxRegime> regime)
{
    // Neither checked until an employee is loaded: the pair lets go of its check for a moment.
    for (QRadioButton *option : {ui.OptOldRegime, ui.OptNewRegime}) {
        option->setAutoExclusive(false);
        option->setChecked(false);
    }
    if (regime)
        (*regime == TaxRegime::New ? ui.OptNewRegime : ui.OptOldRegime)->setChecked(true);
    for (QRadioButton *option : {ui.OptOldRegime, ui.OptNewRegime})
        option->setAutoExclusive(true);
}

void frmIncomeTax::showRegime()
{
    if (!m_setup.newRegime)
        return;
    const NewRegimeTax::Figures n = Worksheet::NewRegimeFigures(m_fig, *m_setup.newRegime);
    const std::pair<QLineEdit *, double> figures[] = {
        {ui.TxNewStdDeduction, n.standardDeduction},
        {ui.TxNewTaxable, n.taxable},
        {ui.TxNewSlabTax, n.slabTax},
        {ui.TxNewRebate, n.rebate},
        {ui.TxNewSurcharge, n.surcharge},
        {ui.TxNewCess, n.cess},
        {ui.TxNewTax, n.payable},
        {ui.TxNewBalance, n.balance},
        {ui.TxNewPerMonth, TaxRecord::PerMonth(n.balance, static_cast<int>(LeadingNumber(m_fig.TxMonths)))},
    };
    for (const auto &[box, value] : figures)
        box->setText(Format00(value));

    // The tax of the employee is the To Pay of the regime that applies: its group says so and
    // that To Pay stands out; the note says what the other regime would come to.
    const std::optional<TaxRegime> applies = shownRegime();
    ui.FrTax->setTitle(kOldRegimeTitle + (applies == TaxRegime::Old ? kAppliesMark : QString()));
    ui.FrRegime->setTitle(kNewRegimeTitle + (applies == TaxRegime::New ? kAppliesMark : QString()));
    MarkAsApplied(ui.LbCapNetTax, ui.TxNetTax, applies == TaxRegime::Old);
    MarkAsApplied(ui.LbCapNewTax, ui.TxNewTax, applies == TaxRegime::New);
    ui.LbRegimeNote->setText(applies ? Worksheet::RegimeNote(*applies, LeadingNumber(m_fig.TxNetTax), n.payable)
                                     : QString());
}

void frmIncomeTax::updateRegimeControls()
{
    const bool editable = ui.CmEdit->text() == kUpdateCaption && shownRegime().has_value();
    ui.OptOldRegime->setEnabled(editable);
    ui.OptNewRegime->setEnabled(editable);
}

void frmIncomeTax::OptOldRegime_Click()
{
    showRegime();
}

void frmIncomeTax::OptNewRegime_Click()
{
    showRegime();
}

void frmIncomeTax::showDbError(const DbError &error)
{
    platform().message(QStringLiteral("The database reported an error:   \n") + error.text(),
                       Platform::Icon::Information);
}

// --- Edit, save and close ------------------------------------------------------------

void frmIncomeTax::CmEdit_Click()
{
    if (ui.CmEdit->text() == kEditCaption) {
        ui.TxMediClaim->setEnabled(true);
        ui.TxHLInterest->setEnabled(true);
        ui.CmEdit->setText(kUpdateCaption);
        updateRegimeControls();
        return;
    }
    linesFromGrid();
    m_fig.TxHLInterest = ui.TxHLInterest->text();
    m_fig.TxMediClaim = ui.TxMediClaim->text();
    // A line with a head but no amount is not saved: the user completes or removes it first.
    if (const int line = Worksheet::LineWithoutAmount(m_fig)) {
        Inform(kDetailsMessage);
        EditRow = static_cast<short>(line);
        EditCol = 2;
        PlaceEditor();
        ui.TxDedMove->selectAll();
        return;
    }
    // The regime is saved only when the clerk changed it: a year's default stays a default.
    const std::optional<TaxRegime> regime = shownRegime();
    std::optional<Worksheet::RegimePick> pick;
    if (regime && regime != m_stored.regime)
        pick = Worksheet::RegimePick{m_setup.finYearFrom, m_setup.finYearTo, *regime,
                                     AuditStamp{mdlDalvoni::UserId, QDateTime::currentDateTime()}};
    Worksheet::SaveResult saved;
    for (;;) {
        try {
            saved = Worksheet::Save(mdlDalvoni::Db(), m_fig, m_setup.taxYearStart, m_setup.taxYearEnd, pick,
                                    m_storedAtLoad ? &*m_storedAtLoad : nullptr, m_setup.newRegime.has_value());
            if (!saved.changedMeanwhile)
                break;
            const QStringList changes =
                Worksheet::StoredChanges(mdlDalvoni::Db(), *m_storedAtLoad, *saved.changedMeanwhile);
            switch (AskChangedMeanwhile(QStringLiteral("the entries of ") + m_fig.LbName, changes)) {
            case ChangedMeanwhile::Reload:
                reloadEmployee();
                return;
            case ChangedMeanwhile::Overwrite:
                // Over what is stored now; a change after this one asks again. The regime shown
                // is stored too where it is no longer the one that applies.
                m_storedAtLoad = saved.changedMeanwhile;
                if (regime && !pick && *regime != RegimeChoice::Effective(m_setup.newRegime, m_storedAtLoad->regime))
                    pick = Worksheet::RegimePick{m_setup.finYearFrom, m_setup.finYearTo, *regime,
                                                 AuditStamp{mdlDalvoni::UserId, QDateTime::currentDateTime()}};
                continue;
            case ChangedMeanwhile::Cancel:
                return;
            }
        } catch (const DbError &e) {
            // Nothing was changed on the server; the screen keeps what the user entered.
            platform().message(QStringLiteral("Income Tax Details of ") + m_fig.LbName +
                                   QStringLiteral(" Could Not Be Updated.   \n") + e.text() +
                                   QStringLiteral("\nThe stored declarations are unchanged.   "),
                               Platform::Icon::Information);
            return;
        }
    }
    m_storedAtLoad = saved.stored;
    // Without a tax record the interest and premium have nowhere to go yet: the screen keeps
    // them, still in edit mode, so that they can be saved once Generate has made the record.
    if (!saved.taxRecordUpdated && (LeadingNumber(m_fig.TxHLInterest) != 0 || LeadingNumber(m_fig.TxMediClaim) != 0)) {
        m_stored.lines = shownEntries().lines;
        m_stored.regime = regime;
        Inform(QStringLiteral("The declarations of ") + m_fig.LbName +
               QStringLiteral(" are saved.   \n"
                              "The housing loan interest and mediclaim are not: they are kept with the "
                              "employee's tax record of the year, which Generate Income Tax makes first.   \n"
                              "Generate the tax of ") +
               m_fig.LbName + QStringLiteral(", then press Update again.   "));
        return;
    }
    Inform(QStringLiteral("Income Tax Details of ") + m_fig.LbName + QStringLiteral(" Updated.   "));
    ui.TxEmpCode->setText(QString());
    ui.CmEdit->setText(kEditCaption);
    ui.TxMediClaim->setEnabled(false);
    ui.TxHLInterest->setEnabled(false);
    updateRegimeControls();
    ui.TxEmpCode->setFocus();
    rememberStored();
}

void frmIncomeTax::reloadEmployee()
{
    // The employee stays picked; everything of his is read again over an empty grid.
    Worksheet::Figures picked = m_fig;
    Worksheet::Clear(m_fig);
    for (auto field : {&Worksheet::Figures::TxEmpCode, &Worksheet::Figures::LbName, &Worksheet::Figures::LbDept,
                       &Worksheet::Figures::LbDesig, &Worksheet::Figures::LbUnit, &Worksheet::Figures::LbCompany,
                       &Worksheet::Figures::LbPan, &Worksheet::Figures::LbSerialNo, &Worksheet::Figures::unitCodeTag,
                       &Worksheet::Figures::companyCodeTag})
        m_fig.*field = picked.*field;
    linesToGrid();
    showFields();
    loadFigures();
}

void frmIncomeTax::CmClose_Click()
{
    CloseScreen(this);
}

frmIncomeTax::Entries frmIncomeTax::shownEntries() const
{
    Entries e;
    for (int line = 1; line < gridRows() && !cell(line, 1).isEmpty(); ++line)
        e.lines.append({QString(), cell(line, 1), cell(line, 2), cell(line, 3)});
    e.interest = LeadingNumber(ui.TxHLInterest->text());
    e.premium = LeadingNumber(ui.TxMediClaim->text());
    e.regime = shownRegime();
    return e;
}

QString frmIncomeTax::unsavedChanges() const
{
    if (ui.CmEdit->text() != kUpdateCaption || m_fig.LbSerialNo.isEmpty())
        return QString();
    const Entries shown = shownEntries();
    const auto sameLine = [](const Worksheet::DeclarationLine &a, const Worksheet::DeclarationLine &b) {
        return a.particulars == b.particulars && a.code == b.code && LeadingNumber(a.amount) == LeadingNumber(b.amount);
    };
    QStringList what;
    if (!std::equal(shown.lines.begin(), shown.lines.end(), m_stored.lines.begin(), m_stored.lines.end(), sameLine))
        what << QStringLiteral("declarations");
    if (shown.interest != m_stored.interest)
        what << QStringLiteral("housing loan interest");
    if (shown.premium != m_stored.premium)
        what << QStringLiteral("mediclaim");
    if (shown.regime != m_stored.regime)
        what << QStringLiteral("regime");
    if (what.isEmpty())
        return QString();
    return QStringLiteral("the ") + JoinWithAnd(what) + QStringLiteral(" of ") + m_fig.LbName;
}

void frmIncomeTax::closeEvent(QCloseEvent *event)
{
    if (!MayCloseScreen(*this)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
