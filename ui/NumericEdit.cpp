#include "NumericEdit.h"

#include "session/Platform.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>

namespace {

Qt::Alignment toQtAlignment(int alignment)
{
    switch (alignment) {
    case 1:
        return Qt::AlignRight | Qt::AlignVCenter;
    case 2:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

// Keys that only move the caret or the selection.
bool IsNavigation(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

// Editing shortcuts of the line edit that would change the text behind the filter's back.
bool IsOtherEdit(QKeyEvent *e)
{
    return e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo) ||
           e->matches(QKeySequence::DeleteEndOfLine) || e->matches(QKeySequence::DeleteStartOfWord) ||
           e->matches(QKeySequence::DeleteEndOfWord) || e->matches(QKeySequence::DeleteCompleteLine);
}

// The code a key-down handler sees for a key: the Delete key is the only one that gives 46
// (the point key gives 190), the digits and letters give their characters.
int KeyDownCode(int key)
{
    switch (key) {
    case Qt::Key_Delete:
        return NumericKeys::kDelete;
    case Qt::Key_Period:
        return 190;
    case Qt::Key_Minus:
        return 189;
    case Qt::Key_Backspace:
        return NumericKeys::kBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return NumericKeys::kEnter;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    default:
        return key < 0x80 && key != NumericKeys::kDelete ? key : 0xff;
    }
}

} // namespace

NumericEdit::NumericEdit(QLineEdit *box, int maxLength, int decimals, int alignment, bool minusAllowed)
    : QObject(box), m_box(box), m_maxLength(maxLength), m_decimals(decimals), m_alignment(alignment),
      m_minusAllowed(minusAllowed)
{
    m_box->setMaxLength(maxLength);
    m_box->setAlignment(toQtAlignment(alignment));
    // Dropped text would bypass the filter.
    m_box->setAcceptDrops(false);
    m_box->installEventFilter(this);
}

NumericBox NumericEdit::readBox() const
{
    NumericBox b;
    b.text = m_box->text();
    if (m_box->hasSelectedText()) {
        b.selStart = m_box->selectionStart();
        b.selLength = m_box->selectionLength();
    } else {
        b.selStart = m_box->cursorPosition();
    }
    b.maxLength = m_box->maxLength();
    return b;
}

void NumericEdit::writeBox(const NumericBox &b)
{
    if (m_box->maxLength() != b.maxLength)
        m_box->setMaxLength(b.maxLength);
    m_box->setAlignment(toQtAlignment(b.alignment));
    if (m_box->text() != b.text)
        m_box->setText(b.text);
    if (b.selLength > 0)
        m_box->setSelection(b.selStart, b.selLength);
    else
        m_box->setCursorPosition(b.selStart);
}

int NumericEdit::filterKey(int key, int mode)
{
    NumericBox b = readBox();
    QString message;
    const int result = NumericKeyFilter(b, key, m_maxLength, m_decimals, m_alignment, mode, m_minusAllowed, &message);
    writeBox(b);
    if (!message.isEmpty())
        platform().message(message, Platform::Icon::Information);
    return result;
}

void NumericEdit::paste(const QString &text)
{
    NumericBox b = readBox();
    if (NumericPaste(b, text, m_maxLength, m_decimals, m_minusAllowed))
        writeBox(b);
}

void NumericEdit::cut()
{
    if (!m_box->hasSelectedText())
        return;
    m_box->copy();
    filterKey(NumericKeys::kDelete, 0);
}

bool NumericEdit::keyPress(QKeyEvent *e)
{
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        QPointer<NumericEdit> self(this);
        emit enterPressed();
        if (!self)
            return true;
        filterKey(KeyDownCode(key), 0);
        filterKey(NumericKeys::kEnter, 1);
        return true;
    }
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape)
        return false;
    // A read-only box keeps its text; the box itself only moves and copies.
    if (m_box->isReadOnly())
        return false;
    if (e->matches(QKeySequence::Paste)) {
        paste(QGuiApplication::clipboard()->text());
        return true;
    }
    if (e->matches(QKeySequence::Cut)) {
        cut();
        return true;
    }
    if (e->matches(QKeySequence::Copy) || e->matches(QKeySequence::SelectAll))
        return false;
    if (IsOtherEdit(e))
        return true;
    if (key == Qt::Key_Delete) {
        filterKey(NumericKeys::kDelete, 0);
        return true;
    }
    if (key == Qt::Key_Backspace) {
        filterKey(KeyDownCode(key), 0);
        filterKey(NumericKeys::kBackspace, 1);
        return true;
    }
    if (IsNavigation(key)) {
        filterKey(KeyDownCode(key), 0);
        return false;
    }
    const QString text = e->text();
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier) || text.length() != 1 ||
        text.at(0) < QLatin1Char(' '))
        return !text.isEmpty(); // other shortcuts go on to the screen; control characters stop here
    // As a key down and then a key press with the character; only a digit the filter passes on
    // reaches the box.
    filterKey(KeyDownCode(key), 0);
    return filterKey(text.at(0).unicode(), 1) == 0;
}

void NumericEdit::contextMenu(const QPoint &globalPos)
{
    QPointer<QMenu> menu = m_box->createStandardContextMenu();
    for (QAction *a : menu->actions()) {
        const QString name = a->objectName();
        if (name == QLatin1String("edit-undo") || name == QLatin1String("edit-redo")) {
            menu->removeAction(a);
        } else if (name == QLatin1String("edit-cut")) {
            a->disconnect();
            connect(a, &QAction::triggered, this, &NumericEdit::cut);
        } else if (name == QLatin1String("edit-paste")) {
            a->disconnect();
            connect(a, &QAction::triggered, this, [this] { paste(QGuiApplication::clipboard()->text()); });
        } else if (name == QLatin1String("edit-delete")) {
            a->disconnect();
            connect(a, &QAction::triggered, this, [this] { filterKey(NumericKeys::kDelete, 0); });
        }
    }
    menu->exec(globalPos);
    delete menu;
}

bool NumericEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_box)
        return false;
    if (event->type() == QEvent::KeyPress)
        return keyPress(static_cast<QKeyEvent *>(event));
    if (event->type() == QEvent::ContextMenu && !m_box->isReadOnly()) {
        contextMenu(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    return false;
}

NumericEdit *AttachNumericKeyFilter(QLineEdit *box, int maxLength, int decimals, int alignment, bool minusAllowed)
{
    return new NumericEdit(box, maxLength, decimals, alignment, minusAllowed);
}
