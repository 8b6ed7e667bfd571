#include "launcher/launcher.h"

#include "launcher/exit_codes.h"
#include "launcher/extraction.h"
#include "launcher/failure_report.h"
#include "launcher/messages.h"
#include "launcher/payload_file.h"
#include "launcher/program_start.h"
#include "launcher/progress_window.h"
#include "launcher/temporary_folder.h"

DWORD RunLauncher(const wchar_t* program, std::uint64_t payloadOffset, const LaunchOptions& options,
                  const LauncherSeams& seams) {
  ProgressWindow progress(seams.ProgressDelay, options.Silent);
  PayloadFile payload;
  const bool opened = payload.Open(program, payloadOffset);
  if (opened) progress.SetTotal(payload.Length() + 2 * payload.DataLength());
  if (!opened || !payload.Check(progress)) {
    progress.Close();
    ReportFailure(options, kDamagedText, kLauncherDamaged);
    return kLauncherDamaged;
  }
  TemporaryFolder folder;
  if (!folder.Create()) {
    progress.Close();
    ReportFailure(options, kNoFolderText, kLauncherNoFolder);
    return kLauncherNoFolder;
  }
  const bool written = ExtractPayload(payload, folder, progress);
  progress.Close();
  if (!written) {
    folder.Remove();
    ReportFailure(options, kCannotWriteText, kLauncherCannotWrite);
    return kLauncherCannotWrite;
  }

  WideText setup;
  setup.Append(folder.Path().Text()).Append(L"setup.exe");
  ObjectHandle process;
  const DWORD error =
      seams.StartProgram(setup.Text(), options.Parameters.Text(), folder.Path().Text(), process);
  DWORD code = 0;
  if (error == ERROR_CANCELLED) {
    folder.Remove();
    ReportFailure(options, kDeclinedText, kLauncherDeclined, true);
    return kLauncherDeclined;
  }
  if (error != 0 || !WaitForProgram(process.Get(), code)) {
    process.Reset();
    folder.Remove();
    ReportFailure(options, kCannotStartText, kLauncherCannotStart);
    return kLauncherCannotStart;
  }
  process.Reset();
  folder.Remove();
  return code;
}
