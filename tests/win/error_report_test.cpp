#include "win/error_report.h"

#include "text/text.h"
#include "win/errors.h"
#include "win/module_path.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {

struct ShownBox {
  std::string Text;
  std::string Caption;
  UINT Flags;
};

// Runs body as a program's body and records the boxes it would show.
struct ReportRun {
  int ExitCode = -1;
  std::vector<ShownBox> Boxes;
};

ReportRun RunReported(const std::function<int()>& body) {
  ReportRun run;
  run.ExitCode = RunWithErrorReport(
      body, [&](const std::string& text, const std::string& caption, UINT flags) {
        run.Boxes.push_back({text, caption, flags});
        return IDOK;
      });
  return run;
}

// The text before and after " at XXXXXXXX." and the address itself.
struct SplitReport {
  std::string Head;
  std::uintptr_t Address = 0;
  std::string Tail;
};

SplitReport Split(const std::string& text) {
  SplitReport split;
  const std::string::size_type at = text.find(" at ");
  if (at == std::string::npos || text.size() < at + 13) return split;
  split.Head = text.substr(0, at);
  split.Address = std::strtoul(text.substr(at + 4, 8).c_str(), nullptr, 16);
  split.Tail = text.substr(at + 12);
  return split;
}

bool InsideProgramImage(std::uintptr_t address) {
  const auto base = reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return address >= base && address < base + nt->OptionalHeader.SizeOfImage;
}

}  // namespace

TEST(ErrorReport, TextNamesKindModuleAddressAndEndsTheMessageWithOneFullStop) {
  const void* address = reinterpret_cast<const void*>(0x0040A1B2);
  EXPECT_EQ(
      "Exception ERegistryException in module Dorcel.exe at 0040A1B2.\n"
      "Failed to set data for 'LANGDRIVER'.",
      UnhandledErrorText("ERegistryException", "Dorcel.exe", address,
                         "Failed to set data for 'LANGDRIVER'"));
  EXPECT_EQ("Exception E in module m at 0000000F.\nDone.",
            UnhandledErrorText("E", "m", reinterpret_cast<const void*>(15), "Done."));
  EXPECT_EQ("Exception E in module m at 00000000.\n.", UnhandledErrorText("E", "m", nullptr, ""));
  EXPECT_EQ("Exception E in module m at FFFFFFFF.\n...",
            UnhandledErrorText("E", "m", reinterpret_cast<const void*>(~std::uintptr_t(0)), "..."));
}

TEST(ErrorReport, BodyThatEndsNormallyShowsNothingAndKeepsItsExitCode) {
  const ReportRun run = RunReported([] { return 7; });
  EXPECT_EQ(7, run.ExitCode);
  EXPECT_TRUE(run.Boxes.empty());
}

TEST(ErrorReport, RegistryErrorGivesTheApplicationErrorBoxAndExitCodeOne) {
  const ReportRun run =
      RunReported([]() -> int { throw ERegistryException("Failed to set data for 'LANGDRIVER'"); });
  EXPECT_EQ(1, run.ExitCode);
  ASSERT_EQ(1u, run.Boxes.size());
  EXPECT_EQ("Application Error", run.Boxes[0].Caption);
  EXPECT_EQ(0x2010u, run.Boxes[0].Flags);  // task-modal, error icon, OK
  const SplitReport split = Split(run.Boxes[0].Text);
  EXPECT_EQ("Exception ERegistryException in module " + FileNamePart(ModuleFileName()), split.Head);
  EXPECT_EQ(".\nFailed to set data for 'LANGDRIVER'.", split.Tail);
  EXPECT_TRUE(InsideProgramImage(split.Address)) << std::hex << split.Address;
}

TEST(ErrorReport, ErrorsOfOtherKindsAreReportedToo) {
  ReportRun run = RunReported([]() -> int { throw std::runtime_error("disk gone."); });
  EXPECT_EQ(1, run.ExitCode);
  ASSERT_EQ(1u, run.Boxes.size());
  EXPECT_EQ(0u, run.Boxes[0].Text.find("Exception Exception in module "));
  EXPECT_EQ(".\ndisk gone.", Split(run.Boxes[0].Text).Tail);

  run = RunReported([]() -> int { throw 42; });
  EXPECT_EQ(1, run.ExitCode);
  ASSERT_EQ(1u, run.Boxes.size());
  EXPECT_EQ(".\nUnknown error.", Split(run.Boxes[0].Text).Tail);

  run = RunReported([]() -> int { throw EAbort(); });
  ASSERT_EQ(1u, run.Boxes.size());
  EXPECT_EQ(0u, run.Boxes[0].Text.find("Exception EAbort in module "));
}

TEST(ErrorReport, AReportThatCannotBeShownStillEndsWithExitCodeOne) {
  EXPECT_EQ(1, RunWithErrorReport([]() -> int { throw Exception("x"); },
                                  [](const std::string&, const std::string&, UINT) -> int {
                                    throw std::runtime_error("no display");
                                  }));
  EXPECT_EQ(1, RunWithErrorReport([]() -> int { throw Exception("x"); }, nullptr));
}
