// The full path the file calls make of an absolute path they are given (what
// GetFullPathName answers), so that a path can be handed to the wide calls with the
// "\\?\" prefix, which turns this normalisation off.
//
// Working on the bytes of a code page 949 path is sound: the second byte of a
// two-byte character is never "\", "/", ".", ":" or a blank.
//
// Pure: no platform headers, so the rules can be fuzzed natively.
#pragma once

#include <optional>
#include <string>

// The path with "/" read as "\", runs of separators made one, "." and ".."
// components resolved (never above the root, "X:\" or "\\server\share"), the dot
// that ends an inner component dropped, and then the dots and blanks that end the
// path dropped.
//
// Nothing for a path that names no file of its own: one that is not absolute
// ("X:" without "\", "\" without a drive, relative: the call would resolve it
// against a current directory), a device path ("\\?\", "\\.\"), a UNC path
// without a server or share name, a device name (CON, NUL.TXT, COM1, ...), a zero
// byte; and for paths not read alike by every platform: an inner component ending
// in two dots or more ("a..", "..."), a separator doubled around a UNC share name,
// and a broken two-byte character (a lead byte without its trail byte, which would
// take the separator after it).
std::optional<std::string> NormalFullPath(const std::string& path);
