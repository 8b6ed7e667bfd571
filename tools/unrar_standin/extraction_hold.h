// A seam for the drivers that take a picture of an extraction in progress: with
// KIT_STANDIN_HOLD=NAME in the environment and the events NAME.held and NAME.release
// made by the driver, the first entry of at least kHoldableSize bytes that is
// extracted stops once half its data has been reported to the process-data callback,
// sets NAME.held and waits for NAME.release (at most kLongestHold, so nothing hangs).
// An entry is held only while NAME.held is unset: once per request. Without the
// variable or the events nothing is held.
#pragma once

#include <windows.h>

#include <cstdint>

namespace extraction_hold {

constexpr char kVariable[] = "KIT_STANDIN_HOLD";
constexpr char kHeldSuffix[] = ".held";
constexpr char kReleaseSuffix[] = ".release";
constexpr std::uint64_t kHoldableSize = 1024 * 1024;
constexpr DWORD kLongestHold = 60000;  // milliseconds

// Where an entry of this size is held, in bytes written; 0: never.
std::uint64_t HoldPoint(std::uint64_t entrySize);

// Holds the extraction here when a driver asked for it and no entry was held yet.
void HoldIfAsked();

}  // namespace extraction_hold
