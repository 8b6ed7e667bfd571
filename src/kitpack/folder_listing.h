// What kitpack finds in a folder: every file and subdirectory, all levels down, as
// the archive will store them.
#pragma once

#include "kitpack/wide_string.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct PackItem {
  WideString Path;   // the folder as given, joined with the names below it
  std::string Name;  // as stored: relative to the folder, "\" between levels, code page 949
  bool Directory = false;
  std::uint32_t Attributes = 0;  // read-only, hidden, system, archive; and directory
  std::uint32_t DosTime = 0;     // last write, local time, 2-second steps (rounded down)
};

// The folder's entries in archive order: the entries of each directory sorted by their
// stored names (bytes of code page 949), and a subdirectory's entry right after its
// contents, so that a reader applying a directory's time and attributes does so when
// nothing more is written into it. Times outside the DOS range (1980 to 2107) are
// stored as its nearer end.
//
// Throws PackError for a name that code page 949 cannot write, a stored name over 259
// bytes (what the archive library reports of a name), a reparse point (a symbolic link,
// a junction: kitpack follows none, so nothing from outside the folder comes in and a link
// to a parent cannot loop), or a directory that cannot be read; PackInterrupted when the
// run is asked to stop (console_interruption.h).
std::vector<PackItem> ListFolder(const WideString& folder);

// One entry found in the directory base (which ends in a separator), stored under
// prefix; throws PackError as ListFolder does.
PackItem ItemOf(const WideString& base, const std::string& prefix, const WIN32_FIND_DATAW& found);
