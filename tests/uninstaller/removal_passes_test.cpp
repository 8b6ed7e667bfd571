#include "uninstaller/removal_passes.h"
#include "uninstaller/restart_removal.h"
#include "uninstaller/uninstall_key_guard.h"

#include "support/long_paths.h"
#include "support/test_support.h"
#include "win/file_system.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <stdexcept>

namespace {

using Lines = std::vector<std::string>;

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Records every step as "<kind> <payload>"; optionally fails on one payload.
class RecordingSteps : public RemovalSteps {
 public:
  Lines Steps;
  std::string ThrowOn;

  void DeleteLoggedFile(const std::string& path) override { Record("file", path); }
  void RemoveLoggedDirectory(const std::string& path) override { Record("dir", path); }
  void RemoveLoggedKey(const std::string& keyPath) override { Record("key", keyPath); }
  void RemoveLoggedProductKey(const std::string& keyPath) override { Record("product", keyPath); }

  // A small file system for what waits for the restart: the paths there, each
  // directory's entries.
  std::string Program = "C:\\APP\\Halvex.exe";
  std::map<std::string, Lines> Tree;
  std::string RefuseRestartOf;
  std::string ProgramPath() override { return Program; }
  bool Present(const std::string& path) override {
    if (Tree.count(path)) return true;
    for (const auto& dir : Tree) {
      if (std::find(dir.second.begin(), dir.second.end(), path) != dir.second.end()) return true;
    }
    return false;
  }
  Lines Contents(const std::string& path) override { return Tree[path]; }
  bool RemoveAtRestart(const std::string& path) override {
    Record("restart", path);
    return path != RefuseRestartOf;
  }

 private:
  void Record(const char* kind, const std::string& payload) {
    Steps.push_back(std::string(kind) + " " + payload);
    if (payload == ThrowOn) throw std::runtime_error("step failed");
  }
};

Lines RunPasses(const Lines& lines, const std::string& throwOn = "") {
  RecordingSteps steps;
  steps.ThrowOn = throwOn;
  RunRemovalPasses(lines, steps);
  return steps.Steps;
}

}  // namespace

TEST(UninstallKeyGuard, OnlyAProductKeyBelowTheUninstallKey) {
  EXPECT_TRUE(IsRemovableUninstallKey(kUninstall + "Pelmora 1.0"));
  EXPECT_TRUE(IsRemovableUninstallKey(kUninstall + "펠모라 1.0"));
  EXPECT_TRUE(IsRemovableUninstallKey(kUninstall + "P"));
  EXPECT_TRUE(IsRemovableUninstallKey(kUninstall + "Pelmora\\Sub"));
  EXPECT_TRUE(IsRemovableUninstallKey(
      "SOFTWARE\\microsoft\\WINDOWS\\currentversion\\UNINSTALL\\Pelmora 1.0"));

  EXPECT_FALSE(IsRemovableUninstallKey(""));
  EXPECT_FALSE(IsRemovableUninstallKey(kUninstall));  // an empty product title
  EXPECT_FALSE(IsRemovableUninstallKey(kUninstall + "\\"));
  EXPECT_FALSE(IsRemovableUninstallKey(kUninstall + "\\\\\\"));
  EXPECT_FALSE(IsRemovableUninstallKey(kUninstall.substr(0, kUninstall.size() - 1)));
  EXPECT_FALSE(IsRemovableUninstallKey("Software"));
  EXPECT_FALSE(IsRemovableUninstallKey("Software\\Korvane\\Pelmora\\1.0"));
  EXPECT_FALSE(IsRemovableUninstallKey("\\" + kUninstall + "Pelmora 1.0"));
  EXPECT_FALSE(
      IsRemovableUninstallKey("Software\\Microsoft\\Windows\\CurrentVersion\\"
                              "UninstallX\\Pelmora 1.0"));
  EXPECT_FALSE(IsRemovableUninstallKey("System\\" + kUninstall + "Pelmora 1.0"));
}

TEST(RemovalPasses, FilesThenDirectoriesThenKeysEachInFileOrder) {
  const Lines lines = {
      "REG:" + kUninstall + "First",   "DIR:C:\\KORVANE", "FILE:C:\\KORVANE\\PROG.EXE",
      "ICON:C:\\MENU\\Pelmora.LNK",    "DIR:C:\\MENU",    "REG:" + kUninstall + "Second",
      "FILE:C:\\KORVANE\\INSTALL.LOG",
  };
  EXPECT_EQ((Lines{"file C:\\KORVANE\\PROG.EXE", "file C:\\MENU\\Pelmora.LNK",
                   "file C:\\KORVANE\\INSTALL.LOG", "dir C:\\KORVANE", "dir C:\\MENU",
                   "key " + kUninstall + "First", "key " + kUninstall + "Second"}),
            RunPasses(lines));
}

TEST(RemovalPasses, LineSelectionPayloadPositionsAndTrimming) {
  const Lines lines = {
      "file:C:\\LOWER.TXT",  // lower-case tag: ignored
      "FILE: C:\\A.TXT \t",  // blanks and tabs around the payload go
      "ICON:\tC:\\B.LNK",
      "  DIR:C:\\X",  // tag not at the start: the fixed cut gives "R:C:\X", no full path
      "comment without a tag",
      "",
      "DIR:",                               // nothing to remove
      "FILE:" + std::string(300, 'f'),      // not absolute: left alone
      "FILE:C:\\" + std::string(300, 'g'),  // taken whole
      "DIR:C:\\" + std::string(251, 'd') + "\\..\\tail.",
  };
  EXPECT_EQ((Lines{"file C:\\A.TXT", "file C:\\B.LNK", "file C:\\" + std::string(300, 'g'),
                   "dir C:\\tail"}),
            RunPasses(lines));
}

TEST(RemovalPasses, UnsafeKeyPayloadsAreSkippedSilently) {
  const Lines lines = {
      "REG:",
      "REG:   ",
      "REG:" + kUninstall,
      "REG:" + kUninstall + "\\\\",
      "REG:" + kUninstall.substr(0, kUninstall.size() - 1),
      "REG:Software",
      "REG:Software\\Korvane\\Pelmora\\1.0",
      "REG:Software\\Classes\\" + kUninstall + "Pelmora 1.0",
      "REG:" + kUninstall + "Pelmora 1.0  ",
  };
  EXPECT_EQ((Lines{"key " + kUninstall + "Pelmora 1.0"}), RunPasses(lines));
}

TEST(ProductKeyGuard, ExactlyFourNamesBelowSoftwareNoneEmpty) {
  EXPECT_TRUE(IsRemovableProductKey("Software\\Korvane\\별빛 가계부\\1.0"));
  EXPECT_TRUE(IsRemovableProductKey("SOFTWARE\\K\\N\\V"));
  for (const char* key : {"", "Software", "Software\\Korvane", "Software\\Korvane\\Pelmora",
                          "Software\\Korvane\\Pelmora\\1.0\\Sub", "\\Software\\K\\N\\V",
                          "Software\\K\\N\\V\\", "Software\\\\N\\V", "Software\\K\\\\V",
                          "System\\K\\N\\V", "Software2\\K\\N\\V", "Software\\\\\\"}) {
    EXPECT_FALSE(IsRemovableProductKey(key)) << key;
  }
  EXPECT_TRUE(NamesInstallDirectory("C:\\Program Files\\Korvane\\App",
                                    "c:\\program files\\korvane\\app\\"));
  EXPECT_TRUE(NamesInstallDirectory("C:\\KORVANE\\", "C:\\KORVANE"));
  EXPECT_FALSE(NamesInstallDirectory("", ""));
  EXPECT_FALSE(NamesInstallDirectory("\\", "\\"));
  EXPECT_FALSE(NamesInstallDirectory("C:\\KORVANE\\Other", "C:\\KORVANE"));
  EXPECT_FALSE(NamesInstallDirectory("C:\\KORVANE", "C:\\KORVANE\\Other"));
}

TEST(RemovalPasses, ProductKeysComeLastAndOnlyThroughTheirGuard) {
  const Lines lines = {
      "KEY:Software\\Korvane\\Pelmora\\1.0",
      "REG:" + kUninstall + "Pelmora 1.0",
      "KEY:Software",
      "KEY:Software\\Korvane",
      "KEY:" + kUninstall + "Pelmora 1.0",
      "FILE:C:\\A.TXT",
      "KEY:Software\\\\Pelmora\\1.0",
  };
  EXPECT_EQ((Lines{"file C:\\A.TXT", "key " + kUninstall + "Pelmora 1.0",
                   "product Software\\Korvane\\Pelmora\\1.0"}),
            RunPasses(lines));
}

// The uninstaller's own file and the directories it keeps full wait for the restart,
// deepest first; a directory holding anything else stays and is named.
TEST(RestartRemoval, WhatOnlyTheRunningProgramKeepsWaitsForTheRestart) {
  // A directory named again, in another case or with a trailing "\\", is one directory.
  const Lines lines = {"DIR:C:\\APP",       "FILE:c:\\app\\HALVEX.EXE",
                       "DIR:C:\\APP\\DATA", "DIR:C:\\PF\\",
                       "DIR:C:\\GONE",      "DIR:c:\\app\\"};
  RecordingSteps steps;
  steps.Tree = {{"C:\\APP", {"C:\\APP\\Halvex.exe"}}, {"C:\\PF", {"C:\\APP"}}};
  EXPECT_EQ(Lines{}, FinishRemoval(lines, steps));
  EXPECT_EQ((Lines{"restart C:\\APP\\Halvex.exe", "restart C:\\APP", "restart C:\\PF"}),
            steps.Steps);

  // A file added after the install keeps its directory and every one above it.
  steps = RecordingSteps();
  steps.Tree = {{"C:\\APP", {"C:\\APP\\Halvex.exe", "C:\\APP\\DATA"}},
                {"C:\\APP\\DATA", {"C:\\APP\\DATA\\MINE.DOC"}},
                {"C:\\PF", {"C:\\APP"}}};
  EXPECT_EQ((Lines{"C:\\APP\\DATA", "C:\\APP", "C:\\PF"}), FinishRemoval(lines, steps));
  EXPECT_EQ((Lines{"restart C:\\APP\\Halvex.exe"}), steps.Steps);

  // A refused hand-over is something that stays.
  steps = RecordingSteps();
  steps.Tree = {{"C:\\APP", {"C:\\APP\\Halvex.exe"}}};
  steps.RefuseRestartOf = "C:\\APP\\Halvex.exe";
  EXPECT_EQ((Lines{"C:\\APP"}), FinishRemoval(lines, steps));
  // What a rollback at the start handed to the restart waits as well: the running copy
  // renamed aside, with the program's own file already deleted by the passes.
  steps = RecordingSteps();
  steps.Tree = {{"C:\\APP", {"C:\\APP\\Halvex.exe.undone"}}};
  EXPECT_EQ(Lines{}, FinishRemoval(lines, steps, {"C:\\APP\\HALVEX.EXE.UNDONE"}));
  EXPECT_EQ((Lines{"restart C:\\APP"}), steps.Steps);
}

TEST(RestartRemoval, ALogThatDoesNotNameTheProgramLeavesAllAsBefore) {
  RecordingSteps steps;
  steps.Tree = {{"C:\\APP", {"C:\\APP\\Halvex.exe", "C:\\APP\\Dorcel.exe"}}};
  EXPECT_EQ(Lines{}, FinishRemoval({"DIR:C:\\APP", "FILE:C:\\APP\\Dorcel.exe"}, steps));
  steps.Program = "Halvex.exe";  // no full path: names nothing
  EXPECT_EQ(Lines{}, FinishRemoval({"DIR:C:\\APP", "FILE:Halvex.exe"}, steps));
  EXPECT_TRUE(steps.Steps.empty());
}

TEST(RemovalPasses, AFailingStepDoesNotStopItsPass) {
  const Lines lines = {"FILE:C:\\A",
                       "FILE:C:\\B",
                       "DIR:C:\\D",
                       "DIR:C:\\E",
                       "REG:" + kUninstall + "K",
                       "REG:" + kUninstall + "L"};
  for (const std::string& failing :
       {std::string("C:\\A"), std::string("C:\\D"), kUninstall + "K"}) {
    EXPECT_EQ((Lines{"file C:\\A", "file C:\\B", "dir C:\\D", "dir C:\\E",
                     "key " + kUninstall + "K", "key " + kUninstall + "L"}),
              RunPasses(lines, failing))
        << failing;
  }
}

TEST(RemovalPasses, LogsBeyondSixteenBitLineNumbers) {
  Lines lines;
  for (int i = 0; i < 70000; ++i) lines.push_back("FILE:C:\\F" + std::to_string(i));
  lines.push_back("DIR:C:\\LAST");
  const Lines steps = RunPasses(lines);
  ASSERT_EQ(70001u, steps.size());
  EXPECT_EQ("file C:\\F65536", steps[65536]);
  EXPECT_EQ("file C:\\F69999", steps[69999]);
  EXPECT_EQ("dir C:\\LAST", steps.back());
}

TEST(SystemRemovalSteps, EmptiedDirectoriesGoInFileOrderOnly) {
  const std::string dir = ScratchDir("passes");
  const std::string app = dir + "KORVANE";
  MakeDirectories(app + "\\DATA");
  MakeDirectories(app + "\\UNLOGGED");
  WriteFileBytes(app + "\\PROG.EXE", "x");
  WriteFileBytes(app + "\\DATA\\A.DBF", "x");
  WriteFileBytes(app + "\\KEEP.TXT", "x");
  MakeDirectories(dir + "OTHER");
  WriteFileBytes(dir + "OTHER\\B.TXT", "x");

  SystemRemovalSteps steps;
  RunRemovalPasses(
      {"DIR:" + app, "DIR:" + app + "\\DATA", "FILE:" + app + "\\PROG.EXE",
       "FILE:" + app + "\\DATA\\A.DBF", "DIR:" + app + "\\UNLOGGED", "DIR:" + dir + "OTHER",
       "FILE:" + dir + "OTHER\\B.TXT", "FILE:" + dir + "MISSING.TXT", "DIR:" + dir + "MISSING"},
      steps);
  EXPECT_FALSE(FileExists(app + "\\PROG.EXE"));
  EXPECT_FALSE(DirectoryExists(app + "\\DATA"));      // emptied by the file pass
  EXPECT_FALSE(DirectoryExists(app + "\\UNLOGGED"));  // empty anyway
  EXPECT_FALSE(DirectoryExists(dir + "OTHER"));       // its file came later in the log
  EXPECT_TRUE(FileExists(app + "\\KEEP.TXT"));        // not logged
  EXPECT_TRUE(DirectoryExists(app));                  // still held KEEP.TXT
}

TEST(SystemRemovalSteps, ParentLoggedBeforeChildStays) {
  const std::string dir = ScratchDir("parent-first");
  MakeDirectories(dir + "KORVANE\\DATA");
  WriteFileBytes(dir + "KORVANE\\DATA\\A.DBF", "x");
  SystemRemovalSteps steps;
  RunRemovalPasses({"FILE:" + dir + "KORVANE\\DATA\\A.DBF", "DIR:" + dir + "KORVANE",
                    "DIR:" + dir + "KORVANE\\DATA"},
                   steps);
  EXPECT_FALSE(DirectoryExists(dir + "KORVANE\\DATA"));
  EXPECT_TRUE(DirectoryExists(dir + "KORVANE"));
}

// Wine keeps no read-only mark on folders, so only the files' side shows here.
TEST(SystemRemovalSteps, ReadOnlyFilesGoOnlyWhenTheLogNamesThem) {
  const std::string dir = ScratchDir("read-only");
  const std::string app = dir + "KORVANE";
  MakeDirectories(app + "\\SUB");
  for (const std::string& path : {app + "\\SUB\\LOCKED.DLL", app + "\\UNLOGGED.DLL"}) {
    WriteFileBytes(path, "x");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  }
  SystemRemovalSteps steps;
  RunRemovalPasses({"FILE:" + app + "\\SUB\\LOCKED.DLL", "DIR:" + app + "\\SUB"}, steps);
  EXPECT_FALSE(FileExists(app + "\\SUB\\LOCKED.DLL"));
  EXPECT_FALSE(DirectoryExists(app + "\\SUB"));
  EXPECT_EQ(FILE_ATTRIBUTE_READONLY,
            GetFileAttributesA((app + "\\UNLOGGED.DLL").c_str()) & FILE_ATTRIBUTE_READONLY);
}

// Beyond MAX_PATH characters, a read-only file too, and a path with "." and ".."
// components at a length where the wide calls no longer resolve them.
TEST(SystemRemovalSteps, PathsOfAnyLengthAreRemoved) {
  const std::string root = ScratchDir("passes-long");
  const std::string deep = root + KoreanText(80) + "\\" + KoreanText(80) + "\\" + KoreanText(80);
  ASSERT_GT(Utf16Length(deep), 260u);
  MakeLongDirectories(deep + "\\SUB");
  for (const char* name : {"\\A.DAT", "\\LOCKED.DLL", "\\SUB\\B.DAT", "\\KEEP.TXT"}) {
    WriteLongFile(deep + name, "x");
  }
  SetLongAttributes(deep + "\\LOCKED.DLL", FILE_ATTRIBUTE_READONLY);
  SystemRemovalSteps steps;
  RunRemovalPasses(
      {"FILE:" + deep + "\\A.DAT", "FILE:" + deep + "\\LOCKED.DLL",
       "FILE:" + deep + "\\SUB\\.\\..\\SUB\\\\B.DAT.", "DIR:" + deep + "\\SUB\\", "DIR:" + deep},
      steps);
  EXPECT_FALSE(LongFileExists(deep + "\\A.DAT"));
  EXPECT_FALSE(LongFileExists(deep + "\\LOCKED.DLL"));
  EXPECT_FALSE(LongDirectoryExists(deep + "\\SUB"));
  EXPECT_TRUE(LongFileExists(deep + "\\KEEP.TXT"));  // not logged
  EXPECT_TRUE(LongDirectoryExists(deep));            // still holds KEEP.TXT
  RemoveLongTree(root);
}
