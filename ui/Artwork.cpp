#include "Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

void DrawPicture(QPainter &p, const QRectF &r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal u = qMin(r.width(), r.height()) / 100.0;
    p.translate(r.center().x() - 50 * u, r.center().y() - 50 * u);
    p.scale(u, u);

    // The ledger: a bound book with ruled lines.
    p.setPen(QPen(QColor(40, 60, 90), 2));
    p.setBrush(QColor(38, 84, 140));
    p.drawRoundedRect(QRectF(8, 14, 62, 76), 4, 4);
    p.setBrush(QColor(250, 248, 240));
    p.drawRect(QRectF(16, 20, 50, 64));
    p.setPen(QPen(QColor(150, 170, 200), 1.2));
    for (int y = 30; y < 80; y += 8)
        p.drawLine(QLineF(22, y, 60, y));
    p.setPen(QPen(QColor(190, 60, 60), 1.2));
    p.drawLine(QLineF(28, 22, 28, 82));

    // The coin with the rupee sign.
    QRadialGradient gold(QPointF(66, 62), 30);
    gold.setColorAt(0, QColor(255, 226, 120));
    gold.setColorAt(1, QColor(210, 150, 30));
    p.setPen(QPen(QColor(150, 100, 10), 2));
    p.setBrush(gold);
    p.drawEllipse(QPointF(70, 66), 24, 24);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(30);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(120, 70, 0));
    p.drawText(QRectF(46, 42, 48, 48), Qt::AlignCenter, QString(QChar(0x20B9)));
    p.restore();
}

} // namespace

QPixmap SuitePicture(const QSize &size)
{
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    DrawPicture(p, QRectF(QPointF(0, 0), size));
    return pm;
}

QPixmap MainBackground(const QSize &size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(222, 230, 240));
    g.setColorAt(1, QColor(176, 192, 212));
    p.fillRect(QRect(QPoint(0, 0), size), g);
    p.setOpacity(0.18);
    const int side = qMin(size.width(), size.height()) / 3;
    DrawPicture(p, QRectF(size.width() - side - 24, size.height() - side - 24, side, side));
    return pm;
}
