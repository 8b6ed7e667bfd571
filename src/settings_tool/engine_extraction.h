// Refilling the engine directory from the engine archive.
#pragma once

#include <string>

// Extracts every entry of the archive into targetDir (without a trailing "\"),
// over files already there, through an archive component without owner or event
// handlers. The component's result: true when every entry came out.
bool ExtractEngineArchive(const std::string& archivePath, const std::string& targetDir);
