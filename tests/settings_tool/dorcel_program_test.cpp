// Dorcel.exe started like a user starts it, from its own directory with the archive
// library and engine archives beside it; its message boxes are read and answered
// from this process.
#include "rar_writer/rar_writer.h"
#include "support/engine_configuration.h"
#include "support/registry_support.h"
#include "support/test_support.h"
#include "testing/message_box_flags.h"
#include "testing/ui_driver.h"
#include "text/text.h"
#include "win/file_system.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <map>

namespace {

namespace ui = ui_driver;
using Tree = std::map<std::string, std::string>;

const std::string kEngineDir = "C:\\Program Files\\Borland\\Common Files\\BDE";
const char kDbaseInit[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\DRIVERS\\DBASE\\INIT";
const char kCaption[] = "BDE 환경설정";
const char kMissingText[] =
    "데이타베이스 엔진 설정에 필요한 파일이 없습니다.\n\n"
    "자세한 내용은 041-552-7180, 7181로 연락주세요.";
const char kQuestion[] = "데이타베이스 엔진을 다시 설정 하시겠습니까?";

// Every file and directory below dir, by relative path; directories end in "\".
void CollectTree(const std::string& dir, const std::string& prefix, Tree& tree) {
  WIN32_FIND_DATAA entry;
  FindHandle find(FindFirstFileA((dir + "\\*").c_str(), &entry));
  if (!find) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      tree[prefix + name + "\\"] = "";
      CollectTree(dir + "\\" + name, prefix + name + "\\", tree);
    } else {
      tree[prefix + name] = ReadFileBytes(dir + "\\" + name);
    }
  } while (FindNextFileA(find.Get(), &entry));
}

Tree EngineDirectory() {
  Tree tree;
  CollectTree(kEngineDir, "", tree);
  return tree;
}

// An engine archive whose files tell which one it was.
RarWriter EngineArchive(const std::string& tag) {
  RarWriter writer;
  writer.AddFile("IDAPI32.DLL", tag + " engine")
      .AddFile("KOREA.BLL", tag + " locale")
      .AddFile(tag + ".TXT", tag);
  return writer;
}

// Where the code address of the error report lies: the program's image in memory.
struct ImageRange {
  std::uintptr_t Base = 0;
  std::uintptr_t Size = 0;
};

ImageRange ImageOf(const std::string& program) {
  const std::string bytes = ReadFileBytes(program);
  ImageRange range;
  if (bytes.size() < 0x40) return range;
  const auto read32 = [&](std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
  };
  const std::size_t nt = read32(0x3C);
  if (bytes.size() < nt + 0x54) return range;
  range.Base = read32(nt + 0x34);  // optional header's ImageBase (PE32)
  range.Size = read32(nt + 0x50);  // and SizeOfImage
  return range;
}

// A product's install directory with Dorcel and the archive library, and an engine
// as setup left it: files and a subdirectory, a configuration adjusted to a script.
class DorcelProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    root_ = ScratchDir("dorcel-" + name);
    tool_ = root_ + "KORVANE\\";
    MakeDirectories(tool_);
    ASSERT_TRUE(
        CopyFileA(KitOutputPath("Dorcel.exe").c_str(), (tool_ + "Dorcel.exe").c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileA(KitOutputPath("UNRAR.DLL").c_str(), (tool_ + "UNRAR.DLL").c_str(), FALSE));
    RemoveTree("C:\\Program Files\\Borland");
    MakeDirectories(kEngineDir + "\\LANG");
    WriteFileBytes(kEngineDir + "\\IDAPI32.DLL", "old engine");
    WriteFileBytes(kEngineDir + "\\OLD.BLL", "old locale");
    WriteFileBytes(kEngineDir + "\\LANG\\KEEP.BLL", "kept");
    WriteAdjustedConfiguration();
  }
  void TearDown() override { MakeKeyWritable(HKEY_LOCAL_MACHINE, kDbaseInit); }

  // What setup leaves after adjusting the configuration: other paths, other drivers,
  // and values of its own beside the fixed ones.
  static void WriteAdjustedConfiguration() {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Borland");
    for (const EngineRow& row : ExpectedEngineRows()) {
      std::string data = row.Data;
      if (StartsWith(data, kEngineDir)) data = "D:\\BDE" + data.substr(kEngineDir.size());
      if (row.Name == "LANGDRIVER") data = "DB437US0";
      if (data.empty()) data = "9000";  // as a fresh system holds SHAREDMEMLOCATION
      SetRawValue(HKEY_LOCAL_MACHINE, EngineKeyPath(row.Key), row.Name, REG_SZ,
                  data + std::string(1, '\0'));
    }
    for (const auto& extra : Extras()) {
      SetRawValue(HKEY_LOCAL_MACHINE, EngineKeyPath(extra.first), extra.second.first, REG_SZ,
                  extra.second.second.Data);
    }
  }
  // Values that are not part of the fixed configuration: key -> (name, value).
  static std::multimap<std::string, std::pair<std::string, RawValue>> Extras() {
    return {{"BLW32", {"LOCALE_LIB7", StringValue("D:\\BDE\\JAPAN.BLL")}},
            {"Database Engine", {"CONFIGFILE02", StringValue("D:\\BDE\\OTHER.CFG")}}};
  }
  // The fixed configuration written over the adjusted one; the extra values stay.
  static EngineSnapshot FixedConfigurationWithExtras() {
    EngineSnapshot expected = ExpectedEngineSnapshot();
    for (const auto& extra : Extras()) {
      expected[extra.first][extra.second.first] = extra.second.second;
    }
    return expected;
  }

  void Beside(const std::string& name, const RarWriter& archive) {
    ASSERT_TRUE(archive.Save(tool_ + name));
  }

  ui::Process Start(const std::string& workingDirectory = std::string()) {
    return ui::Process::Start("\"" + tool_ + "Dorcel.exe\"",
                              workingDirectory.empty() ? tool_ : workingDirectory);
  }
  static ui::MessageBoxInfo WaitForBox(const ui::Process& dorcel) {
    ui::MessageBoxInfo box = ui::WaitForMessageBox(dorcel.Id());
    EXPECT_EQ(nullptr, box.Owner);
    return box;
  }
  static void ExpectQuestion(const ui::MessageBoxInfo& box) {
    EXPECT_EQ(kQuestion, box.Text);
    EXPECT_EQ(kCaption, box.Caption);
    EXPECT_EQ(0x124u, ShownFlags(box));  // Yes/No, question icon, No the default
  }
  // Yes at the question; the program ends by itself with exit code 0.
  void RunWithYes() {
    ui::Process dorcel = Start();
    const ui::MessageBoxInfo box = WaitForBox(dorcel);
    ExpectQuestion(box);
    ui::AnswerMessageBox(box, IDYES);
    EXPECT_EQ(0u, dorcel.WaitForExit());
  }
  // The engine directory refilled from the archive made with tag; the old files gone,
  // the subdirectory kept.
  static void ExpectRefilledFrom(const std::string& tag) {
    const Tree expected = {{"IDAPI32.DLL", tag + " engine"},
                           {"KOREA.BLL", tag + " locale"},
                           {tag + ".TXT", tag},
                           {"LANG\\", ""},
                           {"LANG\\KEEP.BLL", "kept"}};
    EXPECT_EQ(expected, EngineDirectory());
  }

  std::string root_, tool_;
};

}  // namespace

TEST_F(DorcelProgram, OnlyParadoxBesideItIsExtractedOverTheAdjustedConfiguration) {
  Beside("Paradox.RAR", EngineArchive("Paradox"));
  RunWithYes();
  ExpectRefilledFrom("Paradox");
  EXPECT_EQ(FixedConfigurationWithExtras(), EngineKeySnapshot());
}

TEST_F(DorcelProgram, FullWinsOverParadox) {
  Beside("Paradox.RAR", EngineArchive("Paradox"));
  Beside("FULL.RAR", EngineArchive("FULL"));
  RunWithYes();
  ExpectRefilledFrom("FULL");
}

TEST_F(DorcelProgram, ADirectoryNamedFullDoesNotCount) {
  Beside("Paradox.RAR", EngineArchive("Paradox"));
  MakeDirectories(tool_ + "FULL.RAR");
  RunWithYes();
  ExpectRefilledFrom("Paradox");
}

TEST_F(DorcelProgram, NoArchiveBesideItShowsTheMissingBoxEvenWithOneInTheCurrentDirectory) {
  const std::string elsewhere = root_ + "ELSEWHERE\\";
  MakeDirectories(elsewhere);
  ASSERT_TRUE(EngineArchive("FULL").Save(elsewhere + "FULL.RAR"));
  const Tree engineBefore = EngineDirectory();
  const EngineSnapshot registryBefore = EngineKeySnapshot();

  ui::Process dorcel = Start(elsewhere);
  const ui::MessageBoxInfo box = WaitForBox(dorcel);
  EXPECT_EQ(kMissingText, box.Text);
  EXPECT_EQ(kCaption, box.Caption);
  EXPECT_EQ(0x30u, ShownFlags(box));  // OK, exclamation icon
  ui::AnswerMessageBox(box, IDOK);
  EXPECT_EQ(0u, dorcel.WaitForExit());
  EXPECT_EQ(engineBefore, EngineDirectory());
  EXPECT_EQ(registryBefore, EngineKeySnapshot());
}

TEST_F(DorcelProgram, NoLeavesTheRegistryAndTheEngineDirectoryUntouched) {
  Beside("SQL.RAR", EngineArchive("SQL"));
  const Tree engineBefore = EngineDirectory();
  const EngineSnapshot registryBefore = EngineKeySnapshot();

  ui::Process dorcel = Start();
  const ui::MessageBoxInfo box = WaitForBox(dorcel);
  ExpectQuestion(box);
  ui::AnswerMessageBox(box, IDNO);
  EXPECT_EQ(0u, dorcel.WaitForExit());
  EXPECT_EQ(engineBefore, EngineDirectory());
  EXPECT_EQ(registryBefore, EngineKeySnapshot());
}

TEST_F(DorcelProgram, AMissingEngineDirectoryIsStillExtractedInto) {
  RemoveTree("C:\\Program Files\\Borland");
  Beside("SQL.RAR", EngineArchive("SQL"));
  RunWithYes();
  const Tree expected = {
      {"IDAPI32.DLL", "SQL engine"}, {"KOREA.BLL", "SQL locale"}, {"SQL.TXT", "SQL"}};
  EXPECT_EQ(expected, EngineDirectory());
  EXPECT_EQ(FixedConfigurationWithExtras(), EngineKeySnapshot());
}

TEST_F(DorcelProgram, AReadOnlyEngineKeyEndsInTheApplicationErrorBeforeAnyFileIsDeleted) {
  Beside("Paradox.RAR", EngineArchive("Paradox"));
  MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kDbaseInit);
  const Tree engineBefore = EngineDirectory();

  ui::Process dorcel = Start();
  ui::MessageBoxInfo box = WaitForBox(dorcel);
  ExpectQuestion(box);
  ui::AnswerMessageBox(box, IDYES);
  ui::WaitForWindowGone(box.Window);
  box = WaitForBox(dorcel);
  EXPECT_EQ("Application Error", box.Caption);
  EXPECT_EQ(UINT(MB_OK | MB_ICONSTOP), ShownFlags(box));
  const std::string head = "Exception ERegistryException in module Dorcel.exe at ";
  const std::string tail = ".\nFailed to set data for 'LANGDRIVER'.";
  ASSERT_EQ(head.size() + 8 + tail.size(), box.Text.size()) << box.Text;
  EXPECT_EQ(head, box.Text.substr(0, head.size()));
  EXPECT_EQ(tail, box.Text.substr(head.size() + 8));
  const std::string digits = box.Text.substr(head.size(), 8);
  EXPECT_EQ(std::string::npos, digits.find_first_not_of("0123456789ABCDEF")) << digits;
  const std::uintptr_t address = std::strtoul(digits.c_str(), nullptr, 16);
  const ImageRange image = ImageOf(tool_ + "Dorcel.exe");
  EXPECT_TRUE(address >= image.Base && address < image.Base + image.Size) << digits;

  ui::AnswerMessageBox(box, IDOK);
  EXPECT_EQ(1u, dorcel.WaitForExit());
  EXPECT_EQ(engineBefore, EngineDirectory());
}

// A damaged archive would leave the engine directory emptied and never refilled:
// the registry is still written, the engine's files stay as they were.
TEST_F(DorcelProgram, ADamagedArchiveLeavesTheEngineDirectoryAsItWas) {
  const RarWriterEntry damaged = EntryWithBadDataChecksum("IDAPI32.DLL", "damaged engine");
  RarWriter archive;
  archive.AddFile("KOREA.BLL", "locale").Add(damaged);
  Beside("FULL.RAR", archive);
  const Tree engineBefore = EngineDirectory();
  RunWithYes();
  EXPECT_EQ(engineBefore, EngineDirectory());
  EXPECT_EQ(FixedConfigurationWithExtras(), EngineKeySnapshot());
}

// A 64-bit size that wraps around made the archive check read the same header for
// ever: the program must end (a loop would outlast the driver's patience) and leave
// the engine as it was.
TEST_F(DorcelProgram, AnArchiveWithAWrappingSizeEndsAndChangesNoFile) {
  const RarWriterEntry wrapping = EntryWithWrappingSize("IDAPI32.DLL");
  RarWriter archive;
  archive.Add(wrapping);
  Beside("Paradox.RAR", archive);
  const Tree engineBefore = EngineDirectory();
  ui::Process dorcel = Start();
  const ui::MessageBoxInfo box = WaitForBox(dorcel);
  ExpectQuestion(box);
  ui::AnswerMessageBox(box, IDYES);
  EXPECT_EQ(0u, dorcel.WaitForExit());
  EXPECT_EQ(engineBefore, EngineDirectory());
}
