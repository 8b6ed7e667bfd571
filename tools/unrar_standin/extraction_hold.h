// A seam for the drivers that take a picture of an extraction in progress: with
// KIT_STANDIN_HOLD=NAME in the environment and the events NAME.held and NAME.release
// made by the driver, the first entry of at least kHoldableSize bytes that is
// extracted stops once half its data has been reported to the process-data callback,
// sets NAME.held and waits for NAME.release (at most kLongestHold, so nothing hangs).
// While it waits it reports no new data every kTick milliseconds, so that the program
// can repaint as it does on any report, and it answers the messages sent to the
// thread's windows, which puts what they painted on the screen. An entry is held only
// while NAME.held is unset: once per request. Without the variable or the events
// nothing is held.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

namespace extraction_hold {

constexpr char kVariable[] = "KIT_STANDIN_HOLD";
constexpr char kHeldSuffix[] = ".held";
constexpr char kReleaseSuffix[] = ".release";
constexpr std::uint64_t kHoldableSize = 1024 * 1024;
constexpr DWORD kLongestHold = 60000;  // milliseconds
constexpr DWORD kTick = 20;

// Where an entry of this size is held, in bytes written; 0: never.
std::uint64_t HoldPoint(std::uint64_t entrySize);

// Holds the extraction here when a driver asked for it and no entry was held yet;
// report is called on every tick with no new data. False when report answered false
// (the program cancelled meanwhile).
bool HoldIfAsked(const std::function<bool()>& report);

}  // namespace extraction_hold
