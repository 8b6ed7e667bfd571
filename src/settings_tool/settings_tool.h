// The settings tool's run: find the engine archive beside the program, ask once,
// then rewrite the engine configuration and refill the engine directory from the
// archive. Its whole user interface is two message boxes.
#pragma once

#include "win/message_box.h"

#include <string>

extern const char kSettingsToolCaption[];  // "BDE 환경설정"
extern const char kMissingArchiveText[];   // no engine archive beside the program
extern const char kReconfigureQuestion[];  // asked before anything is changed
constexpr UINT kMissingArchiveFlags = MB_OK | MB_ICONEXCLAMATION;
constexpr UINT kReconfigureFlags = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;

// One whole run from programDirectory (ending in "\"); returns the exit code, 0.
// Only Yes changes anything: the registry is written first, then the engine
// directory is emptied of its files and refilled. A registry error of a strict write
// is not caught here: it reaches the caller before any file is deleted. An archive
// that fails its dry run leaves the engine directory as it is.
int RunSettingsTool(const std::string& programDirectory, const MessageBoxFunction& showBox);
