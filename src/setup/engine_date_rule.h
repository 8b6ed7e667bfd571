// The engine's date rule: whether the engine archive keeps the engine files already
// installed (extracted with fail-if-exists). Only the install's real actions use it.
#pragma once

#include <windows.h>

#include <string>

// Not when OVERWRITE is "TRUE" or no engine is installed; otherwise only when the
// installed "IDAPI32.DLL" is as new as DbEngineDate or newer. Raises when DbEngineDate
// is needed and does not convert.
bool EngineFailIfExists();

// The file's last-write time as local time at the file-date resolution of two
// seconds; all zero when it cannot be read.
SYSTEMTIME FileDate(const std::string& path);

// Whether a is strictly later than b. Compares the fields, so any year counts
// (a date of the year 96 is beyond what the platform's file times hold).
bool LaterThan(const SYSTEMTIME& a, const SYSTEMTIME& b);
