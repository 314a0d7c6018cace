// Draws the program icon (PNG at the usual sizes) and the two About box
// pictures (JPEG, written with libjpeg). Run by hand; only its output is kept.
//   g++ -std=c++20 -fPIC make_images.cpp $(pkg-config --cflags --libs Qt6Gui) -ljpeg -o make_images
//   QT_QPA_PLATFORM=offscreen ./make_images <resources folder>
#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <jpeglib.h>

namespace {

void drawLink(QPainter& p, QPointF centre, qreal length, qreal thickness, qreal angle, const QColor& colour)
{
    p.save();
    p.translate(centre);
    p.rotate(angle);
    QPen pen(colour, thickness);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const qreal h = length * 0.46;
    p.drawRoundedRect(QRectF(-length / 2, -h / 2, length, h), h / 2, h / 2);
    p.restore();
}

// Two chain links on a blue tile, with a small gold spark: "links gathered".
QImage programIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const qreal m = s * 0.04;
    QLinearGradient g(0, 0, 0, s);
    g.setColorAt(0, QColor(0x2f, 0x8c, 0xe8));
    g.setColorAt(1, QColor(0x12, 0x45, 0xa8));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(m, m, s - 2 * m, s - 2 * m), s * 0.2, s * 0.2);

    const qreal thick = std::max(1.6, s * 0.095);
    drawLink(p, QPointF(s * 0.38, s * 0.60), s * 0.46, thick, -45, QColor(255, 255, 255));
    drawLink(p, QPointF(s * 0.62, s * 0.40), s * 0.46, thick, -45, QColor(0xff, 0xd0, 0x40));
    if (size >= 32) {
        p.setBrush(QColor(0xff, 0xd0, 0x40));
        p.setPen(Qt::NoPen);
        QPainterPath star;
        const QPointF c(s * 0.80, s * 0.80);
        const qreal r = s * 0.09;
        star.moveTo(c + QPointF(0, -r));
        star.lineTo(c + QPointF(r * 0.28, -r * 0.28));
        star.lineTo(c + QPointF(r, 0));
        star.lineTo(c + QPointF(r * 0.28, r * 0.28));
        star.lineTo(c + QPointF(0, r));
        star.lineTo(c + QPointF(-r * 0.28, r * 0.28));
        star.lineTo(c + QPointF(-r, 0));
        star.lineTo(c + QPointF(-r * 0.28, -r * 0.28));
        star.closeSubpath();
        p.drawPath(star);
    }
    return img;
}

QImage logo()
{
    QImage img(66, 46, QImage::Format_RGB32);
    img.fill(QColor(0xec, 0xe9, 0xd8));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawImage(QRect(2, 3, 40, 40), programIcon(160));
    QFont f("DejaVu Sans");
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x12, 0x45, 0xa8));
    p.drawText(QRect(42, 4, 24, 20), Qt::AlignCenter, "LT");
    f.setPixelSize(8);
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(0x55, 0x55, 0x55));
    p.drawText(QRect(42, 24, 24, 16), Qt::AlignCenter, "soft");
    return img;
}

QImage banner()
{
    QImage img(188, 18, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient g(0, 0, 188, 0);
    g.setColorAt(0, QColor(0x12, 0x45, 0xa8));
    g.setColorAt(1, QColor(0x2f, 0x8c, 0xe8));
    p.fillRect(img.rect(), g);
    const QString line = QString::fromUtf8("拾链工作室出品 · www.example.com");
    QFont f("WenQuanYi Micro Hei");
    int px = 13;
    do {
        f.setPixelSize(px--);
    } while (QFontMetrics(f).horizontalAdvance(line) > img.width() - 8 && px > 6);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(img.rect(), Qt::AlignCenter, line);
    return img;
}

bool writeJpeg(const QImage& image, const QString& path)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!out)
        return false;
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, out);
    c.image_width = static_cast<JDIMENSION>(rgb.width());
    c.image_height = static_cast<JDIMENSION>(rgb.height());
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 92, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(c.next_scanline)));
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(out);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_images <resources folder>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QString("icons/hicolor/%1x%1/apps").arg(size);
        root.mkpath(dir);
        ok &= programIcon(size).save(root.filePath(dir + "/linktrawler.png"));
    }
    ok &= programIcon(256).save(root.filePath("icons/linktrawler.png"));
    root.mkpath("about");
    ok &= writeJpeg(logo(), root.filePath("about/logo.jpg"));
    ok &= writeJpeg(banner(), root.filePath("about/banner.jpg"));
    return ok ? 0 : 1;
}
