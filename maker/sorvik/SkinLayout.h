#pragma once
// Geometry and palette of the default skin, shared by the program that draws it and the
// contact sheet. Every rectangle is in pixels of the main window's client area.

#include <QColor>
#include <QRect>

#include <array>

namespace sorvik {

// Main window background (bitmap 1200).
constexpr int kMainWidth = 750;
constexpr int kMainHeight = 640;
constexpr int kHeaderBottom = 158;           // caption band and tab row
constexpr QRect kAccentLine{0, 158, 750, 2}; // under the tab row
constexpr QRect kPageArea{180, 160, 550, 420};
constexpr QRect kLeftPanel{12, 172, 156, 396};
constexpr QRect kAdapterTree{20, 206, 140, 299}; // suggested place of the tree, control 1107
constexpr QRect kCheckCard{12, 514, 156, 54};    // accent card under the two check boxes
constexpr QRect kShowTrayCheck{21, 518, 140, 20};
constexpr QRect kRadioOffCheck{21, 543, 140, 20};
constexpr QRect kFooter{0, 580, 750, 60};
constexpr QRect kDragArea{0, 0, 669, 109}; // suggested place of the "Title" static, control 9

// Buttons on the main window.
struct TabPlace
{
    const char* family;
    int controlId;
    int firstString; // strings firstString .. +3 hold left, right, top, bottom
    QRect rect;
};
constexpr int kTabTop = 120;
constexpr int kTabHeight = 38;
constexpr std::array<TabPlace, 7> kPlacedButtons{{
    {"LinkInfo", 1003, 1906, {20, kTabTop, 88, kTabHeight}},
    {"Config", 1006, 1910, {112, kTabTop, 80, kTabHeight}},
    {"Survey", 1007, 1914, {196, kTabTop, 164, kTabHeight}},
    {"Profile", 1008, 1918, {364, kTabTop, 79, kTabHeight}},
    {"About", 1009, 1922, {447, kTabTop, 98, kTabHeight}},
    {"Wps", 1010, 1930, {549, kTabTop, 181, kTabHeight}},
    {"X", 1087, 1926, {712, 10, 28, 24}},
}};
// Placed by the main window's template; suggested so that they sit on the background.
constexpr QRect kMinimiseBox{680, 10, 28, 24};  // "_", control 1103
constexpr QRect kAboutButton{20, 596, 96, 28};  // "About2", control 1104
constexpr QRect kCloseButton{633, 596, 97, 28}; // "btn_save", control 1088

// Sizes of the page buttons and the wizard pictures.
constexpr QSize kPageButton{96, 26}; // Button_Connect, Button_Refresh, Button_Apply, Button_Cancel
constexpr QSize kWpsButton{208, 30}; // WPS_PIN, WPS_PBC
constexpr QSize kResultPicture{64, 64};

// Palette.
inline const QColor kInk{0x0B, 0x0D, 0x10}; // tabs
inline const QColor kHeaderStart{0x25, 0x2A, 0x32};
inline const QColor kHeaderEnd{0x1B, 0x1F, 0x25};
inline const QColor kBody{0x1B, 0x1F, 0x25};
inline const QColor kPanel{0x23, 0x29, 0x31};
inline const QColor kFooterFill{0x15, 0x18, 0x1D};
inline const QColor kLine{0x31, 0x38, 0x41};
inline const QColor kAccent{0xF0, 0x68, 0x24}; // also the check boxes' background 0x2468F0
inline const QColor kAccentDeep{0xC9, 0x4F, 0x14};
inline const QColor kSlate{0x2E, 0x37, 0x42};
inline const QColor kMuted{0x8C, 0x96, 0xA1};
inline const QColor kGlyph{0x6B, 0x76, 0x82};
inline const QColor kLight{0xF2, 0xF4, 0xF6};

} // namespace sorvik
