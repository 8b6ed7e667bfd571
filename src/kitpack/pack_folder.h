// Packs a folder into a store-only RAR 4.x archive.
#pragma once

#include "kitpack/wide_string.h"

#include <cstdint>
#include <string>

struct PackReport {
  std::uint64_t Files = 0;
  std::uint64_t Directories = 0;
  std::uint64_t Bytes = 0;  // of the files' data
};

// Writes every entry ListFolder (folder_listing.h) finds, in its order, into an archive
// at archive: files with their data, read in blocks, directories (empty ones too) as
// directory entries; each with its time and attributes, host Windows. An older archive
// lying inside the folder is not packed into the new one: the same file (volume serial
// number and file index) under whatever path.
//
// The archive is written under a name of its own beside the target and takes the
// target's place (replacing an older file) only once complete. Throws PackError naming
// what failed, or PackInterrupted (console_interruption.h); nothing new is left behind
// then, and an older archive stays as it was.
PackReport PackFolder(const WideString& archive, const WideString& folder);
