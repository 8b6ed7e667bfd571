// The archives of a medium as the bound archive library sees them, each inspected
// once (every entry listed and tested).
#pragma once

#include "rar/rar_check.h"

#include <map>
#include <string>

class ArchiveCatalog {
 public:
  // libraryBound: whether an archive library could be loaded; without one no
  // archive can be listed.
  explicit ArchiveCatalog(bool libraryBound) : libraryBound_(libraryBound) {}

  bool LibraryBound() const { return libraryBound_; }
  // The inspection of the archive at path; null without a library.
  const ArchiveInspection* Inspect(const std::string& path);

 private:
  bool libraryBound_;
  std::map<std::string, ArchiveInspection> inspections_;
};
