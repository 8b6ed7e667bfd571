// The launcher's command line, passed on to setup.exe. Arguments are split at blanks
// outside double quotes, as setup splits them; a backslash is an ordinary character.
#pragma once

#include "launcher/heap_memory.h"

struct LaunchOptions {
  bool Silent = false;  // /SILENT, /VERYSILENT, /S, /Q or /QUIET, in any letter case
  WideText LogFile;     // /LOG's file as a full path; empty when not given
  WideText Parameters;  // the arguments for setup.exe
};

// The command line after the program's own name (which may be quoted).
const wchar_t* ArgumentsOf(const wchar_t* commandLine);

// Reads the arguments. A relative /DIR or /LOG value is made a full path against the
// current directory, since setup runs in another one; a value starting with a path
// macro ("<WINDIR>\...") stays as it is. The other arguments pass on as written.
void ReadArguments(const wchar_t* arguments, LaunchOptions& options);
