#pragma once

#include <QByteArray>
#include <QList>

// The print file the statement writes for the spooler: lines ended by CR LF, 72 lines to a
// page, and two-character markers ("\E", "\e", "\D", "\d", "\C", "\c", also run together as
// "\E\D\C") that switch the print attributes on and off inside the lines.
namespace PrintFile {

inline constexpr int LinesPerPage = 72;

// The print attributes a marker switches: emphasised, double-strike, condensed.
struct Attributes
{
    bool emphasised = false;
    bool doubleStrike = false;
    bool condensed = false;
    bool operator==(const Attributes &) const = default;
};

// A stretch of text printed with one set of attributes. A piece with empty text only
// carries an attribute change (markers at the end of a line, or a line of markers alone).
struct Piece
{
    Attributes attributes;
    QByteArray text;
};

struct Line
{
    QList<Piece> pieces;
    // The text with the markers taken out.
    QByteArray plainText() const;
    bool isBlank() const;
};

using Page = QList<Line>;

// Splits the file into lines (CR LF, a lone LF is accepted too) and the lines into pieces.
// Attributes carry over from line to line as on a printer.
QList<Line> parse(const QByteArray &content);

// Groups lines into pages of 72; the last page may be shorter.
QList<Page> paginate(const QList<Line> &lines);

} // namespace PrintFile
