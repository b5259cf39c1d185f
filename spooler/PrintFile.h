#pragma once

#include <QByteArray>
#include <QList>

#include <array>

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

// The statement's column-heading and body lines: 136 condensed characters in fixed fields
// (code 10, name 26, PAN 10, nine amounts of 10) that follow each other with no blank, so a
// full field touches its neighbour ("6.001418938.00"). Printed, each field stands apart.
inline constexpr int StatementLineWidth = 136;
inline constexpr std::array<int, 12> StatementFields = {10, 26, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10};

// The fields of a statement line: one condensed stretch of exactly 136 characters (counted
// as characters where the text is UTF-8); empty for every other line. Joined again they
// give the stretch's bytes unchanged.
QList<QByteArray> StatementFieldsOf(const Line &line);

// Splits the file into lines (CR LF, a lone LF is accepted too) and the lines into pieces.
// Attributes carry over from line to line as on a printer.
QList<Line> Parse(const QByteArray &content);

// Groups lines into pages of 72; the last page may be shorter.
QList<Page> Paginate(const QList<Line> &lines);

} // namespace PrintFile
