// libFuzzer's entry for the rar_component target (tools/fuzz.sh): the archive
// component's runs over the stand-in archive library, in process, on the modelled
// machine. The input is an archive set and the run's options:
//   byte 0  bit 0: leave the checksums as they are (otherwise they are made whole)
//           bits 1-2: the target directory (C:\T, C:\T\, none, \\SRV\SHARE\T)
//           bit 3: new volume names (SET.PART1.RAR ...) instead of SET.RAR, SET.R00 ...
//           bit 4: a volume-change handler, which names the first volume again
//           bit 5: the data handler cancels the third block
//           bit 6: a list of files to extract, which selects SPLIT.BIN
//   byte 1  the number of volumes (1 to 3); each but the last is preceded by its
//           length (2 bytes, little-endian), the last takes the rest.
// What must hold for any input: every file and directory made lies inside the
// target directory; an entry extracted whole is where the install log would name
// it (unless only its Unicode form names it); under fail-if-exists no entry whose file is there is
// extracted again; the data positions count the entry's bytes; no file is left open.
#include "archive_fixup.h"
#include "machine.h"

#include "rar/entry_name.h"
#include "rar/rar_component.h"
#include "text/text.h"
#include "unrar_standin/volume_names.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

struct Options {
  bool Raw;
  int Target;
  bool NewNaming;
  bool VolumeHandler;
  bool CancelData;
  bool FileList;
};

const char* const kTargets[] = {"C:\\T", "C:\\T\\", "", "\\\\SRV\\SHARE\\T"};

std::vector<std::string> Volumes(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> volumes;
  const unsigned count = 1 + data[1] % 3;
  std::size_t at = 2;
  for (unsigned i = 0; i + 1 < count && at + 2 <= size; ++i) {
    const std::size_t length = std::min<std::size_t>(data[at] | data[at + 1] << 8, size - at - 2);
    volumes.emplace_back(reinterpret_cast<const char*>(data + at + 2), length);
    at += 2 + length;
  }
  volumes.emplace_back(reinterpret_cast<const char*>(data + at), size - at);
  return volumes;
}

// Puts the volumes on the medium under the names the library looks for; the
// first volume's name.
std::string PutVolumes(std::vector<std::string> volumes, const Options& options) {
  std::string name = options.NewNaming ? "C:\\MEDIUM\\SET.PART1.RAR" : "C:\\MEDIUM\\SET.RAR";
  const std::string first = name;
  for (std::string& volume : volumes) {
    if (!options.Raw) FixArchiveChecksums(volume);
    model::Machine::Current().PutFile(model::Wide(name), volume);
    name = NextVolumeName(name, options.NewNaming);
  }
  return first;
}

std::wstring FullTarget(const std::string& target) {
  return model::Machine::Current().FullPath(model::Wide(target.empty() ? "." : target));
}

bool Inside(const std::wstring& path, std::wstring dir) {
  if (dir.size() > 3 && dir.back() == L'\\') dir.pop_back();  // C:\T\ is C:\T
  std::wstring prefix = dir;
  if (prefix.back() != L'\\') prefix += L'\\';
  auto upper = [](std::wstring text) {
    for (wchar_t& c : text) {
      if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return text;
  };
  const std::wstring p = upper(path);
  return p == upper(dir) || p.compare(0, prefix.size(), upper(prefix)) == 0;
}

bool IsFile(const std::string& path) {
  const model::MachineEntry* entry = model::Machine::Current().Find(model::Wide(path));
  return entry && !entry->Directory;
}

// One run of the component; checks what must hold of each entry as it goes.
void ExtractOnce(TRAR& rar, const std::string& archive, const std::string& target,
                 bool failIfExists, bool cancelThirdBlock) {
  std::string entryPath;
  std::uint64_t position = 0;
  int blocks = 0;
  rar.OnExtracting = [&](TRAR& sender, const RARHeaderData& header) {
    entryPath = ExtractedEntryPath(sender.TargetDir, std::string(header.FileName));
    // The existence test looks where the entry will be written.
    Require(!failIfExists || !IsFile(entryPath));
    position = 0;
  };
  rar.OnExtract = [&](TRAR&, const RARHeaderData& header, bool ok) {
    const std::string name(header.FileName);
    // A name whose characters the code page lacks cannot be named back, and where the
    // archive holds a Unicode form too the library writes that one, which the header's
    // 8-bit name need not spell.
    constexpr unsigned kUnicodeName = 0x200;
    if (!ok || name.find('?') != std::string::npos || (header.Flags & kUnicodeName)) return;
    // Nor can a name with a broken two-byte character, which the platform's
    // conversion splits elsewhere than its bytes.
    if (!IsWellFormedCp949(name)) return;
    Require(model::Machine::Current().Find(model::Wide(entryPath)) != nullptr);
  };
  rar.OnProcessData = [&](TRAR&, unsigned char*, int blockSize, int now) {
    position += static_cast<std::uint32_t>(blockSize);
    Require(static_cast<std::uint32_t>(now) == static_cast<std::uint32_t>(position));
    return ++blocks == 3 && cancelThirdBlock ? 0 : 1;
  };
  rar.ExtractArchive(archive, target, failIfExists);
}

void RunComponent(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return;
  const Options options{(data[0] & 1) != 0,  data[0] >> 1 & 3,    (data[0] & 8) != 0,
                        (data[0] & 16) != 0, (data[0] & 32) != 0, (data[0] & 64) != 0};
  model::Machine& machine = model::Machine::Current();
  machine.Reset();
  const std::vector<std::string> volumes = Volumes(data, size);
  const std::string archive = PutVolumes(volumes, options);
  std::set<std::wstring> before;
  for (const auto& entry : machine.Entries()) before.insert(entry.first);

  const std::string target = kTargets[options.Target];
  TRAR rar;
  if (options.VolumeHandler) {
    rar.OnVolumeChange = [&](TRAR&, char* name, int mode) {
      if (mode == 1) return 1;
      // Names the first volume again: a set that loops back must end.
      std::snprintf(name, 260, "%s", archive.c_str());
      return 1;
    };
  }
  if (options.FileList) rar.FilesToExtract.Add("C:\\APP\\SPLIT.BIN");
  ExtractOnce(rar, archive, target, false, options.CancelData);
  ExtractOnce(rar, archive, target, true, options.CancelData);

  const std::wstring dir = FullTarget(target);
  for (const auto& entry : machine.Entries()) {
    if (before.count(entry.first)) continue;
    Require(Inside(entry.second.Path, dir));
  }
  Require(machine.OpenHandles() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RunComponent(data, size);
  return 0;
}
