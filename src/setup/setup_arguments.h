// setup.exe's command line:
//   setup.exe [/SILENT | /VERYSILENT] [/DIR="C:\..."] [/LOG="FILE"] [/?]
// Switches in any letter case; /S, /Q and /QUIET stand for /VERYSILENT.
#pragma once

#include <string>
#include <vector>

enum class SetupMode {
  Interactive,  // the wizard
  Silent,       // the progress window only
  VerySilent,   // no window at all
};

struct SetupArguments {
  SetupMode Mode = SetupMode::Interactive;
  bool Help = false;    // /?: the usage box
  std::string Dir;      // /DIR as given; empty: the script's INSTALLDIR
  std::string LogFile;  // /LOG as given; empty: no run log
};

// The usage box's text and caption (code page 949).
extern const char kSetupUsage[];
extern const char kSetupUsageCaption[];

// arguments without the program's name. False, with error naming the argument, for
// anything that is not one of the switches, or a /DIR or /LOG without a value; parsed
// still holds the silent mode when one was given anywhere on the line.
bool ParseSetupArguments(const std::vector<std::string>& arguments, SetupArguments& parsed,
                         std::string& error);

// A path given on the command line made absolute: a relative one ("DATA", "..\X",
// "\X" on the current drive) is taken from currentDir; one trailing "\" is dropped
// except at a drive's root. An absolute path stays as it was written otherwise.
std::string AbsoluteFromCommandLine(const std::string& path, const std::string& currentDir);
