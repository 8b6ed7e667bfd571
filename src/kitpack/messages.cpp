#include "kitpack/messages.h"

#include "kitpack/code_page_949.h"
#include "kitpack/one_file.h"
#include "kitpack/pack_folder.h"
#include "win/code_page_text.h"

namespace {

std::string WithPath(const WideString& path, const char* text) {
  return Cp949ForDisplay(path.data(), path.size()) + text;
}

}  // namespace

std::string UsageText() {
  return "사용법: kitpack 압축파일.RAR 디렉토리\n"
         "       kitpack --one-file 매체디렉토리 [매체디렉토리...] 설치파일.EXE\n"
         "디렉토리의 파일과 하위 디렉토리를 모두 무압축(저장) 방식의 RAR 압축 파일로 묶습니다.\n"
         "--one-file: 검사를 통과한 매체의 파일을 실행 파일 하나로 묶습니다.\n";
}

std::string NotADirectoryText(const WideString& folder) {
  return WithPath(folder, ": 디렉토리가 아닙니다.\n");
}

std::string UnrepresentableNameText(const WideString& path) {
  return WithPath(path, ": 코드 페이지 949로 나타낼 수 없는 이름입니다.\n");
}

std::string NameTooLongText(const WideString& path) {
  return WithPath(path, ": 압축 파일 안의 이름이 259바이트를 넘습니다.\n");
}

std::string UnreadableDirectoryText(const WideString& path) {
  return WithPath(path, " 디렉토리를 읽을 수 없습니다.\n");
}

std::string ReparsePointText(const WideString& path) {
  return WithPath(path, ": 심볼릭 링크나 정션(재분석 지점)은 담을 수 없습니다.\n");
}

std::string UnreadableFileText(const WideString& path) {
  return WithPath(path, " 파일을 읽을 수 없습니다.\n");
}

std::string ChangedFileText(const WideString& path) {
  return WithPath(path, " 파일이 읽는 동안 바뀌었습니다.\n");
}

std::string UnwritableArchiveText(const WideString& archive) {
  return WithPath(archive, " 파일을 쓸 수 없습니다.\n");
}

std::string InterruptedText(const WideString& archive) {
  return WithPath(archive, ": 중단되어 압축 파일을 만들지 않았습니다.\n");
}

std::string UnfitFileNameText(const WideString& path) {
  return WithPath(path, ": 설치 파일 하나에 담을 수 없는 파일 이름입니다.\n");
}

std::string SameNameText(const WideString& first, const WideString& second) {
  return WithPath(second, ": 같은 이름의 파일이 이미 있습니다: ") +
         Cp949ForDisplay(first.data(), first.size()) + "\n";
}

std::string TooManyFilesText() { return "매체의 파일이 65,535개를 넘습니다.\n"; }

std::string KitcheckMissingText(const WideString& kitcheck) {
  return WithPath(kitcheck, ": 매체를 검사할 kitcheck.exe를 시작할 수 없습니다.\n");
}

std::string KitcheckFailedText() { return "kitcheck.exe가 매체 검사를 마치지 못했습니다.\n"; }

std::string RefusedMediumText() {
  return "kitcheck.exe가 매체에서 오류를 찾아 설치 파일을 만들지 않았습니다.\n";
}

std::string LauncherMissingText(const WideString& launcher) {
  return WithPath(launcher, ": 설치 파일의 시작 프로그램을 읽을 수 없습니다.\n");
}

std::string OneFileReportText(const WideString& out, const OneFileReport& report) {
  std::string text;
  for (const WideString& folder : report.LeftOut) {
    text += WithPath(folder, ": 하위 디렉토리는 담지 않았습니다.\n");
  }
  return text + Cp949ForDisplay(out.data(), out.size()) + ": 파일 " + GroupedNumber(report.Files) +
         "개, " + GroupedNumber(report.Bytes) + "바이트를 설치 파일 하나에 담았습니다.\n";
}

std::string ReportText(const WideString& archive, const PackReport& report) {
  return Cp949ForDisplay(archive.data(), archive.size()) + ": 파일 " + GroupedNumber(report.Files) +
         "개, 디렉토리 " + GroupedNumber(report.Directories) + "개, " +
         GroupedNumber(report.Bytes) + "바이트를 담았습니다.\n";
}

std::string GroupedNumber(std::uint64_t number) {
  std::string digits;
  do {
    if (digits.size() % 4 == 3) digits.insert(digits.begin(), ',');
    digits.insert(digits.begin(), static_cast<char>('0' + number % 10));
    number /= 10;
  } while (number > 0);
  return digits;
}
