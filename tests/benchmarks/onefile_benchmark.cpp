// The one-file medium's launcher: its size against its budget, and what its way of
// writing the payload's files costs against a bare loop that writes the same files
// with CreateFile/WriteFile. Measured for a 64 MiB medium of 2,000 files, from the
// payload on disk to every file written: the launcher checks the whole payload first,
// then writes each file and reads it back through a handle that shares neither
// writing nor deletion. The two take turns, and each pair's ratio is taken, so that
// both meet the same state of a machine whose other work comes and goes. Prints the
// median times and the median of the pairs' ratios with the middle half of them, how
// long the launcher's check of the payload took, and, as a check on the noise, the
// fastest runs; run by tools/benchmark.sh, not by ctest.
#include "benchmark_support.h"
#include "launcher/extraction.h"
#include "launcher/one_file_maker.h"
#include "launcher/payload_file.h"
#include "launcher/progress_window.h"
#include "launcher/temporary_folder.h"
#include "support/test_support.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Each run writes 64 MiB in 2,000 files. A shared machine's load varies so much from one
// pair to the next (the middle half of the pairs' ratios spans about 0.17) that fewer
// pairs leave the median's verdict to chance.
constexpr int kRepetitions = 31;
constexpr std::size_t kFiles = 2000;
constexpr std::size_t kTotal = 64u << 20;
constexpr long kLauncherBudget = 48 * 1024;

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// 2,000 files of 64 MiB together, between 16 and 48 KiB each.
std::vector<PayloadFileSpec> Medium() {
  std::vector<PayloadFileSpec> files(kFiles);
  const std::size_t average = kTotal / kFiles;
  for (std::size_t i = 0; i < kFiles; ++i) {
    const std::size_t spread = ((i / 2) * 2654435761u >> 16) % (16 << 10);
    const std::size_t size = i % 2 == 0 ? average + spread : average - spread;
    char name[32];
    std::snprintf(name, sizeof name, "FILE%04u.DAT", static_cast<unsigned>(i));
    files[i] = {
        i == 0 ? std::string("setup.exe") : std::string(name),
        PatternBytes(size + (i == 0 ? kTotal - average * kFiles : 0), static_cast<unsigned>(i))};
  }
  return files;
}

std::string TempPath() {
  char path[MAX_PATH + 1] = {};
  return std::string(path, GetTempPathA(sizeof path, path));
}

bool Bare(const std::vector<PayloadFileSpec>& files) {
  const std::string dir = TempPath() + "kit-bare\\";
  bool ok = CreateDirectoryA(dir.c_str(), nullptr) != FALSE;
  for (const PayloadFileSpec& file : files) {
    const HANDLE handle = CreateFileA((dir + file.Name).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ok = handle != INVALID_HANDLE_VALUE &&
         WriteFile(handle, file.Data.data(), static_cast<DWORD>(file.Data.size()), &written,
                   nullptr) &&
         ok;
    CloseHandle(handle);
  }
  return ok;
}

void RemoveBare() { RemoveTree(TempPath() + "kit-bare"); }

// Open, check, write and prove; the folder is removed outside the time measured.
// checking: the seconds until the payload was found sound.
bool Launcher(const std::wstring& payloadPath, TemporaryFolder& folder, double& checking) {
  const double start = Now();
  PayloadFile payload;
  ProgressWindow progress(INFINITE, true);
  const bool sound = payload.Open(payloadPath.c_str(), 0) && payload.Check(progress);
  checking = Now() - start;
  return sound && folder.Create() && ExtractPayload(payload, folder, progress);
}

template <typename Run, typename Clean>
double Timed(Run run, Clean clean) {
  const double start = Now();
  if (!run()) std::printf("a run failed\n");
  const double seconds = Now() - start;
  clean();
  return seconds;
}

}  // namespace

int main() {
  const std::string dir = ScratchDir("onefile-benchmark");
  const WIN32_FILE_ATTRIBUTE_DATA launcher = [] {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(KitOutputPath("launcher.exe").c_str(), GetFileExInfoStandard, &data);
    return data;
  }();
  const long size = static_cast<long>(launcher.nFileSizeLow);
  std::printf(
      "onefile_benchmark: the launcher, and a 64 MiB medium of 2,000 files, median of %d pairs of "
      "runs\n",
      kRepetitions);
  std::printf("(a) launcher.exe: %ld bytes (target <= %ld: %s)\n", size, kLauncherBudget,
              size > 0 && size <= kLauncherBudget ? "met" : "MISSED");

  const std::vector<PayloadFileSpec> files = Medium();
  const std::string payloadPath = dir + "medium.payload";
  WriteFileBytes(payloadPath, MakePayload(files));
  std::wstring widePath(payloadPath.begin(), payloadPath.end());

  std::vector<double> bare, ours, ratios, checks;
  for (int i = 0; i < kRepetitions + 1; ++i) {  // the first pair warms up
    TemporaryFolder folder;
    double checking = 0;
    auto runBare = [&] { return Bare(files); };
    auto runOurs = [&] { return Launcher(widePath, folder, checking); };
    auto removeOurs = [&] { folder.Remove(); };
    const bool bareFirst = i % 2 == 0;
    const double first = bareFirst ? Timed(runBare, RemoveBare) : Timed(runOurs, removeOurs);
    const double second = bareFirst ? Timed(runOurs, removeOurs) : Timed(runBare, RemoveBare);
    if (i == 0) continue;
    bare.push_back(bareFirst ? first : second);
    ours.push_back(bareFirst ? second : first);
    ratios.push_back(ours.back() / bare.back());
    checks.push_back(checking);
  }
  const double ratio = Median(ratios);
  std::printf(
      "(b) writing the medium's files\n  median: bare %8.1f ms, launcher %8.1f ms; "
      "ratio of a pair's times %.3f (target <= 1.10: %s)\n",
      Median(bare) * 1000, Median(ours) * 1000, ratio, ratio <= 1.10 ? "met" : "MISSED");
  std::vector<double> sorted = ratios;
  std::sort(sorted.begin(), sorted.end());
  std::printf(
      "  the pairs' ratios: middle half %.3f to %.3f; of the launcher's time, checking "
      "the payload %.1f ms\n",
      sorted[sorted.size() / 4], sorted[sorted.size() * 3 / 4], Median(checks) * 1000);
  const double fastestBare = *std::min_element(bare.begin(), bare.end());
  const double fastestOurs = *std::min_element(ours.begin(), ours.end());
  std::printf("  fastest: bare %7.1f ms, launcher %8.1f ms, ratio %.3f\n", fastestBare * 1000,
              fastestOurs * 1000, fastestOurs / fastestBare);
  RemoveTree(dir);
  return 0;
}
