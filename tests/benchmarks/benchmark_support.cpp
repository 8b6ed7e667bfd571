#include "benchmark_support.h"

#include "rar_writer/rar_writer.h"

#include <algorithm>
#include <cstdio>

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void WriteManySmallEntries(const std::string& path) {
  RarWriter writer;
  std::string data(1024, '\0');
  for (int i = 0; i < 5000; ++i) {
    for (std::size_t j = 0; j < data.size(); ++j) data[j] = static_cast<char>(i + j);
    char name[32];
    std::snprintf(name, sizeof name, "d%02d\\f%04d.bin", i / 100, i);
    writer.AddFile(name, data);
  }
  writer.Save(path);
}
