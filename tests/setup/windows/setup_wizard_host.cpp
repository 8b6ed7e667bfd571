// setup as it starts and ends, with a stand-in for the install run, for the
// end-to-end tests of the wizard, the directory chooser and the background window.
// A test copies it into a folder beside a SETUP.INI and drives it like a user.
//
// Files beside it:
// - "install-outcomes.txt" (optional): one outcome per install run, "true", "false"
//   "abort" (the silent abort) or "error" (any other exception, "대체 설치 실패"); the
//   last line holds for every later run; without the file every run completes.
// - "install-runs.txt": one line per run, written by the stand-in: whether the wizard
//   was visible meanwhile, the short date format then in force, and in brackets the
//   install directory the run would have used.
#include "setup/date_settings.h"
#include "setup/install_settings.h"
#include "setup/windows/startup.h"
#include "setup/windows/wizard.h"
#include "ui/application.h"

#include "win/errors.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Outcomes() {
  std::ifstream file(InstallSettings.SourceDir + "install-outcomes.txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

bool StandInInstall() {
  static size_t runs = 0;
  const std::vector<std::string> outcomes = Outcomes();
  const std::string outcome =
      outcomes.empty() ? "true" : outcomes[std::min(runs, outcomes.size() - 1)];
  ++runs;
  std::ofstream(InstallSettings.SourceDir + "install-runs.txt", std::ios::app | std::ios::binary)
      << (fmWizad->Visible() ? "visible " : "hidden ") << DateSettings.ShortDateFormat << " ["
      << InstallSettings.InstallDir << "]\n";
  Application.ProcessMessages();  // as the engine does once at its start
  if (outcome == "abort") throw EAbort();
  if (outcome == "error") throw Exception("대체 설치 실패");
  return outcome == "true";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunSetup(nullptr, StandInInstall); }
