// libFuzzer's entry for the path_macros target (tools/fuzz.sh): setup's path macros
// on the modelled machine. The input: an options byte (bit 0: a Windows directory
// longer than MAX_PATH), then the path, the engine directory and the install
// directory, separated by line feeds, each cut at 1,023 bytes as the script reader
// cuts values. What must hold for any input: the expansion ends, and it is the
// five tokens replaced in their order, each wherever it occurs in the text of its
// pass, found in any letter case and not searched for again inside what it put in.
#include "machine.h"

#include "setup/install_settings.h"
#include "setup/path_macros.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

TInstallSettings InstallSettings;

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

constexpr std::size_t kLongestValue = 1023;

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// Every occurrence of the token, left to right, replaced in one pass over the text.
std::string ReplacedOnce(const std::string& text, const std::string& token,
                         const std::string& value) {
  const std::string upper = Upper(text);
  std::string result;
  std::size_t at = 0;
  for (std::size_t found; (found = upper.find(token, at)) != std::string::npos;) {
    result += text.substr(at, found - at) + value;
    at = found + token.size();
  }
  return result + text.substr(at);
}

std::string Field(const std::string& input, std::size_t& at) {
  const std::size_t end = std::min(input.find('\n', at), input.size());
  std::string field = input.substr(at, std::min(end - at, kLongestValue));
  at = end < input.size() ? end + 1 : end;
  return field;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  model::Machine& machine = model::Machine::Current();
  machine.Reset();
  if (data[0] & 1) machine.WindowsDirectory = "C:\\" + std::string(300, 'W');
  const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  std::size_t at = 0;
  const std::string path = Field(input, at);
  InstallSettings.DbEngineDir = Field(input, at);
  InstallSettings.InstallDir = Field(input, at);

  std::string expected = ReplacedOnce(path, "<WINDIR>", machine.WindowsDirectory);
  expected = ReplacedOnce(expected, "<WINSYSDIR>", machine.WindowsDirectory + "\\SYSTEM32");
  expected = ReplacedOnce(expected, "<BDEDIR>", InstallSettings.DbEngineDir);
  expected = ReplacedOnce(expected, "<INSTALLDIR>", InstallSettings.InstallDir);
  expected = ReplacedOnce(expected, "<PROGRAMFILES>", "C:\\Program Files");
  Require(ExpandPath(path) == expected);
  // The install directory as read: the token at its start only, in any case.
  const std::string read = ExpandInstallDirectory(InstallSettings.InstallDir);
  const bool atStart = Upper(InstallSettings.InstallDir.substr(0, 14)) == "<PROGRAMFILES>";
  Require(read == (atStart ? "C:\\Program Files" + InstallSettings.InstallDir.substr(14)
                           : InstallSettings.InstallDir));
  Require(ReplaceMacro(path, "", "x") == path);
  return 0;
}
