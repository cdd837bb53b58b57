#pragma once
/// The program's own resources, compiled into Tavoro: icons 128 (the program) and 143 to 145
/// (the adapter tree), menu 139 (the notification-area menu) and string 101.
#include "platform/Types.h"

#include <QIcon>

#include <string>
#include <vector>

namespace shell {

constexpr UINT IDR_MAINFRAME = 128;
constexpr UINT IDR_TRAY_MENU = 139;
constexpr UINT IDS_ABOUTBOX = 101;

/// Registers the compiled resources; safe to call more than once.
void InitProgramResources();

/// Icon `id` of the program; a null icon when it has none.
QIcon LoadProgramIcon(UINT id);
/// String `id` of the program; empty when it has none.
std::string LoadProgramString(UINT id);

struct MenuItem
{
    UINT command = 0;
    std::string text;
};
/// The items of the first pop-up of menu `id`; empty when the program has no such menu.
std::vector<MenuItem> LoadProgramMenu(UINT id);

} // namespace shell
