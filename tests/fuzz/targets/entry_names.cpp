// libFuzzer's entry for the entry_names target (tools/fuzz.sh).
#include "fuzz_entries.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::EntryNames(data, size);
  return 0;
}
