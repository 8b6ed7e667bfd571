// kitcheck's report: what setup will do, step by step, then every problem, one line
// each; all text in code page 949, lines ended by CR LF.
#pragma once

#include "kitcheck/dry_run.h"
#include "kitcheck/medium_checks.h"

#include <string>
#include <vector>

struct ReportInput {
  std::string MediumDir;
  std::string LibraryPath;  // empty: no archive library could be loaded
  const DryRunResult* Run = nullptr;
  std::vector<Problem> Problems;
  std::string LogFile;     // --log's file, empty when not asked for
  std::string LogOutcome;  // what became of it
};

std::string FormatReport(const ReportInput& input);

// 1 when any problem is an error, else 0.
int ExitCodeOf(const std::vector<Problem>& problems);
