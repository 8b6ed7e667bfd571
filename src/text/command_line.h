// A command line split into its arguments, as the kit's programs read theirs.
#pragma once

#include <string>
#include <vector>

// Blanks (space, tab) separate arguments; a double quote opens or closes a stretch in
// which blanks are ordinary and is itself dropped, so /DIR="C:\A B" gives /DIR=C:\A B.
// A backslash is an ordinary character ("C:\X\" ends with one). Code page 949 needs
// no care: neither a blank nor a quote can be the second byte of a character. The
// program's own name, first on the line, is the first argument.
std::vector<std::string> SplitCommandLine(const std::string& line);

// The arguments after the program's name on the line the program was started with.
// The name is quoted, or it is the first blank-free word; but a starter may also
// write a program path holding blanks unquoted: when the line starts with
// programPath itself (ASCII letters in any case), that is the name.
std::vector<std::string> ProgramArguments(const std::string& line, const std::string& programPath);

// Whether argument is the switch name (its letters in any case), e.g. "/SILENT".
bool IsSwitch(const std::string& argument, const char* name);

// For "/NAME=VALUE" with NAME matching (any case): VALUE in value, true.
bool SwitchValue(const std::string& argument, const char* name, std::string& value);

// The command line of a program whose one switch is /SILENT (Halvex, Dorcel), without
// the program's name: false when anything else is on it; silent tells whether /SILENT
// is, also then.
bool ParseSilentSwitch(const std::vector<std::string>& arguments, bool& silent);
