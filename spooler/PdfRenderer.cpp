#include "PdfRenderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// Page margins in millimetres.
constexpr double SideMarginMm = 12.0;
constexpr double TopMarginMm = 10.0;
constexpr double BottomMarginMm = 10.0;

// The file's texts are UTF-8 when they decode as such, else Latin-1.
QString decode(const QByteArray &bytes, bool utf8)
{
    QString text = utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    // Control characters have no place on the page; a tab is a blank.
    QString shown;
    shown.reserve(text.size());
    for (QChar ch : text) {
        if (ch == QLatin1Char('\t'))
            shown += QLatin1Char(' ');
        else if (ch.unicode() >= 0x20 && ch.unicode() != 0x7f)
            shown += ch;
    }
    return shown;
}

bool isUtf8(const QList<PrintFile::Page> &pages)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    for (const PrintFile::Page &page : pages)
        for (const PrintFile::Line &line : page)
            for (const PrintFile::Piece &piece : line.pieces) {
                (void)decoder.decode(piece.text);
                if (decoder.hasError())
                    return false;
            }
    return true;
}

} // namespace

bool PdfRenderer::render(const QList<PrintFile::Page> &pages, const QString &pdfPath, const QString &title)
{
    m_error.clear();
    QSaveFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("inetspooler"));

        const double dotsPerMm = writer.resolution() / 25.4;
        const QSizeF pageMm = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
        const double left = SideMarginMm * dotsPerMm;
        const double top = TopMarginMm * dotsPerMm;
        const double width = (pageMm.width() - 2 * SideMarginMm) * dotsPerMm;
        const double lineHeight =
            (pageMm.height() - TopMarginMm - BottomMarginMm) * dotsPerMm / PrintFile::LinesPerPage;

        QFont regular(QStringLiteral("DejaVu Sans Mono"));
        regular.setStyleHint(QFont::TypeWriter);
        regular.setFixedPitch(true);
        regular.setPixelSize(qRound(lineHeight * 0.82));
        QFont bold = regular;
        bold.setBold(true);
        const QFontMetricsF metrics(regular, &writer);
        const double advance = metrics.horizontalAdvance(QLatin1Char('0'));
        // The baseline sits so that ascent and descent share the line's height evenly.
        const double baseline = (lineHeight + metrics.ascent() - metrics.descent()) / 2;

        const bool utf8 = isUtf8(pages);
        QPainter painter;
        if (!painter.begin(&writer)) {
            m_error = QStringLiteral("The PDF writer could not start.");
            file.cancelWriting();
            return false;
        }
        painter.setPen(Qt::black);
        for (qsizetype p = 0; p < pages.size(); ++p) {
            if (p > 0)
                writer.newPage();
            const PrintFile::Page &page = pages.at(p);
            for (qsizetype l = 0; l < page.size(); ++l) {
                double x = left;
                const double y = top + l * lineHeight + baseline;
                for (const PrintFile::Piece &piece : page.at(l).pieces) {
                    const QString text = decode(piece.text, utf8);
                    if (text.isEmpty())
                        continue;
                    const PrintFile::Attributes &a = piece.attributes;
                    const double pitch = width / (a.condensed ? CondensedColumns : NormalColumns);
                    painter.save();
                    painter.translate(x, y);
                    painter.scale(pitch / advance, 1.0);
                    painter.setFont(a.emphasised || a.doubleStrike ? bold : regular);
                    painter.drawText(QPointF(0, 0), text);
                    painter.restore();
                    x += text.size() * pitch;
                }
            }
        }
        painter.end();
    }
    if (!file.commit()) {
        m_error = file.errorString();
        return false;
    }
    return true;
}
