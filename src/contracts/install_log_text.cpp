#include "contracts/install_log.h"

#include "text/full_path_rules.h"
#include "text/text.h"

#include <algorithm>

const char kFileTag[] = "FILE:";
const char kIconTag[] = "ICON:";
const char kDirTag[] = "DIR:";
const char kRegTag[] = "REG:";
const char kKeyTag[] = "KEY:";

const char kInstallLogName[] = "INSTALL.LOG";
const char kUninstallerLogName[] = "Install.log";
const char kLockFileName[] = "Korvane.lck";

const char kUninstallKeyPrefix[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kUninstallerName[] = "Halvex.exe";
const char kSettingsToolName[] = "Dorcel.exe";
const char kArchiveLibraryName[] = "UNRAR.DLL";
const char kUninstallerLinkTarget[] = "<INSTALLDIR>\\HALVEX.EXE";
const char kSettingsToolLinkTarget[] = "<INSTALLDIR>\\DORCEL.EXE";

namespace {

bool Contains(const std::string& line, const char* tag) {
  return line.find(tag) != std::string::npos;
}

bool Selected(const std::string& line, LogPass pass) {
  switch (pass) {
    case LogPass::Files:
      return Contains(line, kFileTag) || Contains(line, kIconTag);
    case LogPass::Directories:
      return Contains(line, kDirTag);
    case LogPass::Registry:
      return Contains(line, kRegTag);
    case LogPass::ProductKey:
      return Contains(line, kKeyTag);
  }
  return false;
}

// The payload starts after a five-byte tag ("FILE:", "ICON:") or a four-byte one
// ("DIR:", "REG:", "KEY:").
std::string::size_type PayloadStart(LogPass pass) { return pass == LogPass::Files ? 5 : 4; }

// A "REG:" or "KEY:" payload of any length is left to the uninstaller's key guards.
bool NamesAPath(LogPass pass) { return pass != LogPass::Registry && pass != LogPass::ProductKey; }

// The number of levels of a path: its separators (CP949 trail bytes are never "\").
std::size_t Depth(const std::string& path) {
  return static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\'));
}

}  // namespace

void TInstallLog::BeginRun() { earlierRuns_.insert(lines_.begin(), lines_.end()); }

void TInstallLog::Add(const std::string& line) {
  if (earlierRuns_.count(line) == 0) lines_.push_back(line);
}

void TInstallLog::AddClosingLines(const std::string& installDir) {
  Add(kFileTag, installDir + "\\" + kInstallLogName);
  Add(kFileTag, installDir + "\\" + kLockFileName);
}

// Deepest first, and within one depth in the order they were noted. Depth by depth
// rather than sorted: a merge sort's code costs setup more than the few directories do.
void TInstallLog::AddCreatedDirectoryLines() {
  std::size_t deepest = 0;
  for (const std::string& dir : createdDirs_) deepest = std::max(deepest, Depth(dir));
  for (std::size_t depth = deepest + 1; depth-- > 0;) {
    for (const std::string& dir : createdDirs_) {
      if (Depth(dir) == depth) Add(kDirTag, dir);
    }
  }
}

std::vector<std::string> SplitLogText(const std::string& bytes) {
  std::vector<std::string> lines;
  const std::string::size_type end = bytes.find('\0');  // a zero byte ends the text
  const std::string text = bytes.substr(0, end);
  std::string::size_type pos = 0;
  while (pos < text.size()) {
    const std::string::size_type stop = text.find_first_of("\r\n", pos);
    if (stop == std::string::npos) {
      lines.push_back(text.substr(pos));
      break;
    }
    lines.push_back(text.substr(pos, stop - pos));
    pos = stop + 1;
    if (text[stop] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  }
  return lines;
}

std::vector<std::string> PassPayloads(const std::vector<std::string>& lines, LogPass pass) {
  std::vector<std::string> payloads;
  for (const std::string& line : lines) {
    if (!Selected(line, pass)) continue;
    const std::string::size_type start = PayloadStart(pass);
    if (line.size() <= start) continue;  // nothing after the tag
    std::string payload = Trim(line.substr(start));
    if (payload.empty()) continue;
    if (!NamesAPath(pass)) {
      payloads.push_back(std::move(payload));
    } else if (std::optional<std::string> path = NormalFullPath(payload)) {
      payloads.push_back(std::move(*path));
    }
  }
  return payloads;
}
