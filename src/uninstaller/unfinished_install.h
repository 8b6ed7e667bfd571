// A tracked install of the product that did not complete (it was killed) leaves its undo
// record (contracts/undo_journal.h); Halvex rolls it back before anything else.
#pragma once

#include "win/message_box.h"

#include <set>
#include <string>
#include <vector>

class RemovalSteps;

// The undo record of an unfinished run for the program in directory (with its trailing
// "\"): the one that logLines' "KEY:" line names, else the first record whose steps name
// a file in directory. Empty when there is none.
std::string UnfinishedRunRecord(const std::vector<std::string>& logLines,
                                const std::string& directory);

// Undoes the record's steps, last first. What the running program cannot undo now goes
// to the restart instead (steps.RemoveAtRestart): its own file, and a directory that
// then holds only what waits; waiting gathers those (upper-cased, ASCII). Returns what
// could not be put back.
std::vector<std::string> RollBackRunRecord(const std::string& folder, RemovalSteps& steps,
                                           std::set<std::string>& waiting);

// The whole step at Halvex's start: finds the record for the program beside logPath,
// rolls it back and says so through showBox. True when there was one.
bool RollBackUnfinishedRunAndSay(const std::string& logPath, const MessageBoxFunction& showBox,
                                 RemovalSteps& steps, std::set<std::string>& waiting);
