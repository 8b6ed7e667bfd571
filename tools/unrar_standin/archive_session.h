// One open archive (or volume set) as the library's callers see it: the handle
// RAROpenArchive returns points to a session.
#pragma once

#include "rar/unrar.h"
#include "unrar_standin/archive_reader.h"

#include <set>
#include <string>
#include <vector>

class ArchiveSession {
 public:
  // 0 or the library's error code.
  int Open(const RAROpenArchiveData& data);
  int ReadHeader(RARHeaderData& header);
  int ProcessFile(int operation, const char* destPath, const char* destName);

  void SetChangeVolProc(CHANGEVOLPROC proc) { changeVolume_ = proc; }
  void SetProcessDataProc(PROCESSDATAPROC proc) { processData_ = proc; }
  void SetPassword(const char* password) { password_ = password ? password : ""; }

 private:
  class SplitEntryData;

  std::wstring TargetPath(const char* destPath, const char* destName) const;
  int OpenNextVolume();
  bool AskForVolume(std::string& name, int mode);
  bool FirstVisit(const std::string& name);

  ArchiveReader reader_;
  std::string volumeName_;              // of the volume being read
  std::set<std::wstring> volumesRead_;  // full paths, upper-cased
  unsigned openMode_ = 0;
  ArchiveEntry entry_;      // the part of the current entry being read
  bool haveEntry_ = false;  // a header was read and its entry not yet processed
  CHANGEVOLPROC changeVolume_ = nullptr;
  PROCESSDATAPROC processData_ = nullptr;
  std::string password_;  // kept, but the stand-in decrypts nothing
  std::vector<unsigned char> buffer_;
};
