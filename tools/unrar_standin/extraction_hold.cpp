#include "unrar_standin/extraction_hold.h"

#include "win/handles.h"

#include <string>

namespace extraction_hold {

std::uint64_t HoldPoint(std::uint64_t entrySize) {
  return entrySize >= kHoldableSize ? entrySize / 2 : 0;
}

bool HoldIfAsked(const std::function<bool()>& report) {
  char name[128] = {};
  const DWORD length = GetEnvironmentVariableA(kVariable, name, sizeof name);
  if (length == 0 || length >= sizeof name) return true;  // not asked, or no name of ours
  const std::string stem(name, length);
  ObjectHandle held(
      OpenEventA(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, (stem + kHeldSuffix).c_str()));
  ObjectHandle release(OpenEventA(SYNCHRONIZE, FALSE, (stem + kReleaseSuffix).c_str()));
  if (!held || !release) return true;                                   // the driver is gone
  if (WaitForSingleObject(held.Get(), 0) != WAIT_TIMEOUT) return true;  // held once already
  SetEvent(held.Get());
  const HANDLE releaseHandle = release.Get();
  for (const DWORD start = GetTickCount(); GetTickCount() - start < kLongestHold;) {
    if (!report()) return false;
    // The wait puts what the program painted on the screen, as any wait for messages does.
    const DWORD woken = MsgWaitForMultipleObjects(1, &releaseHandle, FALSE, kTick, QS_SENDMESSAGE);
    if (woken == WAIT_OBJECT_0) break;
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // answers them
  }
  return true;
}

}  // namespace extraction_hold
