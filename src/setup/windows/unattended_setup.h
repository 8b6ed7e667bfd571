// setup without the wizard: /SILENT (the progress window only) and /VERYSILENT (no
// window at all). The run is the wizard's run: the same engine and actions, so the
// same files, install log, shortcuts and registration.
#pragma once

#include "setup/setup_arguments.h"

class RunLog;

// Every box the program shows from now on goes through the application's message box
// and is written to the run log; with answerThem none is shown: each gets the answer
// that lets the run end (OK, else Cancel, else No).
void RouteMessageBoxes(RunLog& log, bool answerThem);

// Reads the script, installs into /DIR (else the script's INSTALLDIR) and saves the
// install log; returns setup's exit code. Call after RouteMessageBoxes(log, true).
int RunUnattendedSetup(const SetupArguments& arguments, RunLog& log);

// When an earlier run of the script's product did not complete, rolls it back and
// says so in a box (and the run log), naming what could not be put back.
void RollBackUnfinishedRunAndSay(RunLog& log);
