// Draws the default skin and writes the resource bundle's sources: every bitmap, icon and
// string by number, and the .qrc that rcc turns into "Sorvik.dll".
//
//   sorvik_art <output folder> <strings table>

#include "SkinLayout.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>

using namespace sorvik;

namespace {

struct Bundle
{
    QDir root;
    std::map<QString, QString> files; // resource path -> file, for the .qrc
    std::map<int, QByteArray> strings;

    bool Write(const QString& path, const QByteArray& bytes)
    {
        const QString file = root.filePath(path);
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "sorvik_art: cannot write %s\n", qPrintable(file));
            return false;
        }
        files[path] = path;
        return true;
    }

    bool WriteImage(const QString& path, const QImage& image)
    {
        const QString file = root.filePath(path);
        QDir().mkpath(QFileInfo(file).path());
        if (!image.save(file, "PNG")) {
            std::fprintf(stderr, "sorvik_art: cannot write %s\n", qPrintable(file));
            return false;
        }
        files[path] = path;
        return true;
    }
};

// ---------------------------------------------------------------------------------------------
// Drawing helpers

QImage Transparent(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

/// The bitmap as the button loader sees it: the drawing composed over the backdrop it will sit
/// on, and pure red wherever the drawing left the pixel empty, so that the key colour lets
/// the parent through there. Edges are smoothed against the real backdrop, so they stay clean.
QImage Keyed(const QImage& drawing, const QImage& backdrop)
{
    QImage out = backdrop.convertToFormat(QImage::Format_RGB32);
    {
        QPainter p(&out);
        p.drawImage(0, 0, drawing);
    }
    const QImage alpha = drawing.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        const auto* a = reinterpret_cast<const QRgb*>(alpha.constScanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (qAlpha(a[x]) == 0)
                line[x] = qRgb(255, 0, 0);
            else if ((line[x] & 0xFFFFFF) == 0xFF0000)
                line[x] = qRgb(254, 0, 0); // never the key colour by accident
        }
    }
    return out;
}

QImage Flat(QSize size, const QColor& colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QPainterPath RoundedRect(const QRectF& r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

/// A rectangle with its top corners rounded.
QPainterPath TopRounded(const QRectF& r, qreal radius)
{
    QPainterPath path;
    path.moveTo(r.left(), r.bottom());
    path.lineTo(r.left(), r.top() + radius);
    path.arcTo(QRectF(r.left(), r.top(), 2 * radius, 2 * radius), 180, -90);
    path.lineTo(r.right() - radius, r.top());
    path.arcTo(QRectF(r.right() - 2 * radius, r.top(), 2 * radius, 2 * radius), 90, -90);
    path.lineTo(r.right(), r.bottom());
    path.closeSubpath();
    return path;
}

QLinearGradient Vertical(qreal top, qreal bottom, const QColor& a, const QColor& b)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

QFont Face(int pixels, int weight, qreal spacing = 0)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setWeight(static_cast<QFont::Weight>(weight));
    if (spacing != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

/// The signal fan: a dot and `arcs` arcs opening upwards from `centre`.
void DrawFan(QPainter& p, QPointF centre, qreal step, int arcs, qreal width, const QColor& colour)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, width, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= arcs; ++i) {
        const qreal r = step * i;
        p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(centre, width * 0.95, width * 0.95);
    p.restore();
}

// ---------------------------------------------------------------------------------------------
// The main window background, 1200

QImage DrawBackground()
{
    QImage image(kMainWidth, kMainHeight, QImage::Format_RGB32);
    image.fill(kBody);
    QPainter p(&image);

    // Caption band and tab row.
    p.fillRect(QRect(0, 0, kMainWidth, kHeaderBottom),
               Vertical(0, kHeaderBottom, kHeaderStart, kHeaderEnd));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 9), 1));
    for (int r = 70; r <= 330; r += 26)
        p.drawEllipse(QPointF(kMainWidth + 10, -40), r, r);
    p.setRenderHint(QPainter::Antialiasing, false);

    // Brand.
    DrawFan(p, QPointF(38, 70), 8.5, 3, 3.2, kAccent);
    p.setPen(kLight);
    p.setFont(Face(22, 700));
    p.drawText(QPoint(70, 62), QStringLiteral("Quelmar"));
    const int brandWidth = QFontMetrics(Face(22, 700)).horizontalAdvance(QStringLiteral("Quelmar"));
    p.setPen(kMuted);
    p.setFont(Face(22, 300));
    p.drawText(QPoint(70 + brandWidth + 6, 62), QStringLiteral("Wireless"));
    p.setFont(Face(12, 400, 0.3));
    p.drawText(QPoint(71, 82), QStringLiteral("Wireless Configuration Utility"));

    // Accent line under the tabs.
    p.fillRect(kAccentLine, kAccent);

    // Left panel: the adapters and the two check boxes.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kPanel);
    p.drawPath(RoundedRect(QRectF(kLeftPanel), 5));
    p.setBrush(QColor(0x1A, 0x1E, 0x24));
    p.setPen(QPen(kLine, 1));
    p.drawRoundedRect(QRectF(kAdapterTree).adjusted(-1.5, -1.5, 1.5, 1.5), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(kCheckCard), 4, 4);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0x7E, 0x88, 0x93));
    p.setFont(Face(10, 700, 1.4));
    p.drawText(QPoint(kLeftPanel.left() + 10, kLeftPanel.top() + 22), QStringLiteral("ADAPTERS"));

    // Page area and footer.
    p.fillRect(kPageArea, Qt::white);
    p.fillRect(kFooter, kFooterFill);
    p.fillRect(QRect(0, kFooter.top(), kMainWidth, 1), QColor(0x26, 0x2C, 0x34));
    return image;
}

// ---------------------------------------------------------------------------------------------
// Button families

enum class Look
{
    Normal,
    Down,
    Focus,
    Off,
    Over
};

/// A tab of the tab row: near-black so that both the white caption and the grey disabled
/// caption read on it; the pressed tab is the selected one and carries the accent.
QImage DrawTab(QSize size, Look look)
{
    QImage image = Transparent(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, size.width(), size.height());
    const QPainterPath shape = TopRounded(r, 6);
    QColor top(0x00, 0x00, 0x00), bottom(0x00, 0x00, 0x00);
    if (look == Look::Over) {
        top = QColor(0x2A, 0x30, 0x38);
        bottom = QColor(0x1C, 0x20, 0x26);
    } else if (look == Look::Down) {
        top = QColor(0x36, 0x3E, 0x48);
        bottom = QColor(0x2B, 0x32, 0x3B);
    }
    p.fillPath(shape, Vertical(0, size.height(), top, bottom));
    if (look == Look::Normal || look == Look::Focus) {
        // A faint rim keeps the black tab apart from the caption band.
        p.setPen(QPen(QColor(0x2C, 0x32, 0x3A), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(TopRounded(r.adjusted(0.5, 0.5, -0.5, 0.5), 5.5));
    }
    // Top highlight.
    p.save();
    p.setClipPath(shape);
    p.fillRect(QRectF(0, 0, size.width(), 1),
               QColor(255, 255, 255, look == Look::Normal ? 14 : 26));
    p.restore();
    if (look == Look::Focus) {
        p.setPen(QPen(QColor(0x6E, 0x7B, 0x89), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(TopRounded(r.adjusted(2.5, 2.5, -2.5, -3.5), 4));
    }
    if (look == Look::Down)
        p.fillRect(QRectF(0, size.height() - 3, size.width(), 3), kAccent);
    return image;
}

enum class Tone
{
    Slate,
    Accent
};

/// A push button of the pages and the footer.
QImage DrawPushButton(QSize size, Look look, Tone tone, qreal radius)
{
    QImage image = Transparent(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, size.width(), size.height());
    QColor top, bottom, edge;
    if (tone == Tone::Slate) {
        top = QColor(0x3A, 0x44, 0x50);
        bottom = QColor(0x2C, 0x34, 0x3E);
        edge = QColor(0x22, 0x29, 0x31);
        if (look == Look::Over) {
            top = QColor(0x48, 0x54, 0x62);
            bottom = QColor(0x39, 0x43, 0x4F);
        } else if (look == Look::Down) {
            top = QColor(0x1D, 0x23, 0x2A);
            bottom = QColor(0x27, 0x2E, 0x36);
            edge = QColor(0x15, 0x19, 0x1E);
        }
    } else {
        top = QColor(0xC9, 0x54, 0x1A);
        bottom = QColor(0xB8, 0x4A, 0x10);
        edge = QColor(0xA2, 0x3F, 0x0C);
        if (look == Look::Over) {
            top = QColor(0xD4, 0x5B, 0x1E);
            bottom = QColor(0xC4, 0x51, 0x14);
        } else if (look == Look::Down) {
            top = QColor(0xA4, 0x40, 0x0D);
            bottom = QColor(0xB2, 0x47, 0x10);
            edge = QColor(0x88, 0x33, 0x08);
        }
    }
    if (look == Look::Off) {
        top = bottom = QColor(0x86, 0x8E, 0x97);
        edge = QColor(0x7C, 0x84, 0x8D);
    }
    const QPainterPath outer = RoundedRect(r, radius);
    p.fillPath(outer, edge);
    const QPainterPath inner = RoundedRect(r.adjusted(1, 1, -1, -1), radius - 1);
    p.fillPath(inner, Vertical(1, size.height() - 1, top, bottom));
    if (look != Look::Down && look != Look::Off) {
        p.save();
        p.setClipPath(inner);
        p.fillRect(QRectF(1, 1, size.width() - 2, 1), QColor(255, 255, 255, 30));
        p.restore();
    }
    if (look == Look::Focus) {
        const QColor ring = tone == Tone::Slate ? kAccent : QColor(255, 255, 255, 210);
        p.setPen(QPen(ring, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(RoundedRect(r.adjusted(2.5, 2.5, -2.5, -2.5), radius - 2));
    }
    return image;
}

/// The footer's Close button: solid, with a light disabled state for its grey caption.
QImage DrawFooterButton(QSize size, Look look)
{
    if (look != Look::Off)
        return DrawPushButton(size, look, Tone::Slate, 4);
    QImage image = Transparent(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, size.width(), size.height());
    p.fillPath(RoundedRect(r, 4), QColor(0xB4, 0xBA, 0xC1));
    p.fillPath(RoundedRect(r.adjusted(1, 1, -1, -1), 3), QColor(0xCB, 0xCF, 0xD4));
    return image;
}

/// The footer's About button: an outline that fills on hover.
QImage DrawGhostButton(QSize size, Look look)
{
    QImage image = Transparent(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, size.width() - 1, size.height() - 1);
    QColor fill = Qt::transparent, border(0x44, 0x4D, 0x58);
    if (look == Look::Over) {
        fill = QColor(0x29, 0x2F, 0x37);
        border = QColor(0x55, 0x60, 0x6C);
    } else if (look == Look::Down) {
        fill = QColor(0x0C, 0x0E, 0x11);
    } else if (look == Look::Focus) {
        border = QColor(0x8C, 0x98, 0xA5);
    }
    if (fill.alpha() > 0)
        p.fillPath(RoundedRect(r, 4), fill);
    else
        p.fillPath(RoundedRect(r, 4), QColor(0x15, 0x18, 0x1D, 1)); // keeps the face opaque
    p.setPen(QPen(border, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(RoundedRect(r, 4));
    return image;
}

/// The caption band's close and minimise boxes.
QImage DrawWindowBox(QSize size, Look look, bool close)
{
    QImage image = Transparent(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, size.width(), size.height());
    QColor glyph(0xAE, 0xB6, 0xBF);
    if (look == Look::Over || look == Look::Down) {
        QColor box = close ? kAccentDeep : QColor(0x36, 0x3E, 0x48);
        if (look == Look::Down)
            box = close ? QColor(0x9E, 0x3C, 0x0C) : QColor(0x0E, 0x10, 0x13);
        p.fillPath(RoundedRect(r, 4), box);
        glyph = Qt::white;
    } else if (look == Look::Focus) {
        p.setPen(QPen(QColor(0x6E, 0x7B, 0x89), 1));
        p.drawPath(RoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4));
        glyph = QColor(0xDD, 0xE1, 0xE5);
    }
    const qreal cx = size.width() / 2.0, cy = size.height() / 2.0;
    if (close) {
        p.setPen(QPen(glyph, 1.8, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(cx - 5, cy - 5), QPointF(cx + 5, cy + 5));
        p.drawLine(QPointF(cx + 5, cy - 5), QPointF(cx - 5, cy + 5));
    } else {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRect(static_cast<int>(cx) - 5, static_cast<int>(cy) + 3, 10, 2), glyph);
    }
    return image;
}

// ---------------------------------------------------------------------------------------------
// Icons

/// The tray meter: four rising bars, `level` of them lit. Geometry per size so that every
/// bar edge falls on a pixel.
QImage DrawMeter(int size, int level)
{
    struct Geometry
    {
        int x0, width, gap, bottom;
        int heights[4];
    };
    Geometry g{};
    switch (size) {
    case 16:
        g = {1, 3, 1, 15, {4, 7, 10, 14}};
        break;
    case 22:
        g = {2, 4, 1, 21, {6, 10, 15, 20}};
        break;
    case 24:
        g = {1, 5, 1, 23, {6, 11, 16, 22}};
        break;
    case 32:
        g = {1, 6, 2, 31, {8, 15, 22, 30}};
        break;
    default:
        g = {1, 9, 3, 47, {12, 23, 34, 46}};
        break;
    }
    QImage image = Transparent(QSize(size, size));
    QPainter p(&image);
    const QColor lit = kAccent, litEdge(0x9A, 0x3D, 0x0E);
    const QColor dim(0x8A, 0x93, 0x9D, 96), dimEdge(0x5A, 0x62, 0x6B, 150);
    for (int i = 0; i < 4; ++i) {
        const QRect bar(g.x0 + i * (g.width + g.gap), g.bottom - g.heights[i] + 1, g.width,
                        g.heights[i]);
        const bool on = i < level;
        if (size >= 22) {
            p.fillRect(bar, on ? litEdge : dimEdge);
            p.fillRect(bar.adjusted(1, 1, -1, -1), on ? lit : dim);
        } else {
            p.fillRect(bar, on ? lit : QColor(0x7C, 0x85, 0x8F, 140));
        }
    }
    return image;
}

/// A small check badge at the lower right: the connected mark of the scan-list icons.
void DrawBadge(QPainter& p, int size)
{
    const qreal d = size * 7.0 / 16.0;
    const QRectF badge(size - d, size - d, d, d);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x22, 0x28, 0x30));
    p.drawEllipse(badge);
    QPen pen(Qt::white, size / 16.0 * 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    const qreal u = d / 8.0;
    QPainterPath tick;
    tick.moveTo(badge.left() + 2.2 * u, badge.top() + 4.2 * u);
    tick.lineTo(badge.left() + 3.6 * u, badge.top() + 5.6 * u);
    tick.lineTo(badge.left() + 6.0 * u, badge.top() + 2.6 * u);
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

/// Scan-list row icons: an access point (infrastructure) or two linked computers (ad hoc),
/// grey when idle and in the accent with a check when connected.
QImage DrawScanIcon(int size, bool adhoc, bool connected)
{
    QImage image = Transparent(QSize(size, size));
    QPainter p(&image);
    const qreal u = size / 16.0;
    const QColor colour = connected ? kAccent : kGlyph;
    if (!adhoc) {
        DrawFan(p, QPointF(connected ? 6.5 * u : 8 * u, 12.5 * u), 3.6 * u, 3, 1.5 * u, colour);
    } else {
        // Two computers side by side, linked.
        p.setRenderHint(QPainter::Antialiasing, false);
        auto px = [u](qreal v) { return qRound(v * u); };
        auto screen = [&](qreal x, qreal y) {
            const QRect body(px(x), px(y), px(7), px(5));
            p.fillRect(body, colour);
            p.fillRect(QRect(px(x + 1), px(y + 1), px(5), px(3)), QColor(255, 255, 255, 235));
            p.fillRect(QRect(px(x + 3), px(y + 5), px(1), px(1)), colour);
            p.fillRect(QRect(px(x + 2), px(y + 6), px(3), px(1)), colour);
        };
        const qreal top = connected ? 1 : 4;
        screen(0, top);
        screen(9, top);
        p.fillRect(QRect(px(7), px(top + 2), px(2), px(1)), colour);
    }
    if (connected)
        DrawBadge(p, size);
    return image;
}

/// Wizard result pictures: a disc with a mark, on the white wizard page.
QImage DrawResult(int kind)
{
    QImage image = Flat(kResultPicture, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {QColor(0xC2, 0x40, 0x2E), QColor(0xE0, 0x6A, 0x24),
                              QColor(0x2E, 0x8A, 0x57)};
    const QColor c = colours[kind];
    const QPointF centre(32, 32);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(c.red(), c.green(), c.blue(), 40));
    p.drawEllipse(centre, 31, 31);
    p.setBrush(c);
    p.drawEllipse(centre, 26, 26);
    QPen pen(Qt::white, 5.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (kind == 0) {
        p.drawLine(QPointF(23, 23), QPointF(41, 41));
        p.drawLine(QPointF(41, 23), QPointF(23, 41));
    } else if (kind == 1) {
        p.drawLine(QPointF(32, 20), QPointF(32, 35));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(32, 43.5), 3.4, 3.4);
    } else {
        QPainterPath tick;
        tick.moveTo(21, 33);
        tick.lineTo(29, 41);
        tick.lineTo(44, 24);
        p.drawPath(tick);
    }
    return image;
}

// ---------------------------------------------------------------------------------------------

struct Family
{
    const char* name;
    int ids[5]; // normal, down, focus, off, over
};

bool WriteFamily(Bundle& bundle, const int (&ids)[5], const std::function<QImage(Look)>& draw,
                 const QImage& backdrop)
{
    const Look looks[] = {Look::Normal, Look::Down, Look::Focus, Look::Off, Look::Over};
    for (int i = 0; i < 5; ++i) {
        // States that share a number with the normal state (no own disabled picture) are
        // written once.
        if (i > 0 && ids[i] == ids[0])
            continue;
        const QString path = QStringLiteral("bitmap/%1.png").arg(ids[i]);
        if (bundle.files.count(path))
            continue;
        if (!bundle.WriteImage(path, Keyed(draw(looks[i]), backdrop)))
            return false;
    }
    return true;
}

bool ReadStrings(const QString& file, Bundle& bundle)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "sorvik_art: cannot read %s\n", qPrintable(file));
        return false;
    }
    int lineNumber = 0;
    while (!in.atEnd()) {
        QByteArray line = in.readLine();
        ++lineNumber;
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype tab = line.indexOf('\t');
        bool ok = false;
        const int id = tab > 0 ? line.left(tab).toInt(&ok) : 0;
        if (!ok || id <= 0) {
            std::fprintf(stderr, "%s:%d: expected a number, a tab and the text\n", qPrintable(file),
                         lineNumber);
            return false;
        }
        if (bundle.strings.count(id)) {
            std::fprintf(stderr, "%s:%d: string %d given twice\n", qPrintable(file), lineNumber,
                         id);
            return false;
        }
        bundle.strings[id] = line.mid(tab + 1);
    }
    return true;
}

bool WriteQrc(Bundle& bundle)
{
    QByteArray qrc = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const auto& [path, file] : bundle.files)
        qrc += "  <file>" + file.toUtf8() + "</file>\n";
    qrc += "</qresource>\n</RCC>\n";
    QFile out(bundle.root.filePath(QStringLiteral("Sorvik.qrc")));
    return out.open(QIODevice::WriteOnly) && out.write(qrc) == qrc.size();
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: sorvik_art <output folder> <strings table>\n");
        return 2;
    }
    Bundle bundle{QDir(QString::fromLocal8Bit(argv[1])), {}, {}};
    if (!QDir().mkpath(bundle.root.path()) || !ReadStrings(QString::fromLocal8Bit(argv[2]), bundle))
        return 1;

    const QImage background = DrawBackground();
    bool ok = bundle.WriteImage(QStringLiteral("bitmap/1200.png"), background);

    // Main-window buttons are smoothed against the background where they sit.
    auto placed = [](const char* family) {
        for (const TabPlace& place : kPlacedButtons) {
            if (std::string(place.family) == family)
                return place.rect;
        }
        return QRect();
    };
    const Family tabs[] = {
        {"LinkInfo", {1212, 1209, 1210, 1212, 1211}}, {"Config", {1208, 1205, 1206, 1208, 1207}},
        {"Survey", {1220, 1217, 1218, 1220, 1219}},   {"Profile", {1216, 1213, 1214, 1216, 1215}},
        {"About", {1204, 1201, 1202, 1204, 1203}},    {"Wps", {1362, 1360, 1359, 1362, 1361}}};
    for (const Family& tab : tabs) {
        const QRect where = placed(tab.name);
        ok = ok && WriteFamily(
                       bundle, tab.ids, [&](Look l) { return DrawTab(where.size(), l); },
                       background.copy(where));
    }
    const QRect closeBox = placed("X");
    ok = ok && WriteFamily(
                   bundle, {1224, 1221, 1222, 1224, 1223},
                   [&](Look l) { return DrawWindowBox(closeBox.size(), l, true); },
                   background.copy(closeBox));
    ok = ok && WriteFamily(
                   bundle, {1354, 1351, 1352, 1354, 1353},
                   [&](Look l) { return DrawWindowBox(kMinimiseBox.size(), l, false); },
                   background.copy(kMinimiseBox));
    ok = ok && WriteFamily(
                   bundle, {1329, 1326, 1327, 1329, 1328},
                   [&](Look l) { return DrawGhostButton(kAboutButton.size(), l); },
                   background.copy(kAboutButton));
    ok = ok && WriteFamily(
                   bundle, {1349, 1346, 1347, 1350, 1348},
                   [&](Look l) { return DrawFooterButton(kCloseButton.size(), l); },
                   background.copy(kCloseButton));

    // Page buttons sit on white pages.
    const QImage white = Flat(kPageButton, Qt::white);
    ok = ok && WriteFamily(
                   bundle, {1309, 1306, 1307, 1310, 1308},
                   [&](Look l) { return DrawPushButton(kPageButton, l, Tone::Accent, 4); }, white);
    for (const Family& f : {Family{"Button_Cancel", {1319, 1316, 1317, 1320, 1318}},
                            Family{"Button_Refresh", {1339, 1336, 1337, 1340, 1338}},
                            Family{"Button_Connect", {1324, 1321, 1322, 1325, 1323}}}) {
        ok = ok &&
             WriteFamily(
                 bundle, f.ids,
                 [&](Look l) { return DrawPushButton(kPageButton, l, Tone::Slate, 4); }, white);
    }
    ok = ok && WriteFamily(
                   bundle, {1304, 1301, 1302, 1305, 1303},
                   [&](Look l) { return DrawPushButton(kWpsButton, l, Tone::Slate, 5); },
                   Flat(kWpsButton, Qt::white));

    // Wizard result pictures: failure, information, success.
    for (int kind = 0; kind < 3; ++kind)
        ok = ok &&
             bundle.WriteImage(QStringLiteral("bitmap/%1.png").arg(1356 + kind), DrawResult(kind));

    // Tray meter, Status0 to Status4, and the scan-list icons.
    for (int level = 0; level <= 4; ++level) {
        for (int size : {16, 22, 24, 32, 48})
            ok = ok &&
                 bundle.WriteImage(QStringLiteral("icon/%1/%2.png").arg(1102 + level).arg(size),
                                   DrawMeter(size, level));
    }
    for (int i = 0; i < 4; ++i) {
        const bool adhoc = i == 2 || i == 3;
        const bool connected = i == 1 || i == 3;
        for (int size : {16, 32})
            ok = ok && bundle.WriteImage(QStringLiteral("icon/%1/%2.png").arg(1525 + i).arg(size),
                                         DrawScanIcon(size, adhoc, connected));
    }

    // Tab placements follow the background; they are not written by hand.
    for (const TabPlace& place : kPlacedButtons) {
        const int values[] = {place.rect.left(), place.rect.left() + place.rect.width(),
                              place.rect.top(), place.rect.top() + place.rect.height()};
        for (int i = 0; i < 4; ++i) {
            if (bundle.strings.count(place.firstString + i)) {
                std::fprintf(stderr, "sorvik_art: string %d is the placement of %s\n",
                             place.firstString + i, place.family);
                return 1;
            }
            bundle.strings[place.firstString + i] = QByteArray::number(values[i]);
        }
    }
    for (const auto& [id, text] : bundle.strings)
        ok = ok && bundle.Write(QStringLiteral("string/%1.txt").arg(id), text);

    if (!ok || !WriteQrc(bundle))
        return 1;
    return 0;
}
