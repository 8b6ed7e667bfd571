#include "kitcheck/archive_catalog.h"

const ArchiveInspection* ArchiveCatalog::Inspect(const std::string& path) {
  if (!libraryBound_) return nullptr;
  auto found = inspections_.find(path);
  if (found == inspections_.end()) found = inspections_.emplace(path, InspectArchive(path)).first;
  return &found->second;
}
