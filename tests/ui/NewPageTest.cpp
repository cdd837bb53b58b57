// The page base: controls from a template, the Tahoma layout at 96 dots per inch, colours.
#include "ui/NewPage.h"

#include "ui/BmpBtn.h"
#include "ui/Fonts.h"
#include "ui/MyStatic.h"
#include "ui/SortCtrlList.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using namespace ui;

// The Available networks page.
const DialogTemplate kSurvey{
    129,
    366,
    255,
    WS_CHILD | DS_SETFONT,
    0,
    "",
    {8, 400, false, "MS Shell Dlg"},
    {
        {1106, ControlKind::PaintedStatic, 7, 8, 199, 9, "Available Network(s)"},
        {1001, ControlKind::SortList, 7, 21, 352, 188, "",
         LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS},
        {1003, ControlKind::BitmapButton, 71, 214, 50, 14, "Refresh"},
        {1006, ControlKind::BitmapButton, 196, 214, 50, 14, "Add Profile"},
        {IDC_STATIC, ControlKind::Static, 7, 240, 352, 8,
         "Note : Double click on a SSID to join the network and create the Profile."},
    }};

/// A page that lays out with another template than the one it was made from.
class TestPage : public CNewPage
{
public:
    using CNewPage::CNewPage;
    using CNewPage::LayoutWithFont;
    using CNewPage::UndoLayout;
};

TEST(PageLayout, FontSizeFromTheTemplateAt96Dpi)
{
    struct Case
    {
        std::uint16_t points;
        int pixels;
    };
    const Case cases[] = {{8, 11},  {9, 12},      {10, 13},
                          {12, 16}, {0xFFF8, 11}, {0x8000 + 0x7FF7, 12}};
    for (const Case& c : cases)
        EXPECT_EQ(TemplateFontPixelHeight(c.points), c.pixels) << c.points;
}

TEST(PageLayout, DialogUnitsToPixels)
{
    struct Case
    {
        QRect units;
        QSize base;
        QRect pixels;
    };
    const Case cases[] = {
        {{7, 21, 352, 188}, {6, 13}, {11, 34, 528, 306}},
        {{71, 214, 50, 14}, {6, 13}, {107, 348, 75, 23}},
        {{366, 255, 0, 0}, {6, 13}, {549, 414, 0, 0}},
        {{7, 21, 352, 188}, {7, 16}, {12, 42, 616, 376}},
    };
    for (const Case& c : cases) {
        const QRect r =
            MapDialogRect(c.units.x(), c.units.y(), c.units.width(), c.units.height(), c.base);
        EXPECT_EQ(r, c.pixels) << c.units.x() << "," << c.units.y();
    }
}

TEST(PageLayout, TahomaEightHasBaseUnitsSixByThirteen)
{
    if (!EnsureTahoma())
        GTEST_SKIP() << "no Tahoma installed (fonts-wine)";
    const QFont font = PageFont(11, 400, false);
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(MeasureBaseUnits(font), QSize(6, 13));
}

TEST(PageLayout, ControlsAreCreatedInTemplateOrderAndFoundById)
{
    CNewPage page(kSurvey);
    EXPECT_EQ(page.TemplateId(), 129u);
    EXPECT_NE(page.GetDlgItemAs<CMyStatic>(1106), nullptr);
    EXPECT_NE(page.GetDlgItemAs<CSortCtrlList>(1001), nullptr);
    EXPECT_NE(page.GetDlgItemAs<CBmpBtn>(1003), nullptr);
    EXPECT_NE(page.GetDlgItemAs<CBmpBtn>(1006), nullptr);
    EXPECT_NE(page.GetDlgItemAs<QLabel>(IDC_STATIC), nullptr);
    EXPECT_EQ(page.GetDlgItem(4711), nullptr);
    EXPECT_EQ(page.GetDlgItemAs<CSortCtrlList>(1001)->m_nSortColumn, -1);
    EXPECT_EQ(page.GetDlgItemAs<CMyStatic>(1106)->text(), QStringLiteral("Available Network(s)"));
}

TEST(PageLayout, InitialisationLaysEveryControlOutInTahoma)
{
    CNewPage page(kSurvey);
    ASSERT_TRUE(page.OnInitDialog());
    const QSize units = page.BaseUnits();
    EXPECT_EQ(units, MeasureBaseUnits(PageFont(11, 400, false)));
    EXPECT_EQ(page.LaidOutItems(), 5);
    EXPECT_EQ(page.size(), MapDialogRect(0, 0, 366, 255, units).size());
    for (const DialogItem& item : kSurvey.items) {
        const QWidget* control = page.GetDlgItem(item.id);
        EXPECT_EQ(control->geometry(), MapDialogRect(item.x, item.y, item.cx, item.cy, units))
            << item.id;
        EXPECT_EQ(control->font().pixelSize(), 11) << item.id;
        EXPECT_EQ(control->font().family(), PageFont(11, 400, false).family()) << item.id;
    }
    ASSERT_TRUE(page.Layout().createdFont.has_value());
    EXPECT_EQ(page.Layout().createdFont->pixelSize(), 11);
    EXPECT_EQ(page.Layout().pWindow, &page);
    if (EnsureTahoma()) {
        EXPECT_EQ(units, QSize(6, 13));
        EXPECT_EQ(page.GetDlgItem(1001)->geometry(), QRect(11, 34, 528, 306));
    }
}

TEST(PageLayout, ATemplateWithoutSetFontUsesEightPointRegular)
{
    DialogTemplate t = kSurvey;
    t.style = WS_CHILD;
    t.font = {14, 700, true, "Courier"};
    CNewPage page(t);
    page.OnInitDialog();
    EXPECT_EQ(page.font().pixelSize(), 11);
    EXPECT_EQ(page.font().weight(), QFont::Normal);
    EXPECT_FALSE(page.font().italic());
    t.style = WS_CHILD | DS_SETFONT;
    CNewPage bold(t);
    bold.OnInitDialog();
    EXPECT_EQ(bold.font().pixelSize(), 19);
    EXPECT_EQ(bold.font().weight(), QFont::Bold);
    EXPECT_TRUE(bold.font().italic());
    EXPECT_EQ(bold.font().family(), PageFont(19, 700, true).family()); // not "Courier"
}

TEST(PageLayout, AMismatchStopsTheWalkAndLeavesTheRestWhereThePlatformPutThem)
{
    struct Case
    {
        const char* name;
        int deleted;            // control removed before the layout (0: none)
        std::vector<int> order; // template order of the layout
        int placed;
    };
    const Case cases[] = {
        {"a control the template names is gone", 1003, {1106, 1001, 1003, 1006, IDC_STATIC}, 2},
        {"the template lists two controls the other way round",
         0,
         {1106, 1001, 1006, 1003, IDC_STATIC},
         3},
        {"the first item does not exist", 0, {4711, 1106, 1001, 1003, 1006}, 0},
    };
    for (const Case& c : cases) {
        TestPage page(kSurvey);
        if (c.deleted)
            delete page.GetDlgItem(c.deleted);
        DialogTemplate t = kSurvey;
        t.items.clear();
        for (int id : c.order) {
            auto it = std::find_if(kSurvey.items.begin(), kSurvey.items.end(),
                                   [id](const DialogItem& i) { return i.id == id; });
            t.items.push_back(it != kSurvey.items.end() ? *it : DialogItem{id});
        }
        std::map<QWidget*, std::pair<QRect, QFont>> before;
        for (QObject* o : page.children())
            if (auto* w = qobject_cast<QWidget*>(o))
                before[w] = {w->geometry(), w->font()};

        page.LayoutWithFont(t);
        EXPECT_EQ(page.LaidOutItems(), c.placed) << c.name;
        for (int i = 0; i < static_cast<int>(t.items.size()); ++i) {
            const DialogItem& item = t.items[i];
            QWidget* control = page.GetDlgItem(item.id);
            if (!control)
                continue;
            if (i < c.placed) {
                EXPECT_EQ(control->geometry(),
                          MapDialogRect(item.x, item.y, item.cx, item.cy, page.BaseUnits()))
                    << c.name << " " << item.id;
                EXPECT_EQ(control->font(), *page.Layout().createdFont) << c.name << " " << item.id;
            } else {
                EXPECT_EQ(control->geometry(), before[control].first) << c.name << " " << item.id;
                EXPECT_EQ(control->font(), before[control].second) << c.name << " " << item.id;
            }
        }
    }
}

TEST(PageLayout, ASecondLayoutFirstUndoesThePreviousOne)
{
    TestPage page(kSurvey);
    const QFont platform = page.GetDlgItem(1003)->font();
    page.OnInitDialog();
    EXPECT_NE(page.GetDlgItem(1003)->font(), platform);
    page.UndoLayout();
    EXPECT_EQ(page.GetDlgItem(1003)->font(), platform);
    EXPECT_EQ(page.font(), platform);
    EXPECT_EQ(page.Layout().pWindow, nullptr);
    page.OnInitDialog();
    page.OnInitDialog();
    EXPECT_EQ(page.LaidOutItems(), 5);
    EXPECT_EQ(page.GetDlgItem(1003)->font(), *page.Layout().createdFont);
}

// The main window's check boxes and other controls.
const DialogTemplate kColours{
    102,
    200,
    120,
    WS_CHILD | DS_SETFONT,
    0,
    "",
    {},
    {
        {1089, ControlKind::CheckBox, 4, 4, 80, 10, "  Show Tray Icon"},
        {1090, ControlKind::CheckBox, 4, 20, 80, 10, "  Radio Off"},
        {1091, ControlKind::CheckBox, 4, 36, 80, 10, "  Disable Adapter", 0, false},
        {1200, ControlKind::CheckBox, 4, 52, 80, 10, "Other"},
        {1039, ControlKind::Static, 100, 4, 80, 10, "Status:", SS_RIGHT},
        {1040, ControlKind::ProgressBar, 100, 40, 80, 10},
    }};

QRgb At(const QImage& image, QPoint p)
{
    return image.pixel(p) | 0xFF000000;
}

TEST(PageColours, PageAndStaticsAreWhiteAndTheMainCheckBoxesAccent)
{
    CNewPage page(kColours);
    page.OnInitDialog();
    const QImage image = page.grab().toImage();
    const QRgb accent = qRgb(0xF0, 0x68, 0x24);
    EXPECT_EQ(At(image, {page.width() - 2, page.height() - 2}), qRgb(255, 255, 255));
    for (int id : {1089, 1090}) {
        const QRect r = page.GetDlgItem(id)->geometry();
        EXPECT_EQ(At(image, {r.right() - 1, r.center().y()}), accent) << id;
    }
    const QRect other = page.GetDlgItem(1200)->geometry();
    EXPECT_EQ(At(image, {other.right() - 1, other.center().y()}), qRgb(255, 255, 255));
    const QRect label = page.GetDlgItem(1039)->geometry();
    EXPECT_EQ(At(image, {label.left() + 1, label.bottom() - 1}), qRgb(255, 255, 255));
    EXPECT_EQ(page.OnCtlColor(page.GetDlgItem(1091)).color(), QColor(accent));
    EXPECT_EQ(page.OnCtlColor(nullptr).color(), QColor(Qt::white));
    EXPECT_FALSE(page.GetDlgItem(1091)->isVisibleTo(&page)); // created hidden
}

TEST(PaintedStatic, DrawsBlackTopLeftWithoutErasingBehindIt)
{
    QWidget parent;
    parent.resize(200, 40);
    parent.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0, 0, 255));
    parent.setPalette(palette);
    auto* label = new CMyStatic(&parent);
    label->setGeometry(0, 0, 200, 40);
    label->setText(QStringLiteral("Available"));
    const QImage image = parent.grab().toImage();
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qBlue(image.pixel(x, y)) < 100)
                ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LT(ink.left(), 4);
    EXPECT_LT(ink.top(), 6);
    EXPECT_LT(ink.right(), 120);
    EXPECT_LT(ink.bottom(), 22);
    EXPECT_EQ(At(image, {150, 30}), qRgb(0, 0, 255)); // not erased
    int darkest = 255;
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            darkest = std::min({darkest, qRed(image.pixel(x, y)), qGreen(image.pixel(x, y))});
    EXPECT_LT(darkest, 40); // black ink
}

TEST(PaintedStatic, BoldFontsKeepTheControlsFace)
{
    CNewPage page(kSurvey);
    page.OnInitDialog();
    auto* caption = page.GetDlgItemAs<CMyStatic>(1106);
    EXPECT_FALSE(caption->PaintFont().has_value());
    caption->SetBoldFont13();
    ASSERT_TRUE(caption->PaintFont().has_value());
    EXPECT_EQ(caption->PaintFont()->pixelSize(), 13);
    EXPECT_EQ(caption->PaintFont()->weight(), QFont::Bold);
    EXPECT_EQ(caption->PaintFont()->family(), caption->font().family());
    caption->SetBoldFont16();
    EXPECT_EQ(caption->PaintFont()->pixelSize(), 16);
}

TEST(PaintedStatic, DrawingFlagsMapToAlignment)
{
    EXPECT_EQ(CMyStatic::ToQtFlags(0), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(CMyStatic::ToQtFlags(DT_CENTER), Qt::AlignHCenter | Qt::AlignTop);
    EXPECT_EQ(CMyStatic::ToQtFlags(DT_RIGHT | DT_SINGLELINE | DT_VCENTER),
              Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine);
    EXPECT_EQ(CMyStatic::ToQtFlags(DT_WORDBREAK), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
}

} // namespace
