#include "NumericKeyFilter.h"

#include "Common.h"

#include <QRegularExpression>

namespace {

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool AllZeros(const QString &digits)
{
    for (QChar c : digits)
        if (c != QLatin1Char('0'))
            return false;
    return true;
}

bool StartsWithMinus(const QString &text)
{
    return text.startsWith(QLatin1Char('-'));
}

// Where the digits start: after a leading "-".
int FirstDigitPos(const QString &text)
{
    return StartsWithMinus(text) ? 1 : 0;
}

bool IsTemplateForm(const QString &text, int decimals)
{
    static const QRegularExpression form(QStringLiteral("^-?[0-9]+\\.([0-9]*)$"));
    const QRegularExpressionMatch m = form.match(text);
    return m.hasMatch() && m.capturedLength(1) == decimals;
}

void SetCaret(NumericBox &box, int pos)
{
    box.selStart = qBound(0, pos, int(box.text.length()));
    box.selLength = 0;
}

void Select(NumericBox &box, int start, int length)
{
    box.selStart = start;
    box.selLength = length;
}

} // namespace

bool IsNumericForm(const QString &text, int decimals, bool minusAllowed)
{
    if (text.isEmpty())
        return true;
    return IsTemplateForm(text, decimals) && (minusAllowed || !StartsWithMinus(text));
}

QString NumericTemplate(int decimals)
{
    return QStringLiteral("0.") + QString(qMax(0, decimals), QLatin1Char('0'));
}

QString NumericReformat(const QString &text, int decimals)
{
    decimals = qMax(0, decimals);
    const bool minus = StartsWithMinus(text);
    const int point = text.indexOf(QLatin1Char('.'));
    const QString head = point < 0 ? text : text.left(point);
    const QString tail = point < 0 ? QString() : text.mid(point + 1);
    QString whole;
    for (QChar c : head)
        if (IsDigit(c))
            whole += c;
    QString fraction;
    for (QChar c : tail)
        if (IsDigit(c))
            fraction += c;
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    fraction = fraction.left(decimals).leftJustified(decimals, QLatin1Char('0'));
    return (minus ? QStringLiteral("-") : QString()) + whole + QLatin1Char('.') + fraction;
}

namespace {

// Removes the selection. In the decimal part the removed digits come back as zeros at the
// end; a selection over the point keeps the point and re-forms the number. Used by
// Backspace, Delete and a digit typed over a selection.
void RemoveSelection(NumericBox &box, int decimals)
{
    const QString &t = box.text;
    const int start = box.selStart;
    const int length = box.selLength;
    const QString selected = t.mid(start, length);
    if (selected.contains(QLatin1Char('.'))) {
        const QString rest = t.left(start) + QLatin1Char('.') + t.mid(start + length);
        box.text = rest == QStringLiteral(".") ? NumericTemplate(decimals) : NumericReformat(rest, decimals);
        SetCaret(box, start);
        return;
    }
    const int point = t.indexOf(QLatin1Char('.'));
    if (start <= point) {
        QString rest = t.left(start) + t.mid(start + length);
        if (rest.startsWith(QLatin1Char('.')))
            rest.prepend(QLatin1Char('0'));
        else if (rest.startsWith(QStringLiteral("-.")))
            rest.insert(1, QLatin1Char('0'));
        box.text = rest;
    } else {
        box.text = t.left(start) + t.mid(start + length) + QString(length, QLatin1Char('0'));
    }
    SetCaret(box, start);
}

void Backspace(NumericBox &box, int decimals)
{
    if (box.selLength > 0) {
        RemoveSelection(box, decimals);
        return;
    }
    QString &t = box.text;
    const int caret = box.selStart;
    const int point = t.indexOf(QLatin1Char('.'));
    if (caret <= point) {
        if (caret > FirstDigitPos(t)) {
            t.remove(caret - 1, 1);
            SetCaret(box, caret - 1);
        }
        if (t.startsWith(QLatin1Char('.')))
            t.prepend(QLatin1Char('0'));
        else if (t.startsWith(QStringLiteral("-.")))
            t.insert(1, QLatin1Char('0'));
    } else if (t.at(caret - 1) != QLatin1Char('.')) {
        t.remove(caret - 1, 1);
        t.append(QLatin1Char('0'));
        SetCaret(box, caret - 1);
    }
}

void DeleteForward(NumericBox &box, int decimals)
{
    if (box.selLength > 0) {
        RemoveSelection(box, decimals);
        return;
    }
    QString &t = box.text;
    int pos = box.selStart;
    const int caret = pos;
    if (pos == 0 && StartsWithMinus(t))
        pos = 1;
    if (pos >= t.length() || !IsDigit(t.at(pos)))
        return;
    const int point = t.indexOf(QLatin1Char('.'));
    t.remove(pos, 1);
    if (pos > point) {
        t.append(QLatin1Char('0'));
    } else if (t.at(FirstDigitPos(t)) == QLatin1Char('.')) {
        t.insert(FirstDigitPos(t), QLatin1Char('0'));
    }
    SetCaret(box, caret);
}

// A digit key. Returns the key when the box should insert it at its selection, 0 when consumed.
int Digit(NumericBox &box, int key, int maxLength, int decimals, bool minusAllowed)
{
    QString &t = box.text;
    if (box.selStart >= t.length())
        return 0; // the decimals are full
    const int point = t.indexOf(QLatin1Char('.'));
    if (box.selLength == 0) {
        // Digits never go in front of the sign.
        if (box.selStart == 0 && StartsWithMinus(t))
            SetCaret(box, 1);
        const int first = FirstDigitPos(t);
        if (box.selStart <= point && AllZeros(t.mid(first, point - first))) {
            SetCaret(box, first);
        } else if (key == '0' && box.selStart == first) {
            return 0; // no leading zeros
        }
        if (t.at(box.selStart) != QLatin1Char('.')) {
            Select(box, box.selStart, 1);
        } else {
            const int limit = minusAllowed && !StartsWithMinus(t) ? maxLength - 1 : maxLength;
            if (t.length() >= limit)
                return 0;
        }
        return key;
    }
    const int start = box.selStart;
    if (t.mid(start, box.selLength).contains(QLatin1Char('.'))) {
        RemoveSelection(box, decimals);
        const int first = FirstDigitPos(t);
        // Typed over a selection that began at the first digit: overwrite the zero left there.
        if (start <= first && t.mid(first, 2) == QStringLiteral("0."))
            Select(box, first, 1);
        return key;
    }
    if (start > point) {
        const int length = box.selLength;
        t.replace(start, length, QString(length, QLatin1Char('0')));
        Select(box, start, 1);
    }
    return key;
}

} // namespace

int NumericKeyFilter(NumericBox &box, int key, int maxLength, int decimals, int alignment, int mode, bool minusAllowed,
                     QString *message)
{
    box.maxLength = maxLength;
    box.alignment = alignment < 0 || alignment > 2 ? 0 : alignment;
    box.selStart = qBound(0, box.selStart, int(box.text.length()));
    box.selLength = qBound(0, box.selLength, int(box.text.length()) - box.selStart);

    if (minusAllowed && mode == 1 && key == NumericKeys::kMinus) {
        if (!StartsWithMinus(box.text)) {
            // A full box has no room for the sign; the box would cut the last decimal.
            if (box.text.length() < maxLength) {
                box.text.prepend(QLatin1Char('-'));
                box.selStart += 1;
            }
        } else {
            box.text.remove(0, 1);
            box.selStart = qMax(0, box.selStart - 1);
        }
        if (!IsTemplateForm(box.text, decimals) && maxLength - 2 >= decimals)
            box.text = NumericReformat(box.text, decimals);
        box.selStart = qMin(box.selStart, int(box.text.length()));
        box.selLength = qMin(box.selLength, int(box.text.length()) - box.selStart);
        return 0;
    }

    if (maxLength - 2 < decimals || decimals < 0) {
        if (message)
            *message = QStringLiteral("Invalid decimal length ...!");
        box.text.clear();
        SetCaret(box, 0);
        return 0;
    }

    const QString tmpl = NumericTemplate(decimals);
    if (LeadingNumber(box.text) == 0 && box.text != tmpl && !StartsWithMinus(box.text)) {
        box.text = tmpl;
        SetCaret(box, 0);
    } else if (!IsTemplateForm(box.text, decimals)) {
        // Text a screen or a paste put there: bring it to the template before editing.
        box.text = NumericReformat(box.text, decimals);
        SetCaret(box, qMin(box.selStart, int(box.text.length())));
    }

    if (mode == 1) {
        if (key == NumericKeys::kBackspace) {
            Backspace(box, decimals);
            return 0;
        }
        if (key == NumericKeys::kPoint) {
            SetCaret(box, box.text.indexOf(QLatin1Char('.')) + 1);
            return 0;
        }
        if (key >= '0' && key <= '9')
            return Digit(box, key, maxLength, decimals, minusAllowed);
        return 0;
    }

    if (key == NumericKeys::kDelete) {
        DeleteForward(box, decimals);
        return 0;
    }
    return key;
}

bool NumericPaste(NumericBox &box, const QString &pasted, int maxLength, int decimals, bool minusAllowed)
{
    if (decimals < 0 || maxLength - 2 < decimals)
        return false;
    QString s = pasted.trimmed();
    s.remove(QLatin1Char(','));
    s.remove(QLatin1Char(' '));
    static const QRegularExpression number(QStringLiteral("^(-?)([0-9]*)(?:\\.([0-9]*))?$"));
    const QRegularExpressionMatch m = number.match(s);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        return false;
    const bool minus = !m.captured(1).isEmpty();
    if (minus && !minusAllowed)
        return false;
    QString fraction = m.captured(3);
    // Decimals the box cannot show would change the amount: refuse rather than cut.
    while (fraction.length() > decimals && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (fraction.length() > decimals)
        return false;
    QString whole = m.captured(2);
    while (whole.length() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    QString text = NumericReformat(whole + QLatin1Char('.') + fraction, decimals);
    if (minus && text != NumericTemplate(decimals))
        text.prepend(QLatin1Char('-'));
    const int limit = minusAllowed && !minus ? maxLength - 1 : maxLength;
    if (text.length() > limit)
        return false;
    box.text = text;
    box.maxLength = maxLength;
    SetCaret(box, text.length());
    return true;
}
