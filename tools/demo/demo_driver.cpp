// demo_driver: works the kit's programs like a user for tools/demo.sh and saves a
// screenshot (24-bit BMP) of every window on the way.
//   demo_driver setup MEDIUM SHOTS      setup.exe on the medium, clicked through with
//                                       its defaults (exit code 3: the install stopped);
//                                       a MEDIUM ending in ".exe" is a one-file medium,
//                                       started from its folder, which starts setup.exe
//   demo_driver remove INSTALLDIR SHOTS Halvex.exe from the install directory, Yes and OK
//   demo_driver shortcut LINK...        prints where each shortcut points
// MEDIUM, INSTALLDIR and SHOTS are Windows paths ending in "\".
#include "testing/extraction_hold.h"
#include "testing/screenshot.h"
#include "testing/ui_driver.h"

#include "win/com_ptr.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace ui = ui_driver;

constexpr DWORD kPatience = 60000;          // a slow machine may take its time
constexpr DWORD kInstallPatience = 600000;  // a medium's archives may be large

void Say(const std::string& text) {
  std::printf("  %s\n", text.c_str());
  std::fflush(stdout);
}

// Nothing of the window is left to paint.
bool Painted(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child) && !Painted(child)) return false;
  }
  return true;
}

// Waits until the window has painted what it shows and its program is back in its
// message loop, which puts what was painted on the screen.
void Settle(HWND window) {
  ui::WaitUntil([&] { return Painted(window); }, "the window painted", kPatience);
  ui::Text(window);  // answered from the message loop
}

// A picture of the window (null: the whole screen) as the screen shows it now.
void Save(HWND window, const std::string& path) {
  if (!SaveBmp(window ? TakeScreenshot(window) : TakeScreenshot(), path)) {
    throw ui::DriverError("cannot save " + path);
  }
  Say("screenshot " + path);
}

void Shoot(HWND window, const std::string& path) {
  Settle(window);
  Save(window, path);
}

// The whole screen once every window of the program has settled.
void ShootScreen(const ui::Process& program, const std::string& path) {
  for (HWND window : ui::FindWindows({program.Id(), "", std::nullopt, true})) Settle(window);
  Save(nullptr, path);
}

void WaitForPage(HWND wizard, const std::string& caption) {
  ui::WaitUntil([&] { return ui::IsVisible(wizard) && ui::Text(wizard) == caption; },
                "the wizard's page \"" + caption + "\"", kPatience);
  Say("wizard page \"" + caption + "\"");
}

HWND Button(HWND window, const std::string& caption) {
  return ui::FindChild(window, {"Button", caption});
}

// The progress window as the screen shows it once its bar is partly filled: the held
// entry halfway (every other entry of the sample is shown empty or full). setup.exe
// goes on repainting while the library holds it.
Screenshot PictureOfTheHeldEntry(const ui::Process& setup) {
  const HWND progress = ui::WaitForWindow({setup.Id(), "TfmInstall", {"설치"}}, kPatience);
  const HWND bar = ui::FindChild(progress, {PROGRESS_CLASSA, std::nullopt});
  RECT window = {}, inside = {};
  GetWindowRect(progress, &window);
  GetWindowRect(bar, &inside);
  const int y = (inside.top + inside.bottom) / 2 - window.top;
  const int first = inside.left - window.left + 3, last = inside.right - window.left - 4;
  Screenshot shot;
  ui::WaitUntil(
      [&] {
        shot = TakeScreenshot(progress);
        return !shot.Pixels.empty() && shot.At(first, y) != shot.At(last, y);
      },
      "the held entry on the screen", kPatience);
  return shot;
}

// Watches the install run until the wizard shows its completion page (true), or a
// box stops it (false; the box is shown, saved and answered: Cancel at the disk
// prompt, OK otherwise). The stand-in archive library holds the extraction halfway
// through the first large entry (at least 1 MiB) until the progress window is
// pictured; a medium without one gives no picture of it.
bool FollowTheInstall(const ui::Process& setup, HWND wizard, ExtractionHold& hold,
                      const std::string& shots) {
  std::optional<ui::MessageBoxInfo> box;
  bool completed = false;
  auto ended = [&] {
    // The caption as the system keeps it: no message that a held setup.exe cannot answer.
    completed = ui::FindWindowOf({setup.Id(), "TfmWizad", {"설치 완료"}}) == wizard;
    return completed || (box = ui::FindMessageBox(setup.Id())).has_value();
  };
  ui::WaitUntil([&] { return hold.Held() || ended(); }, "the install run", kInstallPatience);
  if (hold.Held()) {
    const std::string path = shots + "progress.bmp";
    if (!SaveBmp(PictureOfTheHeldEntry(setup), path)) throw ui::DriverError("cannot save " + path);
    Say("screenshot " + path);
    hold.Release();
    ui::WaitUntil(ended, "the end of the install run", kInstallPatience);
  }
  if (completed) {
    Say("install completed");
    return true;
  }
  Say("box \"" + box->Caption + "\": " + box->Text);
  Shoot(box->Window, shots + "install-stopped.bmp");
  const bool prompt = box->Buttons.size() > 1;
  ui::AnswerMessageBox(*box, prompt ? IDCANCEL : IDOK);
  ui::WaitForWindowGone(box->Window, kPatience);
  return false;
}

// After a stopped run the wizard is back on its summary page: Cancel, then Yes.
void LeaveFromTheSummaryPage(ui::Process& setup, HWND wizard) {
  WaitForPage(wizard, "설치 시작");
  ui::Click(Button(wizard, "취소"));
  const ui::MessageBoxInfo box = ui::WaitForMessageBox(setup.Id(), kPatience);
  ui::AnswerMessageBox(box, IDYES);
  Say("setup.exe ended with exit code " + std::to_string(setup.WaitForExit(kPatience)) +
      " without completing the install");
}

bool IsOneFile(const std::string& medium) {
  return medium.size() > 4 && _stricmp(medium.c_str() + medium.size() - 4, ".exe") == 0;
}

// setup.exe from the medium folder, or as the one-file medium's launcher starts it.
ui::Process StartSetup(const std::string& medium, std::optional<ui::Process>& launcher) {
  if (!IsOneFile(medium)) return ui::Process::Start("\"" + medium + "setup.exe\"", medium);
  launcher.emplace(
      ui::Process::Start("\"" + medium + "\"", medium.substr(0, medium.find_last_of('\\') + 1)));
  const HWND wizard = ui::WaitForWindow({0, "TfmWizad", {"환영"}}, kPatience);
  DWORD id = 0;
  GetWindowThreadProcessId(wizard, &id);
  return ui::Process::Attach(id);
}

// True when the install completed.
bool DriveSetup(ui::Process& setup, ExtractionHold& hold, const std::string& shots) {
  const HWND wizard = ui::WaitForWindow({setup.Id(), "TfmWizad", {"환영"}}, kPatience);
  const HWND next = Button(wizard, "다음(&N) >");
  WaitForPage(wizard, "환영");
  ShootScreen(setup, shots + "background.bmp");
  Shoot(wizard, shots + "wizard-1-welcome.bmp");

  ui::Click(next);
  WaitForPage(wizard, "설치 경로");
  Shoot(wizard, shots + "wizard-2-directory.bmp");
  ui::Click(Button(wizard, "찾아보기(&B)"));
  const HWND chooser = ui::WaitForWindow({setup.Id(), "TfmDir", {"선택"}}, kPatience);
  Shoot(chooser, shots + "directory-chooser.bmp");
  ui::Click(Button(chooser, "취소"));  // the proposed directory stays
  ui::WaitForWindowGone(chooser, kPatience);

  ui::Click(next);
  WaitForPage(wizard, "설치 시작");
  Shoot(wizard, shots + "wizard-3-summary.bmp");

  ui::Click(next);
  if (!FollowTheInstall(setup, wizard, hold, shots)) {
    LeaveFromTheSummaryPage(setup, wizard);
    return false;
  }
  WaitForPage(wizard, "설치 완료");
  Shoot(wizard, shots + "wizard-4-complete.bmp");
  ui::Click(Button(wizard, "확인"));
  const DWORD code = setup.WaitForExit(kPatience);
  Say("setup.exe ended with exit code " + std::to_string(code));
  return true;
}

bool RunSetup(const std::string& medium, const std::string& shots) {
  ExtractionHold hold;  // asked for before setup.exe starts, which inherits the request
  std::optional<ui::Process> launcher;
  ui::Process setup = StartSetup(medium, launcher);
  const bool completed = DriveSetup(setup, hold, shots);
  if (launcher) {
    Say("the one-file medium ended with exit code " +
        std::to_string(launcher->WaitForExit(kPatience)));
  }
  return completed;
}

// Shows the box, saves it, and presses the button.
void Answer(const ui::Process& program, const std::string& shot, int button) {
  const ui::MessageBoxInfo box = ui::WaitForMessageBox(program.Id(), kPatience);
  Say("box \"" + box.Caption + "\": " + box.Text);
  Shoot(box.Window, shot);
  ui::AnswerMessageBox(box, button);
  ui::WaitForWindowGone(box.Window, kPatience);
}

void RunRemoval(const std::string& installDir, const std::string& shots) {
  ui::Process halvex = ui::Process::Start("\"" + installDir + "Halvex.exe\"", installDir);
  Answer(halvex, shots + "halvex-confirm.bmp", IDYES);
  Answer(halvex, shots + "halvex-done.bmp", IDOK);
  const DWORD code = halvex.WaitForExit(kPatience);
  Say("Halvex.exe ended with exit code " + std::to_string(code));
}

void PrintShortcut(const std::string& path) {
  ComPtr<IShellLinkA> link;
  ComPtr<IPersistFile> file;
  wchar_t widePath[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.ReceiveVoid())) ||
      FAILED(link.QueryInterface(IID_IPersistFile, file)) ||
      FAILED(file->Load(widePath, STGM_READ))) {
    std::printf("%s: cannot be read\n", path.c_str());
    return;
  }
  char target[MAX_PATH] = {}, arguments[MAX_PATH] = {}, directory[MAX_PATH] = {};
  link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
  link->GetArguments(arguments, MAX_PATH);
  link->GetWorkingDirectory(directory, MAX_PATH);
  std::printf("%s\n    -> %s %s (in %s)\n", path.c_str(), target, arguments, directory);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  try {
    if (command == "setup" && argc == 4) {
      if (!RunSetup(argv[2], argv[3])) return 3;
    } else if (command == "remove" && argc == 4) {
      RunRemoval(argv[2], argv[3]);
    } else if (command == "shortcut" && argc > 2) {
      ComApartment com;
      for (int i = 2; i < argc; ++i) PrintShortcut(argv[i]);
    } else {
      std::fprintf(stderr,
                   "usage: demo_driver setup MEDIUM SHOTS | remove INSTALLDIR SHOTS | "
                   "shortcut LINK...\n");
      return 2;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "demo_driver: %s\n", error.what());
    return 1;
  }
  return 0;
}
