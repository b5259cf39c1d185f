#include "frmNewRegime.h"

#include "session/Common.h"
#include "session/DbConnection.h"
#include "session/Platform.h"
#include "session/SessionText.h"
#include "session/mdlDalvoni.h"
#include "ui/FormUtil.h"
#include "ui/NumericEdit.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>

#include <functional>

namespace {

enum SlabColumn { SlabFromCol, SlabToCol, SlabRateCol };
enum BandColumn { BandIncomeCol, BandRateCol };

// Amount cells: typed through the numeric key filter, shown as "0.00" (an empty cell stays
// empty); Enter stores the cell and hands over to the screen, which moves on.
class AmountDelegate : public QStyledItemDelegate
{
public:
    AmountDelegate(QObject *parent, std::function<void()> onEnter)
        : QStyledItemDelegate(parent), m_onEnter(std::move(onEnter))
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *box = new QLineEdit(parent);
        box->setFrame(false);
        AttachNumericKeyFilter(box, 12, 2, 1, false);
        return box;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QLineEdit *>(editor)->setText(index.data().toString());
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const QString text = static_cast<QLineEdit *>(editor)->text().trimmed();
        model->setData(index, text.isEmpty() ? QString() : Format00(LeadingNumber(text)));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                auto *editor = static_cast<QWidget *>(watched);
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                m_onEnter();
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onEnter;
};

void SetUpGrid(QTableWidget *grid, const QStringList &headings, const QList<int> &widthsTwips)
{
    grid->setColumnCount(int(headings.size()));
    grid->setHorizontalHeaderLabels(headings);
    for (int c = 0; c < widthsTwips.size(); ++c)
        grid->setColumnWidth(c, TwipsToPixels(widthsTwips[c]));
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->verticalHeader()->setDefaultSectionSize(24);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                          QAbstractItemView::EditKeyPressed);
    grid->setTabKeyNavigation(false);
    auto *prototype = new QTableWidgetItem;
    prototype->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->setItemPrototype(prototype);
}

QString Cell(const QTableWidget *grid, int row, int col)
{
    const QTableWidgetItem *item = grid->item(row, col);
    return item ? item->text().trimmed() : QString();
}

void SetCell(QTableWidget *grid, int row, int col, const QString &text)
{
    QTableWidgetItem *item = grid->itemPrototype()->clone();
    item->setText(text);
    grid->setItem(row, col, item);
}

bool RowEmpty(const QTableWidget *grid, int row)
{
    for (int c = 0; c < grid->columnCount(); ++c)
        if (!Cell(grid, row, c).isEmpty())
            return false;
    return true;
}

QString Amount(double value)
{
    return Format00(value);
}

} // namespace

frmNewRegime::frmNewRegime(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    SetUpGrid(ui.GrSlabs, {QStringLiteral("From"), QStringLiteral("To"), QStringLiteral("Rate %")}, {1800, 1800, 900});
    for (QTableWidget *grid : {ui.GrSurcharge, ui.GrOldSurcharge})
        SetUpGrid(grid, {QStringLiteral("Income Above"), QStringLiteral("Rate %")}, {1800, 900});
    for (QTableWidget *grid : {ui.GrSlabs, ui.GrSurcharge, ui.GrOldSurcharge}) {
        grid->setItemDelegate(new AmountDelegate(grid, [this, grid] { GridEnter(grid); }));
        grid->installEventFilter(this);
    }
    for (QLineEdit *box : {ui.TxStdDeduction, ui.TxCess, ui.TxRebateLimit, ui.TxRebateMax}) {
        AttachNumericKeyFilter(box, 12, 2, 1, false);
        // Installed after the key filter, so Enter moves the focus before the filter sees it.
        box->installEventFilter(this);
    }
    for (QRadioButton *option : {ui.OptOldRegime, ui.OptNewRegime, ui.OptReliefYes, ui.OptReliefNo})
        option->installEventFilter(this);
    connect(ui.CmSave, &QPushButton::clicked, this, [this] { CmSave_Click(); });
    connect(ui.CmClose, &QPushButton::clicked, this, [this] { CmClose_Click(); });
    connect(ui.CmCopyPrevious, &QPushButton::clicked, this, [this] { CmCopyPrevious_Click(); });
    CloseOnEscape(this);
    Form_Load();
}

void frmNewRegime::Form_Load()
{
    CentreInMain(this);
    ui.LbFinYear->setText(SessionText::FinYearCaption());
    NewRegimeSetup::Regimes stored;
    try {
        stored = NewRegimeSetup::LoadRegimes(mdlDalvoni::Db(), mdlDalvoni::FinYearFrom, mdlDalvoni::FinYearTo);
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
    }
    ShowStored(stored);
}

void frmNewRegime::ShowStored(const NewRegimeSetup::Regimes &stored)
{
    m_loaded = stored;
    const std::optional<NewRegimeSetup::Year> &year = stored.newRegime;
    ShowYear(year.value_or(NewRegimeSetup::Year{}));
    ShowBands(ui.GrOldSurcharge, stored.oldSurcharge);
    ui.LbStatus->setText(year ? QString()
                              : QStringLiteral("No new-regime figures are stored for this year: every employee is "
                                               "taxed under the old regime until they are saved."));
    ui.LbStatus->setVisible(!year);
}

void frmNewRegime::ShowYear(const NewRegimeSetup::Year &year)
{
    (year.defaultRegime == TaxRegime::New ? ui.OptNewRegime : ui.OptOldRegime)->setChecked(true);
    ui.TxStdDeduction->setText(Amount(year.standardDeduction));
    ui.TxCess->setText(Amount(year.cess));
    ui.TxRebateLimit->setText(Amount(year.rebateLimit));
    ui.TxRebateMax->setText(Amount(year.rebateMax));
    (year.rebateRelief ? ui.OptReliefYes : ui.OptReliefNo)->setChecked(true);

    // One empty row after the figures, to type the next one into.
    ui.GrSlabs->clearContents();
    ui.GrSlabs->setRowCount(int(year.slabs.size()) + 1);
    for (int r = 0; r < year.slabs.size(); ++r) {
        const NewRegimeSetup::Slab &s = year.slabs[r];
        SetCell(ui.GrSlabs, r, SlabFromCol, Amount(s.from));
        SetCell(ui.GrSlabs, r, SlabToCol, s.to ? Amount(*s.to) : QString());
        SetCell(ui.GrSlabs, r, SlabRateCol, Amount(s.per));
    }
    ShowBands(ui.GrSurcharge, year.surcharge);
}

void frmNewRegime::ShowBands(QTableWidget *grid, const QList<NewRegimeSetup::SurchargeBand> &bands)
{
    grid->clearContents();
    grid->setRowCount(int(bands.size()) + 1);
    for (int r = 0; r < bands.size(); ++r) {
        SetCell(grid, r, BandIncomeCol, Amount(bands[r].threshold));
        SetCell(grid, r, BandRateCol, Amount(bands[r].per));
    }
}

QList<NewRegimeSetup::SurchargeBand> frmNewRegime::TypedBands(const QTableWidget *grid, QList<int> *rows) const
{
    QList<NewRegimeSetup::SurchargeBand> bands;
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (RowEmpty(grid, r))
            continue;
        bands.append({LeadingNumber(Cell(grid, r, BandIncomeCol)), LeadingNumber(Cell(grid, r, BandRateCol))});
        if (rows)
            rows->append(r);
    }
    return bands;
}

QList<NewRegimeSetup::SurchargeBand> frmNewRegime::TypedOldSurcharge(QList<int> *rows) const
{
    return TypedBands(ui.GrOldSurcharge, rows);
}

NewRegimeSetup::Year frmNewRegime::TypedYear(QList<int> *slabRows, QList<int> *bandRows) const
{
    NewRegimeSetup::Year year;
    year.defaultRegime = ui.OptNewRegime->isChecked() ? TaxRegime::New : TaxRegime::Old;
    year.standardDeduction = LeadingNumber(ui.TxStdDeduction->text());
    year.cess = LeadingNumber(ui.TxCess->text());
    year.rebateLimit = LeadingNumber(ui.TxRebateLimit->text());
    year.rebateMax = LeadingNumber(ui.TxRebateMax->text());
    year.rebateRelief = ui.OptReliefYes->isChecked();
    for (int r = 0; r < ui.GrSlabs->rowCount(); ++r) {
        if (RowEmpty(ui.GrSlabs, r))
            continue;
        NewRegimeSetup::Slab s;
        s.from = LeadingNumber(Cell(ui.GrSlabs, r, SlabFromCol));
        const QString to = Cell(ui.GrSlabs, r, SlabToCol);
        if (!to.isEmpty())
            s.to = LeadingNumber(to);
        s.per = LeadingNumber(Cell(ui.GrSlabs, r, SlabRateCol));
        year.slabs.append(s);
        if (slabRows)
            slabRows->append(r);
    }
    year.surcharge = TypedBands(ui.GrSurcharge, bandRows);
    return year;
}

void frmNewRegime::CmSave_Click()
{
    QList<int> slabRows, bandRows, oldRows;
    const NewRegimeSetup::Year year = TypedYear(&slabRows, &bandRows);
    const QList<NewRegimeSetup::SurchargeBand> oldBands = TypedOldSurcharge(&oldRows);
    // A year that has no new-regime figures and gets none keeps none: only the old regime's
    // bands are stored.
    const bool newRegime = m_loaded.newRegime || year != NewRegimeSetup::Year{};
    NewRegimeSetup::Problem problem = newRegime ? NewRegimeSetup::Validate(year) : NewRegimeSetup::Problem{};
    if (problem.field == NewRegimeSetup::Problem::Field::None)
        problem = NewRegimeSetup::ValidateOldSurcharge(oldBands);
    if (problem.field != NewRegimeSetup::Problem::Field::None) {
        ShowProblem(problem, slabRows, bandRows, oldRows);
        return;
    }
    const NewRegimeSetup::Regimes typed{newRegime ? std::optional(year) : std::nullopt, oldBands};
    for (;;) {
        NewRegimeSetup::RegimesSaveResult saved;
        try {
            saved = NewRegimeSetup::SaveRegimes(mdlDalvoni::Db(), typed, mdlDalvoni::FinYearFrom, mdlDalvoni::FinYearTo,
                                                {mdlDalvoni::UserId, QDateTime::currentDateTime()}, &m_loaded);
        } catch (const DbError &e) {
            // Nothing was stored; the typed figures stay for another try.
            platform().message(e.text(), Platform::Icon::Critical);
            return;
        }
        if (!saved.changedMeanwhile) {
            m_loaded = saved.stored;
            break;
        }
        switch (AskChangedMeanwhile(QStringLiteral("the tax regimes' figures of this year"),
                                    NewRegimeSetup::Changes(m_loaded, saved.stored))) {
        case ChangedMeanwhile::Reload:
            ShowStored(saved.stored);
            return;
        case ChangedMeanwhile::Overwrite:
            // Over what is stored now; a change after this one asks again.
            m_loaded = saved.stored;
            continue;
        case ChangedMeanwhile::Cancel:
            return;
        }
    }
    platform().message(newRegime ? QStringLiteral("New Tax Regime Saved.   ")
                                 : QStringLiteral("Old Regime Surcharge Saved.   "),
                       Platform::Icon::Information);
    CloseScreen(this);
}

void frmNewRegime::CmClose_Click()
{
    CloseScreen(this);
}

void frmNewRegime::CmCopyPrevious_Click()
{
    std::optional<NewRegimeSetup::Year> previous;
    QList<NewRegimeSetup::SurchargeBand> previousOld;
    try {
        const QDate from = mdlDalvoni::FinYearFrom.addYears(-1), to = mdlDalvoni::FinYearTo.addYears(-1);
        previous = NewRegimeSetup::Load(mdlDalvoni::Db(), from, to);
        previousOld = NewRegimeSetup::LoadOldSurcharge(mdlDalvoni::Db(), from, to);
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
        return;
    }
    if (!previous && previousOld.isEmpty()) {
        platform().message(QStringLiteral("The previous year has no new-regime figures.   "),
                           Platform::Icon::Information);
        return;
    }
    if ((!TypedYear().slabs.isEmpty() || !TypedOldSurcharge().isEmpty()) &&
        !platform().askOkCancel(QStringLiteral("Replace the figures on the screen with those of the previous year?   "),
                                Platform::Icon::Question))
        return;
    if (previous)
        ShowYear(*previous);
    ShowBands(ui.GrOldSurcharge, previousOld);
    ui.LbStatus->setText(QStringLiteral("The previous year's figures: Save stores them for this year."));
    ui.LbStatus->setVisible(true);
}

void frmNewRegime::ShowProblem(const NewRegimeSetup::Problem &problem, const QList<int> &slabRows,
                               const QList<int> &bandRows, const QList<int> &oldRows)
{
    using F = NewRegimeSetup::Problem::Field;
    platform().message(problem.message, Platform::Icon::Information);
    auto gridRow = [](const QList<int> &rows, int index) {
        return index >= 0 && index < rows.size() ? rows[index] : 0;
    };
    switch (problem.field) {
    case F::RebateLimit:
        ui.TxRebateLimit->setFocus();
        break;
    case F::Cess:
        ui.TxCess->setFocus();
        break;
    case F::SlabFrom:
    case F::SlabTo:
    case F::SlabRate: {
        const int col = problem.field == F::SlabFrom ? SlabFromCol
                        : problem.field == F::SlabTo ? SlabToCol
                                                     : SlabRateCol;
        ui.GrSlabs->setFocus();
        ui.GrSlabs->setCurrentCell(gridRow(slabRows, problem.row), col);
        break;
    }
    case F::BandThreshold:
    case F::BandRate:
        ui.GrSurcharge->setFocus();
        ui.GrSurcharge->setCurrentCell(gridRow(bandRows, problem.row),
                                       problem.field == F::BandThreshold ? BandIncomeCol : BandRateCol);
        break;
    case F::OldBandThreshold:
    case F::OldBandRate:
        ui.GrOldSurcharge->setFocus();
        ui.GrOldSurcharge->setCurrentCell(gridRow(oldRows, problem.row),
                                          problem.field == F::OldBandThreshold ? BandIncomeCol : BandRateCol);
        break;
    case F::None:
        break;
    }
}

void frmNewRegime::GridEnter(QTableWidget *grid)
{
    const int row = grid->currentRow();
    const int col = grid->currentColumn();
    if (row < 0 || col < 0) {
        grid->setCurrentCell(0, 0);
        return;
    }
    const bool lastRow = row == grid->rowCount() - 1;
    if (lastRow && RowEmpty(grid, row)) {
        if (QWidget *next = EnterTarget(grid))
            next->setFocus();
        return;
    }
    if (col + 1 < grid->columnCount()) {
        grid->setCurrentCell(row, col + 1);
        return;
    }
    if (lastRow)
        grid->insertRow(grid->rowCount());
    grid->setCurrentCell(row + 1, 0);
}

void frmNewRegime::InsertRow(QTableWidget *grid)
{
    const int row = qMax(0, grid->currentRow());
    grid->insertRow(row);
    grid->setCurrentCell(row, 0);
}

void frmNewRegime::RemoveRow(QTableWidget *grid)
{
    const int row = grid->currentRow();
    if (row < 0)
        return;
    grid->removeRow(row);
    // There is always a row to type into.
    if (grid->rowCount() == 0)
        grid->setRowCount(1);
    grid->setCurrentCell(qMin(row, grid->rowCount() - 1), 0);
}

QString frmNewRegime::unsavedChanges() const
{
    bool typing = false;
    for (const QTableWidget *grid : {ui.GrSlabs, ui.GrSurcharge, ui.GrOldSurcharge}) {
        // A cell's box holds what is typed until Enter or leaving the cell stores it.
        if (const auto *box = grid->viewport()->findChild<QLineEdit *>(); box && box->isVisible()) {
            const QString typed = box->text().trimmed();
            const QString cell = Cell(grid, grid->currentRow(), grid->currentColumn());
            typing |= (typed.isEmpty() ? QString() : Format00(LeadingNumber(typed))) != cell;
        }
    }
    if (!typing && TypedYear() == m_loaded.newRegime.value_or(NewRegimeSetup::Year{}) &&
        TypedOldSurcharge() == m_loaded.oldSurcharge)
        return QString();
    return QStringLiteral("the tax regimes' figures of the year ") +
           mdlDalvoni::FinYearFrom.toString(QStringLiteral("yyyy")) + QLatin1Char('-') +
           mdlDalvoni::FinYearTo.toString(QStringLiteral("yy"));
}

void frmNewRegime::closeEvent(QCloseEvent *event)
{
    if (!MayCloseScreen(*this)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

QWidget *frmNewRegime::EnterTarget(QObject *field) const
{
    if (field == ui.OptOldRegime || field == ui.OptNewRegime)
        return ui.TxStdDeduction;
    if (field == ui.TxStdDeduction)
        return ui.TxCess;
    if (field == ui.TxCess)
        return ui.TxRebateLimit;
    if (field == ui.TxRebateLimit)
        return ui.TxRebateMax;
    if (field == ui.TxRebateMax)
        return ui.OptReliefYes->isChecked() ? ui.OptReliefYes : ui.OptReliefNo;
    if (field == ui.OptReliefYes || field == ui.OptReliefNo)
        return ui.GrSlabs;
    if (field == ui.GrSlabs)
        return ui.GrSurcharge;
    if (field == ui.GrSurcharge)
        return ui.GrOldSurcharge;
    if (field == ui.GrOldSurcharge)
        return ui.CmSave;
    return nullptr;
}

bool frmNewRegime::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto *box = qobject_cast<QLineEdit *>(watched))
            SelectAllText(box);
        else if (auto *grid = qobject_cast<QTableWidget *>(watched); grid && grid->currentRow() < 0)
            grid->setCurrentCell(0, 0);
    } else if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (auto *grid = qobject_cast<QTableWidget *>(watched)) {
            // Keys reach the grid itself only while no cell is being edited.
            if (enter) {
                GridEnter(grid);
                return true;
            }
            if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier) {
                InsertRow(grid);
                return true;
            }
            if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ShiftModifier) {
                RemoveRow(grid);
                return true;
            }
        } else if (enter) {
            if (QWidget *next = EnterTarget(watched))
                next->setFocus();
            if (qobject_cast<QRadioButton *>(watched))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
