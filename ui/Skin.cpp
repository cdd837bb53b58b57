#include "ui/Skin.h"

#include "platform/PrivateProfile.h"
#include "platform/Trace.h"
#include "ui/BmpBtn.h"
#include "ui/ResourceLibrary.h"

#include <filesystem>

namespace ui {
namespace {

constexpr SkinFamily kFamilies[] = {
    {"LinkInfo", SkinNaming::Hyphen, {1212, 1209, 1210, 1212, 1211}},
    {"Config", SkinNaming::Hyphen, {1208, 1205, 1206, 1208, 1207}},
    {"Survey", SkinNaming::Hyphen, {1220, 1217, 1218, 1220, 1219}},
    {"Profile", SkinNaming::Hyphen, {1216, 1213, 1214, 1216, 1215}},
    {"About", SkinNaming::Hyphen, {1204, 1201, 1202, 1204, 1203}},
    {"Wps", SkinNaming::Hyphen, {1362, 1360, 1359, 1362, 1361}},
    {"X", SkinNaming::UnderscoreNoOff, {1224, 1221, 1222, 1224, 1223}},
    {"_", SkinNaming::UnderscoreNoOff, {1354, 1351, 1352, 1354, 1353}},
    {"About2", SkinNaming::UnderscoreNoOff, {1329, 1326, 1327, 1329, 1328}},
    {"btn_save", SkinNaming::Underscore, {1349, 1346, 1347, 1350, 1348}},
    {"Button_Apply", SkinNaming::Underscore, {1309, 1306, 1307, 1310, 1308}},
    {"Button_Cancel", SkinNaming::Underscore, {1319, 1316, 1317, 1320, 1318}},
    {"Button_Refresh", SkinNaming::Underscore, {1339, 1336, 1337, 1340, 1338}},
    {"Button_Connect", SkinNaming::Underscore, {1324, 1321, 1322, 1325, 1323}},
    {"WPS_PIN", SkinNaming::Underscore, {1304, 1301, 1302, 1305, 1303}},
    {"WPS_PBC", SkinNaming::Underscore, {1304, 1301, 1302, 1305, 1303}},
};

} // namespace

std::string GetOemFolder()
{
    return GetProgramDirectory() + "OEM/";
}

bool IsOemFile(std::string_view name)
{
    if (name.empty())
        return false;
    std::error_code ec;
    const std::filesystem::path path = GetOemFolder() + std::string(name);
    return std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec);
}

std::span<const SkinFamily> SkinFamilies()
{
    return kFamilies;
}

const SkinFamily* FindSkinFamily(std::string_view name)
{
    for (const SkinFamily& family : kFamilies) {
        if (family.name == name)
            return &family;
    }
    return nullptr;
}

std::array<std::string, 5> SkinFileNames(const SkinFamily& family)
{
    const std::string base(family.name);
    const std::string normal = base + ".bmp";
    if (family.naming == SkinNaming::Hyphen)
        return {normal, base + "-down.bmp", base + "-focus.bmp", normal, base + "-over.bmp"};
    // The family "_" names its states "_down.bmp" and so on: its name is the separator.
    const std::string stem = base.back() == '_' ? base : base + "_";
    const std::string off = family.naming == SkinNaming::Underscore ? stem + "off.bmp" : normal;
    return {normal, stem + "down.bmp", stem + "focus.bmp", off, stem + "over.bmp"};
}

int SkinButton(CBmpBtn& button, std::string_view familyName, const ResourceModule* library,
               const QString& caption, const CaptionColours& colours, COLORREF keyColour)
{
    const SkinFamily* family = FindSkinFamily(familyName);
    int result = 0;
    if (!family) {
        platform::Trace("SkinButton(): no skin family \"%.*s\"\n",
                        static_cast<int>(familyName.size()), familyName.data());
    } else if (const auto files = SkinFileNames(*family); IsOemFile(files[0])) {
        result = button.LoadBitmapsFromFiles(GetOemFolder(), files[0], files[1], files[2], files[3],
                                             files[4], 1, kKeyRed);
    } else {
        const auto& ids = family->bitmaps;
        result = button.LoadBitmaps(library, ids[0], ids[1], ids[2], ids[3], ids[4], keyColour);
    }
    button.resize(button.NormalSize());
    button.SetCaption(caption);
    button.SetCaptionColours(colours.normal, colours.hover, colours.disabled, colours.focus);
    return result;
}

QImage LoadSkinPicture(std::string_view oemFile, const ResourceModule* library, UINT id,
                       UINT fallbackId)
{
    if (IsOemFile(oemFile)) {
        QImage image(QString::fromStdString(GetOemFolder() + std::string(oemFile)));
        if (!image.isNull())
            return image.convertToFormat(QImage::Format_RGB32);
    }
    QImage image = LoadResourceBitmap(library, id);
    if (image.isNull() && fallbackId != 0)
        image = LoadResourceBitmap(library, fallbackId);
    return image;
}

QImage LoadMainBackground(const ResourceModule* library)
{
    const std::string oemRec = GetProgramDirectory() + "OEM.rec";
    const std::string main = platform::GetPrivateProfileString("NICInfo", "Main", "", 32, oemRec);
    UINT id = 1200;
    if (!main.empty())
        id = static_cast<UINT>(platform::GetPrivateProfileInt("NICInfo", "Main", 1200, oemRec));
    return LoadSkinPicture("Main.bmp", library, id, 1200);
}

std::array<QIcon, 5> LoadStatusIcons(const ResourceModule* library)
{
    std::array<QIcon, 5> icons;
    const bool fromOem = IsOemFile("Main.ico");
    for (int i = 0; i < 5; ++i) {
        if (fromOem) {
            const std::string file = "Status" + std::to_string(i) + ".ico";
            if (IsOemFile(file))
                icons[i] = QIcon(QString::fromStdString(GetOemFolder() + file));
        } else {
            icons[i] = LoadResourceIcon(library, static_cast<UINT>(1102 + i));
        }
    }
    return icons;
}

} // namespace ui
