// The database engine's fixed configuration as the engine expects to find it in the
// registry, for the tests of every program that writes it.
#pragma once

#include "support/registry_support.h"

#include <map>
#include <string>
#include <vector>

struct EngineRow {
  std::string Key;  // below "SOFTWARE\Borland\"
  std::string Name;
  std::string Data;
};

// The 55 values in the order they are written.
std::vector<EngineRow> ExpectedEngineRows();

// The full path below HKEY_LOCAL_MACHINE of a key below "SOFTWARE\Borland\".
std::string EngineKeyPath(const std::string& key);

using EngineSnapshot = std::map<std::string, std::map<std::string, RawValue>>;

// The ten keys holding exactly the 55 values: key (below "SOFTWARE\Borland\") ->
// name -> value.
EngineSnapshot ExpectedEngineSnapshot();

// Every value of the configuration's keys as the registry now holds them.
EngineSnapshot EngineKeySnapshot();
