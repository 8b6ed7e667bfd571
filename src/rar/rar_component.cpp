#include "rar/rar_component.h"

#include "rar/entry_name.h"
#include "text/text.h"
#include "win/handles.h"
#include "win/long_path.h"

#include <exception>
#include <memory>
#include <utility>

namespace {

constexpr unsigned kCommentBufferSize = 65535;  // one byte less than TComment::Text

// The instance whose run started last; the library callbacks find it here.
TRAR* activeComponent = nullptr;

// An exception a handler raised inside a library callback. It cannot unwind
// through the library's frames, so it waits here until the library call returns.
std::exception_ptr pendingException;

void RethrowPending() {
  if (pendingException) std::rethrow_exception(std::exchange(pendingException, nullptr));
}

// Runs a handler inside a library callback: what it raises is kept for later and
// the library is asked to cancel.
template <typename Call>
int RunDeferringErrors(Call call) {
  if (pendingException) return 0;  // the library went on after a cancel: cancel again
  try {
    return call();
  } catch (...) {
    pendingException = std::current_exception();
    return 0;
  }
}

}  // namespace

// One call of ExtractFiles: the open archive and the records that serve the whole run.
class TRAR::Run {
 public:
  explicit Run(TRAR& rar)
      : rar_(rar), archiveName_(rar.ArchiveName), comment_(std::make_unique<TComment>()) {}

  bool Execute();

 private:
  bool Open();
  void RegisterCallbacks();
  bool HandleEntry();
  bool IsSelected(const std::string& name) const;
  bool Skip();
  bool Extract();
  void Fail(int code);
  char* DestPath() { return destPath_.empty() ? nullptr : destPath_.data(); }

  TRAR& rar_;
  std::string archiveName_;
  std::string destPath_;
  std::string password_;
  std::unique_ptr<TComment> comment_;
  unsigned commentState_ = 0;
  RARHeaderData header_{};
  RarArchiveHandle handle_;
  bool result_ = true;
};

bool TRAR::Run::Execute() {
  if (!Open()) return false;
  if (commentState_ == rar_const::kCommentRead && rar_.OnComment) {
    rar_.OnComment(rar_, *comment_);
  }
  RegisterCallbacks();
  int code;
  while ((code = RARReadHeader(handle_.Get(), &header_)) == rar_code::kSuccess) {
    RethrowPending();
    if (!HandleEntry()) return result_;
  }
  RethrowPending();
  // Anything but the normal end means entries were lost: a damaged archive.
  if (code != rar_code::kEndArchive) Fail(code);
  return result_;
}

bool TRAR::Run::Open() {
  RAROpenArchiveData data{};
  data.ArcName = archiveName_.data();
  data.OpenMode = rar_const::kOpenExtract;
  data.CmtBuf = comment_->Text;
  data.CmtBufSize = kCommentBufferSize;
  handle_.Reset(RAROpenArchive(&data));
  comment_->Length = data.CmtSize;
  commentState_ = data.CmtState;
  destPath_ = rar_.TargetDir;
  if (data.OpenResult == rar_code::kSuccess && handle_) return true;
  handle_.Reset();
  Fail(data.OpenResult != rar_code::kSuccess ? static_cast<int>(data.OpenResult)
                                             : rar_code::kUnknown);
  return false;
}

void TRAR::Run::RegisterCallbacks() {
  if (rar_.OnVolumeChange) RARSetChangeVolProc(handle_.Get(), &TRAR::ChangeVolumeCallback);
  header_.CmtBuf = comment_->Text;
  header_.CmtBufSize = kCommentBufferSize;
  if (rar_.OnProcessData) RARSetProcessDataProc(handle_.Get(), &TRAR::ProcessDataCallback);
}

// False when the run ends with this entry.
bool TRAR::Run::HandleEntry() {
  const std::string name = StoredName(header_);
  if (rar_.Stop) {
    rar_.Stop = false;
    return false;
  }
  // The file the library will write, not the stored name: "..\X" lands in the target.
  if (rar_.FailifExists && FileExistsAtAnyLength(ExtractedEntryPath(rar_.TargetDir, name))) {
    return Skip();
  }
  return IsSelected(name) ? Extract() : Skip();
}

bool TRAR::Run::IsSelected(const std::string& name) const {
  if (rar_.FilesToExtract.Empty()) return true;
  const std::string upperName = UpperAscii(name);
  for (const std::string& item : rar_.FilesToExtract) {
    if (UpperAscii(item).find(upperName) != std::string::npos) return true;
  }
  return false;
}

bool TRAR::Run::Skip() {
  const int code = RARProcessFile(handle_.Get(), rar_const::kSkip, DestPath(), nullptr);
  RethrowPending();
  if (code == rar_code::kSuccess) return true;
  Fail(code);
  return false;
}

bool TRAR::Run::Extract() {
  if (rar_.OnExtracting) rar_.OnExtracting(rar_, header_);
  rar_.bytesDone_ = 0;
  if ((header_.Flags & rar_const::kFlagEncrypted) && rar_.OnReqPassword) {
    rar_.OnReqPassword(rar_, header_, password_);
    if (!password_.empty()) RARSetPassword(handle_.Get(), password_.data());
  }
  const int code = RARProcessFile(handle_.Get(), rar_const::kExtract, DestPath(), nullptr);
  RethrowPending();
  if (rar_.OnExtract) rar_.OnExtract(rar_, header_, code == rar_code::kSuccess);
  if (code == rar_code::kSuccess) return true;
  Fail(code);
  // A file that could not be created or failed its checksum spoils only itself.
  return code == rar_code::kCreateError || code == rar_code::kBadData;
}

void TRAR::Run::Fail(int code) {
  result_ = false;
  rar_.RaiseError(code);
}

TRAR::~TRAR() {
  if (activeComponent == this) activeComponent = nullptr;  // no callback reaches a freed instance
}

bool TRAR::ExtractFiles() {
  if (ArchiveName.empty()) {
    RaiseError(rar_code::kBadArchive);
    return false;
  }
  activeComponent = this;
  Run run(*this);
  return run.Execute();
}

bool TRAR::ExtractArchive(const std::string& archivePath, const std::string& targetDir,
                          bool failIfExists) {
  ArchiveName = archivePath;
  TargetDir = targetDir;
  FailifExists = failIfExists;
  return ExtractFiles();
}

void TRAR::RaiseError(int code) {
  if (OnError) OnError(*this, code);
}

int __stdcall TRAR::ChangeVolumeCallback(char* arcName, int mode) {
  return RunDeferringErrors([&] {
    TRAR* rar = activeComponent;
    // Another run took the callbacks over: without a handler a missing volume is
    // not waited for, a notice is let pass.
    if (!rar || !rar->OnVolumeChange) return mode == rar_const::kVolumeNotify ? 1 : 0;
    return rar->OnVolumeChange(*rar, arcName, mode);
  });
}

int __stdcall TRAR::ProcessDataCallback(unsigned char* addr, int size) {
  return RunDeferringErrors([&] {
    TRAR* rar = activeComponent;
    if (!rar) return 1;
    rar->bytesDone_ += static_cast<std::uint32_t>(size);
    if (!rar->OnProcessData) return 1;
    return rar->OnProcessData(*rar, addr, size, static_cast<int>(rar->bytesDone_));
  });
}
