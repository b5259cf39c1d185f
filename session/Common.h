#pragma once

// The small routines every screen and every rule shares: amounts, numbers in SQL text,
// dates, text escaping, fixed-width padding, running codes and first values of queries.
// Write each thing once, here.

#include <QDate>
#include <QString>
#include <QTime>

class DbConnection;

// --- Amounts ------------------------------------------------------------------------

// Rounds to two decimals, halves away from zero, judged on the value's shortest decimal
// text (1.005 gives 1.01, 2.675 gives 2.68). This is what "rounded" means everywhere.
double RoundAmount(double value);

// The "0.00" pattern: rounded, two decimals, no grouping ("-0.00" never appears).
QString Format00(double value);

// An amount as Indian documents write it: "0.00" grouped in lakhs and crores, the last three
// digits together and every two before them (12,34,567.00; -1,00,000.00).
QString IndianAmount(double value);

// A plain decimal: shortest text, point as separator, no exponent, no grouping,
// no trailing zeros, never "-0" (637.6, 0, 250000). Numbers go into SQL text this way.
QString PlainNumber(double value);

// The leading number of a text: optional blanks, an optional sign, digits and at most
// one point; 0 when the text does not begin with a number ("12abc" gives 12).
double LeadingNumber(const QString &text);

// --- Dates --------------------------------------------------------------------------

// 'yyyy-MM-dd', the form of dates in SQL filters.
QString SqlDate(const QDate &date);
// 'yyyy/MM/dd', the form of audit dates and the tax record's inserted period.
QString SqlSlashDate(const QDate &date);
// 'HH:mm:ss', the form of audit times.
QString SqlTime(const QTime &time);
// The system's short date form, as captions and status lines show dates.
QString ShortDate(const QDate &date);
// Calendar month difference: (y2 - y1) * 12 + (m2 - m1), days ignored.
int MonthDiff(const QDate &from, const QDate &to);
// A date read back from text: 'yyyy-MM-dd' (a time part is ignored); invalid when empty.
QDate DateFromText(const QString &text);

// --- Text in SQL --------------------------------------------------------------------

// Escapes typed text for a single-quoted MySQL literal, so that the server stores exactly
// the characters typed (quotes, backslashes, NUL and all). Use for every typed text.
QString SqlEscape(const QString &text);
// As SqlEscape, and also makes % and _ literal, for the text inside LIKE '%...%'.
QString SqlLikeEscape(const QString &text);
// Doubles every single quote (one quote becomes two, two become four).
QString EscapeQuotes(const QString &text);

// --- Printed columns ----------------------------------------------------------------

// Cuts the text to width, then pads it with blanks to width: "L" left-justified, "R"
// right-justified. Widths count characters (UTF-16 units), and the cut falls after the last
// whole letter that fits (a grapheme cluster: "கி" is two characters and one letter).
QString PadText(const QString &text, int width, const QString &alignment);

// --- Running codes and queries ------------------------------------------------------

// The stored next code of a running number (numbersetup.no_value), "" when the row is
// missing (the user is told) or the value is null.
QString ReadRunningNumber(DbConnection &db, const QString &key);
// Trims code in place and returns its successor: 'ITA000005' -> 'ITA000006', 'A99' -> 'A100'.
QString IncrementCode(QString &code);
// The first column of the first row as text; "" for no row or a null value.
QString QueryFirstValue(DbConnection &db, const QString &sql);
