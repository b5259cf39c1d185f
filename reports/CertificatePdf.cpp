#include "CertificatePdf.h"

#include "session/Common.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace CertificatePdf {

namespace {

constexpr int kResolution = 600; // dots an inch; the layout below is in points
constexpr double kPageWidth = 595.0, kPageHeight = 842.0;
constexpr double kLeft = 36.0, kRight = 36.0, kTop = 32.0, kBottom = 34.0;
constexpr double kNumberWidth = 26.0;
// One size of type for the whole page but the form's number: every change of size of a face
// costs the font's set-up program again, and a page has some seventy rows.
constexpr double kSize = 7.2, kTitleSize = 11.0;

double Dots(double points)
{
    return points * kResolution / 72.0;
}

// The page's font: a sans-serif face for the layout, and the Noto faces for names written in
// the Indian scripts (Debian's fonts-noto-core). Made once per size and style, and kept.
QFont MakeFont(double points, bool bold, bool italic)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans"),
                      QStringLiteral("Noto Sans Devanagari"), QStringLiteral("Noto Sans Bengali"),
                      QStringLiteral("Noto Sans Tamil"), QStringLiteral("Noto Sans Telugu"),
                      QStringLiteral("Noto Sans Kannada"), QStringLiteral("Noto Sans Malayalam"),
                      QStringLiteral("Noto Sans Gujarati"), QStringLiteral("Noto Sans Gurmukhi"),
                      QStringLiteral("Noto Sans Oriya")});
    font.setStyleHint(QFont::SansSerif);
    // No ligatures in the Latin text, so that a reader of the file finds "certificate" as typed;
    // the Indian scripts are shaped all the same. Outlines unhinted: a PDF is scaled anyway.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

const QFont &PageFont(double points, bool bold = false, bool italic = false)
{
    thread_local QHash<int, QFont> fonts;
    const int key = qRound(points * 10) * 4 + (bold ? 2 : 0) + (italic ? 1 : 0);
    auto it = fonts.find(key);
    if (it == fonts.end())
        it = fonts.insert(key, MakeFont(points, bold, italic));
    return *it;
}

// Lays out text in points, from the top of the page down, starting new pages as it goes.
class Page
{
public:
    Page(QPainter &painter, QPagedPaintDevice &device) : m_p(painter), m_device(device) {}

    double y = kTop;
    int pages = 1;

    // Starts a new page when fewer than `height` points are left.
    bool need(double height)
    {
        if (y + height <= kPageHeight - kBottom)
            return false;
        m_device.newPage();
        ++pages;
        y = kTop;
        return true;
    }
    // The height of text wrapped into a width; the rows' texts are the same from certificate to
    // certificate, so each is measured once.
    double height(const QString &text, const QFont &font, double width) const
    {
        thread_local QHash<QString, double> measured;
        const QString key = text + QLatin1Char('\x1f') + font.key() + QLatin1Char('\x1f') + QString::number(width);
        if (const auto it = measured.constFind(key); it != measured.cend())
            return *it;
        if (measured.size() > 20000)
            measured.clear();
        m_p.setFont(font);
        const QRectF r = m_p.boundingRect(QRectF(0, 0, Dots(width), Dots(1000)),
                                          Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
        return *measured.insert(key, r.height() * 72.0 / kResolution);
    }
    void text(double x, double width, double height, const QString &text, const QFont &font, int flags)
    {
        m_p.setFont(font);
        m_p.drawText(QRectF(Dots(x), Dots(y), Dots(width), Dots(height)), flags, text);
    }
    void rule(double x1, double x2, double at, double width = 0.5)
    {
        QPen pen(Qt::black);
        pen.setWidthF(Dots(width));
        m_p.setPen(pen);
        m_p.drawLine(QPointF(Dots(x1), Dots(at)), QPointF(Dots(x2), Dots(at)));
    }
    void shade(double x, double width, double height, const QColor &colour)
    {
        m_p.fillRect(QRectF(Dots(x), Dots(y), Dots(width), Dots(height)), colour);
    }

private:
    QPainter &m_p;
    QPagedPaintDevice &m_device;
};

// Label and value pairs of one party, in a box of its own at x, width wide; returns its height.
double Party(Page &page, double x, double width, const QString &title, const QList<std::pair<QString, QString>> &rows)
{
    const QFont bold = PageFont(kSize, true), plain = PageFont(kSize);
    const double labelWidth = 88;
    const double top = page.y;
    page.shade(x, width, 11, QColor(225, 225, 225));
    page.text(x + 3, width - 6, 11, title, bold, Qt::AlignLeft | Qt::AlignVCenter);
    page.y += 12;
    for (const auto &[label, value] : rows) {
        const double h =
            std::max(page.height(label, plain, labelWidth - 4), page.height(value, bold, width - labelWidth - 6)) + 1.5;
        page.text(x + 3, labelWidth - 4, h, label, plain, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
        page.text(x + labelWidth, width - labelWidth - 3, h, value, bold,
                  Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
        page.y += h;
    }
    const double height = page.y - top;
    page.y = top;
    return height;
}

} // namespace

void Setup(QPdfWriter &writer, const QString &title)
{
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("IncomeTax"));
}

int Draw(QPainter &painter, QPagedPaintDevice &device, const Certificate::Document &d)
{
    Page page(painter, device);
    painter.setPen(Qt::black);
    const double width = kPageWidth - kLeft - kRight;

    // The form's heading, centred; the first line larger.
    for (int i = 0; i < d.heading.size(); ++i) {
        const bool strong = i == 0 || d.heading[i].startsWith(QLatin1String("PART")) ||
                            d.heading[i].startsWith(QLatin1String("PROJECTED"));
        const QFont font = PageFont(i == 0 ? kTitleSize : kSize, strong);
        const double h = page.height(d.heading[i], font, width) + 1;
        page.text(kLeft, width, h, d.heading[i], font, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap);
        page.y += h;
    }
    page.text(kLeft, width, 12, d.yearCaption, PageFont(kSize, true), Qt::AlignRight | Qt::AlignTop);
    page.y += 13;

    // The employer and the employee side by side.
    const double half = (width - 8) / 2;
    const double parties = std::max(Party(page, kLeft, half, QStringLiteral("Employer"), d.employer),
                                    Party(page, kLeft + half + 8, half, QStringLiteral("Employee"), d.employee));
    page.y += parties + 5;
    if (!d.regimeQuestion.isEmpty()) {
        page.text(kLeft + 3, width - 6, 12, d.regimeQuestion + QStringLiteral("   ") + d.regimeAnswer,
                  PageFont(kSize, true), Qt::AlignLeft | Qt::AlignTop);
        page.y += 13;
    }

    // The table: number, text, and the amount columns at the right.
    const int columns = static_cast<int>(d.columns.size());
    const double amountWidth = columns > 2 ? 66 : 78;
    const double textLeft = kLeft + kNumberWidth;
    const double textWidth = width - kNumberWidth - columns * amountWidth - 4;
    const double amountsLeft = kLeft + width - columns * amountWidth;
    const QFont headFont = PageFont(kSize, true);
    auto columnHeads = [&] {
        page.shade(kLeft, width, 13, QColor(225, 225, 225));
        page.text(kLeft + 2, kNumberWidth, 13, QStringLiteral("S.No."), headFont, Qt::AlignLeft | Qt::AlignVCenter);
        page.text(textLeft, textWidth, 13, QStringLiteral("Particulars"), headFont, Qt::AlignLeft | Qt::AlignVCenter);
        for (int c = 0; c < columns; ++c)
            page.text(amountsLeft + c * amountWidth, amountWidth - 3, 13, d.columns[c], headFont,
                      Qt::AlignRight | Qt::AlignVCenter);
        page.y += 14;
    };
    page.need(40);
    columnHeads();
    for (const Certificate::Line &l : d.lines) {
        const QFont font = PageFont(kSize, l.strong, l.level == 2);
        const double indent = l.level == 0 ? 0 : (l.level == 1 ? 14 : 28);
        const double h = std::max(9.2, page.height(l.text, font, textWidth - indent) + 0.8);
        if (page.need(h))
            columnHeads();
        const double x = textLeft + indent;
        if (l.level == 1)
            page.text(textLeft - 2, 16, h, l.number, font, Qt::AlignLeft | Qt::AlignTop);
        else
            page.text(kLeft + 2, kNumberWidth, h, l.number, font, Qt::AlignLeft | Qt::AlignTop);
        page.text(x, textWidth - indent, h, l.text, font, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
        for (int c = 0; c < static_cast<int>(l.cells.size()) && c < columns; ++c) {
            const Certificate::Cell &cell = l.cells[c];
            const QString shown = cell.amount ? IndianAmount(*cell.amount) : cell.text;
            const QFont cellFont = cell.amount ? font : headFont;
            page.text(amountsLeft + c * amountWidth, amountWidth - 3, h, shown, cellFont,
                      Qt::AlignRight | Qt::AlignTop);
        }
        page.y += h;
        if (l.strong)
            page.rule(kLeft, kLeft + width, page.y - 0.5, 0.3);
    }
    page.rule(kLeft, kLeft + width, page.y + 1, 0.8);
    page.y += 6;

    const QFont noteFont = PageFont(kSize, false, true);
    for (const QString &note : d.notes) {
        const double h = page.height(note, noteFont, width) + 3;
        page.need(h);
        page.text(kLeft, width, h, note, noteFont, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
        page.y += h;
    }

    const QFont plain = PageFont(kSize), bold = PageFont(kSize, true);
    if (!d.verification.isEmpty()) {
        page.y += 4;
        const double h = page.height(d.verification.value(1), plain, width) + 4;
        page.need(h + 70);
        page.text(kLeft, width, 12, d.verification.value(0), PageFont(kSize, true), Qt::AlignHCenter | Qt::AlignTop);
        page.y += 14;
        page.text(kLeft, width, h, d.verification.value(1), plain, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
        page.y += h + 6;
    } else {
        page.need(40);
        page.y += 6;
    }
    page.text(kLeft, 200, 12, QStringLiteral("Place: ") + d.place, plain, Qt::AlignLeft | Qt::AlignTop);
    if (!d.verification.isEmpty())
        page.text(kLeft + width - 260, 260, 12,
                  QStringLiteral("(Signature of person responsible for deduction of tax)"), plain,
                  Qt::AlignRight | Qt::AlignTop);
    page.y += 13;
    page.text(kLeft, 200, 12, QStringLiteral("Date: ") + d.date, plain, Qt::AlignLeft | Qt::AlignTop);
    if (!d.verification.isEmpty())
        page.text(kLeft + width - 260, 260, 12, QStringLiteral("Full Name: ") + d.signatory, bold,
                  Qt::AlignRight | Qt::AlignTop);
    page.y += 13;
    return page.pages;
}

} // namespace CertificatePdf
