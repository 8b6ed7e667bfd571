// The platform's reading of an INI file through GetPrivateProfileStringA, as a model
// the native fuzz targets run on. It is Wine's reading (model_replay_test replays
// the model's cases through the real function): the file decoded as a whole (UTF-8
// after a byte-order mark, else code page 949), lines ended by CR or LF, sections
// and keys found without regard to letter case (the first of equal ones wins),
// blanks around names and values dropped, one pair of enclosing quotes removed.
#pragma once

#include <string>

namespace model {

// As GetPrivateProfileStringA(section, key, defaultValue, buffer, size) on a file
// holding fileBytes (exists false: no such file). A null key lists the section's
// keys, a null section the file's sections. Writes into buffer what the platform
// writes (bytes it leaves unwritten stay as they are) and returns what it returns.
unsigned ProfileString(const std::string& fileBytes, bool exists, const char* section,
                       const char* key, const char* defaultValue, char* buffer, unsigned size);

}  // namespace model
