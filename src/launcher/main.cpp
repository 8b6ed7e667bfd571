// The launcher of a one-file medium: setup.exe and the rest of the medium follow it in
// its own file as a payload (onefile/payload_format.h), which starts where its last
// section ends. See launcher.h for a run, exit_codes.h for how it ends.
#include "launcher/command_line.h"
#include "launcher/exit_codes.h"
#include "launcher/failure_report.h"
#include "launcher/launcher.h"
#include "launcher/launcher_seams.h"
#include "launcher/library_search.h"
#include "launcher/messages.h"
#include "onefile/image_layout.h"

#include <windows.h>

namespace {

constexpr std::size_t kHeaderBytes = 4096;  // the loaded image's first page: its headers
constexpr std::size_t kLongestPath = 32768;

// The program's own file; empty when its path does not fit the longest one.
WideText OwnPath() {
  WideText path;
  const DWORD length = GetModuleFileNameW(nullptr, path.Buffer(kLongestPath), kLongestPath);
  if (length > 0 && length < kLongestPath) path.SetLength(length);
  return path;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RestrictLibrarySearch();
  const LauncherSeams seams = Seams();
  LaunchOptions options;
  ReadArguments(ArgumentsOf(GetCommandLineW()), options);
  ImageLayout layout;
  const WideText program = OwnPath();
  if (program.Empty() ||
      !ReadImageLayout(reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr)),
                       kHeaderBytes, layout)) {
    ReportFailure(options, kDamagedText, kLauncherDamaged);
    return kLauncherDamaged;
  }
  return static_cast<int>(RunLauncher(program.Text(), layout.SectionsEnd, options, seams));
}
