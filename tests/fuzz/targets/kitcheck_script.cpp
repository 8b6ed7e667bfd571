// libFuzzer's entry for the kitcheck_script target (tools/fuzz.sh): the input is a
// SETUP.INI on the medium of the modelled machine, read by setup's reader and by
// kitcheck's analysis, both through the modelled profile functions and code pages.
// What must hold for any script:
// - kitcheck sees the keys setup reads: a table key it does not report as ignored is
//   one setup asks for, and every slot setup found is a key kitcheck listed and did
//   not report;
// - a key kitcheck reports as ignored is none that setup asks for (unless an equal
//   one came first);
// - a script kitcheck takes as code page 949 reads back as written: every value
//   setup gets is bytes of the file, nothing replaced on the way.
// The key checks hold for scripts without a zero byte or a key without a name
// (kitcheck reports both).
#include "machine.h"

#include "kitcheck/script_file.h"
#include "setup/install_settings.h"
#include "text/text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

const char kMedium[] = "C:\\MEDIUM\\";

// Slots 1 to 10 whose key is in the list, by the name setup asks for.
std::set<unsigned> SlotsListed(const std::vector<std::string>& listed, const char* prefix,
                               const std::vector<IgnoredKey>& ignored) {
  std::set<std::string> reported;
  for (const IgnoredKey& key : ignored) {
    if (!key.Repeated) reported.insert(key.Name);
  }
  std::set<unsigned> slots;
  for (const std::string& name : listed) {
    if (reported.count(name)) continue;
    const std::string upper = UpperAscii(Trim(name));
    if (upper.empty() || upper[0] == ';') continue;
    unsigned slot = 0;
    for (unsigned n = 1; n <= kMaxScriptEntries; ++n) {
      if (upper == UpperAscii(TableKeyName(prefix, n))) slot = n;
    }
    Require(slot != 0);  // neither reported nor read by setup
    slots.insert(slot);
  }
  return slots;
}

void CheckTable(const std::string& script, const char* section, const char* prefix,
                const std::vector<IgnoredKey>& ignored,
                const std::array<bool, kMaxScriptEntries>& present) {
  const std::vector<std::string> listed = SectionKeys(script, section);
  const std::set<unsigned> slots = SlotsListed(listed, prefix, ignored);
  for (unsigned n = 1; n <= kMaxScriptEntries; ++n) {
    // A key whose value is exactly "NONE" counts as absent for setup.
    if (present[n - 1]) Require(slots.count(n) == 1);
  }
}

// Every value setup reads from the table is bytes of the file.
void CheckReadBack(const std::string& bytes, const char* section, const char* prefix) {
  for (unsigned n = 1; n <= kMaxScriptEntries; ++n) {
    const std::string value = ReadIniString(section, TableKeyName(prefix, n), "NONE");
    if (value != "NONE") Require(bytes.find(value) != std::string::npos);
  }
  const std::string name = ReadIniString("APP", "NAME", "");
  Require(bytes.find(name) != std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  model::Machine& machine = model::Machine::Current();
  machine.Reset();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string script = std::string(kMedium) + "SETUP.INI";
  machine.PutFile(model::Wide(script), bytes);

  ReadSetupScriptFor(std::string(kMedium) + "setup.exe");
  const ScriptFile analysis = AnalyseScript(bytes, script);
  // A zero byte and a key without a name, which kitcheck reports, hide keys from
  // the listing.
  if (bytes.find('\0') == std::string::npos && analysis.UnnamedKeyLine == 0) {
    CheckTable(script, "FILES", kFileKeyPrefix, analysis.IgnoredFileKeys,
               InstallSettings.FilePresent);
    CheckTable(script, "ICONS", kIconKeyPrefix, analysis.IgnoredIconKeys,
               InstallSettings.IconPresent);
  }
  if (analysis.Text.Encoding == ScriptEncoding::Cp949) {
    CheckReadBack(bytes, "FILES", kFileKeyPrefix);
    CheckReadBack(bytes, "ICONS", kIconKeyPrefix);
  }
  return 0;
}
