// The pictures that setup's windows show, kept as bitmap resources of the program
// (pictures.rc, linked through the setup_pictures object library).
#pragma once

#include "win/handles.h"

constexpr int kWizardPicture = 101;   // 122 x 220, the wizard's left side
constexpr int kInstallPicture = 102;  // 48 x 48, the progress window's

// The picture from the program's resources; empty when the program lacks it.
BitmapHandle LoadPicture(int id);
