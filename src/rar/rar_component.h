// The archive component: unpacks the entries of one RAR archive into a directory
// through the archive library (unrar.dll), entry by entry, and reports every step
// through its events. It shows nothing itself and raises no errors of its own.
//
// The library reaches its callbacks without a context, so the component that
// started the latest run is the process-wide active component: one extraction
// runs at a time.
#pragma once

#include "rar/sorted_string_list.h"
#include "rar/unrar.h"

#include <cstdint>
#include <functional>
#include <string>

class TRAR;

// The archive comment, as the library reported it when the archive was opened.
struct TComment {
  std::uint32_t Length;
  char Text[65536];
};
static_assert(sizeof(TComment) == 65540, "comment record");

// Events. Sender is always the component; the records are passed by reference and
// a handler may keep a copy. A handler of the two data events returns non-zero to
// let the library go on and 0 to cancel.
using TProcessDataProcN =
    std::function<int(TRAR& Sender, unsigned char* Addr, int BlockSize, int Position)>;
using TChangeVolProcN = std::function<int(TRAR& Sender, char* ArcName, int Mode)>;
using TErrorProc = std::function<void(TRAR& Sender, int Error)>;
using TCommentProc = std::function<void(TRAR& Sender, const TComment& Comment)>;
using TListFileProc = std::function<void(TRAR& Sender, const RARHeaderData& ListedFile)>;
using TFileBeingExtracted = std::function<void(TRAR& Sender, const RARHeaderData& eFile)>;
using TFileExtracted = std::function<void(TRAR& Sender, const RARHeaderData& eFile, bool Result)>;
using TFileBeingTested = std::function<void(TRAR& Sender, const RARHeaderData& eFile)>;
using TFileTested = std::function<void(TRAR& Sender, const RARHeaderData& eFile, bool Result)>;
using TReqPassword =
    std::function<void(TRAR& Sender, const RARHeaderData& eFile, std::string& Password)>;

class TRAR {
 public:
  TRAR() = default;
  ~TRAR();
  TRAR(const TRAR&) = delete;
  TRAR& operator=(const TRAR&) = delete;

  std::string ArchiveName;
  TSortedStringList FilesToExtract;  // empty: every entry; see ExtractFiles for matching
  TSortedStringList FilesToTest;     // kept for the form that holds the component only
  std::string TargetDir;             // without a trailing "\"; empty: no destination path
  bool Stop = false;                 // ends the run before the next entry
  bool FailifExists = false;         // skip entries whose file (ExtractedEntryPath) exists

  TProcessDataProcN OnProcessData;
  TChangeVolProcN OnVolumeChange;
  TErrorProc OnError;
  TCommentProc OnComment;
  TListFileProc OnListFile;  // never raised
  TFileBeingExtracted OnExtracting;
  TFileExtracted OnExtract;
  TFileBeingTested OnTesting;  // never raised
  TFileTested OnTested;        // never raised
  TReqPassword OnReqPassword;

  // Extracts the archive with the current property values. True when every entry
  // the run handled went through without an error code and the archive was read
  // to its end (or the run was stopped through Stop). An entry is selected when
  // FilesToExtract is empty or when its name, ASCII letters upper-cased, occurs
  // inside an item upper-cased the same way.
  // Exceptions of event handlers end the run and reach the caller; the archive is
  // closed first.
  bool ExtractFiles();

  // Sets ArchiveName, TargetDir and FailifExists, then runs ExtractFiles.
  bool ExtractArchive(const std::string& archivePath, const std::string& targetDir,
                      bool failIfExists);

 private:
  class Run;

  static int __stdcall ChangeVolumeCallback(char* arcName, int mode);
  static int __stdcall ProcessDataCallback(unsigned char* addr, int size);

  void RaiseError(int code);

  std::uint32_t bytesDone_ = 0;  // of the entry being extracted
};
