// The part of the archive library's interface (unrar.dll) that the kit uses.
// Every function and both callbacks use the __stdcall convention; the library
// exports the names undecorated, and programs bind it by name when they load.
#pragma once

#include "rar/unrar_codes.h"
#include "win/handles.h"

#include <windows.h>

#include <cstddef>

extern "C" {

#pragma pack(push, 1)

// Handed to RAROpenArchive.
struct RAROpenArchiveData {
  char* ArcName;
  unsigned int OpenMode;
  unsigned int OpenResult;
  char* CmtBuf;
  unsigned int CmtBufSize;
  unsigned int CmtSize;
  unsigned int CmtState;
};

// One entry's header, filled by RARReadHeader.
struct RARHeaderData {
  char ArcName[260];
  char FileName[260];  // the stored name in the 8-bit code page, zero-terminated
  unsigned int Flags;
  unsigned int PackSize;
  unsigned int UnpSize;
  unsigned int HostOS;
  unsigned int FileCRC;
  unsigned int FileTime;  // DOS date and time
  unsigned int UnpVer;
  unsigned int Method;
  unsigned int FileAttr;
  char* CmtBuf;
  unsigned int CmtBufSize;
  unsigned int CmtSize;
  unsigned int CmtState;
};

#pragma pack(pop)

// A result of 0 cancels the operation, any other value lets it go on.
typedef int(__stdcall* CHANGEVOLPROC)(char* ArcName, int Mode);
typedef int(__stdcall* PROCESSDATAPROC)(unsigned char* Addr, int Size);

HANDLE __stdcall RAROpenArchive(RAROpenArchiveData* ArchiveData);
int __stdcall RARCloseArchive(HANDLE hArcData);
int __stdcall RARReadHeader(HANDLE hArcData, RARHeaderData* HeaderData);
int __stdcall RARProcessFile(HANDLE hArcData, int Operation, char* DestPath, char* DestName);
void __stdcall RARSetChangeVolProc(HANDLE hArcData, CHANGEVOLPROC ChangeVolProc);
void __stdcall RARSetProcessDataProc(HANDLE hArcData, PROCESSDATAPROC ProcessDataProc);
void __stdcall RARSetPassword(HANDLE hArcData, char* Password);

}  // extern "C"

// An open archive of the library, closed exactly once.
struct RarArchiveTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { RARCloseArchive(h); }
};
using RarArchiveHandle = ScopedHandle<RarArchiveTraits>;

// The layout the library was built for: 32-bit Windows, byte-packed records.
static_assert(sizeof(void*) == 4, "the archive library interface is 32-bit");
static_assert(sizeof(RAROpenArchiveData) == 28, "open-archive record");
static_assert(offsetof(RAROpenArchiveData, OpenResult) == 8, "open-archive record");
static_assert(offsetof(RAROpenArchiveData, CmtState) == 24, "open-archive record");
static_assert(sizeof(RARHeaderData) == 572, "header record");
static_assert(offsetof(RARHeaderData, FileName) == 260, "header record");
static_assert(offsetof(RARHeaderData, Flags) == 520, "header record");
static_assert(offsetof(RARHeaderData, UnpSize) == 528, "header record");
static_assert(offsetof(RARHeaderData, FileTime) == 540, "header record");
static_assert(offsetof(RARHeaderData, FileAttr) == 552, "header record");
static_assert(offsetof(RARHeaderData, CmtBuf) == 556, "header record");
static_assert(offsetof(RARHeaderData, CmtBufSize) == 560, "header record");
static_assert(offsetof(RARHeaderData, CmtState) == 568, "header record");
