// Draws the login window's background (458 x 290, baseline 24-bit JPEG) and
// the program icon (48 x 48, full colour; reduced to 256 colours with
// ImageMagick). Run once; the pictures are kept in resources/.
//   make_pictures <resources folder>
//   convert datadict_full.png -colors 256 PNG8:datadict.png && rm datadict_full.png
#include <QApplication>
#include <QFont>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

static QFont face(int pixels, bool bold)
{
    QFont f;
    f.setFamilies({"WenQuanYi Micro Hei", "Noto Sans CJK SC"});
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

static void background(const QString &path)
{
    QImage img(458, 290, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 458, 290);
    sky.setColorAt(0.0, QColor(28, 72, 112));
    sky.setColorAt(0.55, QColor(52, 118, 150));
    sky.setColorAt(1.0, QColor(170, 205, 215));
    p.fillRect(img.rect(), sky);
    // Soft overlapping discs.
    const struct { int x, y, r, a; } discs[] = {
        {60, 230, 150, 40}, {150, 40, 90, 28}, {420, 60, 130, 24}, {300, 300, 120, 30}};
    for (const auto &d : discs) {
        QRadialGradient g(d.x, d.y, d.r);
        g.setColorAt(0, QColor(255, 255, 255, d.a));
        g.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(g);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(d.x, d.y), d.r, d.r);
    }
    // Gentle waves along the bottom.
    for (int i = 0; i < 3; ++i) {
        QPainterPath wave;
        const int base = 250 + i * 14;
        wave.moveTo(0, base);
        wave.cubicTo(120, base - 30, 300, base + 25, 458, base - 10);
        wave.lineTo(458, 290);
        wave.lineTo(0, 290);
        wave.closeSubpath();
        p.fillPath(wave, QColor(255, 255, 255, 30 + i * 12));
    }
    // A stack of ledger sheets on the left.
    for (int i = 0; i < 3; ++i) {
        const QRect sheet(34 + i * 10, 108 - i * 10, 92, 112);
        p.setPen(QPen(QColor(20, 60, 95, 180), 1));
        p.setBrush(QColor(245, 248, 250, 150 + i * 35));
        p.drawRoundedRect(sheet, 4, 4);
    }
    p.setPen(QPen(QColor(52, 118, 150), 2));
    for (int row = 0; row < 6; ++row)
        p.drawLine(64, 104 + row * 14, 140, 104 + row * 14);
    p.setPen(QPen(QColor(214, 120, 40), 3));
    p.drawLine(64, 104, 64, 174);
    // The title.
    p.setPen(QColor(0, 0, 0, 70));
    p.setFont(face(24, true));
    p.drawText(QRect(22, 22, 430, 40), Qt::AlignLeft | Qt::AlignVCenter, "StravikR2/P5 数据字典工具");
    p.setPen(Qt::white);
    p.drawText(QRect(20, 20, 430, 40), Qt::AlignLeft | Qt::AlignVCenter, "StravikR2/P5 数据字典工具");
    p.setFont(face(12, false));
    p.setPen(QColor(220, 235, 242));
    p.drawText(QRect(22, 58, 430, 20), Qt::AlignLeft | Qt::AlignVCenter, "账套 · 会计年度 · 数据表 · 字段");
    p.end();
    QImageWriter w(path, "jpeg");
    w.setQuality(90);
    w.setProgressiveScanWrite(false);
    w.setOptimizedWrite(false);
    w.write(img);
}

static void icon(const QString &path)
{
    QImage img(48, 48, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 48, 48);
    g.setColorAt(0, QColor(52, 118, 150));
    g.setColorAt(1, QColor(28, 72, 112));
    p.setBrush(g);
    p.setPen(QPen(QColor(18, 50, 80), 1.5));
    p.drawRoundedRect(QRectF(3, 3, 42, 42), 7, 7);
    // A book with ruled lines.
    p.setBrush(QColor(250, 250, 245));
    p.setPen(QPen(QColor(18, 50, 80), 1));
    p.drawRect(QRectF(11, 10, 26, 28));
    p.setPen(QPen(QColor(52, 118, 150), 2));
    for (int y = 17; y <= 33; y += 5)
        p.drawLine(QPointF(16, y), QPointF(33, y));
    p.setPen(QPen(QColor(214, 120, 40), 3));
    p.drawLine(QPointF(14, 11), QPointF(14, 37));
    p.end();
    // Full colour here; the 256-colour palette is made afterwards:
    //   convert datadict_full.png -colors 256 PNG8:datadict.png
    img.save(path, "png");
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    background(dir + "/login_background.jpg");
    icon(dir + "/datadict_full.png");
    return 0;
}
