#include "PrintFile.h"

#include <QStringDecoder>

#include <numeric>

namespace PrintFile {

namespace {

// Applies the marker letter to the attributes; false when the letter is no marker.
bool ApplyMarker(char letter, Attributes &a)
{
    switch (letter) {
    case 'E':
        a.emphasised = true;
        return true;
    case 'e':
        a.emphasised = false;
        return true;
    case 'D':
        a.doubleStrike = true;
        return true;
    case 'd':
        a.doubleStrike = false;
        return true;
    case 'C':
        a.condensed = true;
        return true;
    case 'c':
        a.condensed = false;
        return true;
    default:
        return false;
    }
}

Line parseLine(const QByteArray &raw, Attributes &current)
{
    Line line;
    const Attributes atStart = current;
    Piece piece{current, {}};
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char ch = raw.at(i);
        Attributes next = current;
        if (ch == '\\' && i + 1 < raw.size() && ApplyMarker(raw.at(i + 1), next)) {
            ++i;
            if (next == current)
                continue;
            if (!piece.text.isEmpty())
                line.pieces.append(piece);
            current = next;
            piece = Piece{current, {}};
            continue;
        }
        piece.text.append(ch);
    }
    // Markers at the end of a line still switch the attributes.
    const Attributes before = line.pieces.isEmpty() ? atStart : line.pieces.last().attributes;
    if (!piece.text.isEmpty() || piece.attributes != before || line.pieces.isEmpty())
        line.pieces.append(piece);
    return line;
}

} // namespace

QByteArray Line::plainText() const
{
    QByteArray text;
    for (const Piece &p : pieces)
        text += p.text;
    return text;
}

bool Line::isBlank() const
{
    return plainText().trimmed().isEmpty();
}

QList<QByteArray> StatementFieldsOf(const Line &line)
{
    const Piece *stretch = nullptr;
    for (const Piece &p : line.pieces) {
        if (p.text.isEmpty())
            continue;
        if (stretch)
            return {};
        stretch = &p;
    }
    if (!stretch || !stretch->attributes.condensed)
        return {};
    static_assert(std::accumulate(StatementFields.begin(), StatementFields.end(), 0) == StatementLineWidth);

    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(stretch->text);
    const bool utf8 = !decoder.hasError();
    if ((utf8 ? text.size() : stretch->text.size()) != StatementLineWidth)
        return {};
    QList<QByteArray> fields;
    int at = 0;
    for (int width : StatementFields) {
        fields.append(utf8 ? text.mid(at, width).toUtf8() : stretch->text.mid(at, width));
        at += width;
    }
    // A field boundary inside a character pair would not give the bytes back.
    if (fields.join() != stretch->text)
        return {};
    return fields;
}

QList<Line> Parse(const QByteArray &content)
{
    QList<QByteArray> rawLines = content.split('\n');
    // The terminator of the last line leaves an empty remainder behind it.
    if (!rawLines.isEmpty() && rawLines.last().isEmpty())
        rawLines.removeLast();
    QList<Line> lines;
    lines.reserve(rawLines.size());
    Attributes current;
    for (QByteArray raw : rawLines) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        lines.append(parseLine(raw, current));
    }
    return lines;
}

QList<Page> Paginate(const QList<Line> &lines)
{
    QList<Page> pages;
    for (qsizetype i = 0; i < lines.size(); i += LinesPerPage)
        pages.append(lines.mid(i, LinesPerPage));
    return pages;
}

} // namespace PrintFile
