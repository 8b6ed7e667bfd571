#include "kitpack/folder_listing.h"

#include "kitpack/code_page_949.h"
#include "kitpack/console_interruption.h"
#include "kitpack/messages.h"
#include "kitpack/pack_error.h"
#include "win/handles.h"

#include <windows.h>

#include <algorithm>
#include <optional>

namespace {

constexpr std::size_t kLongestName = 259;
constexpr DWORD kStoredAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
constexpr std::uint32_t kEarliestDosTime = (1 << 21) | (1 << 16);  // 1980-01-01 00:00:00
constexpr std::uint32_t kLatestDosTime =
    (127u << 25) | (12 << 21) | (31 << 16) | (23 << 11) | (59 << 5) | 29;  // 2107-12-31 23:59:58

std::uint32_t DosTime(const FILETIME& utc) {
  FILETIME local;
  WORD date = 0;
  WORD time = 0;
  if (!FileTimeToLocalFileTime(&utc, &local)) return kEarliestDosTime;
  if (FileTimeToDosDateTime(&local, &date, &time)) {
    return static_cast<std::uint32_t>(date) << 16 | time;
  }
  SYSTEMTIME when;
  return FileTimeToSystemTime(&local, &when) && when.wYear >= 1980 ? kLatestDosTime
                                                                   : kEarliestDosTime;
}

WideString WithSeparator(WideString path) {
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/' && path.back() != L':') {
    path += L'\\';
  }
  return path;
}

// One directory's entries, sorted, without "." and "..".
std::vector<PackItem> DirectoryEntries(const WideString& directory, const std::string& prefix) {
  const WideString base = WithSeparator(directory);
  std::vector<PackItem> items;
  WIN32_FIND_DATAW found;
  FindHandle find(FindFirstFileW((base + L"*").c_str(), &found));
  if (!find) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return items;  // an empty drive's root
    throw PackError(UnreadableDirectoryText(directory));
  }
  do {
    const WideString name = found.cFileName;
    if (name != L"." && name != L"..") items.push_back(ItemOf(base, prefix, found));
  } while (FindNextFileW(find.Get(), &found));
  if (GetLastError() != ERROR_NO_MORE_FILES) throw PackError(UnreadableDirectoryText(directory));
  std::sort(items.begin(), items.end(),
            [](const PackItem& a, const PackItem& b) { return a.Name < b.Name; });
  return items;
}

void ListDirectory(const WideString& directory, const std::string& prefix,
                   std::vector<PackItem>& out) {
  StopIfInterrupted();
  for (PackItem& item : DirectoryEntries(directory, prefix)) {
    if (item.Directory) ListDirectory(item.Path, item.Name + "\\", out);
    out.push_back(std::move(item));
  }
}

}  // namespace

PackItem ItemOf(const WideString& base, const std::string& prefix, const WIN32_FIND_DATAW& found) {
  PackItem item;
  item.Path = base + found.cFileName;
  if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    throw PackError(ReparsePointText(item.Path));
  }
  const std::optional<std::string> name949 = ExactCp949(found.cFileName);
  if (!name949) throw PackError(UnrepresentableNameText(item.Path));
  item.Name = prefix + *name949;
  if (item.Name.size() > kLongestName) throw PackError(NameTooLongText(item.Path));
  item.Directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  item.Attributes = found.dwFileAttributes & (kStoredAttributes | FILE_ATTRIBUTE_DIRECTORY);
  item.DosTime = DosTime(found.ftLastWriteTime);
  return item;
}

std::vector<PackItem> ListFolder(const WideString& folder) {
  std::vector<PackItem> items;
  ListDirectory(folder, std::string(), items);
  return items;
}
