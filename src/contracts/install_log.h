// The install log: what setup records while it installs and the uninstaller
// removes later. Writer and reader live here so the format lives in one place.
// Everything but the two file functions is pure (install_log_text.cpp), so the
// line reader can be fuzzed natively.
//
// The file holds one entry per line, a tag immediately followed by its payload,
// as CP949 bytes; every line, the last included, ends in CR LF.
#pragma once

#include <set>
#include <string>
#include <vector>

// Tags: upper case, matched case-sensitively.
extern const char kFileTag[];  // "FILE:" + path of a file to delete
extern const char kIconTag[];  // "ICON:" + path of a shortcut file to delete
extern const char kDirTag[];   // "DIR:" + directory to remove when empty
extern const char kRegTag[];   // "REG:" + key below HKEY_LOCAL_MACHINE to remove

extern const char kInstallLogName[];      // "INSTALL.LOG", as setup writes it
extern const char kUninstallerLogName[];  // "Install.log", as the uninstaller opens it
extern const char kLockFileName[];        // "Korvane.lck"

// What setup leaves for the other programs, beside the log that names it.
// The key under which a product registers for removal: the "REG:" line names
// kUninstallKeyPrefix + the product's title, and the uninstaller removes nothing
// that is not strictly below it.
extern const char kUninstallKeyPrefix[];  // "Software\Microsoft\Windows\CurrentVersion\Uninstall\"
// The companion programs and the archive library, copied from the medium into the
// install directory, and the targets of the companions' shortcuts.
extern const char kUninstallerName[];         // "Halvex.exe"
extern const char kSettingsToolName[];        // "Dorcel.exe"
extern const char kArchiveLibraryName[];      // "UNRAR.DLL"
extern const char kUninstallerLinkTarget[];   // "<INSTALLDIR>\HALVEX.EXE"
extern const char kSettingsToolLinkTarget[];  // "<INSTALLDIR>\DORCEL.EXE"

// The in-memory log: lines are only appended, never reordered or removed.
//
// One process may run the install more than once (after a Cancel at the disk
// prompt the user may try again). Every run starts with BeginRun: a line that an
// earlier run logged already is not logged again, while within one run every line
// is kept, repeats included.
class TInstallLog {
 public:
  void BeginRun();
  void Add(const std::string& line);
  void Add(const char* tag, const std::string& payload) { Add(tag + payload); }
  const std::vector<std::string>& Lines() const { return lines_; }

  // The two lines that end a saved log: the log itself and the product's lock
  // file, both in the install directory.
  void AddClosingLines(const std::string& installDir);

  // Writes every line with CR LF to path, replacing any file there.
  // False when the file cannot be created or fully written.
  bool SaveToFile(const std::string& path) const;

 private:
  std::vector<std::string> lines_;
  std::set<std::string> earlierRuns_;  // the lines of the runs before this one
};

enum class LogReadResult { Read, Missing, Unreadable };

// Reads the whole log file into lines before anything acts on it.
LogReadResult ReadInstallLog(const std::string& path, std::vector<std::string>& lines);

// Splits file bytes into lines: CR LF, a lone LF or a lone CR ends a line; a zero
// byte ends the text. Text after the last line end is a line of its own.
std::vector<std::string> SplitLogText(const std::string& bytes);

// The uninstaller's three passes, in this order.
enum class LogPass {
  Files,        // lines holding "FILE:" or "ICON:": delete the file
  Directories,  // lines holding "DIR:": remove the directory
  Registry,     // lines holding "REG:": remove the key tree
};

// The payloads a pass acts on, in file order: every line that holds one of the
// pass's tags anywhere, taken whole from the fixed position after a tag at the
// line's start, and trimmed. Empty payloads are left out: they name nothing, and
// an empty key path would mean HKEY_LOCAL_MACHINE itself. A file or directory path
// is taken at any length, never shortened (that would name another file), and given
// in the form the file calls make of it (NormalFullPath, text/full_path_rules.h);
// one that has no such form is left out: resolved against a current directory, a
// path that is not absolute would name what the log does not.
std::vector<std::string> PassPayloads(const std::vector<std::string>& lines, LogPass pass);
