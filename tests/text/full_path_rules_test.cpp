// The full path the file calls make of a logged path: a table of what the rules
// answer, and every row and every combination of awkward components the rules
// accept replayed against the platform's own GetFullPathNameW.
#include "text/full_path_rules.h"

#include "win/code_page_text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

struct Row {
  const char* Given;
  const char* Full;  // null: no full path
};

const Row kRows[] = {
    // Full paths stay as they are, Korean ones byte for byte.
    {"C:\\KORVANE\\PROG.EXE", "C:\\KORVANE\\PROG.EXE"},
    {"c:\\펠모라\\자료.DBF", "c:\\펠모라\\자료.DBF"},
    {"C:\\\x81\x41\\\x81\x5A.TXT", "C:\\\x81\x41\\\x81\x5A.TXT"},  // trail bytes like letters
    {"C:\\CONSOLE\\NULL.TXT:A", "C:\\CONSOLE\\NULL.TXT:A"},
    // Separators: "/" is one, runs are one, a trailing one stays.
    {"C:/KORVANE//\\PROG.EXE", "C:\\KORVANE\\PROG.EXE"},
    {"C:\\KORVANE\\\\", "C:\\KORVANE\\"},
    // "." and "..", never above the root; dots that begin a name stay.
    {"C:\\A\\.\\B\\..\\C", "C:\\A\\C"},
    {"C:\\..\\..\\B", "C:\\B"},
    {"C:\\A\\B\\..", "C:\\A"},
    {"C:\\A\\B\\.\\", "C:\\A\\B\\"},
    {"C:\\A\\..B\\.C", "C:\\A\\..B\\.C"},
    // A dot ending an inner name goes; the dots and blanks ending the path go.
    {"C:\\A.\\B. . ", "C:\\A\\B"},
    {"C:\\A. \\B \\", "C:\\A. \\B \\"},
    {"C:\\A\\...", "C:\\A\\"},
    {"C:\\A \\.", "C:\\A"},
    {"C:\\가나.", "C:\\가나"},
    // UNC: "\\server\share" is the root.
    {"\\\\SERVER\\SHARE", "\\\\SERVER\\SHARE"},
    {"\\\\SERVER\\SHARE\\..\\..\\A", "\\\\SERVER\\SHARE\\A"},
    {"//SERVER/SHARE/X/../Y.", "\\\\SERVER\\SHARE\\Y"},
    {"\\\\서버\\공유\\자료.DAT", "\\\\서버\\공유\\자료.DAT"},
    // Not absolute: the call would resolve them against a current directory.
    {"", nullptr},
    {"KORVANE\\PROG.EXE", nullptr},
    {"..\\X", nullptr},
    {"\\KORVANE", nullptr},
    {"C:PROG.EXE", nullptr},
    {"R:C:\\X", nullptr},       // a tag cut one byte late
    {"\x81\x61:\\X", nullptr},  // a lead byte is no drive letter
    // Device paths and names, UNC paths without a server or share.
    {"\\\\?\\C:\\X", nullptr},
    {"//./COM1", nullptr},
    {"\\\\SERVER", nullptr},
    {"\\\\SERVER\\", nullptr},
    {"\\\\\\SERVER\\SHARE", nullptr},
    {"\\\\SERVER\\..\\X", nullptr},
    {"C:\\CON", nullptr},
    {"C:\\A\\nul.txt", nullptr},
    {"C:\\A\\Com1 .log", nullptr},
    // Not read alike everywhere.
    {"C:\\A..\\B", nullptr},
    {"C:\\A\\...\\B", nullptr},
    {"\\\\SERVER\\\\SHARE\\A", nullptr},
    {"\\\\SERVER\\SHARE\\\\A", nullptr},
    // A broken two-byte character takes the separator after it in the platform's
    // conversion: C:\KORVANE\?..\X there, C:\X by the bytes.
    {"C:\\KORVANE\\\xC7\\..\\X", nullptr},
    {"C:\\KORVANE\\\xC7", nullptr},
};

std::string Shown(const std::optional<std::string>& full) { return full ? *full : "(none)"; }

// What the platform makes of the path.
WideString PlatformFullPath(const WideString& path) {
  WideString full(path.size() + MAX_PATH, L'\0');
  const DWORD length =
      GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  full.resize(length < full.size() ? length : 0);
  return full;
}

}  // namespace

TEST(FullPathRules, EveryRow) {
  for (const Row& row : kRows) {
    EXPECT_EQ(row.Full ? row.Full : "(none)", Shown(NormalFullPath(row.Given))) << row.Given;
  }
  EXPECT_FALSE(NormalFullPath(std::string("C:\\A\0B", 6)));  // the calls would stop at the zero
}

TEST(FullPathRules, EveryFullPathIsThePlatformsAndItsOwn) {
  for (const Row& row : kRows) {
    if (!row.Full) continue;
    EXPECT_EQ(WideFromAnsi(row.Full), PlatformFullPath(WideFromAnsi(row.Given))) << row.Given;
    EXPECT_EQ(row.Full, Shown(NormalFullPath(row.Full))) << row.Given;
  }
}

// Three components from a set of awkward ones, each after any of three separators,
// below a drive and a share: every path the rules accept is what the platform makes.
TEST(FullPathRules, CombinationsAgreeWithThePlatform) {
  const std::vector<std::string> names = {"a",   "b.",  ".",   "..",  "c ",  " d",
                                          "e. ", "...", "f..", ". .", "가.", ""};
  const std::vector<std::string> separators = {"\\", "/", "\\\\"};
  std::vector<std::string> paths;
  std::vector<std::string> shorter = {""};
  for (int depth = 1; depth <= 3; ++depth) {
    std::vector<std::string> longer;
    for (const std::string& path : shorter) {
      for (const std::string& separator : separators) {
        for (const std::string& name : names) longer.push_back(path + separator + name);
      }
    }
    paths.insert(paths.end(), longer.begin(), longer.end());
    shorter = std::move(longer);
  }
  int compared = 0;
  for (const std::string& root : {std::string("C:"), std::string("\\\\S\\SH")}) {
    for (const std::string& rest : paths) {
      const std::string path = root + rest;
      const std::optional<std::string> full = NormalFullPath(path);
      if (!full) continue;
      ++compared;
      ASSERT_EQ(WideFromAnsi(*full), PlatformFullPath(WideFromAnsi(path))) << path;
    }
  }
  EXPECT_GT(compared, 10000);
}
