#include "kitcheck/medium_checks.h"

#include "kitcheck/archive_signature.h"
#include "kitcheck/program_signature.h"

#include "contracts/install_log.h"
#include "rar/entry_name_rules.h"
#include "rar/unrar_codes.h"
#include "setup/date_settings.h"
#include "setup/install_settings.h"
#include "setup/path_macros.h"
#include "text/text.h"
#include "win/code_page_text.h"
#include "win/file_system.h"

#include <windows.h>

#include <array>
#include <set>

namespace {

// Windows counts a path in UTF-16 characters, its terminating zero included.
constexpr std::size_t kMaxPath = 260;

std::size_t PathLength(const std::string& path) {
  if (path.empty()) return 0;
  const int length =
      MultiByteToWideChar(kKitCodePage, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  return length > 0 ? static_cast<std::size_t>(length) : path.size();
}

// What the byte-order mark does on Windows: its profile functions read the file as
// code page 949 text, so the mark joins the first line.
std::string MarkEffect(const EncodingVerdict& text) {
  if (text.MarkedSection.empty()) {
    return text.MarkedHighBytes ? "한글이 모두 깨집니다. " : "";
  }
  const std::string lost = UpperAscii(text.MarkedSection) == "APP"
                               ? "제품 이름, 제목, 설치 디렉토리가 비게 됩니다. "
                               : "그 섹션의 키를 모두 잃습니다. ";
  return "Windows는 표시를 첫 줄에 붙여 읽어 [" + text.MarkedSection + "] 섹션을 찾지 못하므로 " +
         lost + (text.MarkedHighBytes ? "다른 값의 한글도 모두 깨집니다. " : "");
}

// "[FILES] FILE2": a key of the script, as the report names it.
std::string KeySubject(const char* section, const std::string& key) {
  return std::string("[") + section + "] " + key;
}

const char kLiteralProgramFiles[] = "C:\\Program Files";

// Below one of the machine's Program Files folders, in either form: the 32-bit
// program's "… (x86)" or the one without.
bool InProgramFiles(const std::string& dir, const std::vector<std::string>& programFiles) {
  const std::string x86 = " (X86)";
  for (const std::string& known : programFiles) {
    if (known.empty()) continue;
    std::string plain = UpperAscii(known);
    if (EndsWith(plain, x86)) plain.erase(plain.size() - x86.size());
    for (const std::string& form : {plain, plain + x86}) {
      if (StartsWith(UpperAscii(dir), form + "\\")) return true;
    }
  }
  return false;
}

std::string SlotSubject(const char* section, const char* prefix, unsigned slot) {
  return KeySubject(section, TableKeyName(prefix, slot));
}

class Checks {
 public:
  Checks(const MediumFacts& facts, ArchiveCatalog& catalog, const DryRunResult& run)
      : facts_(facts), catalog_(catalog), run_(run), s_(InstallSettings) {}

  std::vector<Problem> Run() {
    ScriptText();
    MediumFiles();
    UninstallEntry();
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
  void UninstallEntry();
  void Numbering();
  void Settings();
  void Archives();
  void Archive(const std::string& subject, const std::string& name);
  void PredictedPaths();
  void ShortcutTargets();
  bool OnlyUserShortcuts() const;

  const MediumFacts& facts_;
  ArchiveCatalog& catalog_;
  const DryRunResult& run_;
  const TInstallSettings& s_;
  std::vector<Problem> problems_;
};

void Checks::ScriptText() {
  const EncodingVerdict& text = facts_.Script.Text;
  const std::string resave = "코드 페이지 949로 저장하십시오.";
  switch (text.Encoding) {
    case ScriptEncoding::Missing:
      Error(kScriptName, "파일이 없습니다. setup은 빈 설정으로 아무것도 설치하지 않습니다.");
      break;
    case ScriptEncoding::Utf8WithMark:
      Error(kScriptName,
            "UTF-8(바이트 순서 표시 포함)로 저장되어 있습니다. " + MarkEffect(text) + resave);
      break;
    case ScriptEncoding::Utf8:
      Error(kScriptName, "UTF-8로 저장되어 있습니다. 한글이 모두 깨집니다. " + resave);
      break;
    case ScriptEncoding::Either:
      Warning(kScriptName,
              "코드 페이지 949로도 UTF-8로도 읽을 수 있습니다. " + std::to_string(text.Line) +
                  "번째 줄은 코드 페이지 949로(setup이 읽는 대로) \"" + text.AsCp949 +
                  "\", UTF-8로 \"" + text.AsUtf8 + "\"입니다. UTF-8로 썼다면 " + resave);
      break;
    case ScriptEncoding::NotCp949:
      Error(kScriptName,
            std::to_string(text.Line) + "번째 줄이 코드 페이지 949 텍스트가 아닙니다.");
      break;
    case ScriptEncoding::ZeroByte:
      Error(kScriptName, std::to_string(text.Line) +
                             "번째 줄에 0 바이트가 있습니다. 텍스트 파일이 아니며, 그 줄과 "
                             "그 뒤의 키를 setup이 읽지 못할 수 있습니다.");
      break;
    case ScriptEncoding::Cp949:
      break;
  }
}

void Checks::MediumFiles() {
  if (!OnMedium(kSetupProgramName)) Error(kSetupProgramName, "매체에 없습니다.");
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
  for (const char* program : {kSetupProgramName, kUninstallerName, kSettingsToolName}) {
    if (ProgramSigning(s_.SourceDir + program) == Signing::Unsigned) {
      Warning(program, "서명되지 않음: 관리자 권한 요청에 '알 수 없는 게시자'로 표시됩니다");
    }
  }
}

void Checks::UninstallEntry() {
  if (UpperAscii(s_.UninstallEntry) != "YES") return;
  const std::string subject = "[APP] UNINSTALLENTRY";
  if (!OnMedium(kUninstallerName)) {
    Error(subject, std::string(kUninstallerName) +
                       "이(가) 매체에 없어 setup이 앱 및 기능 목록에 항목을 쓰지 않습니다. "
                       "프로그램을 제거할 방법이 없습니다.");
  } else if (s_.IconCount == 0) {
    Error(subject,
          "[ICONS] 항목이 없어 setup이 앱 및 기능 목록에 항목도 제거 바로 가기도 만들지 "
          "않습니다. 프로그램을 제거할 방법이 없습니다.");
  }
}

void Checks::Numbering() {
  const auto check = [&](const std::array<bool, kMaxScriptEntries>& present, unsigned count,
                         const char* section, const char* prefix, bool gapIsError) {
    for (unsigned n = 1; n <= count && n <= kMaxScriptEntries; ++n) {
      if (present[n - 1]) continue;
      const std::string subject = SlotSubject(section, prefix, n);
      if (gapIsError) {
        Error(subject,
              "번호가 비어 있습니다. setup은 이 자리에서 이름 없는 파일이 든 "
              "디스켓을 취소할 때까지 요구합니다.");
      } else {
        Warning(subject, "번호가 비어 있습니다.");
      }
    }
  };
  check(s_.FilePresent, s_.FileCount, kFilesSection, kFileKeyPrefix, true);
  check(s_.IconPresent, s_.IconCount, kIconsSection, kIconKeyPrefix, false);

  const auto ignored = [&](const std::vector<IgnoredKey>& keys, const char* section,
                           const char* prefix) {
    for (const IgnoredKey& key : keys) {
      Warning(KeySubject(section, key.Name),
              key.Repeated ? std::string("같은 키가 앞에 있어 setup이 읽지 않습니다.")
                           : "setup이 읽지 않는 키입니다. setup은 " + TableKeyName(prefix, 1) +
                                 "부터 " + TableKeyName(prefix, kMaxScriptEntries) +
                                 "까지, 앞에 0 없는 번호만 읽습니다.");
    }
  };
  ignored(facts_.Script.IgnoredFileKeys, kFilesSection, kFileKeyPrefix);
  ignored(facts_.Script.IgnoredIconKeys, kIconsSection, kIconKeyPrefix);
  if (facts_.Script.UnnamedKeyLine != 0) {
    Warning(kScriptName, std::to_string(facts_.Script.UnnamedKeyLine) +
                             "번째 줄의 키에 이름이 없습니다. setup은 이 줄을 읽지 않으며, "
                             "kitcheck는 그 섹션의 키를 모두 확인하지 못할 수 있습니다.");
  }
}

void Checks::Settings() {
  if (s_.ProductTitle.empty()) {
    Error("[APP] NAME, VERSION",
          "제품 이름이 비어 있습니다. 제거 키가 모든 프로그램의 "
          "Uninstall 키가 됩니다.");
  }
  if (!InProgramFiles(s_.InstallDir, facts_.ProgramFilesDirs)) {
    Warning("[APP] INSTALLDIR",
            s_.InstallDir +
                " 은(는) Program Files 폴더 밖에 있습니다. "
                "모든 사용자가 그 안의 파일(Halvex.exe 포함)을 바꿀 수 있습니다.");
  }
  const std::string written = ReadIniString("APP", "INSTALLDIR", "");
  if (StartsWith(UpperAscii(written), UpperAscii(kLiteralProgramFiles))) {
    Warning("[APP] INSTALLDIR",
            written + ": 64비트 Windows에서 32비트 프로그램의 Program Files 폴더는 " +
                kLiteralProgramFiles + " (x86)입니다. <PROGRAMFILES>를 쓰십시오.");
  }
  if (OnlyUserShortcuts()) {
    Warning(std::string("[") + kIconsSection + "]",
            "관리자 권한으로 설치하면 설치한 계정에만 바로 가기가 생깁니다. "
            "Common Programs, Common Desktop 같은 모든 사용자의 폴더를 쓰십시오.");
  }
  for (unsigned n = 1; n <= s_.FileCount && n <= kMaxScriptEntries; ++n) {
    const FileEntry& entry = s_.FileEntries[n - 1];
    if (ModeOf(entry) == FileMode::Unknown) {
      Warning(SlotSubject(kFilesSection, kFileKeyPrefix, n),
              "알 수 없는 방식 " + UpperAscii(entry.Mode) +
                  ": setup은 이 파일을 풀지도 복사하지도 않습니다.");
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
    const std::string subject = SlotSubject(kFilesSection, kFileKeyPrefix, n);
    if (entry.Source.empty()) continue;  // a gap, told above
    if (!OnMedium(entry.Source)) {
      Warning(subject, entry.Source +
                           " 파일이 매체에 없습니다. setup은 다음 디스켓을 "
                           "요구합니다.");
      continue;
    }
    if (ExtractsFromArchive(entry)) Archive(subject, entry.Source);
  }
}

void Checks::Archive(const std::string& subject, const std::string& name) {
  const std::string where = subject + " " + name;
  const ArchiveFormat format = FormatOfSignature(LeadingBytes(s_.SourceDir + name));
  if (format != ArchiveFormat::Unknown && format != ArchiveFormat::Rar4 &&
      format != ArchiveFormat::Rar5) {
    Error(where, std::string("RAR 압축 파일이 아니라 ") + FormatName(format) +
                     " 파일입니다. setup은 이 파일의 압축을 풀 수 없습니다.");
    return;
  }
  const ArchiveInspection* inspection = catalog_.Inspect(s_.SourceDir + name);
  if (!inspection) return;
  const std::string code = std::to_string(inspection->OpenCode);
  if (inspection->OpenCode != 0 && format == ArchiveFormat::Rar5) {
    Error(where,
          "RAR 5 형식의 압축 파일입니다. 이 압축 라이브러리는 RAR 5 형식을 열지 "
          "못합니다 (라이브러리 코드 " +
              code + "). RAR 4 형식으로 만드십시오 (kitpack은 RAR 4 형식으로 만듭니다).");
    return;
  }
  if (inspection->OpenCode != 0) {
    Error(where, "압축 파일을 열 수 없습니다 (라이브러리 코드 " + code + ").");
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
  if (inspection->EndCode != rar_code::kEndArchive) {
    Error(where, "압축 파일이 손상되었습니다 (라이브러리 코드 " +
                     std::to_string(inspection->EndCode) + ").");
  }
}

void Checks::PredictedPaths() {
  std::set<std::string> told;
  const auto tooLong = [&](const std::string& path) {
    return PathLength(path) >= kMaxPath && told.insert(path).second;
  };
  const auto length = [](const std::string& path) {
    return "설치될 경로가 " + std::to_string(PathLength(path)) + "자입니다. ";
  };
  // What setup writes through the 8-bit calls, which stop at 259 characters.
  const auto written = [&](const std::string& path, const char* consequence) {
    if (tooLong(path)) Error(path, length(path) + "260자 이상이면 " + consequence);
  };
  for (const DryRunStep& step : run_.Steps) {
    if (step.What == DryRunStep::Copy) written(step.To, "setup이 파일을 복사하지 못합니다.");
    if (step.What != DryRunStep::Shortcut) continue;
    written(step.To, "setup이 바로 가기를 만들지 못합니다.");
    told.insert(step.To.substr(0, step.To.rfind('\\')));  // its group: told with the link
  }
  if (run_.Completed) {
    written(s_.InstallDir + "\\" + kInstallLogName,
            "setup이 설치 기록을 쓰지 못해 Halvex가 아무것도 제거하지 못합니다.");
    told.insert(s_.InstallDir + "\\" + kLockFileName);  // the product's, not setup's
  }
  for (const std::string& line : run_.Log.Lines()) {
    for (const char* tag : {kFileTag, kDirTag}) {
      if (!StartsWith(line, tag)) continue;
      const std::string path = line.substr(std::string(tag).size());
      if (tooLong(path)) {
        Warning(path, length(path) +
                          "압축 라이브러리와 Halvex는 다루지만, 260자 이상인 경로를 열지 "
                          "못하는 프로그램이 많습니다.");
      }
    }
  }
}

// setup always runs as an administrator: a user's folders may be another account's.
bool Checks::OnlyUserShortcuts() const {
  bool any = false;
  for (unsigned n = 1; n <= s_.IconCount && n <= kMaxScriptEntries; ++n) {
    if (!s_.IconPresent[n - 1]) continue;
    if (StartsWith(UpperAscii(s_.IconEntries[n - 1].ShellFolder), "COMMON ")) return false;
    any = true;
  }
  return any;
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
    Warning(SlotSubject(kIconsSection, kIconKeyPrefix, n),
            "대상 " + target + " 을(를) 설치하는 압축 항목이나 복사가 없습니다.");
  }
}

}  // namespace

std::vector<Problem> CheckMedium(const MediumFacts& facts, ArchiveCatalog& catalog,
                                 const DryRunResult& run) {
  return Checks(facts, catalog, run).Run();
}
