#pragma once

#include "session/NumericKeyFilter.h"

#include <QObject>

class QKeyEvent;
class QLineEdit;
class QValidator;

// Hooks the numeric key filter to a line edit, so that the box always holds a well-formed
// amount whichever way text comes in: keys and editing shortcuts, paste and cut from the
// keyboard and the context menu, the middle-click paste of the selection and an input
// method's commit all go through the filter; dropped text is refused; and any other change,
// text set by a screen included, must leave the box in the filter's form (a plain number is
// brought to it), or it is undone.
class NumericEdit : public QObject
{
    Q_OBJECT

public:
    NumericEdit(QLineEdit *box, int maxLength, int decimals, int alignment, bool minusAllowed);

    QLineEdit *box() const { return m_box; }

    // Runs the filter on the box as a key press (mode 1) or key down (mode 0) would.
    // Returns the key to pass on to the box, 0 when consumed.
    int filterKey(int key, int mode);
    // Puts a pasted amount into the box (see NumericPaste); other text is ignored.
    void paste(const QString &text);
    // Text that arrives as typed characters (an input method's commit): each goes through
    // the filter as its key would.
    void typeText(const QString &text);

    // A box that takes amounts only part of the time (the worksheet's grid editor, in its
    // Amount column) turns the filter off while it holds other text. On when attached.
    void setActive(bool active);
    bool isActive() const { return m_active; }

signals:
    // Enter or Return in the box, sent before the filter sees the key (screens that move the
    // focus on Enter connect here).
    void enterPressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool keyPress(QKeyEvent *event);
    void contextMenu(const QPoint &globalPos);
    void cut();
    NumericBox readBox() const;
    void writeBox(const NumericBox &box);

    QLineEdit *m_box;
    QValidator *m_validator;
    int m_maxLength;
    int m_decimals;
    int m_alignment;
    bool m_minusAllowed;
    bool m_active = false;
};

// Attaches the filter to an amount box; the returned filter belongs to the box.
NumericEdit *AttachNumericKeyFilter(QLineEdit *box, int maxLength, int decimals, int alignment, bool minusAllowed);
