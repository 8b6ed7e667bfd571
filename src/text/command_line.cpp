#include "text/command_line.h"

#include "text/text.h"

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  for (const char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inArgument = true;  // "" is an empty argument of its own
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inArgument) arguments.push_back(current);
      current.clear();
      inArgument = false;
    } else {
      current += c;
      inArgument = true;
    }
  }
  if (inArgument) arguments.push_back(current);
  return arguments;
}

std::vector<std::string> ProgramArguments(const std::string& line, const std::string& programPath) {
  const std::size_t length = programPath.size();
  const bool unquotedPath = !programPath.empty() && line.size() >= length &&
                            UpperAscii(line.substr(0, length)) == UpperAscii(programPath) &&
                            (line.size() == length || line[length] == ' ' || line[length] == '\t');
  if (unquotedPath) return SplitCommandLine(line.substr(length));
  std::vector<std::string> arguments = SplitCommandLine(line);
  if (!arguments.empty()) arguments.erase(arguments.begin());
  return arguments;
}

bool IsSwitch(const std::string& argument, const char* name) {
  return UpperAscii(argument) == UpperAscii(std::string(name));
}

bool SwitchValue(const std::string& argument, const char* name, std::string& value) {
  const std::string prefix = UpperAscii(std::string(name)) + "=";
  if (UpperAscii(argument.substr(0, prefix.size())) != prefix) return false;
  value = argument.substr(prefix.size());
  return true;
}

bool ParseSilentSwitch(const std::vector<std::string>& arguments, bool& silent) {
  silent = false;
  bool valid = true;
  for (const std::string& argument : arguments) {
    if (IsSwitch(argument, "/SILENT")) {
      silent = true;
    } else {
      valid = false;
    }
  }
  return valid;
}
