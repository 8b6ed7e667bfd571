// kitpack: packs a folder into a store-only RAR archive for a distribution medium.
#include "kitpack/console_interruption.h"
#include "kitpack/kitpack.h"
#include "win/system_library.h"

#include <cstdio>
#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  RestrictLibrarySearchToSystemDirectory();
  KitpackRun run;
  {  // Ctrl+C and the console's end are watched until the run has cleaned up
    const ConsoleInterruption interruption;
    run = RunKitpack(std::vector<WideString>(argv + 1, argv + argc));
  }
  std::fputs(run.Out.c_str(), stdout);
  std::fputs(run.Err.c_str(), stderr);
  return run.ExitCode;
}
