// Draws the program's own resources and writes the resource list that rcc compiles into
// Tavoro: the program icon 128, the adapter tree's icons 143 to 145, menu 139, string 101.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cstdio>
#include <functional>

namespace {

const QColor kAccent{0xF0, 0x68, 0x24};
const QColor kSlate{0x2E, 0x37, 0x42};
const QColor kLight{0xF2, 0xF4, 0xF6};

using Draw = std::function<void(QPainter&, double)>;

void DrawWaves(QPainter& p, double s, const QColor& colour)
{
    p.setPen(QPen(colour, s * 0.09, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QPointF centre(s * 0.5, s * 0.74);
    for (double r : {0.18, 0.32, 0.46}) {
        const QRectF box(centre.x() - r * s, centre.y() - r * s, 2 * r * s, 2 * r * s);
        p.drawArc(box, 45 * 16, 90 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(centre, s * 0.07, s * 0.07);
}

// 128: the program, an accent tile with the radio waves.
void DrawProgram(QPainter& p, double s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.2, s * 0.2);
    DrawWaves(p, s, Qt::white);
}

// 143: the computer at the root of the adapter tree.
void DrawComputer(QPainter& p, double s)
{
    p.setPen(QPen(kSlate, s * 0.06));
    p.setBrush(kLight);
    p.drawRoundedRect(QRectF(s * 0.08, s * 0.12, s * 0.84, s * 0.56), s * 0.06, s * 0.06);
    p.setBrush(QColor(0x5B, 0x9B, 0xD5));
    p.drawRect(QRectF(s * 0.18, s * 0.22, s * 0.64, s * 0.36));
    p.setBrush(kSlate);
    p.drawRect(QRectF(s * 0.42, s * 0.68, s * 0.16, s * 0.12));
    p.drawRect(QRectF(s * 0.24, s * 0.8, s * 0.52, s * 0.08));
}

// 144: an adapter card.
void DrawCard(QPainter& p, double s)
{
    p.setPen(QPen(kSlate, s * 0.06));
    p.setBrush(QColor(0x3C, 0x8D, 0x5A));
    p.drawRect(QRectF(s * 0.08, s * 0.3, s * 0.84, s * 0.44));
    p.setBrush(QColor(0xE0, 0xB0, 0x30));
    for (int i = 0; i < 5; ++i)
        p.drawRect(QRectF(s * (0.16 + i * 0.15), s * 0.74, s * 0.09, s * 0.12));
}

// 145: a wireless adapter.
void DrawWirelessAdapter(QPainter& p, double s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kSlate);
    p.drawRoundedRect(QRectF(s * 0.3, s * 0.46, s * 0.4, s * 0.48), s * 0.08, s * 0.08);
    DrawWaves(p, s * 0.9, kAccent);
}

bool WriteIcon(const QString& folder, int id, const Draw& draw)
{
    QDir().mkpath(QStringLiteral("%1/icon/%2").arg(folder).arg(id));
    for (int size : {16, 24, 32, 48}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter, size);
        painter.end();
        if (!image.save(QStringLiteral("%1/icon/%2/%3.png").arg(folder).arg(id).arg(size)))
            return false;
    }
    return true;
}

bool WriteText(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavoro_art <output folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const struct
    {
        int id;
        Draw draw;
    } icons[] = {
        {128, DrawProgram}, {143, DrawComputer}, {144, DrawCard}, {145, DrawWirelessAdapter}};
    bool ok = true;
    for (const auto& icon : icons)
        ok = ok && WriteIcon(folder, icon.id, icon.draw);
    ok = ok && WriteText(folder + "/string/101.txt", "&About Tavoro...");
    // Menu 139: one pop-up, one item per line: command, a tab, the text.
    ok = ok && WriteText(folder + "/menu/139.txt", "32771\tOpen\n32772\tExit\n");

    QByteArray qrc = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/tavoro\">\n";
    for (const auto& icon : icons)
        for (int size : {16, 24, 32, 48})
            qrc +=
                QStringLiteral("  <file>icon/%1/%2.png</file>\n").arg(icon.id).arg(size).toUtf8();
    qrc += "  <file>string/101.txt</file>\n  <file>menu/139.txt</file>\n</qresource>\n</RCC>\n";
    ok = ok && WriteText(folder + "/Tavoro.qrc", qrc);
    if (!ok) {
        std::fprintf(stderr, "tavoro_art: cannot write to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
