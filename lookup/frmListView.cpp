#include "frmListView.h"

#include "session/mdlDalvoni.h"
#include "ui/FormUtil.h"

#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLayout>
#include <QApplication>
#include <QScrollBar>
#include <QScreen>
#include <QStyle>
#include <algorithm>

frmListView::frmListView(QWidget *parent) : QDialog(parent)
{
    ui.setupUi(this);
    m_model.setGridRows(100);
    ui.GrHelp->setModel(&m_model);
    ui.GrHelp->verticalHeader()->setVisible(false);
    ui.GrHelp->verticalHeader()->setDefaultSectionSize(20);
    ui.GrHelp->horizontalHeader()->setHighlightSections(false);
    ui.GrHelp->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ui.GrHelp->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    ui.GrHelp->setColumnWidth(0, 0);
    ui.GrHelp->setColumnHidden(0, true);
    ui.LbNoMatch->hide();
    ui.TxtSearch->installEventFilter(this);
    ui.GrHelp->installEventFilter(this);
    connect(ui.TxtSearch, &QLineEdit::textChanged, this, [this] { TxtSearch_Change(); });
    connect(ui.GrHelp->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                if (!m_filling && (current.row() != previous.row() || current.column() != previous.column()))
                    GrHelp_RowColChange();
            });
    connect(ui.GrHelp, &QTableView::doubleClicked, this, [this] { pickFromGrid(); });
}

void frmListView::ShowForm(const QString &HelpQry, int DisplayFields, const QString &HelpText, int FormWidth, int Icol,
                           const QString &IcolText, int IICol, const QString &IIColText, int IIICol,
                           const QString &IIIColText, int IVCol, const QString &IVColText, int VCol,
                           const QString &VColText, int VICol, const QString &VIColText, int VIICol,
                           const QString &VIIColText, int VIIICol, const QString &VIIIColText, int IXCol,
                           const QString &IXColText, int XCol, const QString &XColText)
{
    Recordset rs = mdlDalvoni::Db().query(HelpQry);
    if (rs.eof()) {
        rs.close();
        return;
    }

    frmListView dialog(QApplication::activeWindow());
    dialog.setWindowTitle(HelpText);
    dialog.resize(TwipsToPixels(FormWidth), qMax(dialog.height(), 460));

    const int widths[10] = {Icol, IICol > 0 ? IICol - 450 : IICol, IIICol, IVCol, VCol, VICol, VIICol, VIIICol, IXCol,
                            XCol};
    const QString *texts[10] = {&IcolText,  &IIColText,  &IIIColText,  &IVColText, &VColText,
                                &VIColText, &VIIColText, &VIIIColText, &IXColText, &XColText};
    for (int c = 1; c <= 10; ++c)
        dialog.m_model.setHeading(c, *texts[c - 1]);
    dialog.m_rowsCalled = HelpText == QLatin1String("Employee") ? QStringLiteral("employee") : QString();
    // The search finds the start of the first column too, where the list shows it (the code).
    if (Icol <= 0)
        dialog.ui.TxtSearch->setPlaceholderText(QStringLiteral("Type the start of a name to search"));

    const int shown = qBound(1, DisplayFields, 10);
    const int available = rs.columnCount();
    dialog.m_filling = true;
    int counter = 0;
    int gridRows = dialog.m_model.gridRows();
    while (!rs.eof()) {
        ++counter;
        if (counter >= gridRows - 1)
            gridRows += 10;
        for (int c = 1; c <= shown && c <= available; ++c)
            dialog.m_model.setCell(counter, c, rs.text(c - 1));
        rs.moveNext();
    }
    rs.close();
    dialog.m_model.setGridRows(gridRows);
    dialog.fitColumns(widths, counter);
    // The list opens at its first row, the one Enter or Escape takes until the user moves.
    dialog.ui.GrHelp->setCurrentIndex(dialog.m_model.index(0, 1));
    dialog.ui.GrHelp->scrollToTop();
    dialog.m_filling = false;

    dialog.ui.TxtSearch->setFocus();
    dialog.exec();
}

namespace {

// The width of the widest text of a column, summed from the advances of its characters: the
// list may hold tens of thousands of rows, and laying each text out would hold up its opening.
int WidestText(const ListViewModel &model, int column, int rows, const QFontMetrics &metrics)
{
    QHash<char16_t, int> advances;
    int widest = 0;
    for (int row = 1; row <= rows; ++row) {
        const QString text = model.cell(row, column);
        int width = 0;
        for (QChar c : text) {
            auto it = advances.find(c.unicode());
            if (it == advances.end())
                it = advances.insert(c.unicode(), metrics.horizontalAdvance(c));
            width += *it;
        }
        widest = qMax(widest, width);
    }
    return widest;
}

} // namespace

void frmListView::fitColumns(const int (&widthsTwips)[10], int rows)
{
    QTableView *grid = ui.GrHelp;
    const QFontMetrics metrics(grid->font());
    // Room for the cell's margins and grid line beside the text.
    const int padding = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1) + 4;
    int total = 0;
    for (int c = 1; c <= 10; ++c) {
        const int described = TwipsToPixels(widthsTwips[c - 1]);
        grid->setColumnHidden(c, described <= 0);
        if (described <= 0)
            continue;
        // The described width at least; wider when the heading or a value needs it, so that
        // every code and name shows whole.
        const int width = std::max(
            {described, grid->horizontalHeader()->sectionSizeHint(c), WidestText(m_model, c, rows, metrics) + padding});
        grid->setColumnWidth(c, width);
        total += width;
    }
    // The dialog grows to show its columns, as far as the screen allows.
    const QMargins margins = layout()->contentsMargins();
    const int chrome =
        margins.left() + margins.right() + 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width();
    int wanted = qMax(width(), total + chrome);
    if (QScreen *screen = this->screen())
        wanted = qMin(wanted, screen->availableGeometry().width());
    resize(wanted, height());
}

int frmListView::currentRow() const
{
    const QModelIndex i = ui.GrHelp->currentIndex();
    return i.isValid() ? i.row() + 1 : 1;
}

int frmListView::topRow() const
{
    return ui.GrHelp->verticalScrollBar()->value() + 1;
}

void frmListView::setTopRow(int row)
{
    ui.GrHelp->scrollTo(m_model.index(row - 1, 1), QAbstractItemView::PositionAtTop);
    // scrollTo stops at the last page; a top row inside it is what the grid can show.
    ui.GrHelp->verticalScrollBar()->setValue(qMin(row - 1, ui.GrHelp->verticalScrollBar()->maximum()));
}

void frmListView::setCurrentRow(int row)
{
    ui.GrHelp->setCurrentIndex(m_model.index(row - 1, 0));
    ui.GrHelp->selectRow(row - 1);
}

void frmListView::TxtSearch_Change()
{
    const QString search = ui.TxtSearch->text();
    const int length = search.size();
    if (length == 0) {
        showFindsNothing(false);
        setTopRow(1);
        setCurrentRow(1);
        mdlDalvoni::ListPick1.clear();
        mdlDalvoni::ListPick2.clear();
        return;
    }
    // The names first, as always; a text that starts no name may start a code (a clerk types
    // the code he has in front of him).
    int row = findRow(2, search);
    if (row == 0 && !ui.GrHelp->isColumnHidden(1))
        row = findRow(1, search);
    if (row == 0) {
        // Nothing matches: the row found last must not be taken for the one typed.
        showFindsNothing(true);
        return;
    }
    showFindsNothing(false);
    m_searchRow = row;
    setTopRow(row);
    setCurrentRow(row);
    for (int n = 1; n <= 3; ++n)
        mdlDalvoni::ListPick(n) = m_model.cell(m_searchRow, n);
    for (int n = 4; n <= 10; ++n)
        mdlDalvoni::ListPick(n) = m_model.cell(currentRow(), n);
}

int frmListView::findRow(int column, const QString &text) const
{
    const QString wanted = text.toUpper();
    for (int row = 1; row < m_model.gridRows(); ++row) {
        if (m_model.cell(row, 1).isEmpty())
            return 0;
        if (m_model.cell(row, column).left(text.size()).toUpper() == wanted)
            return row;
    }
    return 0;
}

void frmListView::showFindsNothing(bool nothing)
{
    if (nothing) {
        ui.GrHelp->clearSelection();
        mdlDalvoni::ClearListPicks();
        const QString what =
            m_rowsCalled.isEmpty() ? QStringLiteral("Nothing in the list") : QStringLiteral("No ") + m_rowsCalled;
        ui.LbNoMatch->setText(what + QStringLiteral(" starts with \"") + ui.TxtSearch->text() +
                              QStringLiteral("\": Enter or Escape closes the list without a pick."));
    }
    if (nothing == m_findsNothing)
        return;
    m_findsNothing = nothing;
    ui.LbNoMatch->setVisible(nothing);
    QPalette marked = QApplication::palette(ui.TxtSearch);
    if (nothing) {
        marked.setColor(QPalette::Base, QColor(255, 224, 224));
        marked.setColor(QPalette::Text, QColor(170, 0, 0));
    }
    ui.TxtSearch->setPalette(marked);
}

void frmListView::GrHelp_RowColChange()
{
    // The row the user moved to is the row Enter or Escape in the search box takes, so that
    // every pick is one row.
    const int row = currentRow();
    m_searchRow = row;
    // The row moved to is highlighted again, and it is the pick.
    showFindsNothing(false);
    for (int n = 1; n <= 10; ++n)
        mdlDalvoni::ListPick(n) = m_model.cell(row, n);
}

void frmListView::pickFromSearch()
{
    if (m_findsNothing) {
        mdlDalvoni::ClearListPicks();
        reject();
        return;
    }
    for (int n = 1; n <= 3; ++n)
        mdlDalvoni::ListPick(n) = m_model.cell(m_searchRow, n);
    const int row = currentRow();
    for (int n = 4; n <= 10; ++n)
        mdlDalvoni::ListPick(n) = m_model.cell(row, n);
    accept();
}

void frmListView::pickFromGrid()
{
    const int row = currentRow();
    for (int n = 1; n <= 10; ++n)
        mdlDalvoni::ListPick(n) = m_model.cell(row, n);
    accept();
}

bool frmListView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && watched == ui.TxtSearch) {
        SelectAllText(ui.TxtSearch);
    } else if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (key->key() == Qt::Key_Escape) {
            pickFromSearch();
            return true;
        }
        if (watched == ui.TxtSearch) {
            if (key->key() == Qt::Key_Down) {
                ui.GrHelp->setFocus();
                return true;
            }
            if (enter) {
                pickFromSearch();
                return true;
            }
        } else if (watched == ui.GrHelp && enter) {
            pickFromGrid();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmListView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        pickFromSearch();
        return;
    }
    // Enter must not reach QDialog's default-button handling.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}
