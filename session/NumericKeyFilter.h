#pragma once

#include <QString>

// The amount box as the numeric key filter sees it: its text, the selection (the caret is
// selStart when selLength is 0), and the two properties the filter sets on it.
struct NumericBox
{
    QString text;
    int selStart = 0;
    int selLength = 0;
    int maxLength = 32767;
    int alignment = 0; // 0 left, 1 right, 2 centre
};

// Key codes the filter knows. Mode 1 (key press) passes character codes, mode 0 (key down)
// passes key codes; the Delete key code and the point's character code are both 46.
namespace NumericKeys {
inline constexpr int kBackspace = 8;
inline constexpr int kEnter = 13;
inline constexpr int kMinus = 45;
inline constexpr int kPoint = 46;
inline constexpr int kDelete = 46;
} // namespace NumericKeys

// Turns an amount box into a fixed-decimal input: the box always shows an optional "-",
// integer digits, "." and exactly `decimals` decimal digits. Returns the key to pass on
// to the box (0 when consumed). `message` receives "Invalid decimal length ...!" when
// maxLength - 2 < decimals (the caller shows it).
int NumericKeyFilter(NumericBox &box, int key, int maxLength, int decimals, int alignment, int mode, bool minusAllowed,
                     QString *message = nullptr);

// The decimal template: "0." followed by `decimals` zeros ("0.00").
QString NumericTemplate(int decimals);

// True when the text is what the filter leaves in a box: empty (the box has not been typed
// in yet), or an optional "-" (only when minus is allowed), integer digits, "." and exactly
// `decimals` decimal digits.
bool IsNumericForm(const QString &text, int decimals, bool minusAllowed);

// Brings any text to the template form: its leading "-", the digits before its first point
// (at least "0"), "." and its digits after the point cut or padded to `decimals`.
QString NumericReformat(const QString &text, int decimals);

// A paste into an amount box: when `pasted` is one plain number (blanks and grouping commas
// ignored) that fits the box, the box takes it in the template form and true is returned.
// Otherwise (letters, a sign the box does not allow, more decimals than it shows, too many
// digits) the box keeps its text and false is returned.
bool NumericPaste(NumericBox &box, const QString &pasted, int maxLength, int decimals, bool minusAllowed);
