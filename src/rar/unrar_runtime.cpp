#include "rar/unrar_runtime.h"

#include "rar/unrar.h"
#include "win/handles.h"

namespace {

struct Functions {
  decltype(&RAROpenArchive) Open = nullptr;
  decltype(&RARCloseArchive) Close = nullptr;
  decltype(&RARReadHeader) ReadHeader = nullptr;
  decltype(&RARProcessFile) ProcessFile = nullptr;
  decltype(&RARSetChangeVolProc) SetChangeVolProc = nullptr;
  decltype(&RARSetProcessDataProc) SetProcessDataProc = nullptr;
  decltype(&RARSetPassword) SetPassword = nullptr;
};

LibraryHandle library;
Functions bound;
std::string boundPath;

template <typename Function>
bool Bind(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return function != nullptr;
}

}  // namespace

bool LoadArchiveLibrary(const std::string& fullPath) {
  LibraryHandle loaded(LoadLibraryExA(fullPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!loaded) return false;
  Functions functions;
  const HMODULE m = loaded.Get();
  if (!Bind(m, "RAROpenArchive", functions.Open) || !Bind(m, "RARCloseArchive", functions.Close) ||
      !Bind(m, "RARReadHeader", functions.ReadHeader) ||
      !Bind(m, "RARProcessFile", functions.ProcessFile) ||
      !Bind(m, "RARSetChangeVolProc", functions.SetChangeVolProc) ||
      !Bind(m, "RARSetProcessDataProc", functions.SetProcessDataProc) ||
      !Bind(m, "RARSetPassword", functions.SetPassword)) {
    return false;
  }
  bound = functions;
  library = std::move(loaded);
  boundPath = fullPath;
  return true;
}

const std::string& ArchiveLibraryPath() { return boundPath; }

extern "C" {

HANDLE __stdcall RAROpenArchive(RAROpenArchiveData* ArchiveData) {
  if (bound.Open) return bound.Open(ArchiveData);
  if (ArchiveData) ArchiveData->OpenResult = rar_code::kBadArchive;
  return nullptr;
}

int __stdcall RARCloseArchive(HANDLE hArcData) {
  return bound.Close ? bound.Close(hArcData) : rar_code::kCloseError;
}

int __stdcall RARReadHeader(HANDLE hArcData, RARHeaderData* HeaderData) {
  return bound.ReadHeader ? bound.ReadHeader(hArcData, HeaderData) : rar_code::kBadArchive;
}

int __stdcall RARProcessFile(HANDLE hArcData, int Operation, char* DestPath, char* DestName) {
  return bound.ProcessFile ? bound.ProcessFile(hArcData, Operation, DestPath, DestName)
                           : rar_code::kBadArchive;
}

void __stdcall RARSetChangeVolProc(HANDLE hArcData, CHANGEVOLPROC ChangeVolProc) {
  if (bound.SetChangeVolProc) bound.SetChangeVolProc(hArcData, ChangeVolProc);
}

void __stdcall RARSetProcessDataProc(HANDLE hArcData, PROCESSDATAPROC ProcessDataProc) {
  if (bound.SetProcessDataProc) bound.SetProcessDataProc(hArcData, ProcessDataProc);
}

void __stdcall RARSetPassword(HANDLE hArcData, char* Password) {
  if (bound.SetPassword) bound.SetPassword(hArcData, Password);
}

}  // extern "C"
