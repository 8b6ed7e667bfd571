// The parsers that take bytes from a medium or a log, each behind one entry that
// checks what must hold for any input. libFuzzer drives them natively on Linux
// (tools/fuzz.sh); the replay test feeds the kept inputs to the same entries built
// for the target, under Wine. A broken rule aborts the process.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz {

// The install log's line reader and its three passes, and the in-memory log.
void InstallLog(const std::uint8_t* data, std::size_t size);
// The comma-field splitter of the setup script.
void CommaFields(const std::uint8_t* data, std::size_t size);
// The archive library's rules for stored names, 8-bit and 16-bit.
void EntryNames(const std::uint8_t* data, std::size_t size);
// The stand-in library's block reader and its Unicode name decoder, on the bytes as
// they are and with their checksums made whole.
void ArchiveBlocks(const std::uint8_t* data, std::size_t size);

struct Target {
  const char* Name;  // also the folder of its seeds and regression inputs
  void (*Run)(const std::uint8_t* data, std::size_t size);
};

extern const Target kTargets[4];

}  // namespace fuzz
