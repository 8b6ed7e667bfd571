#include "settings_tool/engine_extraction.h"

#include "rar/rar_component.h"

bool ExtractEngineArchive(const std::string& archivePath, const std::string& targetDir) {
  TRAR rar;  // destroyed on every path, also when the extraction raises
  rar.ArchiveName = archivePath;
  rar.TargetDir = targetDir;
  return rar.ExtractFiles();
}
