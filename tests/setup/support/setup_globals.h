// setup's process-wide state, reset for a test.
#pragma once

// Clears InstallSettings, NoFileLog and InstallDone when the scope starts and
// again when it ends, so no test sees what another left behind.
struct SetupGlobalsScope {
  SetupGlobalsScope();
  ~SetupGlobalsScope();
};
