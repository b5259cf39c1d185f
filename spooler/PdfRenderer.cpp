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
constexpr double kSideMarginMm = 12.0;
constexpr double kTopMarginMm = 10.0;
constexpr double kBottomMarginMm = 10.0;

// The file's texts are UTF-8 when they decode as such, else Latin-1.
QString Decode(const QByteArray &bytes, bool utf8)
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

// The fonts of the page: a fixed-pitch font for the layout, and fonts with the letters of
// the Indian scripts for names written in them (Debian's fonts-noto-core).
QFont PageFont(double pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Noto Sans Devanagari"),
                      QStringLiteral("Noto Sans Bengali"), QStringLiteral("Noto Sans Tamil"),
                      QStringLiteral("Noto Sans Telugu"), QStringLiteral("Noto Sans Kannada"),
                      QStringLiteral("Noto Sans Malayalam"), QStringLiteral("Noto Sans Gujarati"),
                      QStringLiteral("Noto Sans Gurmukhi"), QStringLiteral("Noto Sans Oriya")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(qRound(pixelSize));
    font.setBold(bold);
    return font;
}

// Draws text into a box of the given number of character cells: at the pitch's width per
// character, and narrower where the glyphs of another script would run past the box.
class RunPainter
{
public:
    RunPainter(QPainter &painter, QPaintDevice *device, double pixelSize)
        : m_painter(painter), m_regular(PageFont(pixelSize, false)), m_bold(PageFont(pixelSize, true)),
          m_regularMetrics(m_regular, device), m_boldMetrics(m_bold, device),
          m_advance(m_regularMetrics.horizontalAdvance(QLatin1Char('0')))
    {
    }

    const QFontMetricsF &metrics() const { return m_regularMetrics; }

    void draw(const QString &text, bool bold, double x, double y, double pitch, qsizetype cells)
    {
        if (text.trimmed().isEmpty())
            return;
        const QFontMetricsF &m = bold ? m_boldMetrics : m_regularMetrics;
        double scale = pitch / m_advance;
        const double natural = m.horizontalAdvance(text) * scale;
        const double room = cells * pitch;
        if (natural > room)
            scale *= room / natural;
        m_painter.save();
        m_painter.translate(x, y);
        m_painter.scale(scale, 1.0);
        m_painter.setFont(bold ? m_bold : m_regular);
        m_painter.drawText(QPointF(0, 0), text);
        m_painter.restore();
    }

private:
    QPainter &m_painter;
    QFont m_regular;
    QFont m_bold;
    QFontMetricsF m_regularMetrics;
    QFontMetricsF m_boldMetrics;
    double m_advance;
};

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
        const double left = kSideMarginMm * dotsPerMm;
        const double top = kTopMarginMm * dotsPerMm;
        const double width = (pageMm.width() - 2 * kSideMarginMm) * dotsPerMm;
        const double lineHeight =
            (pageMm.height() - kTopMarginMm - kBottomMarginMm) * dotsPerMm / PrintFile::LinesPerPage;

        const bool utf8 = isUtf8(pages);
        QPainter painter;
        if (!painter.begin(&writer)) {
            m_error = QStringLiteral("The PDF writer could not start.");
            file.cancelWriting();
            return false;
        }
        painter.setPen(Qt::black);
        RunPainter runs(painter, &writer, lineHeight * 0.82);
        // The baseline sits so that ascent and descent share the line's height evenly.
        const double baseline = (lineHeight + runs.metrics().ascent() - runs.metrics().descent()) / 2;
        const double condensedPitch = width / CondensedColumns;
        for (qsizetype p = 0; p < pages.size(); ++p) {
            if (p > 0)
                writer.newPage();
            const PrintFile::Page &page = pages.at(p);
            for (qsizetype l = 0; l < page.size(); ++l) {
                const PrintFile::Line &line = page.at(l);
                const double y = top + l * lineHeight + baseline;
                const QList<QByteArray> fields = PrintFile::StatementFieldsOf(line);
                if (!fields.isEmpty()) {
                    // Field by field, each at its own place, a blank apart.
                    const PrintFile::Attributes *a = nullptr;
                    for (const PrintFile::Piece &piece : line.pieces)
                        if (!piece.text.isEmpty())
                            a = &piece.attributes;
                    const bool bold = a->emphasised || a->doubleStrike;
                    int cell = 0;
                    for (qsizetype f = 0; f < fields.size(); ++f) {
                        const int cells = PrintFile::StatementFields[f];
                        runs.draw(Decode(fields.at(f), utf8), bold, left + cell * condensedPitch, y, condensedPitch,
                                  cells);
                        cell += cells + FieldGap;
                    }
                    continue;
                }
                double x = left;
                for (const PrintFile::Piece &piece : line.pieces) {
                    const QString text = Decode(piece.text, utf8);
                    if (text.isEmpty())
                        continue;
                    const PrintFile::Attributes &a = piece.attributes;
                    const double pitch = a.condensed ? condensedPitch : width / NormalColumns;
                    runs.draw(text, a.emphasised || a.doubleStrike, x, y, pitch, text.size());
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
