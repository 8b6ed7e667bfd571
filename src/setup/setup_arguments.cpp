#include "setup/setup_arguments.h"

#include "text/command_line.h"
#include "text/full_path_rules.h"

const char kSetupUsage[] =
    "사용법: setup.exe [/SILENT | /VERYSILENT] [/DIR=\"설치 디렉토리\"] [/LOG=\"파일\"] "
    "[/?]\r\n\r\n"
    "/SILENT\t진행 창만 보이며 묻지 않고 설치합니다.\r\n"
    "/VERYSILENT\t창을 하나도 보이지 않고 설치합니다 (/S, /Q, /QUIET도 같습니다).\r\n"
    "/DIR\t설치 디렉토리 (없으면 SETUP.INI의 INSTALLDIR)\r\n"
    "/LOG\t진행 기록을 이 파일에 씁니다.\r\n"
    "/?\t이 도움말을 보입니다.";
const char kSetupUsageCaption[] = "설치 마법사 사용법";

namespace {

bool IsDriveAbsolute(const std::string& path) {
  return path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

bool IsUnc(const std::string& path) { return path.compare(0, 2, "\\\\") == 0; }

std::string WithoutTrailingSeparator(std::string path) {
  const bool driveRoot = path.size() == 3 && IsDriveAbsolute(path);
  if (!driveRoot && path.size() > 1 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

bool ParseSetupArguments(const std::vector<std::string>& arguments, SetupArguments& parsed,
                         std::string& error) {
  parsed = SetupArguments();
  error.clear();
  for (const std::string& argument : arguments) {
    std::string value;
    if (IsSwitch(argument, "/SILENT")) {
      if (parsed.Mode != SetupMode::VerySilent) parsed.Mode = SetupMode::Silent;
    } else if (IsSwitch(argument, "/VERYSILENT") || IsSwitch(argument, "/S") ||
               IsSwitch(argument, "/Q") || IsSwitch(argument, "/QUIET")) {
      parsed.Mode = SetupMode::VerySilent;
    } else if (IsSwitch(argument, "/?")) {
      parsed.Help = true;
    } else if (SwitchValue(argument, "/DIR", value) && !value.empty()) {
      parsed.Dir = value;
    } else if (SwitchValue(argument, "/LOG", value) && !value.empty()) {
      parsed.LogFile = value;
    } else if (error.empty()) {
      error = "알 수 없는 인자: " + argument;  // the first one; the rest still sets the mode
    }
  }
  return error.empty();
}

std::string AbsoluteFromCommandLine(const std::string& path, const std::string& currentDir) {
  if (IsDriveAbsolute(path) || IsUnc(path)) return WithoutTrailingSeparator(path);
  std::string joined;
  if (!path.empty() && (path[0] == '\\' || path[0] == '/')) {
    joined = currentDir.substr(0, 2) + path;  // the root of the current drive
  } else {
    joined = currentDir + (currentDir.empty() || currentDir.back() == '\\' ? "" : "\\") + path;
  }
  const std::optional<std::string> full = NormalFullPath(joined);
  return WithoutTrailingSeparator(full ? *full : joined);
}
