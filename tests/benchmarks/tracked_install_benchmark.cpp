// What the undo record of a tracked install ([APP] UNINSTALLALL=YES) adds to
// extracting an archive: the tracked run on the progress window (one record for the
// archive's 5,000 entries of 1 KiB, forced to disk before the extraction; the record
// removed when the run completes) against the archive component without handlers,
// each into a directory that does not exist yet. Prints the median ratio of
// back-to-back pairs of runs; run under Xvfb by tools/benchmark.sh.
#include "benchmark_support.h"
#include "support/test_support.h"

#include "rar/rar_component.h"
#include "setup/date_settings.h"
#include "setup/install_actions.h"
#include "setup/install_settings.h"
#include "setup/run_log.h"
#include "setup/tracked_install.h"
#include "setup/windows/progress_window.h"
#include "ui/application.h"
#include "win/com_ptr.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRepetitions = 9;
constexpr double kTarget = 1.15;

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double TimedTrackedInstall() {
  SetCurrentDirectoryA(InstallSettings.SourceDir.c_str());  // the last run entered APP
  RemoveTree(InstallSettings.InstallDir);
  fmInstall->InstallLog = std::make_unique<TInstallLog>();
  SystemInstallActions actions;
  RunLog noLog;
  const double start = Now();
  if (RunTrackedInstallFor(fmInstall->Progress(), actions, noLog) != InstallOutcome::Completed) {
    std::printf("the tracked run did not complete\n");
  }
  return Now() - start;
}

double TimedComponent(const std::string& archive, const std::string& target) {
  RemoveTree(target);
  const double start = Now();
  TRAR rar;
  if (!rar.ExtractArchive(archive, target, false)) std::printf("an extraction failed\n");
  return Now() - start;
}

}  // namespace

int main() {
  const ComApartment com;
  SetStartupDateSettings();
  const std::string dir = ScratchDir("tracked-install-benchmark");
  const std::string archive = dir + "SMALL.RAR";
  WriteManySmallEntries(archive);
  InstallSettings = TInstallSettings();
  InstallSettings.SourceDir = dir;
  InstallSettings.InstallDir = dir + "APP";
  InstallSettings.CompanyName = "Benchvane";
  InstallSettings.ProductName = "Tracked";
  InstallSettings.ProductVersion = "1.0";
  InstallSettings.ProductTitle = "Tracked 1.0";
  InstallSettings.UninstallAll = "YES";
  InstallSettings.FileEntries[0] = {"SMALL.RAR", "<INSTALLDIR>", ""};
  InstallSettings.FileCount = 1;
  Application.CreateForm(fmInstall);

  TimedTrackedInstall();  // warm-up: caches filled
  TimedComponent(archive, dir + "BARE");
  std::vector<double> tracked, component, ratios;
  for (int i = 0; i < kRepetitions; ++i) {  // taking turns at going first
    if (i % 2 == 0) component.push_back(TimedComponent(archive, dir + "BARE"));
    tracked.push_back(TimedTrackedInstall());
    if (i % 2 == 1) component.push_back(TimedComponent(archive, dir + "BARE"));
    ratios.push_back(tracked.back() / component.back());
  }
  const double ratio = Median(ratios);
  std::printf("tracked_install_benchmark: 5,000 entries of 1 KiB into a new directory, %d pairs\n",
              kRepetitions);
  std::printf(
      "  medians: tracked run %8.1f ms, TRAR without handlers %8.1f ms; median ratio %.3f "
      "(target <= %.2f: %s)\n",
      Median(tracked) * 1000, Median(component) * 1000, ratio, kTarget,
      ratio <= kTarget ? "met" : "MISSED");

  InstallDone = false;  // no log to keep
  Application.DestroyForms();
  RemoveTree(dir);
  return 0;
}
