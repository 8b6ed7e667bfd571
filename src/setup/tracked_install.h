// The install run of a script with [APP] UNINSTALLALL=YES: every change the run makes
// is first written to the product's undo record (contracts/undo_journal.h), so a run that
// does not complete is rolled back, and a completed one removes the record. Without
// UNINSTALLALL the run is the install engine's, untouched.
#pragma once

#include "contracts/undo_journal.h"  // the box texts of a rollback
#include "setup/install_engine.h"

#include <string>
#include <vector>

class RunLog;
class TInstallActions;
class TInstallProgress;

// The run, rolled back when it does not complete: the run log names each undone step,
// a box through the progress what could not be put back. The outcome is the run's.
InstallOutcome RunTrackedInstallFor(TInstallProgress& progress, TInstallActions& actions,
                                    RunLog& log);

// The undo record of the product the script names; empty without a title.
std::string ProductUndoFolder();

// Rolls back what an unfinished run of the product left, when there is one. True when
// there was; left then names what could not be put back.
bool RollBackUnfinishedRun(RunLog& log, std::vector<std::string>& left);
