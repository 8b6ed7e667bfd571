#include "kitcheck/arguments.h"

const char kUsage[] =
    "사용법: kitcheck [매체_디렉토리] [--log 파일] [--dir 설치_디렉토리]\r\n"
    "  매체_디렉토리  SETUP.INI와 setup.exe가 있는 디렉토리 (없으면 kitcheck가 있는 곳)\r\n"
    "  --log 파일     setup이 설치 디렉토리에 쓸 INSTALL.LOG를 미리 이 파일에 씁니다\r\n"
    "  --dir 디렉토리 setup.exe /DIR=\"디렉토리\"로 설치할 때를 봅니다 (없으면 INSTALLDIR)\r\n";

bool ParseArguments(const std::vector<std::string>& arguments, CheckArguments& parsed,
                    std::string& error) {
  parsed = CheckArguments();
  bool haveDir = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--log") {
      if (i + 1 >= arguments.size() || !parsed.LogFile.empty()) {
        error = "--log 다음에 파일 이름이 하나 있어야 합니다.";
        return false;
      }
      parsed.LogFile = arguments[++i];
    } else if (argument == "--dir") {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty() || !parsed.InstallDir.empty()) {
        error = "--dir 다음에 설치 디렉토리가 하나 있어야 합니다.";
        return false;
      }
      parsed.InstallDir = arguments[++i];
    } else if (argument.compare(0, 1, "-") == 0 || haveDir || argument.empty()) {
      error = "알 수 없는 인자: " + argument;
      return false;
    } else {
      parsed.MediumDir = argument;
      haveDir = true;
    }
  }
  return true;
}
