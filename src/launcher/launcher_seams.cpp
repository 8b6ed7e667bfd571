#include "launcher/launcher_seams.h"

#include "launcher/program_start.h"

LauncherSeams Seams() { return {500, StartElevated}; }
