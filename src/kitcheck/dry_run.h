// setup's install run without its effects: the install engine itself runs, in its
// order, against a progress window that lists archives instead of extracting them
// and actions that record instead of acting. What comes out is the install log that
// setup would write and the steps it would take. Nothing is written anywhere.
#pragma once

#include "contracts/install_log.h"
#include "kitcheck/archive_catalog.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

struct DryRunStep {
  enum Kind { Copy, Extract, ConfigureEngine, Shortcut, Register };
  explicit DryRunStep(Kind what, std::string from = std::string(), std::string to = std::string(),
                      std::size_t entries = 0)
      : What(what), From(std::move(from)), To(std::move(to)), Entries(entries) {}

  Kind What;
  std::string From;             // Copy: the source; Extract: the archive; Shortcut: the target
  std::string To;               // Copy: the target; Extract: the directory; Shortcut: the link
  std::size_t Entries = 0;      // Extract: how many entries the archive holds
  bool UninstallEntry = false;  // Register: an entry in the system's program list too
};

struct DryRunResult {
  bool Completed = false;  // the run reached its end: the log below is setup's
  std::string StopReason;  // why not, for the report (CP949)
  std::vector<DryRunStep> Steps;
  TInstallLog Log;  // with its closing lines when Completed
};

// Runs setup's install engine on InstallSettings as read from the medium, for a run
// on a machine with none of the files there yet (fail-if-exists skips nothing).
DryRunResult DryRunInstall(ArchiveCatalog& catalog);
