// A setup-like program for the install engine's tests: it reads the SETUP.INI
// beside itself, makes a main window and the progress window as setup does, runs
// the engine once from the main window's activation (as the wizard's handler
// would), then ends, which destroys the progress window and saves the log.
// Exit code: 0 completed, 1 cancelled at the disk prompt, 2 aborted. The working
// directory at the end is written to HOST-CWD.TXT beside the program.
#include "setup/date_settings.h"
#include "setup/install_settings.h"
#include "setup/windows/progress_window.h"
#include "ui/application.h"
#include "win/com_ptr.h"
#include "win/handles.h"

#include <windows.h>

namespace {

enum Outcome { kCompleted = 0, kCancelled = 1, kAborted = 2 };
int outcome = kAborted;  // unless the run returns

class TfmHost : public TForm {
 public:
  explicit TfmHost(TFormHost& host)
      : TForm(host,
              {"TfmHost", "설치 시험", 300, 60, FormBorder::Dialog, FormPlacement::ScreenCenter}) {}

  void FormActivate() override {
    if (started_) return;
    started_ = true;
    // However the run ends (the silent abort passes out of here), the program ends.
    struct CloseAfterwards {
      HWND Window;
      ~CloseAfterwards() { PostMessageA(Window, WM_CLOSE, 0, 0); }
    } closer{Handle()};
    outcome = RunInstallIn(*fmInstall) ? kCompleted : kCancelled;
  }

 private:
  bool started_ = false;
};

void WriteCurrentDirectory(const std::string& path) {
  char directory[MAX_PATH] = {};
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, directory);
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  if (file) WriteFile(file.Get(), directory, length, &written, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const ComApartment com;  // the shortcuts of the run are COM objects
  SetStartupDateSettings();
  ReadSetupScript();
  Application.SetTitle("설치 마법사");
  TfmHost* host = nullptr;
  Application.CreateForm(host);
  Application.CreateForm(fmInstall);
  Application.Run();
  fmInstall = nullptr;
  WriteCurrentDirectory(InstallSettings.SourceDir + "HOST-CWD.TXT");
  return outcome;
}
