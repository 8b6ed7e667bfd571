#include "kitpack/medium_files.h"

#include "kitpack/code_page_949.h"
#include "kitpack/file_identity.h"
#include "kitpack/messages.h"
#include "kitpack/pack_error.h"
#include "onefile/payload_format.h"
#include "win/handles.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <optional>

namespace {

WideString WithSeparator(WideString path) {
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/' && path.back() != L':') {
    path += L'\\';
  }
  return path;
}

// Names compare as the file system does: without letter case.
WideString Folded(WideString name) {
  if (!name.empty()) CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
  return name;
}

}  // namespace

std::vector<MediumFile> ListMediumFiles(const std::vector<WideString>& dirs, const WideString& out,
                                        std::vector<WideString>& leftOut) {
  const std::optional<FileIdentity> older = IdentityOfPath(out);
  std::vector<MediumFile> files;
  std::map<WideString, WideString> taken;  // folded name -> the path that has it
  for (const WideString& dir : dirs) {
    const WideString base = WithSeparator(dir);
    std::vector<WIN32_FIND_DATAW> entries;
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW((base + L"*").c_str(), &found));
    if (!find) throw PackError(UnreadableDirectoryText(dir));
    do {
      entries.push_back(found);
    } while (FindNextFileW(find.Get(), &found));
    if (GetLastError() != ERROR_NO_MORE_FILES) throw PackError(UnreadableDirectoryText(dir));
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
      return WideString(a.cFileName) < WideString(b.cFileName);
    });
    for (const WIN32_FIND_DATAW& entry : entries) {
      const WideString name = entry.cFileName;
      const WideString path = base + name;
      if (name == L"." || name == L"..") continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        leftOut.push_back(path);
        continue;
      }
      if (older && IdentityOfPath(path) == older) continue;
      const std::optional<std::string> narrow = ExactCp949(name);
      if (!narrow) throw PackError(UnrepresentableNameText(path));
      if (narrow->size() > kMaxPayloadNameBytes || !IsPlainFileName(name.data(), name.size())) {
        throw PackError(UnfitFileNameText(path));
      }
      const auto [at, added] = taken.emplace(Folded(name), path);
      if (!added) throw PackError(SameNameText(at->second, path));
      const std::uint64_t size =
          (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
      files.push_back({path, *narrow, size});
    }
  }
  if (files.size() > kMaxPayloadFiles) throw PackError(TooManyFilesText());
  return files;
}
