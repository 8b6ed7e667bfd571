// kitpack's decisions where Wine cannot show them through the program: reparse points
// other than links to directories, and the console's close, logoff and shutdown events
// (Wine sends a console only Ctrl+C), with the handler called as Windows calls it.
#include "kitpack/console_interruption.h"
#include "kitpack/folder_listing.h"
#include "kitpack/pack_error.h"
#include "kitpack/pack_folder.h"
#include "kitpack/version_resource.h"
#include "support/test_support.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <atomic>
#include <cwchar>
#include <optional>
#include <string>
#include <thread>

namespace {

// A folder with a file, and beside it an older archive: what a stopped run must keep.
struct Packing {
  explicit Packing(const std::string& name) : Dir(ScratchDir(name)) {
    MakeDirectories(Dir + "folder");
    WriteFileBytes(Dir + "folder\\a.txt", "a");
    WriteFileBytes(Dir + "OLD.RAR", "an older archive");
  }
  WideString Archive() const { return Wide(Dir + "OLD.RAR"); }
  WideString Folder() const { return Wide(Dir + "folder"); }
  // Nothing but what was there before.
  void ExpectUntouched() const {
    EXPECT_EQ("an older archive", ReadFileBytes(Dir + "OLD.RAR"));
    WIN32_FIND_DATAA found;
    const FindHandle find(FindFirstFileA((Dir + "kpk*.tmp").c_str(), &found));
    EXPECT_FALSE(find) << found.cFileName;
  }
  static WideString Wide(const std::string& text) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, MAX_PATH);
    return wide;
  }
  std::string Dir;
};

}  // namespace

TEST(KitpackListing, ReparsePointsOfEveryKindAreErrors) {
  WIN32_FIND_DATAW found{};
  std::wcscpy(found.cFileName, L"링크");
  // A link to a file (Wine shows it as the file), a junction or link to a directory.
  for (const DWORD attributes : {FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ARCHIVE,
                                 FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY}) {
    found.dwFileAttributes = attributes;
    try {
      ItemOf(L"C:\\원본\\", "하위\\", found);
      ADD_FAILURE() << "no error for attributes " << attributes;
    } catch (const PackError& error) {
      EXPECT_EQ("C:\\원본\\링크: 심볼릭 링크나 정션(재분석 지점)은 담을 수 없습니다.\n",
                error.Message());
    }
  }
  found.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
  EXPECT_EQ("하위\\링크", ItemOf(L"C:\\원본\\", "하위\\", found).Name);
}

TEST(ConsoleInterruption, CtrlCStopsTheRunAndTheHandlerReturnsAtOnce) {
  const Packing packing("kitpack-ctrl-c");
  const ConsoleInterruption watch(INFINITE);
  EXPECT_FALSE(Interrupted());
  for (const DWORD event : {CTRL_C_EVENT, CTRL_BREAK_EVENT}) EXPECT_TRUE(OnConsoleControl(event));
  EXPECT_TRUE(Interrupted());
  EXPECT_THROW(PackFolder(packing.Archive(), packing.Folder()), PackInterrupted);
  packing.ExpectUntouched();
}

TEST(ConsoleInterruption, CloseLogoffAndShutdownWaitUntilTheRunIsOver) {
  for (const DWORD event : {CTRL_CLOSE_EVENT, CTRL_LOGOFF_EVENT, CTRL_SHUTDOWN_EVENT}) {
    SCOPED_TRACE(event);
    const Packing packing("kitpack-close");
    std::optional<ConsoleInterruption> watch(std::in_place, INFINITE);
    std::atomic<bool> runOver{false};
    std::atomic<bool> returnedAfterRun{false};
    BOOL answer = FALSE;
    std::thread windows([&] {  // as Windows calls it, on a thread of its own
      answer = OnConsoleControl(event);
      returnedAfterRun = runOver.load();
    });
    while (!Interrupted()) Sleep(1);
    EXPECT_THROW(PackFolder(packing.Archive(), packing.Folder()), PackInterrupted);
    packing.ExpectUntouched();
    runOver = true;
    watch.reset();
    windows.join();
    EXPECT_TRUE(answer);
    EXPECT_TRUE(returnedAfterRun);
  }
}

// The numeric version of a one-file medium's resource, from the leading digits of the
// script's VERSION.
TEST(OneFileVersion, TheLeadingDigitsOfTheVersionElseZero) {
  const struct {
    const char* Text;
    std::array<std::uint16_t, 4> Parts;
  } cases[] = {
      {"1.0", {1, 0, 0, 0}},
      {"2.5.3 beta", {2, 5, 3, 0}},
      {"2024.03.1.7.9", {2024, 3, 1, 7}},
      {"3.", {3, 0, 0, 0}},
      {"v2.0", {0, 0, 0, 0}},
      {"", {0, 0, 0, 0}},
      {"70000.1", {65535, 1, 0, 0}},
      {"1.x.3", {1, 0, 0, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Parts, NumericVersion(c.Text)) << c.Text;
}
