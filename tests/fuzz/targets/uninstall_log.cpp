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
// - no handle stays open.
#include "machine.h"

#include "contracts/install_log.h"
#include "text/text.h"
#include "uninstaller/removal_passes.h"

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
  }
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

  SystemRemovalSteps steps;
  RunRemovalPasses(lines, steps);

  std::set<std::wstring> namedFiles, namedDirectories;
  std::vector<std::string> namedKeys;
  for (const std::string& line : lines) {
    if (line.find(kFileTag) != std::string::npos || line.find(kIconTag) != std::string::npos) {
      namedFiles.insert(Named(line, 5));
    }
    if (line.find(kDirTag) != std::string::npos) namedDirectories.insert(Named(line, 4));
    if (line.find(kRegTag) != std::string::npos) namedKeys.push_back(KeyNamed(line));
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
    Require(named);
  }
  Require(machine.KeyExists(kUninstallKey));
  Require(machine.OpenHandles() == 0);
  return 0;
}
