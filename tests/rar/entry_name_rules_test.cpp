// The archive library's rules for stored names, as a table written from what the
// library is documented to do. Setup's log and the stand-in library both follow
// this one implementation, so the table is the only check of it: each row is run
// through the 8-bit form and, converted from code page 949, through the wide form.
#include "rar/entry_name_rules.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <string>

namespace {

struct Row {
  const char* Stored;
  const char* Safe;
};

const Row kRows[] = {
    // Plain names and subdirectories; "/" counts as "\".
    {"PROG.EXE", "PROG.EXE"},
    {"DATA\\A.DBF", "DATA\\A.DBF"},
    {"DATA/SUB/B.DBF", "DATA\\SUB\\B.DBF"},
    {"DIR\\", "DIR\\"},
    {"", ""},
    // A "\..\" component: everything through the last one goes.
    {"..\\..\\WINDOWS\\EVIL.TXT", "WINDOWS\\EVIL.TXT"},
    {"SUB\\..\\UP.TXT", "UP.TXT"},
    {"A\\..\\B\\..\\C.TXT", "C.TXT"},
    {"SUB\\..\\..\\X.TXT", "X.TXT"},
    {"\\..\\X.TXT", "X.TXT"},
    {"A/../B/C.TXT", "B\\C.TXT"},
    {"SUB\\..\\", ""},
    {"SUB\\..", "SUB\\.."},        // no separator after the dots: no component
    {"a..\\b.txt", "a..\\b.txt"},  // dots inside a name are no component
    {"NAME.", "NAME."},
    // Drives, UNC prefixes and leading runs of "." and "\", pass after pass.
    {"C:\\EVIL.TXT", "EVIL.TXT"},
    {"c:AUTOEXEC.BAT", "AUTOEXEC.BAT"},
    {"C:", ""},
    {"1:NOT A DRIVE", "1:NOT A DRIVE"},
    {"\\C:\\X.TXT", "X.TXT"},
    {".\\C:\\X.TXT", "X.TXT"},
    {"\\\\srv\\share\\C:\\X.TXT", "X.TXT"},
    {"C:..\\X.TXT", "X.TXT"},
    {"C:D:\\X.TXT", "X.TXT"},
    {"\\\\SERVER\\SHARE\\DIR\\F.TXT", "DIR\\F.TXT"},
    {"//SERVER/SHARE/G.TXT", "G.TXT"},
    {"\\\\?\\C:\\F.TXT", "F.TXT"},
    {"\\\\SERVER\\SHARE", ""},
    {"\\\\SERVER", ""},
    {"\\\\a\\b\\\\\\c\\d\\X.TXT", "c\\d\\X.TXT"},  // the run after the prefix goes in its pass
    {"\\ROOT.TXT", "ROOT.TXT"},
    {"/ETC/PASSWD", "ETC\\PASSWD"},
    {"\\", ""},
    {".\\.\\HIDDEN.TXT", "HIDDEN.TXT"},
    {"...\\X", "X"},
    // A dot that begins a name stays.
    {".profile", ".profile"},
    {".\\.profile", ".profile"},
    {"...x", "...x"},
    {"\\\\\\..\\.x", ".x"},
    {".", "."},
    {"..", ""},
    {"..\\..", ""},
    {"..\\X.TXT", "X.TXT"},
    // Korean names pass through byte for byte.
    {"한글\\이름.TXT", "한글\\이름.TXT"},
    {"..\\문서\\서류.DBF", "문서\\서류.DBF"},
    {"C:\\문서.TXT", "문서.TXT"},
    {"가/나.TXT", "가\\나.TXT"},
    {"\\\\서버\\공유\\자료.DAT", "자료.DAT"},
    {"\x81\x41\\\x81\x5A.TXT", "\x81\x41\\\x81\x5A.TXT"},  // trail bytes that look like letters
    {".\\\x81\x61:\\X.TXT", "\x81\x61:\\X.TXT"},           // not a drive: the lead byte is none
};

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(949, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  return wide;
}

}  // namespace

TEST(EntryNameRules, EveryRowInBothForms) {
  for (const Row& row : kRows) {
    EXPECT_EQ(row.Safe, SafeEntryName(std::string(row.Stored))) << row.Stored;
    EXPECT_EQ(Wide(row.Safe), SafeEntryName(Wide(row.Stored))) << row.Stored;
  }
}

TEST(EntryNameRules, ASafeNameNeverReachesOutside) {
  // Applying the rules again changes nothing, and no result starts above the
  // destination or holds a "\..\" component.
  for (const Row& row : kRows) {
    const std::string safe = SafeEntryName(std::string(row.Stored));
    EXPECT_EQ(safe, SafeEntryName(safe)) << row.Stored;
    EXPECT_EQ(std::string::npos, ("\\" + safe).find("\\..\\")) << row.Stored;
    EXPECT_FALSE(!safe.empty() && safe[0] == '\\') << row.Stored;
    EXPECT_FALSE(safe.size() > 1 && safe[1] == ':' && isalpha(static_cast<unsigned char>(safe[0])))
        << row.Stored;
  }
}
