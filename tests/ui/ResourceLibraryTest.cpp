// The resource library: lookups found, missing and without a library; and the default
// Sorvik.dll, which must hold every number the programs ask for.
#include "ui/ResourceLibrary.h"

#include "UiTestSupport.h"
#include "platform/PrivateProfile.h"
#include "ui/Skin.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ResourceLibrary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_lib = ui::LoadResourceModule(QUELMAR_SORVIK_DLL);
        ASSERT_NE(m_lib, nullptr) << QUELMAR_SORVIK_DLL;
    }
    void TearDown() override { ui::FreeResourceModule(m_lib); }

    const ui::ResourceModule* m_lib = nullptr;
};

TEST_F(ResourceLibrary, LookupsFoundAndMissing)
{
    EXPECT_EQ(ui::LoadResourceString(m_lib, 2003, 64), "Tahoma");
    EXPECT_EQ(ui::LoadResourceString(m_lib, 2003, 4), "Tah"); // cut to the buffer less one
    EXPECT_EQ(ui::LoadResourceString(m_lib, 2003, 1), "");
    EXPECT_EQ(ui::LoadResourceString(m_lib, 2003, 0), "");
    EXPECT_EQ(ui::LoadResourceString(m_lib, 4711, 64), "");

    const QImage background = ui::LoadResourceBitmap(m_lib, 1200);
    EXPECT_EQ(background.format(), QImage::Format_RGB32);
    EXPECT_GE(background.width(), 730); // pages stand at (180, 160), 550 x 420
    EXPECT_GE(background.height(), 580);
    EXPECT_TRUE(ui::LoadResourceBitmap(m_lib, 4711).isNull());

    const QIcon tray = ui::LoadResourceIcon(m_lib, 1102);
    ASSERT_FALSE(tray.isNull());
    for (int size : {16, 22, 32})
        EXPECT_TRUE(tray.availableSizes().contains(QSize(size, size))) << size;
    EXPECT_TRUE(ui::LoadResourceIcon(m_lib, 4711).isNull());
}

TEST(ResourceLibraryMissing, EveryLookupFailsWithoutALibrary)
{
    uitest::TempProgramDir dir;
    EXPECT_EQ(ui::LoadResourceModule(dir.path() + "Sorvik.dll"), nullptr);
    dir.write("Sorvik.dll", "MZ this is not a resource bundle");
    EXPECT_EQ(ui::LoadResourceModule(dir.path() + "Sorvik.dll"), nullptr);
    {
        ui::CResourceLibrary library;
        EXPECT_EQ(library.Handle(), nullptr);
    }
    EXPECT_EQ(ui::LoadResourceString(nullptr, 2003, 64), "");
    EXPECT_TRUE(ui::LoadResourceBitmap(nullptr, 1200).isNull());
    EXPECT_TRUE(ui::LoadResourceIcon(nullptr, 1102).isNull());
    ui::FreeResourceModule(nullptr);
}

TEST(ResourceLibraryMissing, TheApplicationsLibraryComesFromTheProgramDirectory)
{
    uitest::TempProgramDir dir;
    std::filesystem::copy_file(QUELMAR_SORVIK_DLL, dir.path() + "Sorvik.dll");
    const ui::ResourceModule* handle = nullptr;
    {
        ui::CResourceLibrary library;
        handle = library.Handle();
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(ui::LoadResourceString(handle, 2003, 64), "Tahoma");
        // Two loads of the same file are independent.
        const ui::ResourceModule* second = ui::LoadResourceModule(dir.path() + "Sorvik.dll");
        ASSERT_NE(second, nullptr);
        ui::FreeResourceModule(second);
        EXPECT_EQ(ui::LoadResourceString(handle, 2003, 64), "Tahoma");
    }
    // Released with the application object: the file can go.
    std::filesystem::remove(dir.path() + "Sorvik.dll");
}

TEST_F(ResourceLibrary, HoldsEveryNumberTheProgramsUse)
{
    std::vector<UINT> bitmaps = {1200, 1356, 1357, 1358};
    for (const ui::SkinFamily& family : ui::SkinFamilies())
        bitmaps.insert(bitmaps.end(), family.bitmaps.begin(), family.bitmaps.end());
    for (UINT id : bitmaps)
        EXPECT_FALSE(ui::LoadResourceBitmap(m_lib, id).isNull()) << "bitmap " << id;
    for (UINT id : {1102, 1103, 1104, 1105, 1106, 1525, 1526, 1527, 1528})
        EXPECT_FALSE(ui::LoadResourceIcon(m_lib, id).isNull()) << "icon " << id;
    for (UINT id = 1906; id <= 1933; ++id)
        EXPECT_GT(std::stoi("0" + ui::LoadResourceString(m_lib, id, 10)), 0) << "string " << id;
    for (UINT id : {1901, 2001, 2003, 2004, 2005})
        EXPECT_FALSE(ui::LoadResourceString(m_lib, id, 256).empty()) << "string " << id;
    EXPECT_NE(std::stoi(ui::LoadResourceString(m_lib, 1901, 10)), 0); // rounded corners
}

TEST_F(ResourceLibrary, TabPlacementsMatchTheBitmapsAndTheBackground)
{
    struct Placement
    {
        const char* family;
        UINT first;
    };
    const Placement placements[] = {{"LinkInfo", 1906}, {"Config", 1910}, {"Survey", 1914},
                                    {"Profile", 1918},  {"About", 1922},  {"X", 1926},
                                    {"Wps", 1930}};
    const QImage background = ui::LoadResourceBitmap(m_lib, 1200);
    for (const Placement& p : placements) {
        auto value = [&](UINT offset) {
            return std::stoi(ui::LoadResourceString(m_lib, p.first + offset, 10));
        };
        const QRect placed(QPoint(value(0), value(2)), QPoint(value(1) - 1, value(3) - 1));
        const QImage normal =
            ui::LoadResourceBitmap(m_lib, ui::FindSkinFamily(p.family)->bitmaps[0]);
        EXPECT_EQ(placed.size(), normal.size()) << p.family;
        EXPECT_TRUE(background.rect().contains(placed)) << p.family;
        // Above the pages, which start at y = 160.
        EXPECT_LE(placed.bottom(), 159) << p.family;
    }
}

TEST_F(ResourceLibrary, KeyColourShowsTheParentAtTheCorners)
{
    // Every skin bitmap has pure red where the parent must show through; the main window
    // skins "LinkInfo" with key 0, so its top-left pixel must be that red too.
    for (const ui::SkinFamily& family : ui::SkinFamilies()) {
        const QImage normal = ui::LoadResourceBitmap(m_lib, family.bitmaps[0]);
        EXPECT_EQ(normal.pixel(0, 0) & 0xFFFFFF, 0xFF0000u) << family.name;
    }
    for (UINT id : {1209, 1210, 1211, 1212})
        EXPECT_EQ(ui::LoadResourceBitmap(m_lib, id).pixel(0, 0) & 0xFFFFFF, 0xFF0000u) << id;
}

TEST_F(ResourceLibrary, DefaultOemRecNamesTheSimulatedAdapters)
{
    const std::string oemRec = QUELMAR_DEFAULT_OEM_REC;
    const std::string num = platform::GetPrivateProfileString("NICInfo", "Num", "", 16, oemRec);
    ASSERT_NE(num, "OPEN");
    const int count = std::stoi(num);
    ASSERT_GE(count, 1);
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i) {
        const int id =
            platform::GetPrivateProfileInt("NICInfo", "Name" + std::to_string(i), 0, oemRec);
        const std::string name = ui::LoadResourceString(m_lib, static_cast<UINT>(id), 50);
        EXPECT_FALSE(name.empty()) << "Name" << i;
        EXPECT_EQ(name, ui::LoadResourceString(m_lib, static_cast<UINT>(id), 256)) << "fits in 49";
        names.push_back(name);
    }
    EXPECT_EQ(platform::GetPrivateProfileInt("NICInfo", "Main", 0, oemRec), 1200);

    // The first name is the adapter present in the simulated world's default scenario.
    const std::string airIni = QUELMAR_AIR_INI;
    if (!std::filesystem::exists(airIni))
        GTEST_SKIP() << "no default scenario at " << airIni;
    std::string present;
    for (const std::string& section : platform::GetPrivateProfileSectionNames(airIni)) {
        if (section.rfind("Adapter", 0) == 0 &&
            platform::GetPrivateProfileInt(section, "Present", 1, airIni) == 1) {
            present = platform::GetPrivateProfileString(section, "Name", "", 260, airIni);
            break;
        }
    }
    EXPECT_EQ(names.front(), present);
}

} // namespace
