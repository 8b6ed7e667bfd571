#include "unrar_standin/extraction_hold.h"

#include "shared/handles.h"

#include <string>

namespace extraction_hold {

std::uint64_t HoldPoint(std::uint64_t entrySize) {
  return entrySize >= kHoldableSize ? entrySize / 2 : 0;
}

void HoldIfAsked() {
  char name[128] = {};
  const DWORD length = GetEnvironmentVariableA(kVariable, name, sizeof name);
  if (length == 0 || length >= sizeof name) return;  // not asked, or no name of ours
  const std::string stem(name, length);
  ObjectHandle held(
      OpenEventA(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, (stem + kHeldSuffix).c_str()));
  ObjectHandle release(OpenEventA(SYNCHRONIZE, FALSE, (stem + kReleaseSuffix).c_str()));
  if (!held || !release) return;                                   // the driver is gone
  if (WaitForSingleObject(held.Get(), 0) != WAIT_TIMEOUT) return;  // held once already
  SetEvent(held.Get());
  WaitForSingleObject(release.Get(), kLongestHold);
}

}  // namespace extraction_hold
