#include "kitcheck/report.h"

#include "setup/install_settings.h"

namespace {

const char kEnd[] = "\r\n";

std::string Describe(const DryRunStep& step) {
  switch (step.What) {
    case DryRunStep::Copy:
      return "복사: " + step.From + " -> " + step.To;
    case DryRunStep::Extract:
      return "압축 풀기: " + step.From + " -> " + step.To + " (" + std::to_string(step.Entries) +
             "개 항목)";
    case DryRunStep::ConfigureEngine:
      return "데이타베이스 엔진 설정: HKLM\\SOFTWARE\\Borland";
    case DryRunStep::Shortcut:
      return "바로 가기: " + step.To + " -> " + step.From;
    case DryRunStep::Register: {
      const TInstallSettings& s = InstallSettings;
      std::string text =
          "등록: HKLM\\Software\\" + s.CompanyName + "\\" + s.ProductName + "\\" + s.ProductVersion;
      if (step.UninstallEntry) text += ", 프로그램 목록(앱 및 기능)에 항목";
      return text;
    }
  }
  return std::string();
}

}  // namespace

std::string FormatReport(const ReportInput& input) {
  const TInstallSettings& s = InstallSettings;
  std::string out = "설치 매체 검사: " + input.MediumDir + kEnd;
  out += "압축 라이브러리: " +
         (input.LibraryPath.empty() ? std::string("없음 (압축 파일을 검사할 수 없습니다)")
                                    : input.LibraryPath) +
         kEnd;
  out += "제품: " + s.ProductTitle + ", 설치 디렉토리 " + s.InstallDir + kEnd + kEnd;

  out += std::string("setup이 할 일:") + kEnd;
  unsigned number = 0;
  for (const DryRunStep& step : input.Run->Steps) {
    out += "  " + std::to_string(++number) + ". " + Describe(step) + kEnd;
  }
  if (input.Run->Completed) {
    out +=
        "  설치 기록 INSTALL.LOG: " + std::to_string(input.Run->Log.Lines().size()) + "줄" + kEnd;
  } else {
    out += "  여기서 멈춥니다: " + input.Run->StopReason + kEnd;
  }
  if (!input.LogFile.empty()) out += "  --log " + input.LogFile + ": " + input.LogOutcome + kEnd;

  out += kEnd + std::string("문제:") + kEnd;
  unsigned errors = 0;
  for (const Problem& problem : input.Problems) {
    const bool error = problem.Level == Problem::Error;
    errors += error;
    out +=
        std::string(error ? "  오류: " : "  경고: ") + problem.Subject + ": " + problem.Text + kEnd;
  }
  if (input.Problems.empty()) out += std::string("  없음") + kEnd;
  out += std::string(kEnd) + "결과: 오류 " + std::to_string(errors) + "개, 경고 " +
         std::to_string(input.Problems.size() - errors) + "개" + kEnd;
  return out;
}

int ExitCodeOf(const std::vector<Problem>& problems) {
  for (const Problem& problem : problems) {
    if (problem.Level == Problem::Error) return 1;
  }
  return 0;
}
