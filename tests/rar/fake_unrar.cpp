#include "fake_unrar.h"

#include "rar/unrar.h"
#include "support/test_support.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace {

struct OpenArchive {
  FakeArchive Script;
  std::size_t Next = 0;  // index of the entry the next header read shows
  const FakeEntry* Current = nullptr;
  CHANGEVOLPROC ChangeVolume = nullptr;
  PROCESSDATAPROC ProcessData = nullptr;
};

std::map<std::string, FakeArchive> scripts;
std::vector<std::unique_ptr<OpenArchive>> open;
std::vector<std::string> callLog;
fake_unrar::HeaderComment lastComment;

OpenArchive* Find(HANDLE handle) {
  for (const auto& archive : open) {
    if (archive.get() == handle) return archive.get();
  }
  return nullptr;
}

// Runs the entry's callbacks; the answer 0 cancels with code 21.
int RunCallbacks(OpenArchive& archive, const FakeEntry& entry) {
  for (const std::string& volume : entry.Volumes) {
    if (!archive.ChangeVolume) continue;
    std::string name = volume;
    const int answer = archive.ChangeVolume(name.data(), 1);
    callLog.push_back("vol " + volume + " 1=" + std::to_string(answer));
    if (answer == 0) return 21;
  }
  std::vector<unsigned char> block;
  for (const int size : entry.Blocks) {
    if (!archive.ProcessData) continue;
    block.assign(static_cast<std::size_t>(size), 0xAB);
    const int answer = archive.ProcessData(block.data(), size);
    callLog.push_back("data " + std::to_string(size) + "=" + std::to_string(answer));
    if (answer == 0) return 21;
  }
  return entry.ExtractCode;
}

}  // namespace

namespace fake_unrar {

void Reset() {
  scripts.clear();
  open.clear();
  callLog.clear();
  lastComment = HeaderComment();
}

void Script(const std::string& archiveName, const FakeArchive& archive) {
  scripts[archiveName] = archive;
}

const std::vector<std::string>& Log() { return callLog; }

std::string LogText() { return Joined(callLog, " | "); }

HeaderComment LastHeaderComment() { return lastComment; }

int OpenHandles() { return static_cast<int>(open.size()); }

}  // namespace fake_unrar

extern "C" {

HANDLE __stdcall RAROpenArchive(RAROpenArchiveData* data) {
  callLog.push_back(std::string("open ") + data->ArcName);
  const auto found = scripts.find(data->ArcName);
  if (found == scripts.end()) {
    data->OpenResult = 15;
    return nullptr;
  }
  const FakeArchive& script = found->second;
  data->OpenResult = static_cast<unsigned>(script.OpenResult);
  const std::size_t length = std::min<std::size_t>(script.Comment.size(), data->CmtBufSize);
  std::memcpy(data->CmtBuf, script.Comment.data(), length);
  data->CmtSize = static_cast<unsigned>(length);
  data->CmtState = script.CommentState;
  if (script.OpenResult != 0 && !script.HandleOnFailure) return nullptr;
  open.push_back(std::make_unique<OpenArchive>());
  open.back()->Script = script;
  return open.back().get();
}

int __stdcall RARCloseArchive(HANDLE handle) {
  callLog.push_back("close");
  const auto at = std::find_if(open.begin(), open.end(),
                               [&](const auto& archive) { return archive.get() == handle; });
  if (at == open.end()) return 17;
  open.erase(at);
  return 0;
}

int __stdcall RARReadHeader(HANDLE handle, RARHeaderData* header) {
  callLog.push_back("read");
  OpenArchive* archive = Find(handle);
  if (!archive) return 21;
  lastComment = {header->CmtBuf, header->CmtBufSize};
  if (archive->Next >= archive->Script.Entries.size()) {
    archive->Current = nullptr;
    return archive->Script.EndCode;
  }
  const FakeEntry& entry = archive->Script.Entries[archive->Next++];
  archive->Current = &entry;
  std::memset(header->FileName, 0, sizeof header->FileName);
  std::memcpy(header->FileName, entry.Name.data(),
              std::min(entry.Name.size(), sizeof header->FileName));
  header->Flags = entry.Flags;
  header->UnpSize = entry.UnpSize;
  return 0;
}

int __stdcall RARProcessFile(HANDLE handle, int operation, char* destPath, char* destName) {
  callLog.push_back("process " + std::to_string(operation) + " " + (destPath ? destPath : "-") +
                    (destName ? " NAME" : ""));
  OpenArchive* archive = Find(handle);
  if (!archive || !archive->Current) return 21;
  const FakeEntry& entry = *archive->Current;
  archive->Current = nullptr;
  if (operation == 0) return entry.SkipCode;
  return RunCallbacks(*archive, entry);
}

void __stdcall RARSetChangeVolProc(HANDLE handle, CHANGEVOLPROC proc) {
  callLog.push_back("setvol");
  if (OpenArchive* archive = Find(handle)) archive->ChangeVolume = proc;
}

void __stdcall RARSetProcessDataProc(HANDLE handle, PROCESSDATAPROC proc) {
  callLog.push_back("setdata");
  if (OpenArchive* archive = Find(handle)) archive->ProcessData = proc;
}

void __stdcall RARSetPassword(HANDLE, char* password) {
  callLog.push_back(std::string("password ") + password);
}

}  // extern "C"
