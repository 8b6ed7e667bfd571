#include "setup/shortcut.h"

#include "text/text.h"
#include "win/com_ptr.h"
#include "win/errors.h"
#include "win/registry.h"

#include <windows.h>
#include <shlobj.h>

namespace {

const char kShellFoldersKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kDescription[] = "No description available";

// The shell link object and the two interfaces used, named here: the platform's GUID
// library holds every GUID of the platform in one piece, some 40 KB of the program.
constexpr CLSID kShellLinkClass = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kShellLinkA = {
    0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kPersistFile = {
    0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The link file name is handed over in a buffer of this many UTF-16 characters,
// its terminating zero included.
constexpr int kLinkPathBuffer = MAX_PATH;

std::string ShellFolderPath(const std::string& folderName) {
  RegistryAccessor reg(HKEY_CURRENT_USER);
  reg.OpenKey(kShellFoldersKey, false);
  return reg.ReadString(folderName);
}

// False when the path does not convert or does not fit the buffer: a cut path
// would save the link under a wrong name.
bool ToLinkFileName(const std::string& path, wchar_t (&buffer)[kLinkPathBuffer]) {
  const int needed = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (needed <= 0 || needed > kLinkPathBuffer) return false;
  return MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, buffer, kLinkPathBuffer) == needed;
}

}  // namespace

std::string ShortcutPath(const std::string& folderName, const std::string& linkName) {
  return ShellFolderPath(folderName) + "\\" + linkName;
}

std::string ShortcutWorkingDirectory(const std::string& target) {
  std::string dir = DirectoryPart(target);
  const std::string::size_type n = dir.size();
  if (n >= 2 && dir[n - 1] == '\\' && dir[n - 2] != ':' && dir[n - 2] != '\\') {
    dir.pop_back();
  }
  return dir;
}

void CreateShortcut(const std::string& folderName, const std::string& linkName,
                    const std::string& target, const std::string& arguments,
                    std::string& linkPath) {
  linkPath = ShortcutPath(folderName, linkName);
  CreateDirectoryA(DirectoryPart(linkPath).c_str(), nullptr);  // may exist already

  ComPtr<IShellLinkA> link;
  ComPtr<IPersistFile> file;  // declared last: released first
  if (FAILED(CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkA,
                              link.ReceiveVoid())) ||
      FAILED(link.QueryInterface(kPersistFile, file))) {
    throw Exception("The shell link object is not available");
  }
  link->SetPath(target.c_str());
  if (!arguments.empty()) link->SetArguments(arguments.c_str());
  link->SetDescription(kDescription);
  link->SetWorkingDirectory(ShortcutWorkingDirectory(target).c_str());
  link->SetShowCmd(SW_SHOWNORMAL);

  wchar_t fileName[kLinkPathBuffer];
  if (ToLinkFileName(linkPath, fileName)) file->Save(fileName, TRUE);
}
