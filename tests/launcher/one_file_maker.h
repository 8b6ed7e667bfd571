// One-file media made by the tests: payloads as kitpack writes them, or damaged on
// purpose, behind a launcher.
#pragma once

#include <string>
#include <vector>

struct PayloadFileSpec {
  std::string Name;  // code page 949
  std::string Data;
};

// The payload of the files, in their order.
std::string MakePayload(const std::vector<PayloadFileSpec>& files);

// Sets the checksum of a payload a test has changed, so that only the change it meant
// is wrong with it.
void Reseal(std::string& payload);

// Where the launcher's last section ends (the payload's place).
std::size_t SectionsEndOf(const std::string& program);

// The launcher up to the end of its last section, then the payload.
std::string OneFile(const std::string& launcher, const std::string& payload);
