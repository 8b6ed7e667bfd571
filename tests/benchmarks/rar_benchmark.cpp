// How much the archive component adds to the archive library's own work: the
// component with both progress-window handlers attached against a bare loop over
// the same library calls, for one 64 MiB entry and for 5,000 entries of 1 KiB.
// Prints the medians and their ratios (and, as a check on the machine's noise, the
// fastest runs); run by tools/benchmark.sh, not by ctest.
#include "benchmark_support.h"
#include "rar/rar_component.h"
#include "rar_writer/rar_writer.h"
#include "support/test_support.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRepetitions = 15;  // Wine's file creation is noisy on a busy machine

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Minimum(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

long long bareBytes = 0;

int __stdcall BareProcessData(unsigned char*, int size) {
  bareBytes += size;
  return 1;
}

// The library calls the component makes, without the component.
bool BareExtract(const std::string& archive, const std::string& target) {
  std::string name = archive;
  std::string dest = target;
  RAROpenArchiveData data{};
  data.ArcName = name.data();
  data.OpenMode = rar_const::kOpenExtract;
  HANDLE handle = RAROpenArchive(&data);
  if (data.OpenResult != 0) return false;
  RARSetProcessDataProc(handle, BareProcessData);
  RARHeaderData header{};
  bool ok = true;
  while (RARReadHeader(handle, &header) == 0) {
    ok = RARProcessFile(handle, rar_const::kExtract, dest.data(), nullptr) == 0 && ok;
  }
  RARCloseArchive(handle);
  return ok;
}

// The component as the install progress window uses it.
bool ComponentExtract(const std::string& archive, const std::string& target) {
  long long entries = 0;
  long long bytes = 0;
  int position = 0;
  TRAR rar;
  rar.OnExtracting = [&](TRAR&, const RARHeaderData&) { ++entries; };
  rar.OnProcessData = [&](TRAR&, unsigned char*, int size, int pos) {
    bytes += size;
    position = pos;
    return 1;
  };
  return rar.ExtractArchive(archive, target, false);
}

struct Figures {
  double Bare;
  double Component;
  double BareMinimum;  // the least disturbed runs: a check on the machine's noise
  double ComponentMinimum;
};

double Timed(const std::function<bool(const std::string&, const std::string&)>& extract,
             const std::string& archive, const std::string& target) {
  const double start = Now();
  if (!extract(archive, target)) std::printf("an extraction failed\n");
  return Now() - start;
}

// Interleaves the two, taking turns at going first, so that both meet the same
// state of the disk and of the machine.
Figures Measure(const std::string& archive, const std::string& target) {
  BareExtract(archive, target);  // warm-up: directories made, caches filled
  ComponentExtract(archive, target);
  std::vector<double> bare;
  std::vector<double> component;
  for (int i = 0; i < kRepetitions; ++i) {
    if (i % 2 == 0) bare.push_back(Timed(BareExtract, archive, target));
    component.push_back(Timed(ComponentExtract, archive, target));
    if (i % 2 == 1) bare.push_back(Timed(BareExtract, archive, target));
  }
  return {Median(bare), Median(component), Minimum(bare), Minimum(component)};
}

void Report(const char* label, const Figures& figures, double target) {
  const double ratio = figures.Component / figures.Bare;
  std::printf("%s\n  median: bare %8.1f ms, TRAR %8.1f ms, ratio %.3f (target <= %.2f: %s)\n",
              label, figures.Bare * 1000, figures.Component * 1000, ratio, target,
              ratio <= target ? "met" : "MISSED");
  std::printf("  fastest: bare %7.1f ms, TRAR %8.1f ms, ratio %.3f\n", figures.BareMinimum * 1000,
              figures.ComponentMinimum * 1000, figures.ComponentMinimum / figures.BareMinimum);
}

std::string OneLargeEntry(const std::string& dir) {
  std::string data(64u << 20, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 131) >> 7);
  RarWriter writer;
  writer.AddFile("large.bin", data);
  const std::string path = dir + "large.rar";
  writer.Save(path);
  return path;
}

std::string ManySmallEntries(const std::string& dir) {
  const std::string path = dir + "small.rar";
  WriteManySmallEntries(path);
  return path;
}

}  // namespace

int main() {
  const std::string dir = ScratchDir("rar-benchmark");
  const std::string large = OneLargeEntry(dir);
  const std::string small = ManySmallEntries(dir);
  std::printf("rar_benchmark: stand-in UNRAR.DLL, median of %d runs each\n", kRepetitions);
  Report("(a) one 64 MiB entry", Measure(large, dir + "out-large"), 1.05);
  Report("(b) 5,000 entries of 1 KiB", Measure(small, dir + "out-small"), 1.15);
  RemoveTree(dir);
  return 0;
}
