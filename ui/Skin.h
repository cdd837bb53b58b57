#pragma once
/// The skin: every picture comes from the "OEM" folder beside the program when the file is
/// there, otherwise by number from the resource library. This holds the registry of button
/// families with their file names and resource numbers, and the rule that skins a button.

#include "platform/System.h"
#include "platform/Types.h"
#include "ui/Colour.h"

#include <QIcon>
#include <QImage>
#include <QString>

#include <array>
#include <span>
#include <string>
#include <string_view>

class CBmpBtn;

namespace ui {

struct ResourceModule;

/// Directory of the running program, with its trailing '/'.
using platform::GetProgramDirectory;

/// Program directory + "OEM/".
std::string GetOemFolder();

/// True when a file of that name exists in the OEM folder.
bool IsOemFile(std::string_view name);

/// How a family names its state files in the OEM folder.
enum class SkinNaming
{
    Hyphen,          ///< "LinkInfo.bmp", "LinkInfo-down.bmp", ...; off loads the normal file
    Underscore,      ///< "Button_Connect.bmp", "Button_Connect_down.bmp", ..._off, ..._over
    UnderscoreNoOff, ///< like Underscore, but off loads the normal file ("X.bmp")
};

/// A skin family: base name, file naming and five resource bitmaps in the order normal,
/// down, focus, off, over.
struct SkinFamily
{
    std::string_view name;
    SkinNaming naming;
    std::array<UINT, 5> bitmaps;
};

/// Every family the programs use.
std::span<const SkinFamily> SkinFamilies();
const SkinFamily* FindSkinFamily(std::string_view name);

/// The five OEM file names of a family, in the order normal, down, focus, off, over.
std::array<std::string, 5> SkinFileNames(const SkinFamily& family);

struct CaptionColours
{
    COLORREF normal = 0;
    COLORREF hover = 0;
    COLORREF disabled = 0;
    COLORREF focus = 0;
};

/// Skins `button` with `family`: the OEM files when the family's normal file is in the OEM
/// folder (transparent, key colour red), else the library's bitmaps with `keyColour`; then
/// resizes the button to its normal image without moving it and sets caption and colours.
/// Returns the loader's result (0 as well for a family that is not in the registry).
int SkinButton(CBmpBtn& button, std::string_view family, const ResourceModule* library,
               const QString& caption, const CaptionColours& colours, COLORREF keyColour = kKeyRed);

/// A picture of the skin: OEM file `oemFile` when present and readable, else bitmap `id` of
/// the library, else bitmap `fallbackId` (0: none). A null image when nothing loads.
QImage LoadSkinPicture(std::string_view oemFile, const ResourceModule* library, UINT id,
                       UINT fallbackId = 0);

/// The main window's background: "Main.bmp" from the OEM folder, else the bitmap named by
/// key Main of section NICInfo of OEM.rec, else bitmap 1200.
QImage LoadMainBackground(const ResourceModule* library);

/// Tray icons Status0 to Status4: the OEM files "Status0.ico" ... when the OEM folder also
/// holds "Main.ico", else icons 1102 to 1106 of the library.
std::array<QIcon, 5> LoadStatusIcons(const ResourceModule* library);

} // namespace ui
