// libFuzzer's entry for the archive_blocks target (tools/fuzz.sh).
#include "fuzz_entries.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ArchiveBlocks(data, size);
  return 0;
}
