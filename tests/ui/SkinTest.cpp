// The skin rule: the OEM folder overrides the resource library, family by family.
#include "ui/Skin.h"

#include "UiTestSupport.h"
#include "ui/BmpBtn.h"
#include "ui/ResourceLibrary.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

using State = CBmpBtn::State;

TEST(SkinRegistry, HoldsEveryFamilyWithItsFilesAndNumbers)
{
    struct Case
    {
        const char* family;
        std::array<std::string, 5> files;
        std::array<UINT, 5> bitmaps;
    };
    const Case cases[] = {
        {"LinkInfo",
         {"LinkInfo.bmp", "LinkInfo-down.bmp", "LinkInfo-focus.bmp", "LinkInfo.bmp",
          "LinkInfo-over.bmp"},
         {1212, 1209, 1210, 1212, 1211}},
        {"Wps",
         {"Wps.bmp", "Wps-down.bmp", "Wps-focus.bmp", "Wps.bmp", "Wps-over.bmp"},
         {1362, 1360, 1359, 1362, 1361}},
        {"X",
         {"X.bmp", "X_down.bmp", "X_focus.bmp", "X.bmp", "X_over.bmp"},
         {1224, 1221, 1222, 1224, 1223}},
        {"_",
         {"_.bmp", "_down.bmp", "_focus.bmp", "_.bmp", "_over.bmp"},
         {1354, 1351, 1352, 1354, 1353}},
        {"About2",
         {"About2.bmp", "About2_down.bmp", "About2_focus.bmp", "About2.bmp", "About2_over.bmp"},
         {1329, 1326, 1327, 1329, 1328}},
        {"btn_save",
         {"btn_save.bmp", "btn_save_down.bmp", "btn_save_focus.bmp", "btn_save_off.bmp",
          "btn_save_over.bmp"},
         {1349, 1346, 1347, 1350, 1348}},
        {"Button_Connect",
         {"Button_Connect.bmp", "Button_Connect_down.bmp", "Button_Connect_focus.bmp",
          "Button_Connect_off.bmp", "Button_Connect_over.bmp"},
         {1324, 1321, 1322, 1325, 1323}},
        {"WPS_PBC",
         {"WPS_PBC.bmp", "WPS_PBC_down.bmp", "WPS_PBC_focus.bmp", "WPS_PBC_off.bmp",
          "WPS_PBC_over.bmp"},
         {1304, 1301, 1302, 1305, 1303}},
    };
    for (const Case& c : cases) {
        const ui::SkinFamily* family = ui::FindSkinFamily(c.family);
        ASSERT_NE(family, nullptr) << c.family;
        EXPECT_EQ(ui::SkinFileNames(*family), c.files) << c.family;
        EXPECT_EQ(family->bitmaps, c.bitmaps) << c.family;
    }
    std::set<std::string_view> names;
    for (const ui::SkinFamily& family : ui::SkinFamilies())
        names.insert(family.name);
    EXPECT_EQ(names, (std::set<std::string_view>{"LinkInfo", "Config", "Survey", "Profile", "About",
                                                 "Wps", "X", "_", "About2", "btn_save",
                                                 "Button_Apply", "Button_Cancel", "Button_Refresh",
                                                 "Button_Connect", "WPS_PIN", "WPS_PBC"}));
    EXPECT_EQ(ui::FindSkinFamily("Button_Ok"), nullptr);
}

class SkinRule : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_lib = ui::LoadResourceModule(QUELMAR_SORVIK_DLL);
        ASSERT_NE(m_lib, nullptr);
        m_button.move(7, 9);
    }
    void TearDown() override { ui::FreeResourceModule(m_lib); }

    uitest::TempProgramDir m_dir;
    const ui::ResourceModule* m_lib = nullptr;
    CBmpBtn m_button;
};

TEST_F(SkinRule, WithoutAnOemFileTheLibraryBitmapsAreUsed)
{
    EXPECT_EQ(ui::SkinButton(m_button, "Button_Connect", m_lib, QStringLiteral("Renew IP"),
                             {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}),
              1);
    const QImage resource = ui::LoadResourceBitmap(m_lib, 1324);
    EXPECT_EQ(m_button.size(), resource.size());
    EXPECT_EQ(m_button.pos(), QPoint(7, 9)); // resized, not moved
    EXPECT_EQ(m_button.Caption(), QStringLiteral("Renew IP"));
    EXPECT_TRUE(m_button.IsTransparent());
    for (int s = 0; s < State::StateCount; ++s)
        EXPECT_FALSE(m_button.Pair(static_cast<State>(s)).IsNull()) << s;
}

TEST_F(SkinRule, AnOemFileOverridesTheResourcePicture)
{
    m_dir.writeBmp("OEM/Button_Connect.bmp", QSize(50, 20), qRgb(1, 2, 3));
    m_dir.writeBmp("OEM/Button_Connect_focus.bmp", QSize(50, 20), qRgb(4, 5, 6));
    EXPECT_TRUE(ui::IsOemFile("Button_Connect.bmp"));
    EXPECT_FALSE(ui::IsOemFile("Button_Connect_over.bmp"));

    // The other states' files are missing: the loader reports it, and they stay empty.
    EXPECT_EQ(ui::SkinButton(m_button, "Button_Connect", m_lib, QStringLiteral("Add Profile"),
                             {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}),
              0);
    EXPECT_EQ(m_button.size(), QSize(50, 20));
    EXPECT_EQ(m_button.Pair(State::Normal).image.pixel(10, 10) | 0xFF000000, qRgb(1, 2, 3));
    EXPECT_TRUE(m_button.Pair(State::Over).IsNull());

    // Hovered, it shows its normal image: the missing over state falls back to it.
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&m_button, &move);
    EXPECT_TRUE(m_button.IsHover());
    EXPECT_EQ(m_button.grab().toImage().pixel(2, 2) | 0xFF000000,
              qRgb(1, 2, 3)); // beside the caption
}

TEST_F(SkinRule, OemFilesUseTheRedKeyWhateverTheOwnerAsks)
{
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 255));
    image.setPixel(5, 5, qRgb(255, 0, 0));
    m_dir.saveBmp("OEM/LinkInfo.bmp", image);
    ui::SkinButton(m_button, "LinkInfo", m_lib, QStringLiteral("General"), {}, 0);
    EXPECT_EQ(m_button.Pair(State::Normal).mask.pixelIndex(5, 5), 1);
    EXPECT_EQ(m_button.Pair(State::Normal).mask.pixelIndex(0, 0), 0);
    // From the library, the owner's key 0 takes the top-left pixel's colour.
    std::filesystem::remove(m_dir.oem() + "LinkInfo.bmp");
    ui::SkinButton(m_button, "LinkInfo", m_lib, QStringLiteral("General"), {}, 0);
    EXPECT_EQ(m_button.Pair(State::Normal).mask.pixelIndex(0, 0), 1);
}

TEST_F(SkinRule, AnUnknownFamilyOrNoLibraryLeavesTheButtonEmpty)
{
    EXPECT_EQ(ui::SkinButton(m_button, "Nonesuch", m_lib, QStringLiteral("x"), {}), 0);
    EXPECT_EQ(m_button.size(), QSize(0, 0));
    EXPECT_EQ(ui::SkinButton(m_button, "Button_Refresh", nullptr, QStringLiteral("Refresh"), {}),
              0);
    EXPECT_EQ(m_button.size(), QSize(0, 0));
    // The OEM folder still works without the library.
    m_dir.writeBmp("OEM/Button_Refresh.bmp", QSize(30, 12), qRgb(9, 9, 9));
    ui::SkinButton(m_button, "Button_Refresh", nullptr, QStringLiteral("Refresh"), {});
    EXPECT_EQ(m_button.size(), QSize(30, 12));
}

TEST_F(SkinRule, MainBackgroundFollowsTheOemFolderThenOemRecThenBitmap1200)
{
    const QImage b1200 = ui::LoadResourceBitmap(m_lib, 1200);
    EXPECT_EQ(ui::LoadMainBackground(m_lib), b1200);
    m_dir.write("OEM.rec", "[NICInfo]\nMain=1357\n");
    EXPECT_EQ(ui::LoadMainBackground(m_lib), ui::LoadResourceBitmap(m_lib, 1357));
    m_dir.write("OEM.rec", "[NICInfo]\nMain=4711\n"); // no such bitmap
    EXPECT_EQ(ui::LoadMainBackground(m_lib), b1200);
    m_dir.write("OEM.rec", "[NICInfo]\nMain=\n");
    EXPECT_EQ(ui::LoadMainBackground(m_lib), b1200);
    m_dir.writeBmp("OEM/Main.bmp", QSize(8, 6), qRgb(7, 7, 7));
    EXPECT_EQ(ui::LoadMainBackground(m_lib).size(), QSize(8, 6));
}

TEST_F(SkinRule, TrayIconsComeFromTheOemFolderOnlyWithMainIco)
{
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(qRgb(1, 1, 1));
    std::filesystem::create_directories(m_dir.oem());
    ASSERT_TRUE(icon.save(QString::fromStdString(m_dir.oem() + "Status2.ico"), "ICO"));
    auto icons = ui::LoadStatusIcons(m_lib);
    for (const QIcon& i : icons)
        EXPECT_FALSE(i.isNull());
    EXPECT_NE(icons[2].pixmap(16).toImage().pixel(8, 8) | 0xFF000000, qRgb(1, 1, 1));

    ASSERT_TRUE(icon.save(QString::fromStdString(m_dir.oem() + "Main.ico"), "ICO"));
    icons = ui::LoadStatusIcons(m_lib);
    EXPECT_EQ(icons[2].pixmap(16).toImage().pixel(8, 8) | 0xFF000000, qRgb(1, 1, 1));
    EXPECT_TRUE(icons[0].isNull()); // no Status0.ico in the folder
}

} // namespace
