#pragma once
/// Dialog templates as data. A template gives the dialog's size in dialog units, its style,
/// its font and its controls in order; CNewPage creates the controls from it and lays them out.
/// Dialog units are quarters of the font's average character width horizontally and eighths
/// of its height vertically.

#include "platform/Types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

// Dialog styles.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD DS_MODALFRAME = 0x00000080;
constexpr DWORD DS_SETFONT = 0x00000040; ///< the template's font is used

// Control styles common to every kind.
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_GROUP = 0x00020000; ///< starts a group of radio buttons
constexpr DWORD WS_TABSTOP = 0x00010000;

// Static text.
constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_LEFTNOWORDWRAP = 0x000C;
constexpr DWORD SS_CENTERIMAGE = 0x0200;
constexpr DWORD SS_NOPREFIX = 0x0080;

// Edit fields.
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_NUMBER = 0x2000;

// List views.
constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SINGLESEL = 0x0004;
constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
constexpr DWORD LVS_NOSCROLL = 0x2000;
constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000;
constexpr DWORD LVS_NOSORTHEADER = 0x8000;

// Tree views.
constexpr DWORD TVS_HASBUTTONS = 0x0001;
constexpr DWORD TVS_HASLINES = 0x0002;
constexpr DWORD TVS_LINESATROOT = 0x0004;

/// What a template item creates.
enum class ControlKind
{
    PushButton,
    DefPushButton, ///< the default button: Enter presses it
    BitmapButton,  ///< a skinned button, CBmpBtn
    CheckBox,
    RadioButton,
    GroupBox,
    Static,        ///< static text; SS_ alignment
    PaintedStatic, ///< static text that paints itself, CMyStatic
    Picture,       ///< a bitmap or icon shown by the owner
    EtchedLine,    ///< a horizontal separator line
    Edit,
    ComboBox, ///< a drop-down list
    ListView, ///< a report list with columns
    SortList, ///< a report list that keeps its sort state, CSortCtrlList
    TreeView,
    ProgressBar,
};

/// Id of template items that nobody looks up.
constexpr int IDC_STATIC = -1;

struct DialogItem
{
    int id = IDC_STATIC;
    ControlKind kind = ControlKind::Static;
    int x = 0; ///< position and size in dialog units
    int y = 0;
    int cx = 0;
    int cy = 0;
    std::string text = {};
    DWORD style = 0;     ///< WS_DISABLED, WS_GROUP and the kind's own style bits
    bool visible = true; ///< false: created hidden
};

struct TemplateFont
{
    std::uint16_t pointSize = 8; ///< 0x8000 and above: the 16-bit negation is the size
    std::uint16_t weight = 400;
    bool italic = false;
    std::string face = "MS Shell Dlg"; ///< kept for the platform's own placement only
};

struct DialogTemplate
{
    UINT id = 0;
    int cx = 0; ///< size in dialog units
    int cy = 0;
    DWORD style = WS_CHILD | DS_SETFONT;
    DWORD exStyle = 0;
    std::string title = {};
    TemplateFont font = {};
    std::vector<DialogItem> items = {};
};

} // namespace ui
