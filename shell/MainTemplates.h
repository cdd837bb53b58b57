#pragma once
/// The dialog templates of the shell: the card selection dialog, the main window (102) and
/// the About box (100).
#include "ui/DialogTemplate.h"

namespace shell {

constexpr UINT IDD_SELECT_CARD = 101;
constexpr UINT IDD_MAIN = 102;
constexpr UINT IDD_ABOUTBOX = 100;

const ui::DialogTemplate& SelectCardTemplate();
const ui::DialogTemplate& MainTemplate();
const ui::DialogTemplate& AboutTemplate();

} // namespace shell
