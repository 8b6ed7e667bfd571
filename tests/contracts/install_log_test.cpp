#include "contracts/install_log.h"

#include "support/long_paths.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using Lines = std::vector<std::string>;

const Lines kExample = {
    "FILE:C:\\KORVANE\\PROG.EXE",
    "FILE:C:\\KORVANE\\DATA\\A.DBF",
    "DIR:C:\\KORVANE",
    "ICON:C:\\WINDOWS\\Start Menu\\Programs\\Pelmora 1.0\\Pelmora.LNK",
    "DIR:C:\\WINDOWS\\Start Menu\\Programs\\Pelmora 1.0",
    "REG:Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelmora 1.0",
    "FILE:C:\\KORVANE\\INSTALL.LOG",
    "FILE:C:\\KORVANE\\Korvane.lck",
};

std::string EachEndedBy(const Lines& lines, const std::string& end) {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

}  // namespace

TEST(InstallLog, ExampleRoundTripsByteForByte) {
  const std::string dir = ScratchDir("log");
  TInstallLog log;
  log.Add(kFileTag, "C:\\KORVANE\\PROG.EXE");
  for (std::size_t i = 1; i < kExample.size(); ++i) log.Add(kExample[i]);
  EXPECT_EQ(kExample, log.Lines());

  WriteFileBytes(dir + kInstallLogName, std::string(5000, 'x'));  // replaced, not appended
  ASSERT_TRUE(log.SaveToFile(dir + kInstallLogName));
  EXPECT_EQ(EachEndedBy(kExample, "\r\n"), ReadFileBytes(dir + kInstallLogName));

  Lines read;
  ASSERT_EQ(LogReadResult::Read, ReadInstallLog(dir + kUninstallerLogName, read));
  EXPECT_EQ(kExample, read);
  EXPECT_EQ((Lines{"C:\\KORVANE\\PROG.EXE", "C:\\KORVANE\\DATA\\A.DBF",
                   "C:\\WINDOWS\\Start Menu\\Programs\\Pelmora 1.0\\Pelmora.LNK",
                   "C:\\KORVANE\\INSTALL.LOG", "C:\\KORVANE\\Korvane.lck"}),
            PassPayloads(read, LogPass::Files));
  EXPECT_EQ((Lines{"C:\\KORVANE", "C:\\WINDOWS\\Start Menu\\Programs\\Pelmora 1.0"}),
            PassPayloads(read, LogPass::Directories));
  EXPECT_EQ((Lines{"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelmora 1.0"}),
            PassPayloads(read, LogPass::Registry));
}

TEST(InstallLog, KoreanPathsAreWrittenAsTheirBytes) {
  const std::string dir = ScratchDir("log-korean");
  TInstallLog log;
  log.Add(kFileTag, "C:\\펠모라\\자료.DBF");
  ASSERT_TRUE(log.SaveToFile(dir + kInstallLogName));
  EXPECT_EQ("FILE:C:\\\xC6\xE7\xB8\xF0\xB6\xF3\\\xC0\xDA\xB7\xE1.DBF\r\n",
            ReadFileBytes(dir + kInstallLogName));
}

TEST(InstallLog, SavingReportsFailure) {
  const std::string dir = ScratchDir("log-fail");
  TInstallLog log;
  log.Add("DIR:C:\\X");
  EXPECT_FALSE(log.SaveToFile(dir + "missing\\" + kInstallLogName));
  CreateDirectoryA((dir + "taken").c_str(), nullptr);
  EXPECT_FALSE(log.SaveToFile(dir + "taken"));  // a directory of that name
}

TEST(InstallLog, MissingAndUnreadableFilesAreTold) {
  const std::string dir = ScratchDir("log-read");
  Lines lines{"stale"};
  EXPECT_EQ(LogReadResult::Missing, ReadInstallLog(dir + "Install.log", lines));
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(LogReadResult::Missing, ReadInstallLog(dir + "no\\Install.log", lines));
  CreateDirectoryA((dir + "Install.log").c_str(), nullptr);
  EXPECT_EQ(LogReadResult::Unreadable, ReadInstallLog(dir + "Install.log", lines));
  WriteFileBytes(dir + "empty.log", "");
  EXPECT_EQ(LogReadResult::Read, ReadInstallLog(dir + "empty.log", lines));
  EXPECT_TRUE(lines.empty());
}

TEST(InstallLog, LineEndsAndZeroByte) {
  const Lines expected = {"FILE:C:\\A.TXT", "DIR:C:\\A", "REG:Software\\X"};
  EXPECT_EQ(expected, SplitLogText(EachEndedBy(expected, "\n")));
  EXPECT_EQ(expected, SplitLogText(EachEndedBy(expected, "\r")));
  EXPECT_EQ(expected, SplitLogText("FILE:C:\\A.TXT\r\nDIR:C:\\A\nREG:Software\\X"));
  EXPECT_EQ((Lines{"A", "", "B"}), SplitLogText("A\r\n\r\nB\r\n"));
  EXPECT_EQ((Lines{"A", ""}), SplitLogText("A\r\r"));
  EXPECT_EQ((Lines{"FILE:C:\\A.TXT", "DIR:C"}),
            SplitLogText(std::string("FILE:C:\\A.TXT\r\nDIR:C\0:\\A\r\nREG:X\r\n", 31)));
}

TEST(InstallLog, PassSelection) {
  const Lines lines = {
      "file:C:\\LOWER.TXT",  // lower-case tag: ignored
      "FILE: C:\\A.TXT  ",   // blanks around the payload are trimmed
      "ICON:C:\\L.LNK",
      "  DIR:C:\\SHIFTED",  // tag not at the start: cut at the fixed place, "R:C:\SHIFTED"
      "DIR:",               // empty payload: left out
      "REG:   ",            // blank payload: left out, never the whole root
      "REGISTRY",
      "FILE:C:/KORVANE//DATA/./SUB/../A.DBF.",  // in the form the file calls make of it
      "DIR:\\\\SERVER\\SHARE\\KORVANE\\",
  };
  EXPECT_EQ((Lines{"C:\\A.TXT", "C:\\L.LNK", "C:\\KORVANE\\DATA\\A.DBF"}),
            PassPayloads(lines, LogPass::Files));
  EXPECT_EQ((Lines{"\\\\SERVER\\SHARE\\KORVANE\\"}), PassPayloads(lines, LogPass::Directories));
  EXPECT_TRUE(PassPayloads(lines, LogPass::Registry).empty());
  // A key path is taken whole whatever its length: the key guard decides.
  EXPECT_EQ((Lines{std::string(300, 'r')}),
            PassPayloads({"REG:" + std::string(300, 'r')}, LogPass::Registry));
}

// Windows counts paths in UTF-16 characters and the archive library writes beyond
// MAX_PATH: a path is taken whole at any length, never cut to name another file.
TEST(InstallLog, PathsOfAnyLengthAreTakenWhole) {
  const std::string dir = "C:\\Program Files\\" + KoreanText(120) + "\\";  // 258 bytes
  Lines lines;
  for (const std::size_t length : {259u, 260u, 300u, 600u, 40000u}) {
    lines.push_back("FILE:" + dir + std::string(length - dir.size(), 'f'));
    lines.push_back("DIR:" + dir + std::string(length - dir.size(), 'd'));
  }
  const Lines files = PassPayloads(lines, LogPass::Files);
  const Lines dirs = PassPayloads(lines, LogPass::Directories);
  ASSERT_EQ(5u, files.size());
  ASSERT_EQ(5u, dirs.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(lines[2 * i].substr(5), files[i]);
    EXPECT_EQ(lines[2 * i + 1].substr(4), dirs[i]);
  }
}

// Resolved against the current directory, a path that is not absolute would name
// what the log does not: such payloads are left out.
TEST(InstallLog, PathsThatAreNotAbsoluteAreLeftOut) {
  const Lines lines = {
      "FILE:PROG.EXE", "FILE:..\\WINDOWS\\WIN.INI", "FILE:\\BOOT.INI", "FILE:C:BOOT.INI",
      "DIR:DATA",      "DIR:\\\\?\\C:\\X",          "ICON:C:\\A\\CON", "FILE:C:\\KEPT.TXT"};
  EXPECT_EQ((Lines{"C:\\KEPT.TXT"}), PassPayloads(lines, LogPass::Files));
  EXPECT_TRUE(PassPayloads(lines, LogPass::Directories).empty());
}

TEST(InstallLog, ALaterRunInTheSameProcessLogsOnlyWhatIsNew) {
  TInstallLog log;
  log.BeginRun();
  log.Add("FILE:C:\\A\\ONE.TXT");
  log.Add("DIR:C:\\A");
  log.Add("DIR:C:\\A");  // within a run every line counts, repeats too
  log.BeginRun();        // the user tries again after a Cancel
  log.Add("FILE:C:\\A\\ONE.TXT");
  log.Add("FILE:C:\\A\\TWO.TXT");
  log.Add("DIR:C:\\A");
  log.Add("FILE:C:\\A\\TWO.TXT");
  EXPECT_EQ((Lines{"FILE:C:\\A\\ONE.TXT", "DIR:C:\\A", "DIR:C:\\A", "FILE:C:\\A\\TWO.TXT",
                   "FILE:C:\\A\\TWO.TXT"}),
            log.Lines());
}
