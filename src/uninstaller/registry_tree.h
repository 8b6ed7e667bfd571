// Removal of a registry key together with every subkey at any depth and all values.
#pragma once

#include "win/registry.h"

#include <string>

// Deletes the key at keyPath (resolved by the accessor) after removing its subkeys
// depth first, highest index first. True when the key itself was deleted.
bool DeleteKeyTree(RegistryAccessor& reg, const std::string& keyPath);

// Removes the key tree below HKEY_LOCAL_MACHINE when the key exists; reports nothing.
void DeleteRegistryTree(const std::string& keyPath);
