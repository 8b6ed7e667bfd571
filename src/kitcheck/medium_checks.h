// The problems of a distribution medium, each an error (setup will fail, stop, or
// lose something) or a warning (it works, but is probably not meant so).
#pragma once

#include "kitcheck/archive_catalog.h"
#include "kitcheck/dry_run.h"
#include "kitcheck/script_file.h"

#include <string>
#include <vector>

struct Problem {
  enum Severity { Error, Warning } Level;
  std::string Subject;  // the file, and the key or entry concerned (CP949)
  std::string Text;     // what is wrong and what follows from it (CP949)
};

struct MediumFacts {
  std::string MediumDir;  // ends in "\"
  ScriptFile Script;
  std::vector<std::string> ProgramFilesDirs;  // of the machine the check runs on
};

// Checks the medium against InstallSettings as read from its SETUP.INI, the archives
// as the catalog's library sees them, and what the dry run predicted.
std::vector<Problem> CheckMedium(const MediumFacts& facts, ArchiveCatalog& catalog,
                                 const DryRunResult& run);
