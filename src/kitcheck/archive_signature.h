// What an archive file is by its leading bytes, whatever its name says: the
// archive library's codes do not tell a ZIP file from a damaged RAR archive.
#pragma once

#include <cstddef>
#include <string>

enum class ArchiveFormat { Unknown, Rar4, Rar5, Zip, SevenZip, Cab, Gzip };

// How many leading bytes FormatOfSignature looks at.
constexpr std::size_t kSignatureLength = 8;

// The format whose signature the bytes start with (Unknown for none, also for a
// self-extracting archive, whose signature lies further in).
ArchiveFormat FormatOfSignature(const std::string& leadingBytes);

// "ZIP", "7z", "CAB", "gzip", "RAR 4", "RAR 5"; empty for Unknown.
const char* FormatName(ArchiveFormat format);

// Up to kSignatureLength bytes from the file's start; empty when it cannot be read.
std::string LeadingBytes(const std::string& path);
