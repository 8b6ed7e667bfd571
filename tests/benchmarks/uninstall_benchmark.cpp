// Halvex's removal against a bare DeleteFileA loop, over 20,000 existing files.
// Prints both times and their ratio (median of several rounds).
#include "uninstaller/removal_passes.h"
#include "uninstaller/uninstaller.h"

#include "benchmark_support.h"
#include "contracts/install_log.h"
#include "support/test_support.h"
#include "win/file_system.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

constexpr int kFileCount = 20000;
// Wine scans a whole directory to create a file in it: spread the files out.
constexpr int kFilesPerDirectory = 200;
constexpr int kRounds = 7;
constexpr double kTarget = 1.05;  // Halvex against a bare DeleteFileA loop
const char kDir[] = "C:\\kit-bench\\uninstall";

std::string SubDirectory(int index) {
  return std::string(kDir) + "\\SUB" + std::to_string(index / kFilesPerDirectory);
}

std::vector<std::string> FilePaths() {
  std::vector<std::string> paths;
  for (int i = 0; i < kFileCount; ++i) {
    paths.push_back(SubDirectory(i) + "\\DATA" + std::to_string(i) + ".DBF");
  }
  return paths;
}

// Throws when a file cannot be written.
void CreateFiles(const std::vector<std::string>& paths) {
  for (int i = 0; i < kFileCount; i += kFilesPerDirectory) MakeDirectories(SubDirectory(i));
  for (const std::string& path : paths) WriteFileBytes(path, "data");
}

void WriteLog(const std::string& logPath, const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) text += "FILE:" + path + "\r\n";
  for (int i = 0; i < kFileCount; i += kFilesPerDirectory) {
    text += "DIR:" + SubDirectory(i) + "\r\n";
  }
  text += "DIR:" + std::string(kDir) + "\r\nFILE:" + logPath + "\r\n";
  WriteFileBytes(logPath, text);
}

double Seconds(LARGE_INTEGER start, LARGE_INTEGER stop) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(stop.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

// The same files and directories, the log among them, by the plain calls.
double TimeBareLoop(const std::vector<std::string>& paths, const std::string& logPath) {
  LARGE_INTEGER start, stop;
  QueryPerformanceCounter(&start);
  for (const std::string& path : paths) DeleteFileA(path.c_str());
  DeleteFileA(logPath.c_str());
  for (int i = 0; i < kFileCount; i += kFilesPerDirectory) {
    RemoveDirectoryA(SubDirectory(i).c_str());
  }
  RemoveDirectoryA(kDir);
  QueryPerformanceCounter(&stop);
  return Seconds(start, stop);
}

// The whole run after the user's Yes: existence test, reading the log, three passes.
double TimeUninstaller(const std::string& logPath) {
  const MessageBoxFunction answerYes = [](const std::string&, const std::string&, UINT) {
    return IDYES;
  };
  SystemRemovalSteps steps;
  LARGE_INTEGER start, stop;
  QueryPerformanceCounter(&start);
  RunUninstaller(logPath, answerYes, steps);
  QueryPerformanceCounter(&stop);
  return Seconds(start, stop);
}

// The in-memory share of the run: reading the log and cutting the payloads of all passes.
double TimeLogHandling(const std::string& logPath) {
  LARGE_INTEGER start, stop;
  QueryPerformanceCounter(&start);
  std::vector<std::string> lines;
  ReadInstallLog(logPath, lines);
  size_t payloads = 0;
  for (LogPass pass : {LogPass::Files, LogPass::Directories, LogPass::Registry}) {
    payloads += PassPayloads(lines, pass).size();
  }
  QueryPerformanceCounter(&stop);
  return payloads > 0 ? Seconds(start, stop) : 0.0;
}

int Run() {
  const std::vector<std::string> paths = FilePaths();
  const std::string logPath = "C:\\kit-bench\\Install.log";
  std::vector<double> bare, halvex, ratios, logHandling;
  for (int round = 0; round < kRounds; ++round) {
    // Alternate which goes first, so a slow phase of the machine hits both alike.
    for (int turn = 0; turn < 2; ++turn) {
      CreateFiles(paths);
      WriteLog(logPath, paths);
      if ((round + turn) % 2 == 0) {
        bare.push_back(TimeBareLoop(paths, logPath));
      } else {
        logHandling.push_back(TimeLogHandling(logPath));
        halvex.push_back(TimeUninstaller(logPath));
        if (FileExists(paths.back()) || FileExists(logPath) || DirectoryExists(kDir)) {
          return std::fprintf(stderr, "the uninstaller left files behind\n"), 1;
        }
      }
    }
    ratios.push_back(halvex.back() / bare.back());
    std::printf("round %d: DeleteFileA loop %.3f s, Halvex %.3f s, ratio %.3f\n", round + 1,
                bare.back(), halvex.back(), ratios.back());
    std::fflush(stdout);
  }
  // Each round's pair ran back to back: the median of their ratios is least
  // disturbed by other work on the machine.
  std::printf(
      "%d files, median of %d rounds: DeleteFileA loop %.3f s, Halvex %.3f s "
      "(of which reading and cutting the log %.3f s), ratio %.3f (target <= %.2f: %s)\n",
      kFileCount, kRounds, Median(bare), Median(halvex), Median(logHandling), Median(ratios),
      kTarget, Median(ratios) <= kTarget ? "met" : "MISSED");
  const double fastestBare = *std::min_element(bare.begin(), bare.end());
  const double fastestHalvex = *std::min_element(halvex.begin(), halvex.end());
  std::printf("fastest rounds: DeleteFileA loop %.3f s, Halvex %.3f s, ratio %.3f\n", fastestBare,
              fastestHalvex, fastestHalvex / fastestBare);
  return 0;
}

}  // namespace

int main() {
  try {
    return Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
