#include "testing/extraction_hold.h"

#include "testing/ui_driver.h"
#include "unrar_standin/extraction_hold.h"

namespace {

// A name of this process's own, so that runs side by side never share events.
std::string UniqueName() {
  static unsigned made = 0;
  return "kit-extraction-hold-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(++made);
}

ObjectHandle MakeEvent(const std::string& name) {
  ObjectHandle event(CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
  if (!event) throw ui_driver::DriverError("cannot make the event " + name);
  return event;
}

}  // namespace

ExtractionHold::ExtractionHold()
    : name_(UniqueName()),
      held_(MakeEvent(name_ + extraction_hold::kHeldSuffix)),
      release_(MakeEvent(name_ + extraction_hold::kReleaseSuffix)) {
  if (!SetEnvironmentVariableA(extraction_hold::kVariable, name_.c_str())) {
    throw ui_driver::DriverError("cannot ask for an extraction hold");
  }
}

ExtractionHold::~ExtractionHold() {
  Release();
  SetEnvironmentVariableA(extraction_hold::kVariable, nullptr);
}

bool ExtractionHold::Held() const { return WaitForSingleObject(held_.Get(), 0) == WAIT_OBJECT_0; }

void ExtractionHold::Release() { SetEvent(release_.Get()); }
