// Reads back, from outside, the flags a program gave its message box: the buttons,
// the default button and the icon (recognised by its pixels on the screen).
#pragma once

#include "ui_driver.h"

#include <windows.h>

// MB_OK / MB_YESNO / ... | MB_ICONSTOP / ... | MB_DEFBUTTONn as the box shows them.
// Waits (up to the driver's timeout) for the icon to be painted.
UINT ShownFlags(const ui_driver::MessageBoxInfo& box);

// Presses Enter in the box, as a user at the keyboard would.
void PressEnter(const ui_driver::MessageBoxInfo& box);
