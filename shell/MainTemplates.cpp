#include "shell/MainTemplates.h"

namespace shell {

using ui::ControlKind;
using ui::DialogItem;
using ui::DialogTemplate;

const DialogTemplate& SelectCardTemplate()
{
    static const DialogTemplate t{
        IDD_SELECT_CARD,
        260,
        150,
        ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME | ui::DS_SETFONT,
        0,
        "Select Card",
        {},
        {
            {1005, ControlKind::ListView, 14, 30, 232, 86, "",
             ui::LVS_REPORT | ui::LVS_SINGLESEL | ui::LVS_SHOWSELALWAYS},
            {1, ControlKind::BitmapButton, 124, 124, 56, 16, "OK", ui::WS_TABSTOP},
            {2, ControlKind::BitmapButton, 188, 124, 56, 16, "Cancel", ui::WS_TABSTOP},
        },
    };
    return t;
}

// Placed on the default background (750 x 640 pixels, Tahoma's base units 6 x 13); the tab
// buttons and the close box are placed from the resource library's strings instead.
const DialogTemplate& MainTemplate()
{
    static const DialogTemplate t{
        IDD_MAIN,
        500,
        394,
        ui::WS_POPUP | ui::DS_SETFONT,
        0,
        "Tavoro",
        {},
        {
            {9, ControlKind::Static, 0, 0, 446, 67, ""},
            {1003, ControlKind::BitmapButton, 13, 74, 58, 23, "General"},
            {1006, ControlKind::BitmapButton, 75, 74, 53, 23, "Profile"},
            {1007, ControlKind::BitmapButton, 131, 74, 109, 23, "Available Networks"},
            {1008, ControlKind::BitmapButton, 243, 74, 52, 23, "Status"},
            {1009, ControlKind::BitmapButton, 298, 74, 65, 23, "Statistics"},
            {1010, ControlKind::BitmapButton, 366, 74, 120, 23, "Wi-Fi Protected Setup"},
            {1087, ControlKind::BitmapButton, 475, 6, 18, 15, "X"},
            {1103, ControlKind::BitmapButton, 453, 6, 18, 15, "_"},
            {1107, ControlKind::TreeView, 13, 127, 93, 184, "",
             ui::TVS_HASBUTTONS | ui::TVS_HASLINES | ui::TVS_LINESATROOT},
            {1089, ControlKind::CheckBox, 14, 319, 93, 12, "  Show Tray Icon"},
            {1090, ControlKind::CheckBox, 14, 334, 93, 12, "  Radio Off"},
            {1091, ControlKind::CheckBox, 14, 349, 93, 12, "  Disable Adapter", 0, false},
            {1104, ControlKind::BitmapButton, 13, 367, 64, 17, "About(A)"},
            {1088, ControlKind::BitmapButton, 422, 367, 64, 17, "Close"},
        },
    };
    return t;
}

const DialogTemplate& AboutTemplate()
{
    static const DialogTemplate t{
        IDD_ABOUTBOX,
        235,
        73,
        ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME | ui::DS_SETFONT,
        0,
        "About Wireless Utility",
        {},
        {
            {ui::IDC_STATIC, ControlKind::Picture, 11, 17, 20, 20, ""},
            {1113, ControlKind::Static, 40, 14, 134, 8, "", ui::SS_NOPREFIX},
            {ui::IDC_STATIC, ControlKind::Static, 41, 31, 48, 8,
             "Utility version:", ui::SS_NOPREFIX},
            {1109, ControlKind::Static, 96, 31, 93, 8, "", ui::SS_NOPREFIX},
            {1114, ControlKind::Static, 40, 47, 119, 8, "", ui::SS_NOPREFIX},
            {1, ControlKind::DefPushButton, 178, 7, 50, 16, "OK", ui::WS_GROUP | ui::WS_TABSTOP},
        },
    };
    return t;
}

} // namespace shell
