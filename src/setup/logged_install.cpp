#include "setup/logged_install.h"

#include "rar/rar_component.h"
#include "setup/run_log.h"
#include "win/file_system.h"

#include <utility>

namespace {

// Runs the step; a step that raises gets its line with "실패" before the error goes on.
template <typename Step>
auto Logged(RunLog& log, const std::string& what, Step&& step) {
  try {
    return step();
  } catch (...) {
    log.Line(what + ": 실패");
    throw;
  }
}

// Counts the entries the archive component announces while the scope lives.
class EntryCounter {
 public:
  explicit EntryCounter(TRAR& archive) : archive_(archive), saved_(archive.OnExtracting) {
    archive_.OnExtracting = [this](TRAR& sender, const RARHeaderData& entry) {
      ++count_;
      if (saved_) saved_(sender, entry);
    };
  }
  ~EntryCounter() { archive_.OnExtracting = std::move(saved_); }
  EntryCounter(const EntryCounter&) = delete;
  EntryCounter& operator=(const EntryCounter&) = delete;
  unsigned Count() const { return count_; }

 private:
  TRAR& archive_;
  TFileBeingExtracted saved_;
  unsigned count_ = 0;
};

}  // namespace

bool LoggingProgress::Extract(const std::string& archive, const std::string& targetDir,
                              bool failIfExists) {
  const std::string what = "압축 풀기: " + archive + " -> " + targetDir;
  bool whole = false;
  unsigned entries = 0;
  {
    EntryCounter counter(inner_.Archive());
    whole = Logged(log_, what, [&] { return inner_.Extract(archive, targetDir, failIfExists); });
    entries = counter.Count();
  }
  log_.Line(what + ": 항목 " + std::to_string(entries) + "개, " + (whole ? "완료" : "실패"));
  return whole;
}

void LoggingActions::CopyWholeFile(const std::string& from, const std::string& to) {
  const std::string what = "복사: " + from + " -> " + to;
  Logged(log_, what, [&] { inner_.CopyWholeFile(from, to); });
  log_.Line(what + (FileExists(to) ? ": 완료" : ": 실패"));
}

void LoggingActions::SetEngineAside(TShellFileOperation& fop) {
  Logged(log_, "기존 엔진 보관", [&] { inner_.SetEngineAside(fop); });
  log_.Line("기존 엔진 보관: 완료");
}

bool LoggingActions::EngineFailIfExists() {
  const std::string what = "엔진 파일 날짜 비교";
  const bool keep = Logged(log_, what, [&] { return inner_.EngineFailIfExists(); });
  log_.Line(what + (keep ? ": 설치된 파일 유지" : ": 덮어쓰기"));
  return keep;
}

void LoggingActions::ConfigureEngine() {
  Logged(log_, "엔진 설정", [&] { inner_.ConfigureEngine(); });
  log_.Line("엔진 설정: 완료");
}

std::string LoggingActions::MakeShortcut(const std::string& folder, const std::string& linkName,
                                         const std::string& target, const std::string& arguments) {
  const std::string what = "바로 가기: " + folder + "\\" + linkName + " -> " + target;
  const std::string link =
      Logged(log_, what, [&] { return inner_.MakeShortcut(folder, linkName, target, arguments); });
  log_.Line(what + ": " + link);
  return link;
}

void LoggingActions::Register(TInstallLog& log, bool uninstallerCopied) {
  Logged(log_, "등록", [&] { inner_.Register(log, uninstallerCopied); });
  log_.Line("등록: 완료");
}
