#include "kitcheck/medium_checks.h"

#include "setup/date_settings.h"
#include "setup/install_engine.h"
#include "setup/install_settings.h"
#include "setup/path_macros.h"
#include "shared/entry_name_rules.h"
#include "shared/file_system.h"
#include "shared/install_log.h"
#include "shared/text.h"

#include <set>

namespace {

constexpr std::size_t kLongestPath = 259;  // what the 8-bit file calls take

class Checks {
 public:
  Checks(const MediumFacts& facts, ArchiveCatalog& catalog, const DryRunResult& run)
      : facts_(facts), catalog_(catalog), run_(run), s_(InstallSettings) {}

  std::vector<Problem> Run() {
    ScriptText();
    MediumFiles();
    Numbering();
    Settings();
    Archives();
    PredictedPaths();
    ShortcutTargets();
    return std::move(problems_);
  }

 private:
  void Error(const std::string& subject, const std::string& text) {
    problems_.push_back({Problem::Error, subject, text});
  }
  void Warning(const std::string& subject, const std::string& text) {
    problems_.push_back({Problem::Warning, subject, text});
  }
  bool OnMedium(const std::string& name) const { return FileExists(s_.SourceDir + name); }

  void ScriptText();
  void MediumFiles();
  void Numbering();
  void Settings();
  void Archives();
  void Archive(const std::string& subject, const std::string& name);
  void PredictedPaths();
  void ShortcutTargets();

  const MediumFacts& facts_;
  ArchiveCatalog& catalog_;
  const DryRunResult& run_;
  const TInstallSettings& s_;
  std::vector<Problem> problems_;
};

void Checks::ScriptText() {
  switch (facts_.Script.Encoding) {
    case ScriptEncoding::Missing:
      Error("SETUP.INI", "파일이 없습니다. setup은 빈 설정으로 아무것도 설치하지 않습니다.");
      break;
    case ScriptEncoding::Utf8WithMark:
      Error("SETUP.INI",
            "UTF-8(바이트 순서 표시 포함)로 저장되어 있습니다. 한글이 모두 깨집니다. "
            "코드 페이지 949로 저장하십시오.");
      break;
    case ScriptEncoding::Utf8:
      Error("SETUP.INI",
            "UTF-8로 저장되어 있습니다. 한글이 모두 깨집니다. "
            "코드 페이지 949로 저장하십시오.");
      break;
    case ScriptEncoding::NotCp949:
      Error("SETUP.INI",
            std::to_string(facts_.Script.BadLine) + "번째 줄이 코드 페이지 949 텍스트가 아닙니다.");
      break;
    case ScriptEncoding::Cp949:
      break;
  }
}

void Checks::MediumFiles() {
  if (!OnMedium("setup.exe")) Error("setup.exe", "매체에 없습니다.");
  if (!OnMedium(kArchiveLibraryName)) {
    Error(kArchiveLibraryName, "setup.exe 옆에 없습니다. setup.exe가 시작되지 않습니다.");
  }
  if (!s_.UninstallLinkName.empty() && !OnMedium(kUninstallerName)) {
    Warning(std::string("[APP] UNINSTALL"), std::string(kUninstallerName) +
                                                "이(가) 매체에 없어 제거 바로 가기가 만들어지지 "
                                                "않습니다. 프로그램을 제거할 방법이 없습니다.");
  }
  if (!s_.DbEngineArchive.empty() && !OnMedium(kSettingsToolName)) {
    Warning("[BDE] FILE", std::string(kSettingsToolName) +
                              "이(가) 매체에 없습니다. 환경설정 바로 가기는 없는 파일을 "
                              "가리킵니다.");
  }
}

void Checks::Numbering() {
  const auto check = [&](const std::vector<NumberedKey>& keys, const char* section,
                         const char* prefix, unsigned count, bool gapIsError) {
    std::set<unsigned> present;
    for (const NumberedKey& key : keys) {
      if (key.Number > kMaxScriptEntries) {
        Warning(std::string("[") + section + "] " + key.Name,
                "10보다 큰 번호는 setup이 읽지 않습니다.");
      }
      present.insert(key.Number);
    }
    for (unsigned n = 1; n < count; ++n) {
      if (present.count(n)) continue;
      const std::string subject = std::string("[") + section + "] " + prefix + std::to_string(n);
      if (gapIsError) {
        Error(subject,
              "번호가 비어 있습니다. setup은 이 자리에서 이름 없는 파일이 든 "
              "디스켓을 취소할 때까지 요구합니다.");
      } else {
        Warning(subject, "번호가 비어 있습니다.");
      }
    }
  };
  check(facts_.Script.FileKeys, "FILES", "FILE", s_.FileCount, true);
  check(facts_.Script.IconKeys, "ICONS", "ICON", s_.IconCount, false);
}

void Checks::Settings() {
  if (s_.ProductTitle.empty()) {
    Error("[APP] NAME, VERSION",
          "제품 이름이 비어 있습니다. 제거 키가 모든 프로그램의 "
          "Uninstall 키가 됩니다.");
  }
  bool inProgramFiles = false;
  for (const std::string& dir : facts_.ProgramFilesDirs) {
    if (!dir.empty() && StartsWith(UpperAscii(s_.InstallDir), UpperAscii(dir) + "\\")) {
      inProgramFiles = true;
    }
  }
  if (!inProgramFiles) {
    Warning("[APP] INSTALLDIR",
            s_.InstallDir +
                " 은(는) Program Files 폴더 밖에 있습니다. "
                "모든 사용자가 그 안의 파일(Halvex.exe 포함)을 바꿀 수 있습니다.");
  }
  for (unsigned n = 1; n <= s_.FileCount && n <= kMaxScriptEntries; ++n) {
    const std::string mode = UpperAscii(s_.FileEntries[n - 1].Mode);
    if (!mode.empty() && mode != "FAILIFEXISTS" && mode != "COPY") {
      Warning("[FILES] FILE" + std::to_string(n),
              "알 수 없는 방식 " + mode + ": setup은 이 파일을 풀지도 복사하지도 않습니다.");
    }
  }
  if (!s_.DbEngineArchive.empty()) {
    try {
      StrToDateTime(s_.DbEngineDate);
    } catch (...) {
      Error("[BDE] DATE", s_.DbEngineDate +
                              " 은(는) 날짜가 아닙니다. 엔진이 이미 설치된 "
                              "컴퓨터에서 setup이 멈춥니다.");
    }
  }
}

void Checks::Archives() {
  if (!catalog_.LibraryBound()) {
    Warning(kArchiveLibraryName, "압축 라이브러리를 찾지 못해 압축 파일을 검사하지 못했습니다.");
  }
  if (!s_.DbEngineArchive.empty()) {
    if (!OnMedium(s_.DbEngineArchive)) {
      Error("[BDE] FILE", s_.DbEngineArchive + " 파일이 매체에 없습니다.");
    } else {
      Archive("[BDE] FILE", s_.DbEngineArchive);
    }
  }
  if (!s_.CrwArchive.empty()) {
    if (!OnMedium(s_.CrwArchive)) {
      Error("[CRW] FILE", s_.CrwArchive + " 파일이 매체에 없습니다.");
    } else {
      Archive("[CRW] FILE", s_.CrwArchive);
    }
  }
  for (unsigned n = 1; n <= s_.FileCount && n <= kMaxScriptEntries; ++n) {
    const FileEntry& entry = s_.FileEntries[n - 1];
    const std::string subject = "[FILES] FILE" + std::to_string(n);
    if (entry.Source.empty()) continue;  // a gap, told above
    if (!OnMedium(entry.Source)) {
      Warning(subject, entry.Source +
                           " 파일이 매체에 없습니다. setup은 다음 디스켓을 "
                           "요구합니다.");
      continue;
    }
    const std::string mode = UpperAscii(entry.Mode);
    if ((mode.empty() || mode == "FAILIFEXISTS") &&
        UpperAscii(FileExtension(entry.Source)) == ".RAR") {
      Archive(subject, entry.Source);
    }
  }
}

void Checks::Archive(const std::string& subject, const std::string& name) {
  const ArchiveInspection* inspection = catalog_.Inspect(s_.SourceDir + name);
  if (!inspection) return;
  const std::string where = subject + " " + name;
  if (inspection->OpenCode != 0) {
    Error(where, "압축 파일을 열 수 없습니다 (라이브러리 코드 " +
                     std::to_string(inspection->OpenCode) + ").");
    return;
  }
  for (const InspectedEntry& entry : inspection->Entries) {
    if (entry.TestCode != 0) {
      Error(where, "항목 " + entry.Name + " 을(를) 검사할 수 없습니다 (라이브러리 코드 " +
                       std::to_string(entry.TestCode) + ").");
    }
    const std::string safe = SafeEntryName(entry.Name);
    if (safe != entry.Name) {
      Warning(where, "항목 이름 " + entry.Name + " 은(는) " + (safe.empty() ? "\"\"" : safe) +
                         " (으)로 풀립니다.");
    }
  }
  if (inspection->EndCode != 10) {
    Error(where, "압축 파일이 손상되었습니다 (라이브러리 코드 " +
                     std::to_string(inspection->EndCode) + ").");
  }
}

void Checks::PredictedPaths() {
  std::set<std::string> told;
  const auto check = [&](const std::string& path) {
    if (path.size() <= kLongestPath || !told.insert(path).second) return;
    Error(path, "설치될 경로가 " + std::to_string(path.size()) +
                    "바이트입니다. 260바이트 이상인 경로는 setup이 만들 수 없습니다.");
  };
  for (const std::string& line : run_.Log.Lines()) {
    for (const char* tag : {kFileTag, kIconTag, kDirTag}) {
      if (StartsWith(line, tag)) check(line.substr(std::string(tag).size()));
    }
  }
  for (const DryRunStep& step : run_.Steps) {
    if (step.What == DryRunStep::Copy) check(step.To);
  }
}

void Checks::ShortcutTargets() {
  if (!run_.Completed) return;  // what the run provides is known only when it got there
  std::set<std::string> provided;
  for (const std::string& line : run_.Log.Lines()) {
    if (StartsWith(line, kFileTag)) provided.insert(UpperAscii(line.substr(5)));
  }
  for (const DryRunStep& step : run_.Steps) {
    if (step.What == DryRunStep::Copy) provided.insert(UpperAscii(step.To));
  }
  for (unsigned n = 1; n <= s_.IconCount && n <= kMaxScriptEntries; ++n) {
    const std::string target = ExpandPath(s_.IconEntries[n - 1].Target);
    if (target.empty() || provided.count(UpperAscii(target))) continue;
    Warning("[ICONS] ICON" + std::to_string(n),
            "대상 " + target + " 을(를) 설치하는 압축 항목이나 복사가 없습니다.");
  }
}

}  // namespace

std::vector<Problem> CheckMedium(const MediumFacts& facts, ArchiveCatalog& catalog,
                                 const DryRunResult& run) {
  return Checks(facts, catalog, run).Run();
}
