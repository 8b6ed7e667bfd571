// What the removal passes leave, for a log that names the uninstaller's own file
// (setup's UNINSTALLALL=YES): the running program cannot delete itself, so its file
// and the logged directories that then hold nothing else wait for the next restart.
#pragma once

#include <set>
#include <string>
#include <vector>

class RemovalSteps;

// Runs after RunRemovalPasses. When a "FILE:" line names steps.ProgramPath() (letter
// case aside): hands the program's file to the restart, then every logged directory
// still there, deepest first, whose entries all wait for the restart too. Returns
// the logged directories that stay because something else is in them, in that
// order; nothing for a log that does not name the program. waiting: what already waits
// for the restart (upper-cased, ASCII), such as what a rollback at the start left.
std::vector<std::string> FinishRemoval(const std::vector<std::string>& lines, RemovalSteps& steps,
                                       std::set<std::string> waiting = {});
