// Renders the contents of a resource bundle into one PNG, at 1:1, so that the look can be
// checked by eye: the main window put together from the bundle's own placements, every skin
// family in its five states with its caption and the caption's contrast, every icon and the
// wizard pictures, and the strings.
//
//   sorvik_sheet <Sorvik.dll> <sheet.png>

#include "SkinLayout.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QResource>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace sorvik;

namespace {

const QString kRoot = QStringLiteral(":/sheet");

QImage Bitmap(int id)
{
    for (const char* suffix : {".bmp", ".png"}) {
        QImage image(kRoot + QStringLiteral("/bitmap/%1%2").arg(id).arg(QLatin1String(suffix)));
        if (!image.isNull())
            return image.convertToFormat(QImage::Format_RGB32);
    }
    return {};
}

QByteArray String(int id)
{
    QFile file(kRoot + QStringLiteral("/string/%1.txt").arg(id));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<QImage> IconImages(int id)
{
    std::vector<QImage> images;
    const QDir folder(kRoot + QStringLiteral("/icon/%1").arg(id));
    for (const QString& name : folder.entryList(QDir::Files))
        images.push_back(QImage(folder.filePath(name)));
    std::sort(images.begin(), images.end(),
              [](const QImage& a, const QImage& b) { return a.width() < b.width(); });
    return images;
}

/// The bitmap as a transparent button draws it: the key colour (here its top-left pixel's, or
/// pure red) lets the backdrop through.
QImage Masked(const QImage& bitmap, bool topLeftKey)
{
    QImage out = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = topLeftKey ? (out.pixel(0, 0) & 0xFFFFFF) : 0xFF0000;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == key)
                line[x] = 0;
        }
    }
    return out;
}

QFont CaptionFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(14);
    font.setWeight(QFont::Black);
    return font;
}

QFont PageFont(int pixels, int weight = 400)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

QFont LabelFont(int pixels, int weight = 400)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

QColor Ref(unsigned colorref)
{
    return QColor(colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF);
}

double Luminance(const QColor& c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

/// Mean colour of `image` inside `r`.
QColor Mean(const QImage& image, const QRect& r)
{
    double red = 0, green = 0, blue = 0;
    int n = 0;
    const QRect area = r.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb px = image.pixel(x, y);
            red += qRed(px);
            green += qGreen(px);
            blue += qBlue(px);
            ++n;
        }
    }
    if (n == 0)
        return Qt::black;
    return QColor(static_cast<int>(red / n), static_cast<int>(green / n),
                  static_cast<int>(blue / n));
}

enum class Backdrop
{
    Main,
    Page
};

struct SheetFamily
{
    const char* name;
    int ids[5];
    Backdrop backdrop;
    QRect where; // on the main window, for Main families
    const char* caption;
    unsigned colours[4]; // normal, hover, disabled, focus
    bool topLeftKey;
};

/// One button drawn as CBmpBtn draws it: the image through its mask, then the caption centred.
void DrawButton(QPainter& p, QPoint at, const QImage& bitmap, bool topLeftKey,
                const QString& caption, const QColor& colour)
{
    p.drawImage(at, Masked(bitmap, topLeftKey));
    if (caption.isEmpty())
        return;
    p.setFont(CaptionFont());
    p.setPen(colour);
    p.drawText(QRect(at, bitmap.size()), Qt::AlignCenter | Qt::TextSingleLine, caption);
}

QRect StringRect(int first)
{
    const int left = String(first).toInt(), right = String(first + 1).toInt();
    const int top = String(first + 2).toInt(), bottom = String(first + 3).toInt();
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: sorvik_sheet <Sorvik.dll> <sheet.png>\n");
        return 2;
    }
    QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"));
    const QString bundle = QString::fromLocal8Bit(argv[1]);
    if (!QResource::registerResource(bundle, QStringLiteral("/sheet"))) {
        std::fprintf(stderr, "sorvik_sheet: %s is not a resource bundle\n", argv[1]);
        return 1;
    }
    const QImage background = Bitmap(1200);
    if (background.isNull()) {
        std::fprintf(stderr, "sorvik_sheet: the bundle has no bitmap 1200\n");
        return 1;
    }

    const unsigned tab[4] = {0xFFFFFF, 0xFFFFFF, 0x5A5A5A, 0xFFFFFF};
    const unsigned white[4] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    const unsigned about[4] = {0xFFFFFF, 0xC3C3C3, 0xFFFFFF, 0xFFFFFF};
    auto copy = [](const unsigned(&c)[4], unsigned(&to)[4]) { std::copy(c, c + 4, to); };
    std::vector<SheetFamily> families = {
        {"LinkInfo",
         {1212, 1209, 1210, 1212, 1211},
         Backdrop::Main,
         StringRect(1906),
         "General",
         {},
         true},
        {"Config",
         {1208, 1205, 1206, 1208, 1207},
         Backdrop::Main,
         StringRect(1910),
         "Profile",
         {},
         false},
        {"Survey",
         {1220, 1217, 1218, 1220, 1219},
         Backdrop::Main,
         StringRect(1914),
         "Available Networks",
         {},
         false},
        {"Profile",
         {1216, 1213, 1214, 1216, 1215},
         Backdrop::Main,
         StringRect(1918),
         "Status",
         {},
         false},
        {"About",
         {1204, 1201, 1202, 1204, 1203},
         Backdrop::Main,
         StringRect(1922),
         "Statistics",
         {},
         false},
        {"Wps",
         {1362, 1360, 1359, 1362, 1361},
         Backdrop::Main,
         StringRect(1930),
         "Wi-Fi Protected Setup",
         {},
         false},
        {"X", {1224, 1221, 1222, 1224, 1223}, Backdrop::Main, StringRect(1926), "", {}, false},
        {"_", {1354, 1351, 1352, 1354, 1353}, Backdrop::Main, kMinimiseBox, "", {}, false},
        {"About2",
         {1329, 1326, 1327, 1329, 1328},
         Backdrop::Main,
         kAboutButton,
         "About",
         {},
         false},
        {"btn_save",
         {1349, 1346, 1347, 1350, 1348},
         Backdrop::Main,
         kCloseButton,
         "Close",
         {},
         false},
        {"Button_Apply", {1309, 1306, 1307, 1310, 1308}, Backdrop::Page, {}, "OK", {}, false},
        {"Button_Cancel", {1319, 1316, 1317, 1320, 1318}, Backdrop::Page, {}, "Cancel", {}, false},
        {"Button_Refresh",
         {1339, 1336, 1337, 1340, 1338},
         Backdrop::Page,
         {},
         "Refresh",
         {},
         false},
        {"Button_Connect",
         {1324, 1321, 1322, 1325, 1323},
         Backdrop::Page,
         {},
         "Add Profile",
         {},
         false},
        {"WPS_PIN",
         {1304, 1301, 1302, 1305, 1303},
         Backdrop::Page,
         {},
         "Pin Input Config (PIN)",
         {},
         false},
        {"WPS_PBC",
         {1304, 1301, 1302, 1305, 1303},
         Backdrop::Page,
         {},
         "Push Button Config (PBC)",
         {},
         false},
    };
    for (SheetFamily& f : families) {
        const std::string name = f.name;
        if (f.backdrop == Backdrop::Page)
            copy(white, f.colours);
        else if (name == "About2")
            copy(about, f.colours);
        else
            copy(tab, f.colours);
    }

    const int margin = 28;
    const int cellWidth = 232, labelWidth = 170, rowHeight = 92;
    const int sheetWidth =
        std::max(margin * 2 + kMainWidth + 330, margin * 2 + labelWidth + 5 * cellWidth);
    const int familiesTop = margin + 40 + kMainHeight + 40;
    const int iconsTop = familiesTop + 40 + static_cast<int>(families.size()) * rowHeight + 20;
    const int sheetHeight = iconsTop + 330;
    QImage sheet(sheetWidth, sheetHeight, QImage::Format_RGB32);
    sheet.fill(QColor(0xE9, 0xEB, 0xEE));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::TextAntialiasing);

    auto heading = [&p](int x, int y, const QString& text) {
        p.setPen(QColor(0x20, 0x24, 0x2A));
        p.setFont(LabelFont(15, 700));
        p.drawText(QPoint(x, y), text);
    };
    auto note = [&p](int x, int y, const QString& text,
                     const QColor& colour = QColor(0x55, 0x5D, 0x66)) {
        p.setPen(colour);
        p.setFont(LabelFont(11));
        p.drawText(QPoint(x, y), text);
    };

    // --- The main window put together -------------------------------------------------------
    heading(margin, margin + 16,
            QStringLiteral("Main window: bitmap 1200 with the buttons at their placements"));
    const QPoint origin(margin, margin + 36);
    {
        QImage window = background.copy();
        QPainter w(&window);
        w.setRenderHint(QPainter::TextAntialiasing);
        auto family = [&](const char* name) {
            return *std::find_if(families.begin(), families.end(),
                                 [&](const SheetFamily& f) { return std::string(f.name) == name; });
        };
        // The selected tab is held in its pressed look; one other tab shows its hover look.
        for (const char* name : {"LinkInfo", "Config", "Survey", "Profile", "About", "Wps"}) {
            const SheetFamily f = family(name);
            const int state = std::string(name) == "LinkInfo" ? 1
                              : std::string(name) == "Survey" ? 4
                                                              : 0;
            DrawButton(w, f.where.topLeft(), Bitmap(f.ids[state]), f.topLeftKey,
                       QString::fromLatin1(f.caption),
                       Ref(state == 4 ? f.colours[1] : f.colours[0]));
        }
        for (const char* name : {"X", "_", "About2", "btn_save"}) {
            const SheetFamily f = family(name);
            DrawButton(w, f.where.topLeft(), Bitmap(f.ids[0]), false,
                       QString::fromLatin1(f.caption), Ref(f.colours[0]));
        }
        // A few controls as the pages would show them.
        w.fillRect(kAdapterTree, Qt::white);
        w.setFont(PageFont(11));
        w.setPen(Qt::black);
        w.drawText(QPoint(kAdapterTree.left() + 6, kAdapterTree.top() + 16),
                   QStringLiteral("My Computer"));
        w.drawText(QPoint(kAdapterTree.left() + 18, kAdapterTree.top() + 34),
                   QFontMetrics(PageFont(11))
                       .elidedText(QString::fromUtf8(String(2101)), Qt::ElideRight,
                                   kAdapterTree.width() - 22));
        for (const QRect& box : {kShowTrayCheck, kRadioOffCheck}) {
            const QRect square(box.left(), box.top() + 3, 13, 13);
            w.fillRect(square, Qt::white);
            w.setPen(QColor(0x33, 0x33, 0x33));
            w.drawRect(square.adjusted(0, 0, -1, -1));
            w.setPen(Qt::black);
        }
        w.drawText(kShowTrayCheck.adjusted(18, 0, 0, 0), Qt::AlignVCenter,
                   QStringLiteral("  Show Tray Icon"));
        w.drawText(kRadioOffCheck.adjusted(18, 0, 0, 0), Qt::AlignVCenter,
                   QStringLiteral("  Radio Off"));
        w.setFont(PageFont(13, 700));
        w.drawText(QPoint(kPageArea.left() + 11, kPageArea.top() + 24),
                   QStringLiteral("Available Network(s)"));
        w.setFont(PageFont(11));
        w.setPen(QColor(0x60, 0x60, 0x60));
        w.drawText(
            QPoint(kPageArea.left() + 11, kPageArea.bottom() - 26),
            QStringLiteral(
                "Note : Double click on a SSID to join the network and create the Profile."));
        const SheetFamily refresh = family("Button_Refresh"), add = family("Button_Connect");
        DrawButton(w, QPoint(kPageArea.left() + 107, kPageArea.top() + 348), Bitmap(refresh.ids[0]),
                   false, QStringLiteral("Refresh"), Qt::white);
        DrawButton(w, QPoint(kPageArea.left() + 294, kPageArea.top() + 348), Bitmap(add.ids[0]),
                   false, QStringLiteral("Add Profile"), Qt::white);
        w.end();
        // The window's shape: rounded top corners when string 1901 is a non-zero number.
        QPainterPath shape;
        if (String(1901).trimmed().toInt() != 0)
            shape.addRoundedRect(QRectF(0, 0, window.width() + 1, window.height() + 16), 7.5, 7.5);
        else
            shape.addRect(QRectF(0, 0, window.width() + 1, window.height() + 1));
        p.save();
        p.translate(origin);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipPath(shape);
        p.drawImage(0, 0, window);
        p.restore();
    }
    // Strings beside the window.
    {
        int y = origin.y() + 8;
        const int x = origin.x() + kMainWidth + 24;
        heading(x, y + 8, QStringLiteral("Strings"));
        y += 30;
        QDir strings(kRoot + QStringLiteral("/string"));
        QStringList names = strings.entryList(QDir::Files);
        std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
            return a.section('.', 0, 0).toInt() < b.section('.', 0, 0).toInt();
        });
        for (const QString& name : names) {
            const int id = name.section('.', 0, 0).toInt();
            note(x, y, QString::number(id), QColor(0x20, 0x24, 0x2A));
            note(x + 44, y,
                 QFontMetrics(LabelFont(11))
                     .elidedText(QString::fromUtf8(String(id)), Qt::ElideRight, 260));
            y += 16;
        }
    }

    // --- Families ---------------------------------------------------------------------------
    heading(
        margin, familiesTop,
        QStringLiteral("Skin families: normal, down, focus, off, over (contrast of the caption)"));
    const char* stateNames[5] = {"normal", "down", "focus", "off", "over"};
    int y = familiesTop + 24;
    for (const SheetFamily& f : families) {
        p.setPen(QColor(0x20, 0x24, 0x2A));
        p.setFont(LabelFont(13, 700));
        p.drawText(QPoint(margin, y + 30), QString::fromLatin1(f.name));
        note(margin, y + 48,
             f.backdrop == Backdrop::Main ? QStringLiteral("on the main window")
                                          : QStringLiteral("on a page"));
        for (int s = 0; s < 5; ++s) {
            const QImage bitmap = Bitmap(f.ids[s]);
            const int x = margin + labelWidth + s * cellWidth;
            note(x, y + 10,
                 QStringLiteral("%1  %2").arg(QLatin1String(stateNames[s])).arg(f.ids[s]));
            if (bitmap.isNull()) {
                note(x, y + 40, QStringLiteral("missing"), Qt::red);
                continue;
            }
            // The cell shows the backdrop the button sits on, a little wider than the button.
            const QSize size = bitmap.size();
            QImage cell(size + QSize(16, 12), QImage::Format_RGB32);
            if (f.backdrop == Backdrop::Page) {
                cell.fill(Qt::white);
            } else {
                cell = background.copy(QRect(f.where.topLeft() - QPoint(8, 6), cell.size()));
            }
            const unsigned colour = s == 3             ? f.colours[2]
                                    : s == 4           ? f.colours[1]
                                    : s == 2 || s == 1 ? f.colours[3]
                                                       : f.colours[0];
            QImage composed = cell.copy();
            {
                QPainter c(&composed);
                c.drawImage(QPoint(8, 6), Masked(bitmap, f.topLeftKey));
            }
            p.drawImage(QPoint(x, y + 18), composed);
            {
                p.save();
                p.translate(x + 8, y + 24);
                DrawButton(p, QPoint(0, 0), bitmap, f.topLeftKey, QString::fromLatin1(f.caption),
                           Ref(colour));
                p.restore();
            }
            if (*f.caption) {
                const QRect text = QFontMetrics(CaptionFont())
                                       .boundingRect(QRect(QPoint(8, 6), size), Qt::AlignCenter,
                                                     QString::fromLatin1(f.caption));
                const double ratio = Contrast(Ref(colour), Mean(composed, text));
                note(x, y + 18 + cell.height() + 14, QStringLiteral("%1:1").arg(ratio, 0, 'f', 1),
                     ratio < 3.0 ? QColor(0xB0, 0x30, 0x20) : QColor(0x55, 0x5D, 0x66));
            }
        }
        y += rowHeight;
    }

    // --- Icons and wizard pictures ------------------------------------------------------------
    heading(
        margin, iconsTop,
        QStringLiteral(
            "Tray icons Status0 to Status4 (1102 to 1106), every size, on light and dark panels"));
    for (int level = 0; level < 5; ++level) {
        const int x0 = margin + level * 236;
        note(x0, iconsTop + 22, QStringLiteral("%1  Status%2").arg(1102 + level).arg(level));
        for (int band = 0; band < 2; ++band) {
            const QRect strip(x0, iconsTop + 30 + band * 64, 224, 60);
            p.fillRect(strip, band == 0 ? QColor(0xF6, 0xF7, 0xF8) : QColor(0x1F, 0x23, 0x28));
            int x = strip.left() + 8;
            for (const QImage& image : IconImages(1102 + level)) {
                p.drawImage(QPoint(x, strip.bottom() - 6 - image.height()), image);
                x += image.width() + 10;
            }
        }
    }
    const int lowerTop = iconsTop + 190;
    heading(margin, lowerTop, QStringLiteral("Scan-list icons 1525 to 1528"));
    const char* scanNames[4] = {"network", "connected", "ad hoc", "ad hoc, connected"};
    for (int i = 0; i < 4; ++i) {
        const int x0 = margin + i * 150;
        const QRect strip(x0, lowerTop + 12, 140, 56);
        p.fillRect(strip, Qt::white);
        int x = strip.left() + 10;
        for (const QImage& image : IconImages(1525 + i)) {
            p.drawImage(QPoint(x, strip.top() + 8 + (40 - image.height()) / 2), image);
            x += image.width() + 14;
        }
        note(x0, lowerTop + 84,
             QStringLiteral("%1  %2").arg(1525 + i).arg(QLatin1String(scanNames[i])));
    }
    heading(margin + 640, lowerTop, QStringLiteral("Wizard pictures 1356, 1357, 1358"));
    const char* resultNames[3] = {"failure", "information", "success"};
    for (int i = 0; i < 3; ++i) {
        const int x0 = margin + 640 + i * 120;
        const QImage picture = Bitmap(1356 + i);
        p.fillRect(QRect(x0, lowerTop + 12, 100, 84), Qt::white);
        if (!picture.isNull())
            p.drawImage(QPoint(x0 + (100 - picture.width()) / 2, lowerTop + 22), picture);
        note(x0, lowerTop + 112,
             QStringLiteral("%1  %2").arg(1356 + i).arg(QLatin1String(resultNames[i])));
    }
    p.end();

    if (!sheet.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "sorvik_sheet: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%s\n", argv[2]);
    return 0;
}
