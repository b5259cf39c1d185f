#include "EscpEncoder.h"

namespace Escp {

using PrintFile::Attributes;

QByteArray Transition(const Attributes &from, const Attributes &to)
{
    QByteArray codes;
    if (from.emphasised != to.emphasised)
        codes += QByteArray(1, Esc) + (to.emphasised ? 'E' : 'F');
    if (from.doubleStrike != to.doubleStrike)
        codes += QByteArray(1, Esc) + (to.doubleStrike ? 'G' : 'H');
    if (from.condensed != to.condensed)
        codes += to.condensed ? ShiftIn : DeviceControl2;
    return codes;
}

QByteArray Encode(const QList<PrintFile::Page> &pages)
{
    QByteArray out;
    // Reset, then a form of 72 lines (ESC C n).
    out += QByteArray(1, Esc) + '@';
    out += QByteArray(1, Esc) + 'C' + char(PrintFile::LinesPerPage);
    Attributes current;
    for (const PrintFile::Page &page : pages) {
        // The lines after the last printed text only fill the form; their markers still count.
        qsizetype used = page.size();
        while (used > 0 && page.at(used - 1).plainText().isEmpty())
            --used;
        for (qsizetype i = 0; i < page.size(); ++i) {
            const QList<QByteArray> fields = PrintFile::StatementFieldsOf(page.at(i));
            for (const PrintFile::Piece &piece : page.at(i).pieces) {
                out += Transition(current, piece.attributes);
                current = piece.attributes;
                if (fields.isEmpty() || piece.text.isEmpty())
                    out += piece.text;
                else
                    out += kElite + fields.join(' ') + kPica;
            }
            if (i < used)
                out += "\r\n";
        }
        out += FormFeed;
    }
    // Leave the printer as it was found.
    out += Transition(current, Attributes{});
    return out;
}

} // namespace Escp
