// The layer's private window messages.
#pragma once

#include <windows.h>

constexpr UINT WM_KIT_ACTIVATE = WM_APP + 0x100;  // a form was activated: run FormActivate
constexpr UINT WM_KIT_RELEASE = WM_APP + 0x101;   // a form closed with caFree: destroy it
