#include "CellGrid.h"

#include "FormUtil.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <map>

namespace {

QColor ToColor(SheetColour c)
{
    return QColor((c >> 16) & 0xff, (c >> 8) & 0xff, c & 0xff);
}

QString ColumnLetters(int col)
{
    QString s;
    for (; col > 0; col = (col - 1) / 26)
        s.prepend(QChar('A' + (col - 1) % 26));
    return s;
}

} // namespace

// The sheet as a table model; fonts and fonts' colours are built once per sheet format.
class SheetModel : public QAbstractTableModel
{
public:
    explicit SheetModel(const Sheet &sheet, QObject *parent) : QAbstractTableModel(parent), m_sheet(sheet) {}

    void reload()
    {
        beginResetModel();
        m_rows = m_sheet.lastRow();
        m_cols = m_sheet.columnCount();
        m_fonts.clear();
        for (const CellFormat &f : m_sheet.formats()) {
            QFont font(f.font.family);
            font.setPointSizeF(f.font.size);
            font.setBold(f.font.bold);
            m_fonts.push_back(font);
        }
        endResetModel();
    }

    // The font of a sheet format, as the cells show it.
    const QFont &font(int formatId) const { return m_fonts[formatId]; }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_rows; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_cols; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const int r = index.row() + 1, c = index.column() + 1;
        switch (role) {
        case Qt::DisplayRole:
            return m_sheet.text(r, c);
        case Qt::FontRole:
            return m_fonts[m_sheet.formatId(r, c)];
        case Qt::ForegroundRole:
            return ToColor(m_sheet.format(r, c).font.colour);
        case Qt::BackgroundRole: {
            const CellFormat &f = m_sheet.format(r, c);
            return f.filled ? QVariant(ToColor(f.fill)) : QVariant();
        }
        case Qt::TextAlignmentRole: {
            const CellFormat &f = m_sheet.format(r, c);
            Qt::Alignment a;
            switch (f.hAlign) {
            case HAlign::General:
                a = m_sheet.isNumber(r, c) ? Qt::AlignRight : Qt::AlignLeft;
                break;
            case HAlign::Left:
                a = Qt::AlignLeft;
                break;
            case HAlign::Centre:
                a = Qt::AlignHCenter;
                break;
            case HAlign::Right:
                a = Qt::AlignRight;
                break;
            }
            a |= f.vAlign == VAlign::Top      ? Qt::AlignTop
                 : f.vAlign == VAlign::Centre ? Qt::AlignVCenter
                                              : Qt::AlignBottom;
            return QVariant::fromValue(a);
        }
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return orientation == Qt::Horizontal ? ColumnLetters(section + 1) : QString::number(section + 1);
    }

private:
    const Sheet &m_sheet;
    int m_rows = 0;
    int m_cols = 0;
    std::vector<QFont> m_fonts;
};

// Draws a cell's wrap setting and its borders, which the plain item delegate knows nothing of.
class SheetDelegate : public QStyledItemDelegate
{
public:
    SheetDelegate(const Sheet &sheet, QObject *parent) : QStyledItemDelegate(parent), m_sheet(sheet) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int row = index.row() + 1, col = index.column() + 1;
        const CellFormat &f = m_sheet.format(row, col);
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        if (f.wrap)
            opt.features |= QStyleOptionViewItem::WrapText;
        else
            opt.features &= ~QStyleOptionViewItem::WrapText;

        // As in a spreadsheet, a left-aligned text runs on over the empty cells to its right.
        const int spill =
            f.wrap || m_sheet.isNumber(row, col) || (f.hAlign != HAlign::General && f.hAlign != HAlign::Left)
                ? 0
                : spillWidth(row, col, opt);
        if (spill > 0) {
            const QString text = opt.text;
            opt.text.clear();
            opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
            painter->save();
            painter->setFont(opt.font);
            painter->setPen(
                opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
            if (!(opt.state & QStyle::State_Selected))
                painter->setPen(index.data(Qt::ForegroundRole).value<QColor>());
            painter->drawText(option.rect.adjusted(3, 0, spill, 0), int(opt.displayAlignment) | Qt::TextSingleLine,
                              text);
            painter->restore();
        } else {
            opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        }
        if (f.borders)
            drawBorders(painter, option.rect, row, col);
    }

private:
    // How far the text of (row, col) runs on to the right, in pixels; 0 when it fits.
    int spillWidth(int row, int col, const QStyleOptionViewItem &opt) const
    {
        const int needed = QFontMetrics(opt.font).horizontalAdvance(opt.text) + 6;
        const auto *view = qobject_cast<const QTableView *>(opt.widget);
        if (!view || needed <= opt.rect.width())
            return 0;
        int extra = 0;
        for (int c = col + 1; c <= m_sheet.columnCount() && opt.rect.width() + extra < needed; ++c) {
            if (m_sheet.value(row, c).isValid())
                break;
            extra += view->columnWidth(c - 1);
        }
        return extra;
    }

    // Thin black lines; a line two bordered cells share is drawn once.
    void drawBorders(QPainter *painter, const QRect &r, int row, int col) const
    {
        painter->save();
        painter->setPen(QPen(Qt::black, 1));
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        if (col == 1 || !m_sheet.format(row, col - 1).borders)
            painter->drawLine(r.topLeft(), r.bottomLeft());
        if (row == 1 || !m_sheet.format(row - 1, col).borders)
            painter->drawLine(r.topLeft(), r.topRight());
        painter->restore();
    }

    const Sheet &m_sheet;
};

CellGrid::CellGrid(QWidget *parent) : QTableView(parent), m_model(new SheetModel(m_sheet, this))
{
    setModel(m_model);
    setItemDelegate(new SheetDelegate(m_sheet, this));
    // Tab leaves the sheet for the next control; the arrow keys move inside it.
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setGridStyle(Qt::SolidLine);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(TwipsToPixels(Sheet::kDefaultRowHeight) + 2);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &i) { emit rowPicked(i.row() + 1, i.column() + 1); });
}

void CellGrid::refresh()
{
    const int oldRow = activeRow(), oldCol = activeCol();
    m_model->reload();
    for (int c = 1; c <= m_sheet.columnCount(); ++c) {
        const int w = m_sheet.columnWidth(c);
        setColumnHidden(c - 1, w == 0);
        if (w > 0)
            setColumnWidth(c - 1, shownWidth(c));
    }
    // Only rows of their own height are touched: setting 10,000 equal rows one by one is slow.
    const int rows = m_model->rowCount();
    for (int r = 1; r <= rows; ++r)
        if (m_sheet.hasRowHeight(r))
            setRowHeight(r - 1, TwipsToPixels(m_sheet.rowHeight(r)));
    syncPanes();
    updateGeometry();
    if (oldRow > 0 && oldRow <= rows)
        setActiveCell(oldRow, oldCol);
}

QSize CellGrid::sizeHint() const
{
    // Capped: a statement of thousands of rows asks for a whole screen, not for a mile.
    constexpr int kMost = 4096;
    const int across = 2 * frameWidth() + (verticalHeader()->isHidden() ? 0 : verticalHeader()->sizeHint().width()) +
                       horizontalHeader()->length() + verticalScrollBar()->sizeHint().width();
    const int rows = qMax(verticalHeader()->length(), m_pageRows * verticalHeader()->defaultSectionSize());
    const int down = 2 * frameWidth() + (horizontalHeader()->isHidden() ? 0 : horizontalHeader()->sizeHint().height()) +
                     rows + horizontalScrollBar()->sizeHint().height();
    return QSize(qMin(across, kMost), qMin(down, kMost));
}

void CellGrid::setColumnUnit(double unitsPerPixel, int fitFromRow)
{
    m_unitsPerPixel = qMax(0.0, unitsPerPixel);
    m_fitFromRow = qMax(0, fitFromRow);
}

int CellGrid::shownWidth(int col) const
{
    const int w = m_sheet.columnWidth(col);
    const int pixels = m_unitsPerPixel > 0 ? qRound(w / m_unitsPerPixel) : TwipsToPixels(w);
    return m_fitFromRow > 0 ? qMax(pixels, neededWidth(col)) : pixels;
}

int CellGrid::neededWidth(int col) const
{
    // Texts are measured one by one. Of the numbers only the largest and the smallest of each
    // format: they show the most digits, and digits are all of one width in a sheet's fonts.
    struct Range
    {
        double low = 0, high = 0;
        bool any = false;
    };
    std::map<int, Range> numbers;
    std::map<int, QFontMetrics> metrics;
    const auto measure = [&](int formatId, const QString &text) {
        auto m = metrics.find(formatId);
        if (m == metrics.end())
            m = metrics.emplace(formatId, QFontMetrics(m_model->font(formatId))).first;
        return m->second.horizontalAdvance(text);
    };
    int widest = 0;
    const int last = m_sheet.lastRow();
    for (int r = m_fitFromRow; r <= last; ++r) {
        const QVariant v = m_sheet.value(r, col);
        if (!v.isValid())
            continue;
        const int id = m_sheet.formatId(r, col);
        if (m_sheet.isNumber(r, col)) {
            Range &range = numbers[id];
            const double x = v.toDouble();
            range.low = range.any ? qMin(range.low, x) : x;
            range.high = range.any ? qMax(range.high, x) : x;
            range.any = true;
        } else {
            widest = qMax(widest, measure(id, v.toString()));
        }
    }
    for (const auto &[id, range] : numbers) {
        const QString &format = m_sheet.formats()[id].numberFormat;
        for (double x : {range.low, range.high})
            widest = qMax(widest, measure(id, Sheet::formatNumber(x, format)));
    }
    if (widest == 0)
        return 0;
    // The cell's own margins, and a little air between neighbouring figures.
    constexpr int kAir = 6;
    return widest + 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + kAir;
}

void CellGrid::setPageRows(int rows)
{
    m_pageRows = qMax(0, rows);
    updateGeometry();
}

void CellGrid::freezePanes(int rows, int cols)
{
    m_frozenRows = qMax(0, rows);
    m_frozenCols = qMax(0, cols);
    delete m_topPane;
    delete m_leftPane;
    delete m_cornerPane;
    m_topPane = m_leftPane = m_cornerPane = nullptr;
    if (m_frozenRows == 0 && m_frozenCols == 0)
        return;
    // Whole pixels, so that the scrolled part slides under the frozen part smoothly.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    if (m_frozenRows > 0) {
        m_topPane = makePane(false, true);
        connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_topPane->horizontalScrollBar(),
                &QScrollBar::setValue);
    }
    if (m_frozenCols > 0) {
        m_leftPane = makePane(true, false);
        connect(verticalScrollBar(), &QScrollBar::valueChanged, m_leftPane->verticalScrollBar(), &QScrollBar::setValue);
    }
    if (m_frozenRows > 0 && m_frozenCols > 0)
        m_cornerPane = makePane(false, false);
    for (QTableView *pane : {m_topPane, m_leftPane, m_cornerPane})
        if (pane)
            pane->raise();
    syncPanes();
    placePanes();
}

QTableView *CellGrid::makePane(bool columnHeadings, bool rowHeadings)
{
    auto *pane = new QTableView(this);
    pane->setModel(m_model);
    pane->setItemDelegate(itemDelegate());
    pane->setSelectionModel(selectionModel());
    pane->setSelectionMode(selectionMode());
    pane->setSelectionBehavior(selectionBehavior());
    pane->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pane->setFocusPolicy(Qt::NoFocus);
    pane->setAutoScroll(false);
    pane->setWordWrap(false);
    pane->setTextElideMode(Qt::ElideNone);
    pane->setGridStyle(gridStyle());
    pane->setShowGrid(showGrid());
    pane->setFrameShape(QFrame::NoFrame);
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pane->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    pane->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    for (QHeaderView *h : {pane->horizontalHeader(), pane->verticalHeader()}) {
        h->setSectionResizeMode(QHeaderView::Fixed);
        h->setHighlightSections(false);
    }
    pane->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    pane->horizontalHeader()->setVisible(columnHeadings && !horizontalHeader()->isHidden());
    pane->verticalHeader()->setVisible(rowHeadings && !verticalHeader()->isHidden());
    // The wheel scrolls the sheet, never a pane on its own.
    pane->viewport()->installEventFilter(this);
    connect(pane, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &i) { emit rowPicked(i.row() + 1, i.column() + 1); });
    pane->show();
    return pane;
}

// The panes take this sheet's widths, heights and heading sizes.
void CellGrid::syncPanes()
{
    for (QTableView *pane : {m_topPane, m_leftPane, m_cornerPane}) {
        if (!pane)
            continue;
        for (int c = 0; c < m_model->columnCount(); ++c) {
            pane->setColumnHidden(c, isColumnHidden(c));
            pane->setColumnWidth(c, columnWidth(c));
        }
        for (int r = 1; r <= m_model->rowCount(); ++r)
            if (m_sheet.hasRowHeight(r))
                pane->setRowHeight(r - 1, rowHeight(r - 1));
        pane->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
        pane->verticalHeader()->setFixedWidth(verticalHeader()->width());
    }
}

int CellGrid::frozenWidth() const
{
    int width = 0;
    for (int c = 0; c < m_frozenCols && c < m_model->columnCount(); ++c)
        if (!isColumnHidden(c))
            width += columnWidth(c);
    return width;
}

int CellGrid::frozenHeight() const
{
    int height = 0;
    for (int r = 0; r < m_frozenRows && r < m_model->rowCount(); ++r)
        height += rowHeight(r);
    return height;
}

void CellGrid::placePanes()
{
    if (!m_topPane && !m_leftPane)
        return;
    syncPanes();
    const int frame = frameWidth();
    const int heads = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->height();
    const int numbers = verticalHeader()->isHidden() ? 0 : verticalHeader()->width();
    const int view = viewport()->width(), viewHeight = viewport()->height();
    const int wide = qMin(frozenWidth(), view), high = qMin(frozenHeight(), viewHeight);
    if (m_topPane) {
        m_topPane->setGeometry(frame, frame + heads, numbers + view, high);
        m_topPane->verticalScrollBar()->setValue(0);
        m_topPane->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    }
    if (m_leftPane) {
        m_leftPane->setGeometry(frame + numbers, frame, wide, heads + viewHeight);
        m_leftPane->horizontalScrollBar()->setValue(0);
        m_leftPane->verticalScrollBar()->setValue(verticalScrollBar()->value());
    }
    if (m_cornerPane)
        m_cornerPane->setGeometry(frame + numbers, frame + heads, wide, high);
}

void CellGrid::updateGeometries()
{
    QTableView::updateGeometries();
    placePanes();
}

void CellGrid::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    const int across = horizontalScrollBar()->value(), down = verticalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (!index.isValid() || (!m_topPane && !m_leftPane))
        return;
    // A frozen cell is in view already; any other one must not end up under the frozen part.
    const QRect cell = visualRect(index);
    if (index.column() < m_frozenCols)
        horizontalScrollBar()->setValue(across);
    else if (cell.left() < frozenWidth())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (frozenWidth() - cell.left()));
    if (index.row() < m_frozenRows)
        verticalScrollBar()->setValue(down);
    else if (cell.top() < frozenHeight())
        verticalScrollBar()->setValue(verticalScrollBar()->value() - (frozenHeight() - cell.top()));
}

bool CellGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && watched != viewport()) {
        QCoreApplication::sendEvent(viewport(), event);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

int CellGrid::activeRow() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

int CellGrid::activeCol() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() + 1 : 0;
}

void CellGrid::setActiveCell(int row, int col)
{
    setCurrentIndex(m_model->index(row - 1, col - 1));
}

void CellGrid::setHeadingsVisible(bool visible)
{
    horizontalHeader()->setVisible(visible);
    verticalHeader()->setVisible(visible);
    if (m_topPane || m_leftPane)
        freezePanes(m_frozenRows, m_frozenCols);
}

void CellGrid::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) &&
        currentIndex().isValid()) {
        emit rowPicked(activeRow(), activeCol());
        return;
    }
    QTableView::keyPressEvent(event);
}
