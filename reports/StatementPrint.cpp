#include "StatementPrint.h"

#include "OutputFolder.h"
#include "Sheet.h"
#include "session/Common.h"

#include <QDir>
#include <QSaveFile>

#include <cerrno>

namespace StatementPrint {

namespace {

const QString kRule(80, QLatin1Char('-'));

// Field widths and sides of the twelve printed columns.
struct Field
{
    int width;
    const char *side;
    bool twoDecimals; // printed with the "0.00" pattern rather than as the cell shows
};
const Field kFields[12] = {{10, "L", false}, {26, "L", false}, {10, "R", false}, {10, "R", true},
                           {10, "R", true},  {10, "R", true},  {10, "R", false}, {10, "R", true},
                           {10, "R", false}, {10, "R", true},  {10, "R", true},  {10, "R", true}};

// The cell's shown text read as a number (grouping commas allowed), with two decimals.
QString TwoDecimals(const QString &shown)
{
    if (shown.isEmpty())
        return shown;
    return Format00(LeadingNumber(QString(shown).remove(QLatin1Char(','))));
}

class Writer
{
public:
    explicit Writer(const Sheet &sheet) : m_sheet(sheet) {}

    void line(const QString &text)
    {
        m_out += text.toUtf8();
        m_out += "\r\n";
        ++m_count;
    }

    void header()
    {
        m_count = 0;
        line(QStringLiteral("\\E\\D") + PadText(cell(1, 1), 40, QStringLiteral("L")) + QStringLiteral("\\e\\d"));
        line(QStringLiteral("\\E\\C") + PadText(cell(2, 1), 40, QStringLiteral("L")) + QStringLiteral("\\e\\c"));
        line(QStringLiteral("\\E\\D\\C") + PadText(cell(3, 1), 80, QStringLiteral("L")) + QStringLiteral("\\e\\d\\c"));
        line(kRule);
        line(QStringLiteral("\\D\\C") + heading(4) + QStringLiteral("\\d\\c"));
        line(QStringLiteral("\\D\\C") + heading(5) + QStringLiteral("\\d\\c"));
        line(kRule);
    }

    void footer(bool lastPage)
    {
        line(lastPage ? QString() : kRule);
        line(QString());
        line(QString());
        line(PadText(QStringLiteral("Circulation Manager   "), 80, QStringLiteral("R")));
        while (m_count < kPageLines)
            line(QString());
    }

    void body(int row)
    {
        QString text = QStringLiteral("\\C");
        for (int c = 1; c <= 12; ++c) {
            const Field &f = kFields[c - 1];
            const QString shown = cell(row, c);
            text += PadText(f.twoDecimals ? TwoDecimals(shown) : shown, f.width, QLatin1String(f.side));
        }
        line(text + QStringLiteral("\\c"));
    }

    int count() const { return m_count; }
    QByteArray result() const { return m_out; }

private:
    QString cell(int row, int col) const { return m_sheet.text(row, col); }

    QString heading(int row) const
    {
        QString text;
        for (int c = 1; c <= 12; ++c)
            text += PadText(cell(row, c), kFields[c - 1].width, QLatin1String(c <= 2 ? "L" : "R"));
        return text;
    }

    const Sheet &m_sheet;
    QByteArray m_out;
    int m_count = 0;
};

} // namespace

QByteArray Text(const Sheet &sheet, int lastRow, int *stoppedAt)
{
    Writer w(sheet);
    w.header();
    int row = 6;
    for (;;) {
        if (w.count() > kLastBodyLine) {
            w.footer(false);
            w.header();
        }
        // Every employee row is listed, whatever its amounts.
        if (row > lastRow)
            break;
        w.body(row);
        ++row;
    }
    w.footer(true);
    if (stoppedAt)
        *stoppedAt = row;
    return w.result();
}

bool Write(const QString &path, const QByteArray &text, QString *error)
{
    QSaveFile file(path);
    errno = 0;
    bool written = file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    // The buffer is written out before the commit: a commit whose own last write fails would
    // still put the cut file in place of the old one.
    written = written && file.flush() && file.error() == QFileDevice::NoError;
    // Qt tells a full disk apart; otherwise the errno of the call that failed says why.
    int code = file.error() == QFileDevice::ResourceError ? ENOSPC : errno;
    if (written && !file.commit()) {
        written = false;
        code = errno;
    }
    if (!written) {
        file.cancelWriting(); // the temporary file goes with the object: nothing stays open
        if (error)
            *error = QStringLiteral("The print file ") + QDir::toNativeSeparators(path) +
                     QStringLiteral(" could not be written: ") + WriteFailureReason(path, code) + QLatin1Char('.');
    }
    return written;
}

} // namespace StatementPrint
