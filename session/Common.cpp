#include "Common.h"

#include "DbConnection.h"
#include "Platform.h"

#include <QLocale>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// Shortest round-trip text of a double in fixed notation ("1.005", "250000", "-0.3").
std::string shortestFixed(double value)
{
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

} // namespace

double RoundAmount(double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1e15)
        return value;
    std::string s = shortestFixed(value);
    bool negative = false;
    if (!s.empty() && s[0] == '-') {
        negative = true;
        s.erase(0, 1);
    }
    std::string intPart = s, frac;
    const auto dot = s.find('.');
    if (dot != std::string::npos) {
        intPart = s.substr(0, dot);
        frac = s.substr(dot + 1);
    }
    const bool up = frac.size() > 2 && frac[2] >= '5';
    frac.resize(2, '0');
    long long cents = std::stoll(intPart) * 100 + std::stoll(frac);
    if (up)
        ++cents;
    if (cents == 0)
        return 0.0;
    const double r = static_cast<double>(cents) / 100.0;
    return negative ? -r : r;
}

QString Format00(double value)
{
    const double r = RoundAmount(value);
    if (r == 0.0)
        return QStringLiteral("0.00");
    return QString::number(r, 'f', 2);
}

QString IndianAmount(double value)
{
    QString text = Format00(value);
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative)
        text.remove(0, 1);
    // Commas before the thousands, then before every further two digits.
    for (int at = text.indexOf(QLatin1Char('.')) - 3; at > 0; at -= 2)
        text.insert(at, QLatin1Char(','));
    return negative ? QLatin1Char('-') + text : text;
}

QString PlainNumber(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    if (value == 0.0)
        return QStringLiteral("0");
    return QString::fromStdString(shortestFixed(value));
}

double LeadingNumber(const QString &text)
{
    int i = 0;
    const int n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    QString num;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        num += text[i++];
    bool digits = false, point = false;
    while (i < n) {
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits = true;
            num += c;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
            num += c;
        } else {
            break;
        }
        ++i;
    }
    if (!digits)
        return 0.0;
    if (num.endsWith(QLatin1Char('.')))
        num.chop(1);
    bool ok = false;
    const double d = num.toDouble(&ok);
    return ok ? d : 0.0;
}

QString SqlDate(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}
QString SqlSlashDate(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}
QString SqlTime(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString ShortDate(const QDate &date)
{
    if (!date.isValid())
        return QString();
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

int MonthDiff(const QDate &from, const QDate &to)
{
    return (to.year() - from.year()) * 12 + (to.month() - from.month());
}

QDate DateFromText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return QDate();
    QDate d = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        d = QDate::fromString(t.left(10), QStringLiteral("yyyy/MM/dd"));
    return d;
}

namespace {

// A text made safe for a single-quoted MySQL literal; for LIKE, its wildcards made literal too.
QString EscapeLiteral(const QString &text, bool forLike)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            // Inside LIKE the literal parser halves the backslashes, and LIKE halves them again.
            out += forLike ? QLatin1String("\\\\\\\\") : QLatin1String("\\\\");
            break;
        case '%':
        case '_':
            if (forLike)
                out += QLatin1Char('\\');
            out += c;
            break;
        case '\'':
            out += QLatin1String("''");
            break;
        case 0:
            out += QLatin1String("\\0");
            break;
        case 26:
            out += QLatin1String("\\Z");
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

QString SqlEscape(const QString &text)
{
    return EscapeLiteral(text, false);
}

QString SqlLikeEscape(const QString &text)
{
    return EscapeLiteral(text, true);
}

QString EscapeQuotes(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

QString PadText(const QString &text, int width, const QString &alignment)
{
    if (width <= 0)
        return QString();
    QString cut = text;
    if (text.size() > width) {
        // Cut at the last whole letter that fits: a letter of the Indian scripts is often
        // several characters (a consonant with its vowel sign or virama), and a part of one
        // prints as another letter.
        QTextBoundaryFinder letters(QTextBoundaryFinder::Grapheme, text);
        letters.setPosition(width);
        const qsizetype end = letters.isAtBoundary() ? width : letters.toPreviousBoundary();
        cut = text.left(std::max<qsizetype>(end, 0));
    }
    if (alignment.compare(QLatin1String("R"), Qt::CaseInsensitive) == 0)
        return cut.rightJustified(width, QLatin1Char(' '));
    return cut.leftJustified(width, QLatin1Char(' '));
}

QString ReadRunningNumber(DbConnection &db, const QString &key)
{
    Recordset rs = db.query(QStringLiteral("Select * from numbersetup Where no_id='") + key + QStringLiteral("'"));
    if (rs.eof()) {
        rs.close();
        platform().message(QStringLiteral("Error in Number Setup!!!.   \r\nContact System Administrator.   "),
                           Platform::Icon::Information);
        return QString();
    }
    const QString value = rs.text(QStringLiteral("no_value"));
    rs.close();
    return value;
}

QString IncrementCode(QString &code)
{
    code = code.trimmed();
    const int n = code.size();
    int i = n;
    while (i > 0 && code[i - 1].isDigit() && code[i - 1].unicode() < 128)
        --i;
    const QString prefix = code.left(i);
    const QString digits = code.mid(i);
    // The number may be longer than any integer type: add one on the digit text.
    QString number = digits.isEmpty() ? QStringLiteral("0") : digits;
    int k = number.size() - 1;
    while (k >= 0) {
        if (number[k] == QLatin1Char('9')) {
            number[k] = QLatin1Char('0');
            --k;
        } else {
            number[k] = QChar(number[k].unicode() + 1);
            break;
        }
    }
    if (k < 0)
        number.prepend(QLatin1Char('1'));
    // Leading zeros of the result only pad to the code's number width.
    while (number.size() > 1 && number.startsWith(QLatin1Char('0')))
        number.remove(0, 1);
    const int width = n - prefix.size();
    return prefix + number.rightJustified(width, QLatin1Char('0'));
}

QString QueryFirstValue(DbConnection &db, const QString &sql)
{
    Recordset rs = db.query(sql);
    QString value;
    if (!rs.eof() && rs.columnCount() > 0)
        value = rs.text(0);
    rs.close();
    return value;
}
