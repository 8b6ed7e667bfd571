// What the benchmark programs share: the statistics they print and the archive
// of many small entries that two of them measure on.
#pragma once

#include <string>
#include <vector>

double Median(std::vector<double> values);

// 5,000 stored entries of 1 KiB in 50 subdirectories, written to path.
void WriteManySmallEntries(const std::string& path);
