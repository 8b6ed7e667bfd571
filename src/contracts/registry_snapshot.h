// A registry key tree of HKEY_LOCAL_MACHINE kept as bytes, so that a run
// can put the tree back as it was: every subkey and every value, its type and its bytes.
#pragma once

#include <string>

// The tree at path as bytes; empty when the key is absent.
std::string SnapshotKeyTree(const std::string& path);

// Deletes the tree at path and remakes it from the snapshot (nothing when the snapshot
// is empty). False when any part could not be put back or the snapshot is damaged.
bool RestoreKeyTree(const std::string& path, const std::string& snapshot);

// Deletes the key at path with all its subkeys; true when it is gone.
bool DeleteKeyTreeAt(const std::string& path);

// True when the key exists.
bool KeyExists(const std::string& path);

// Text as hexadecimal digits and back (false for what no text gives).
std::string HexOf(const std::string& bytes);
bool BytesOfHex(const std::string& hex, std::string& bytes);
