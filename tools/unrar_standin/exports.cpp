// The library's exported functions. They check their arguments, find the session
// behind a handle, and never let an exception out to the caller.
#include "rar/unrar.h"
#include "unrar_standin/archive_session.h"

#include <memory>
#include <new>
#include <set>

namespace {

// Sessions handed out and not yet closed; other handles are refused.
std::set<ArchiveSession*> openSessions;

ArchiveSession* Find(HANDLE handle) {
  const auto found = openSessions.find(static_cast<ArchiveSession*>(handle));
  return found == openSessions.end() ? nullptr : *found;
}

// The call's result, or the library's code for what it raised.
template <typename Call>
int ResultCodeOf(Call call) {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    return rar_code::kNoMemory;
  } catch (...) {
    return rar_code::kUnknown;
  }
}

}  // namespace

extern "C" {

HANDLE __stdcall RAROpenArchive(RAROpenArchiveData* data) {
  if (!data) return nullptr;
  data->CmtSize = 0;  // archive comments are not read
  data->CmtState = 0;
  HANDLE handle = nullptr;
  data->OpenResult = ResultCodeOf([&] {
    auto session = std::make_unique<ArchiveSession>();
    const int code = session->Open(*data);
    if (code != rar_code::kSuccess) return code;
    openSessions.insert(session.get());
    handle = session.release();
    return rar_code::kSuccess;
  });
  return handle;
}

int __stdcall RARCloseArchive(HANDLE hArcData) {
  ArchiveSession* session = Find(hArcData);
  if (!session) return rar_code::kCloseError;
  openSessions.erase(session);
  std::unique_ptr<ArchiveSession> owner(session);
  return rar_code::kSuccess;
}

int __stdcall RARReadHeader(HANDLE hArcData, RARHeaderData* HeaderData) {
  ArchiveSession* session = Find(hArcData);
  if (!session || !HeaderData) return rar_code::kUnknown;
  return ResultCodeOf([&] { return session->ReadHeader(*HeaderData); });
}

int __stdcall RARProcessFile(HANDLE hArcData, int Operation, char* DestPath, char* DestName) {
  ArchiveSession* session = Find(hArcData);
  if (!session) return rar_code::kUnknown;
  return ResultCodeOf([&] { return session->ProcessFile(Operation, DestPath, DestName); });
}

void __stdcall RARSetChangeVolProc(HANDLE hArcData, CHANGEVOLPROC ChangeVolProc) {
  if (ArchiveSession* session = Find(hArcData)) session->SetChangeVolProc(ChangeVolProc);
}

void __stdcall RARSetProcessDataProc(HANDLE hArcData, PROCESSDATAPROC ProcessDataProc) {
  if (ArchiveSession* session = Find(hArcData)) session->SetProcessDataProc(ProcessDataProc);
}

void __stdcall RARSetPassword(HANDLE hArcData, char* Password) {
  if (ArchiveSession* session = Find(hArcData)) {
    ResultCodeOf([&] {
      session->SetPassword(Password);
      return 0;
    });
  }
}

}  // extern "C"
