// Raw registry access for tests, independent of the registry code under test.
#pragma once

#include <windows.h>

#include <map>
#include <string>

struct RawValue {
  DWORD Type = REG_NONE;
  std::string Data;  // the stored bytes, a string's terminating zero included
  bool operator==(const RawValue& other) const { return Type == other.Type && Data == other.Data; }
};

// A REG_SZ value as stored: the text and its terminating zero.
RawValue StringValue(const std::string& text);

bool KeyExists(HKEY root, const std::string& key);
bool QueryValue(HKEY root, const std::string& key, const std::string& name, RawValue& value);

// Every value of the key by name; empty when the key is missing.
std::map<std::string, RawValue> KeyValues(HKEY root, const std::string& key);

// Creates the key when missing and sets the value's bytes as given.
void SetRawValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                 const std::string& bytes);
void DeleteRawValue(HKEY root, const std::string& key, const std::string& name);

// Removes the key with all its subkeys; nothing when it is missing.
void DeleteKeyTree(HKEY root, const std::string& key);

// Creates the key when missing and lets everyone only read it: opening it with full
// access or creating a key below it then fails. Lasts while the wineserver runs.
void MakeKeyReadOnly(HKEY root, const std::string& key);

// Gives the key full access for everyone again.
void MakeKeyWritable(HKEY root, const std::string& key);

// What waits for the restart's deletion or renaming (PendingFileRenameOperations), one
// path a line, the platform's "\??\" prefix dropped.
std::string WaitingForRestart();
// Empties that list.
void ClearWaitingForRestart();
