// What the library makes of a stored name before joining it to the destination
// path, so that no entry lands outside the destination.
#pragma once

#include <string>

// Turns "/" into "\", then drops everything up to and including the last "..\",
// a trailing "..", a leading drive ("X:"), a UNC prefix ("\\server\share\") and
// any leading run of separators and dots.
std::wstring SafeStoredName(std::wstring name);
