#pragma once

#include "session/NumericKeyFilter.h"

#include <QObject>

class QKeyEvent;
class QLineEdit;

// Hooks the numeric key filter to a line edit: keys, Delete, paste, cut and the context menu
// all go through it, so that the box always holds a well-formed amount.
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
    int m_maxLength;
    int m_decimals;
    int m_alignment;
    bool m_minusAllowed;
};

// Attaches the filter to an amount box; the returned filter belongs to the box.
NumericEdit *AttachNumericKeyFilter(QLineEdit *box, int maxLength, int decimals, int alignment, bool minusAllowed);
