#pragma once
/// Window messages of the shell.
#include "platform/Types.h"

constexpr UINT WM_COMMAND = 0x0111;      ///< wParam: the command id
constexpr UINT WM_SYSCOMMAND = 0x0112;   ///< wParam: the system command
constexpr UINT WM_ADAPTER_EVENT = 0x466; ///< lParam: the adapter event code
constexpr UINT WM_WPS_SCANLIST = 0x4D2;
constexpr UINT WM_WPS_SUCCESS = 0x4D3;
constexpr UINT WM_WPS_CLOSED = 0x4D6;
