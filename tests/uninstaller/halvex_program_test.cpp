// Halvex.exe started like a user starts it, from its own directory with the install
// log beside it; its message boxes are read and answered from this process.
#include "support/long_paths.h"
#include "support/registry_support.h"
#include "support/test_support.h"
#include "testing/message_box_flags.h"
#include "testing/ui_driver.h"
#include "win/file_system.h"
#include "win/handles.h"
#include "win/window_count_seam.h"

#include <gtest/gtest.h>

namespace {

namespace ui = ui_driver;
using Lines = std::vector<std::string>;

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kProductKey = "Software\\Korvane\\Pelmora\\1.0";
const std::string kOtherProduct = kUninstall + "Other Product";

const char kMissingText[] = " 파일이 존재하지 않습니다.  확인 후 다시 실행 하십시오.";
const char kConfirmText[] =
    "프로그램을 컴퓨터에서 삭제 하시겠습니까? (주의! 프로그램과 모든 자료가 지워집니다.)";

// A product as setup leaves it: files, a shortcut group, keys, Halvex and the log.
class HalvexProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    root_ = ScratchDir("halvex-" + name);
    app_ = root_ + "KORVANE\\";
    menu_ = root_ + "Programs\\Pelmora 1.0\\";
    uninstallKey_ = kUninstall + "Pelmora " + name;
    MakeDirectories(app_ + "DATA\\EMPTY");
    MakeDirectories(menu_);
    for (const std::string& file :
         {app_ + "PROG.EXE", app_ + "DATA\\A.DBF", menu_ + "Pelmora.LNK", menu_ + "Remove.LNK",
          app_ + "Korvane.lck", app_ + "UNRAR.DLL"}) {
      WriteFileBytes(file, "x");
    }
    ASSERT_TRUE(
        CopyFileA(KitOutputPath("Halvex.exe").c_str(), (app_ + "Halvex.exe").c_str(), FALSE));
    SetRawValue(HKEY_LOCAL_MACHINE, uninstallKey_, "DisplayName", REG_SZ, "Pelmora");
    SetRawValue(HKEY_LOCAL_MACHINE, uninstallKey_ + "\\Sub\\Deeper", "V", REG_SZ, "1");
    SetRawValue(HKEY_LOCAL_MACHINE, kOtherProduct, "DisplayName", REG_SZ, "Other");
    SetRawValue(HKEY_LOCAL_MACHINE, kProductKey, "InstallDir", REG_SZ, "C:\\KORVANE");
  }

  // The log setup writes for this product, in its order.
  Lines FullLog() const {
    return {"FILE:" + app_ + "PROG.EXE",
            "FILE:" + app_ + "DATA\\A.DBF",
            "DIR:" + app_ + "DATA\\EMPTY",
            "DIR:" + app_ + "DATA",
            "DIR:" + app_.substr(0, app_.size() - 1),
            "ICON:" + menu_ + "Pelmora.LNK",
            "ICON:" + menu_ + "Remove.LNK",
            "DIR:" + menu_.substr(0, menu_.size() - 1),
            "REG:" + uninstallKey_,
            "FILE:" + app_ + "INSTALL.LOG",
            "FILE:" + app_ + "Korvane.lck"};
  }
  void WriteLog(const Lines& lines, const std::string& end = "\r\n") {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    WriteFileBytes(app_ + "INSTALL.LOG", text);  // setup's name; Halvex opens Install.log
  }

  ui::Process Start(const std::string& arguments = std::string()) {
    return ui::Process::Start("\"" + app_ + "Halvex.exe\" " + arguments, app_);
  }

  static ui::MessageBoxInfo WaitForBox(const ui::Process& halvex,
                                       DWORD timeout = ui::kDefaultTimeout) {
    ui::MessageBoxInfo box = ui::WaitForMessageBox(halvex.Id(), timeout);
    EXPECT_EQ(nullptr, box.Owner);
    return box;
  }
  static void Press(const ui::MessageBoxInfo& box, int button) {
    ui::AnswerMessageBox(box, button);
    ui::WaitForWindowGone(box.Window);
  }
  void ExpectConfirmation(const ui::MessageBoxInfo& box) {
    EXPECT_EQ(kConfirmText, box.Text);
    EXPECT_EQ("삭제", box.Caption);
    EXPECT_EQ(0x124u, ShownFlags(box));
  }
  void ExpectMissingBox(const ui::MessageBoxInfo& box) {
    EXPECT_EQ(app_ + "Install.log" + kMissingText, box.Text);
    EXPECT_EQ("오류", box.Caption);
    EXPECT_EQ(0x10u, ShownFlags(box));
  }

  bool ProductUntouched() const {
    return FileExists(app_ + "PROG.EXE") && FileExists(app_ + "DATA\\A.DBF") &&
           DirectoryExists(app_ + "DATA\\EMPTY") && FileExists(menu_ + "Pelmora.LNK") &&
           FileExists(app_ + "Korvane.lck") &&
           KeyExists(HKEY_LOCAL_MACHINE, uninstallKey_ + "\\Sub\\Deeper");
  }
  void ExpectProductRemoved() const {
    for (const std::string& file :
         {app_ + "PROG.EXE", app_ + "DATA\\A.DBF", menu_ + "Pelmora.LNK", menu_ + "Remove.LNK",
          app_ + "Korvane.lck", app_ + "INSTALL.LOG"}) {
      EXPECT_FALSE(FileExists(file)) << file;
    }
    EXPECT_FALSE(DirectoryExists(app_ + "DATA"));
    EXPECT_FALSE(DirectoryExists(menu_));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, uninstallKey_));
    ExpectOthersKept();
  }
  // What the log does not name stays: the companions, the product key, other products.
  void ExpectOthersKept() const {
    EXPECT_TRUE(FileExists(app_ + "Halvex.exe"));
    EXPECT_TRUE(FileExists(app_ + "UNRAR.DLL"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kProductKey));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kOtherProduct));
  }
  // Yes at the confirmation, then the completion box; the program ends with 0.
  void RunToCompletion(DWORD timeout = ui::kDefaultTimeout) {
    ui::Process halvex = Start();
    ui::MessageBoxInfo box = WaitForBox(halvex);
    ExpectConfirmation(box);
    Press(box, IDYES);
    box = WaitForBox(halvex, timeout);
    EXPECT_EQ("프로그램 삭제를 완료 했습니다.", box.Text);
    EXPECT_EQ("완료", box.Caption);
    EXPECT_EQ(0x40u, ShownFlags(box));
    ui::AnswerMessageBox(box, IDOK);
    EXPECT_EQ(0u, halvex.WaitForExit());
  }

  std::string root_, app_, menu_, uninstallKey_;
};

}  // namespace

TEST_F(HalvexProgram, NoLogNamesTheExactPathAndTouchesNothing) {
  ui::Process halvex = Start();
  const ui::MessageBoxInfo box = WaitForBox(halvex);
  ExpectMissingBox(box);
  Press(box, IDOK);
  EXPECT_EQ(10u, halvex.WaitForExit());
  EXPECT_TRUE(ProductUntouched());
  ExpectOthersKept();
}

TEST_F(HalvexProgram, NoAtTheConfirmationEndsSilently) {
  WriteLog(FullLog());
  ui::Process halvex = Start();
  const ui::MessageBoxInfo box = WaitForBox(halvex);
  ExpectConfirmation(box);
  Press(box, IDNO);
  EXPECT_EQ(1u, halvex.WaitForExit());  // a further box would keep it running
  EXPECT_TRUE(ProductUntouched());
  EXPECT_TRUE(FileExists(app_ + "Install.log"));
}

TEST_F(HalvexProgram, EnterAtTheConfirmationMeansNo) {
  WriteLog(FullLog());
  ui::Process halvex = Start();
  PressEnter(WaitForBox(halvex));
  EXPECT_EQ(1u, halvex.WaitForExit());
  EXPECT_TRUE(ProductUntouched());
  EXPECT_TRUE(FileExists(app_ + "Install.log"));
}

TEST_F(HalvexProgram, YesRemovesTheProductAndASecondRunFindsNoLog) {
  WriteLog(FullLog());
  RunToCompletion();
  ExpectProductRemoved();
  EXPECT_TRUE(DirectoryExists(app_));  // Halvex and the companions keep it

  ui::Process again = Start();
  const ui::MessageBoxInfo box = WaitForBox(again);
  ExpectMissingBox(box);
  Press(box, IDOK);
  EXPECT_EQ(10u, again.WaitForExit());
}

TEST_F(HalvexProgram, LogWithLineFeedsOnly) {
  WriteLog(FullLog(), "\n");
  RunToCompletion();
  ExpectProductRemoved();
}

TEST_F(HalvexProgram, ParentDirectoryLoggedFirstStays) {
  MakeDirectories(root_ + "PARENT\\CHILD");
  WriteFileBytes(root_ + "PARENT\\CHILD\\F.TXT", "x");
  WriteLog({"DIR:" + root_ + "PARENT", "DIR:" + root_ + "PARENT\\CHILD",
            "FILE:" + root_ + "PARENT\\CHILD\\F.TXT"});
  RunToCompletion();
  EXPECT_FALSE(DirectoryExists(root_ + "PARENT\\CHILD"));
  EXPECT_TRUE(DirectoryExists(root_ + "PARENT"));
}

TEST_F(HalvexProgram, OnlyRegistryLinesAndNeverAboveTheProductKey) {
  WriteLog({"REG:", "REG:" + kUninstall, "REG:" + kUninstall + "\\",
            "REG:" + kUninstall.substr(0, kUninstall.size() - 1), "REG:Software",
            "REG:" + kProductKey, "REG:" + uninstallKey_});
  RunToCompletion();
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, uninstallKey_));
  EXPECT_TRUE(FileExists(app_ + "Install.log"));
  EXPECT_TRUE(FileExists(app_ + "PROG.EXE"));
  ExpectOthersKept();
}

TEST_F(HalvexProgram, LogOfSeventyThousandLines) {
  Lines lines;
  for (int i = 0; i < 70000; ++i) {
    lines.push_back("FILE:" + root_ + "NOWHERE\\F" + std::to_string(i) + ".DBF");
  }
  for (const std::string& line : FullLog()) lines.push_back(line);  // past line 65,536
  WriteLog(lines);
  RunToCompletion(60000);
  ExpectProductRemoved();
}

TEST_F(HalvexProgram, UnreadableLogIsReportedAndNothingIsRemoved) {
  WriteLog(FullLog());
  FileHandle lock(CreateFileA((app_ + "Install.log").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(lock.Valid());
  ui::Process halvex = Start();
  Press(WaitForBox(halvex), IDYES);
  const ui::MessageBoxInfo box = WaitForBox(halvex);
  EXPECT_EQ(app_ + "Install.log 파일을 읽을 수 없습니다.", box.Text);
  EXPECT_EQ("오류", box.Caption);
  EXPECT_EQ(0x10u, ShownFlags(box));
  Press(box, IDOK);
  EXPECT_EQ(11u, halvex.WaitForExit());  // no completion box
  lock.Reset();
  EXPECT_TRUE(ProductUntouched());
  EXPECT_TRUE(FileExists(app_ + "Install.log"));
}

// A logged path of 251 to 259 bytes is ordinary below "C:\Program Files"; cut short
// it would name another file, which must stay.
TEST_F(HalvexProgram, ALongLoggedPathRemovesThatFileAndNoOther) {
  const std::string stem = app_ + std::string(254 - app_.size() - 4, 'X');
  ASSERT_EQ(254u, (stem + ".TXT").size());
  WriteFileBytes(stem + ".TXT", "logged");
  WriteFileBytes(stem, "not logged");
  WriteLog({"FILE:" + stem + ".TXT"});
  RunToCompletion();
  EXPECT_FALSE(FileExists(stem + ".TXT"));
  EXPECT_EQ("not logged", ReadFileBytes(stem));
}

// Installed into a directory of 145 characters, 278 bytes in code page 949, where a
// 260-byte buffer cuts Halvex's own path right before a two-byte character: Halvex
// finds its log, removes logged paths longer than 259 bytes and longer than MAX_PATH
// characters (read-only, "." and ".." components too) and reports completion.
TEST_F(HalvexProgram, InstalledInALongKoreanDirectoryRemovesEveryLoggedPath) {
  const std::string top = "C:\\Pelmora" + KoreanText(66);
  const std::string dir = top + "\\" + KoreanText(67) + "9";
  RemoveLongTree(top);
  ASSERT_EQ(145u, Utf16Length(dir));
  ASSERT_EQ(278u, dir.size());
  ASSERT_TRUE(TwoByteCharacterStartsAt(dir + "\\Halvex.exe", 259));
  app_ = dir + "\\";
  const std::string deep = app_ + KoreanText(60) + "\\" + KoreanText(60);
  const std::string group = menu_ + KoreanText(80);
  ASSERT_GT(Utf16Length(deep + "\\SUB\\DEEP.DAT"), 260u);
  MakeLongDirectories(deep + "\\SUB");
  MakeLongDirectories(group);
  for (const std::string& file :
       {app_ + "PROG.EXE", deep + "\\SUB\\DEEP.DAT", deep + "\\READONLY.DAT",
        group + "\\Pelmora.LNK", app_ + "Korvane.lck", app_ + "UNRAR.DLL"}) {
    WriteLongFile(file, "x");
  }
  SetLongAttributes(deep + "\\READONLY.DAT", FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(CopyFileA(KitOutputPath("Halvex.exe").c_str(), (app_ + "Halvex.exe").c_str(), FALSE));
  const Lines log = {"FILE:" + app_ + "PROG.EXE",
                     "FILE:" + deep + "\\SUB\\DEEP.DAT",
                     "FILE:" + deep + "\\SUB\\.\\..\\\\READONLY.DAT",
                     "DIR:" + deep + "\\SUB",
                     "DIR:" + deep,
                     "DIR:" + app_ + KoreanText(60),
                     "ICON:" + group + "\\Pelmora.LNK",
                     "DIR:" + group,
                     "REG:" + uninstallKey_,
                     "FILE:" + app_ + "INSTALL.LOG",
                     "FILE:" + app_ + "Korvane.lck"};
  WriteLog(log);

  RunToCompletion();
  for (const std::string& line : log) {
    if (line.compare(0, 4, "REG:") == 0) continue;
    const std::string path = line.substr(line.find(':') + 1);
    EXPECT_FALSE(LongFileExists(path) || LongDirectoryExists(path)) << path;
  }
  EXPECT_FALSE(LongFileExists(deep + "\\READONLY.DAT"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, uninstallKey_));
  ExpectOthersKept();
  RemoveLongTree(top);
}

namespace {}  // namespace

// UNINSTALLALL: the log names Halvex itself, what was copied whole, the directories and
// the product key. Halvex cannot delete its own running file: it and the directories
// that only it keeps wait for the restart; a user's file keeps its directories, named.
TEST_F(HalvexProgram, ALogNamingEverythingLeavesOnlyWhatWaitsForTheRestartOrWasAdded) {
  const std::string productKey = "Software\\KitTestCo\\Pelmora\\1.0";
  const std::string dir = app_.substr(0, app_.size() - 1);
  for (const bool userFile : {true, false}) {
    SetUp();
    ClearWaitingForRestart();
    SetRawValue(HKEY_LOCAL_MACHINE, productKey, "InstallDir", REG_SZ, StringValue(app_).Data);
    if (userFile) WriteFileBytes(app_ + "DATA\\MINE.DOC", "mine");
    Lines log = FullLog();
    log.insert(log.end() - 3, {"FILE:" + app_ + "Halvex.exe", "FILE:" + app_ + "UNRAR.DLL",
                               "DIR:" + app_ + "DATA\\EMPTY", "DIR:" + app_ + "DATA", "DIR:" + dir,
                               "KEY:" + productKey});
    WriteLog(log);

    ui::Process halvex = Start();
    ui::MessageBoxInfo box = WaitForBox(halvex);
    Press(box, IDYES);
    box = WaitForBox(halvex);
    ui::AnswerMessageBox(box, IDOK);
    EXPECT_EQ(0u, halvex.WaitForExit());

    EXPECT_FALSE(FileExists(app_ + "UNRAR.DLL"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\KitTestCo"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kOtherProduct));
    EXPECT_TRUE(FileExists(app_ + "Halvex.exe"));  // until the restart
    if (userFile) {
      EXPECT_EQ(
          "프로그램 삭제를 완료 했습니다.\r\n\r\n다음 폴더에는 다른 파일이 남아 있어 지우지 "
          "않았습니다:\r\n" +
              app_ + "DATA\r\n" + dir,
          box.Text);
      EXPECT_EQ("mine", ReadFileBytes(app_ + "DATA\\MINE.DOC"));
      EXPECT_EQ(app_ + "Halvex.exe\n", WaitingForRestart());
    } else {
      EXPECT_EQ("프로그램 삭제를 완료 했습니다.", box.Text);
      EXPECT_FALSE(DirectoryExists(app_ + "DATA"));
      EXPECT_EQ(app_ + "Halvex.exe\n" + dir + "\n", WaitingForRestart());
    }
  }
  ClearWaitingForRestart();
}

// /SILENT: no confirmation and no box at all; a log that cannot be read still stops
// the run before anything is removed, with its own code.
TEST_F(HalvexProgram, SilentRemovesWithoutAWindowAndAnUnreadableLogHasItsCode) {
  const std::string windows = root_ + "windows.txt";
  SetEnvironmentVariableA(kWindowCountVariable, windows.c_str());
  WriteLog(FullLog());
  {
    FileHandle lock(CreateFileA((app_ + "Install.log").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock.Valid());
    EXPECT_EQ(11u, Start("/SILENT").WaitForExit());
  }
  EXPECT_TRUE(ProductUntouched());
  EXPECT_EQ(0u, Start("/silent").WaitForExit());
  SetEnvironmentVariableA(kWindowCountVariable, nullptr);
  ExpectProductRemoved();
  EXPECT_FALSE(FileExists(windows)) << ReadFileBytes(windows);
}
