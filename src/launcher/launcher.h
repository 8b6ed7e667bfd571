// One run of the launcher: checks the payload of its own file, writes it into a new
// temporary folder, starts setup.exe there with the launcher's arguments, waits for
// it and removes the folder with everything in it, also after a failure.
#pragma once

#include "launcher/command_line.h"
#include "launcher/launcher_seams.h"

#include <windows.h>

#include <cstdint>

// The exit code: setup's, or the launcher's own (exit_codes.h). program is the file
// holding the payload at payloadOffset.
DWORD RunLauncher(const wchar_t* program, std::uint64_t payloadOffset, const LaunchOptions& options,
                  const LauncherSeams& seams);
