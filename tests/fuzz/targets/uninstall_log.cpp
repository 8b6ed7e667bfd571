// libFuzzer's entry for the uninstall_log target (tools/fuzz.sh): the uninstaller's
// removal passes, with its real steps, over an install log on the modelled machine.
// The machine holds what the log's lines name (files, directories, registry keys
// with a subkey each) and things no line names: the companions beside the product,
// the system's copy of the archive library, another product's Uninstall entry, the
// product key. What must hold for any log:
// - every file removed is one a FILE: or ICON: line names, and every directory
//   removed one a DIR: line names, as the ANSI file calls read the line's payload;
// - every key removed lies at or below a key a REG: line names, and that key lies
//   strictly below the Uninstall key: the Uninstall key and every key above it or
//   beside the named one stay;
// - or it is a product key a KEY: line names, exactly four names below the root
//   starting with Software, none empty, whose InstallDir value named the
//   uninstaller's own directory; or a key at or below one, or one of its two
//   parents that held no value; "Software" itself always stays;
// - what is handed to the restart is not removed now, and a directory said to stay
//   is one a DIR: line names;
// - no handle stays open.
#include "machine.h"

#include "contracts/install_log.h"
#include "text/text.h"
#include "uninstaller/removal_passes.h"
#include "uninstaller/restart_removal.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kProgram[] = "C:\\KORVANE\\Halvex.exe";
const char kOwnDirectory[] = "C:\\KORVANE";

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return text;
}

// What a line's payload names to the ANSI file calls: the payload after a tag of
// that length, trimmed, made full on the machine.
std::wstring Named(const std::string& line, std::size_t tagLength) {
  if (line.size() <= tagLength) return std::wstring();
  std::wstring full =
      Upper(model::Machine::Current().FullPath(model::Wide(Trim(line.substr(tagLength)))));
  if (full.size() > 3 && full.back() == L'\\') full.pop_back();  // C:\A\ is C:\A
  return full;
}

// Makes every directory up to the path's last separator, and the path itself as a
// file or directory. Paths the machine cannot hold are passed over.
void Make(const std::wstring& full, bool directory) {
  model::Machine& machine = model::Machine::Current();
  if (full.size() < 3) return;
  for (std::size_t at = full.find(L'\\', 3); at != std::wstring::npos;
       at = full.find(L'\\', at + 1)) {
    machine.MakeDirectory(full.substr(0, at));
  }
  if (directory) {
    machine.MakeDirectory(full);
  } else {
    machine.PutFile(full, "logged");
  }
}

// The key path a REG: payload names, as the registry reads it: runs of separators
// count as one; a leading one names nothing.
std::string KeyNamed(const std::string& line) {
  const std::string payload = line.size() > 4 ? Trim(line.substr(4)) : std::string();
  if (payload.empty() || payload[0] == '\\') return std::string();
  std::string key;
  for (std::size_t at = 0; at < payload.size();) {
    const std::size_t end = std::min(payload.find('\\', at), payload.size());
    if (end > at) key += (key.empty() ? "" : "\\") + payload.substr(at, end - at);
    at = end + 1;
  }
  return key;
}

std::string ParentOf(const std::string& key) {
  const std::size_t cut = key.rfind('\\');
  return cut == std::string::npos ? std::string() : key.substr(0, cut);
}

bool AtOrBelow(const std::string& key, const std::string& top) {
  const std::string k = UpperAscii(key), t = UpperAscii(top);
  return k == t || (k.size() > t.size() && k.compare(0, t.size(), t) == 0 && k[t.size()] == '\\');
}

// Every other logged file, and every other logged directory, read-only, as a
// medium on a CD-ROM leaves them.
void MarkReadOnly(const std::wstring& full, bool& mark) {
  model::MachineEntry* entry = model::Machine::Current().Find(full);
  if (entry && (mark = !mark)) entry->Attributes |= 0x1;
}

void Populate(const std::vector<std::string>& lines) {
  model::Machine& machine = model::Machine::Current();
  bool mark = false;
  for (const wchar_t* bystander :
       {L"C:\\KORVANE\\Halvex.exe", L"C:\\KORVANE\\UNRAR.DLL", L"C:\\KORVANE\\DATA\\KEEP.DBF",
        L"C:\\WINDOWS\\SYSTEM32\\UNRAR.DLL", L"\\\\SRV\\SHARE\\KEEP.TXT"}) {
    Make(bystander, false);
  }
  for (const char* key : {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other 1.0\\A",
                          "Software\\Korvane\\Pelmora\\1.0"}) {
    machine.MakeKey(key);
  }
  for (const std::string& line : lines) {
    if (line.find(kFileTag) != std::string::npos || line.find(kIconTag) != std::string::npos) {
      Make(Named(line, 5), false);
      MarkReadOnly(Named(line, 5), mark);
    }
    if (line.find(kDirTag) != std::string::npos) {
      Make(Named(line, 4), true);
      MarkReadOnly(Named(line, 4), mark);
    }
    if (line.find(kRegTag) != std::string::npos) {
      const std::string key = KeyNamed(line);
      if (!key.empty()) machine.MakeKey(key + "\\Child");
    }
    if (line.find(kKeyTag) != std::string::npos) {
      const std::string key = KeyNamed(line);
      if (key.empty()) continue;
      machine.MakeKey(key + "\\Child");
      // Every other one names the uninstaller's directory, in one of its spellings.
      mark = !mark;
      machine.SetValue(key, "InstallDir",
                       mark ? (line.size() % 2 ? "c:\\korvane\\" : kOwnDirectory) : "C:\\OTHER");
      if (line.size() % 3 == 0) machine.SetValue(ParentOf(key), "Shared", "kept");
    }
  }
}

// Exactly four names, the first Software, none empty: the payload as the guard must read it.
bool ProductKeyShape(const std::string& line) {
  const std::string payload = line.size() > 4 ? Trim(line.substr(4)) : std::string();
  std::vector<std::string> parts(1);
  for (const char c : payload) {
    if (c == '\\') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  if (parts.size() != 4 || UpperAscii(parts[0]) != "SOFTWARE") return false;
  for (const std::string& part : parts) {
    if (part.empty()) return false;
  }
  return true;
}

bool NamesOwnDirectory(const std::string* value) {
  if (!value) return false;
  std::string dir = UpperAscii(*value);
  while (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return dir == UpperAscii(kOwnDirectory);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  model::Machine& machine = model::Machine::Current();
  machine.Reset();
  const std::vector<std::string> lines =
      SplitLogText(std::string(reinterpret_cast<const char*>(data), size));
  Populate(lines);
  // The lines as setup's in-memory log keeps them, twice: the second run adds none.
  TInstallLog log;
  for (int run = 0; run < 2; ++run) {
    log.BeginRun();
    for (const std::string& line : lines) log.Add(line);
  }
  Require(log.Lines().size() == lines.size());
  const std::map<std::wstring, model::MachineEntry> files = machine.Entries();
  const std::vector<std::string> keys = machine.Keys();
  // The product keys a KEY: line may remove, with the two parents, and which of those held values.
  std::vector<std::string> productKeys;
  std::set<std::string> parentsWithValues;
  for (const std::string& line : lines) {
    if (line.find(kKeyTag) == std::string::npos || !ProductKeyShape(line)) continue;
    const std::string key = KeyNamed(line);
    if (!NamesOwnDirectory(machine.Value(key, "InstallDir"))) continue;
    productKeys.push_back(key);
    for (const std::string& parent : {ParentOf(key), ParentOf(ParentOf(key))}) {
      if (machine.ValueCount(parent) > 0) parentsWithValues.insert(UpperAscii(parent));
    }
  }

  SystemRemovalSteps steps(kProgram);
  RunRemovalPasses(lines, steps);
  // What waits for the restart is only handed over: nothing more goes now, and what
  // stays is a directory a line names.
  const std::size_t left = machine.Entries().size();
  const std::vector<std::string> stayed = FinishRemoval(lines, steps);
  Require(machine.Entries().size() == left);

  std::set<std::wstring> namedFiles, namedDirectories;
  std::vector<std::string> namedKeys;
  for (const std::string& line : lines) {
    if (line.find(kFileTag) != std::string::npos || line.find(kIconTag) != std::string::npos) {
      namedFiles.insert(Named(line, 5));
    }
    if (line.find(kDirTag) != std::string::npos) namedDirectories.insert(Named(line, 4));
    if (line.find(kRegTag) != std::string::npos) namedKeys.push_back(KeyNamed(line));
  }
  for (const std::string& dir : stayed) {
    Require(namedDirectories.count(Named(std::string(kDirTag) + dir, 4)) == 1);
  }
  for (const auto& entry : files) {
    if (machine.At(entry.second.Path)) continue;  // still there
    const std::wstring path = Upper(entry.second.Path);
    Require((entry.second.Directory ? namedDirectories : namedFiles).count(path) == 1);
  }
  for (const std::string& key : keys) {
    if (machine.KeyExists(key)) continue;
    bool named = false;
    for (const std::string& top : namedKeys) {
      named = named || (AtOrBelow(key, top) && AtOrBelow(top, kUninstallKey) &&
                        UpperAscii(top) != UpperAscii(kUninstallKey));
    }
    for (const std::string& product : productKeys) {
      const bool parent = UpperAscii(key) == UpperAscii(ParentOf(product)) ||
                          UpperAscii(key) == UpperAscii(ParentOf(ParentOf(product)));
      named = named || AtOrBelow(key, product) ||
              (parent && parentsWithValues.count(UpperAscii(key)) == 0);
    }
    Require(named);
  }
  Require(machine.KeyExists(kUninstallKey));
  Require(machine.KeyExists("Software"));
  Require(machine.OpenHandles() == 0);
  return 0;
}
