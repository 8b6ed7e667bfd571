// Reads back, from outside, the flags a program gave its message box: the set of
// buttons, the default button and the icon, recognised by its pixels on the screen.
// MB_TASKMODAL and the like leave nothing to see on the box and are not read.
#pragma once

#include "testing/ui_driver.h"

#include <windows.h>

// MB_OK / MB_YESNO / ... | MB_DEFBUTTONn | MB_ICONSTOP / ... as the box shows them;
// MB_TYPEMASK for an unknown button set, MB_ICONMASK for an icon of no known kind.
// Waits (up to the driver's timeout) for the icon to be painted.
UINT ShownFlags(const ui_driver::MessageBoxInfo& box);

// Presses Enter in the box, as a user at the keyboard would.
void PressEnter(const ui_driver::MessageBoxInfo& box);
