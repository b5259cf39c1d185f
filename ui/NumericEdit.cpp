#include "NumericEdit.h"

#include "session/Platform.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QValidator>

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

// The last guard of an amount box: a change that leaves the box out of the filter's form is
// undone by the box, unless it is one plain number, which is brought to the form. Text set by
// a screen that is not a number stays as set (the box cannot undo it), but no later change
// can add to it.
class AmountValidator : public QValidator
{
public:
    AmountValidator(QObject *parent, int maxLength, int decimals, bool minusAllowed)
        : QValidator(parent), m_maxLength(maxLength), m_decimals(decimals), m_minusAllowed(minusAllowed)
    {
    }

    State validate(QString &text, int &pos) const override
    {
        if (IsNumericForm(text, m_decimals, m_minusAllowed))
            return Acceptable;
        NumericBox box;
        if (!NumericPaste(box, text, m_maxLength, m_decimals, m_minusAllowed))
            return Invalid;
        text = box.text;
        pos = int(text.length());
        return Acceptable;
    }

private:
    int m_maxLength;
    int m_decimals;
    bool m_minusAllowed;
};

// A menu entry as the box's own menu words it: the text and the shortcut's key.
QString MenuText(const QString &text, QKeySequence::StandardKey key)
{
    return text + QLatin1Char('\t') + QKeySequence(key).toString(QKeySequence::NativeText);
}

} // namespace

NumericEdit::NumericEdit(QLineEdit *box, int maxLength, int decimals, int alignment, bool minusAllowed)
    : QObject(box), m_box(box), m_validator(new AmountValidator(this, maxLength, decimals, minusAllowed)),
      m_maxLength(maxLength), m_decimals(decimals), m_alignment(alignment), m_minusAllowed(minusAllowed)
{
    m_box->setMaxLength(maxLength);
    m_box->setAlignment(toQtAlignment(alignment));
    setActive(true);
    m_box->installEventFilter(this);
}

void NumericEdit::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    m_box->setValidator(active ? m_validator : nullptr);
    // Dropped text would arrive unfiltered.
    m_box->setAcceptDrops(!active);
    m_box->setInputMethodHints(active ? Qt::ImhFormattedNumbersOnly : Qt::ImhNone);
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
    b.alignment = m_alignment;
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

void NumericEdit::typeText(const QString &text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char(' '))
            continue;
        filterKey(KeyDownCode(c.toUpper().unicode()), 0);
        const int passed = filterKey(c.unicode(), 1);
        // A digit the filter passes on goes in where the box would put a typed one.
        if (passed != 0)
            m_box->insert(QString(QChar(passed)));
    }
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
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier) || text.isEmpty() ||
        text.at(0) < QLatin1Char(' '))
        return !text.isEmpty(); // other shortcuts go on to the screen; control characters stop here
    if (text.length() > 1) {
        typeText(text);
        return true;
    }
    // As a key down and then a key press with the character; only a digit the filter passes on
    // reaches the box.
    filterKey(KeyDownCode(key), 0);
    return filterKey(text.at(0).unicode(), 1) == 0;
}

void NumericEdit::contextMenu(const QPoint &globalPos)
{
    // The box's own menu would undo, redo and paste behind the filter's back: this one offers
    // the same editing, each through the filter, and no undo.
    QPointer<QMenu> menu = new QMenu(m_box);
    const bool selected = m_box->hasSelectedText();
    QClipboard *clipboard = QGuiApplication::clipboard();
    menu->addAction(MenuText(QLineEdit::tr("Cu&t"), QKeySequence::Cut), this, &NumericEdit::cut)->setEnabled(selected);
    menu->addAction(MenuText(QLineEdit::tr("&Copy"), QKeySequence::Copy), m_box, &QLineEdit::copy)
        ->setEnabled(selected);
    menu->addAction(MenuText(QLineEdit::tr("&Paste"), QKeySequence::Paste), this,
                    [this, clipboard] { paste(clipboard->text()); })
        ->setEnabled(!clipboard->text().isEmpty());
    menu->addAction(QLineEdit::tr("Delete"), this, [this] { filterKey(NumericKeys::kDelete, 0); })
        ->setEnabled(selected);
    menu->addSeparator();
    menu->addAction(MenuText(QLineEdit::tr("Select All"), QKeySequence::SelectAll), m_box, &QLineEdit::selectAll)
        ->setEnabled(!m_box->text().isEmpty() && m_box->selectedText() != m_box->text());
    menu->exec(globalPos);
    delete menu;
}

bool NumericEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_box || !m_active)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return keyPress(static_cast<QKeyEvent *>(event));
    case QEvent::ContextMenu:
        if (m_box->isReadOnly())
            return false;
        contextMenu(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    case QEvent::MouseButtonRelease: {
        // The middle button pastes the selection (X11): through the filter, as any paste.
        if (static_cast<QMouseEvent *>(event)->button() != Qt::MiddleButton || m_box->isReadOnly())
            return false;
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection())
            paste(clipboard->text(QClipboard::Selection));
        return true;
    }
    case QEvent::InputMethod:
        if (m_box->isReadOnly())
            return false;
        // The composition is not shown in an amount box; what the input method commits is typed.
        typeText(static_cast<QInputMethodEvent *>(event)->commitString());
        event->accept();
        return true;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        static_cast<QDropEvent *>(event)->ignore();
        return true;
    default:
        return false;
    }
}

NumericEdit *AttachNumericKeyFilter(QLineEdit *box, int maxLength, int decimals, int alignment, bool minusAllowed)
{
    return new NumericEdit(box, maxLength, decimals, alignment, minusAllowed);
}
