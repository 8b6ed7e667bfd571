#include "onefile/crc32.h"

namespace {

// Filled on first use; the programs that use it run one thread. In the image's
// uninitialised data, so the table costs the launcher no bytes on disk.
std::uint32_t table[8][256];
bool tableMade = false;

void MakeTable() {
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[0][i] = c;
  }
  for (int slice = 1; slice < 8; ++slice) {
    for (int i = 0; i < 256; ++i) {
      const std::uint32_t before = table[slice - 1][i];
      table[slice][i] = (before >> 8) ^ table[0][before & 0xFF];
    }
  }
  tableMade = true;
}

std::uint32_t Word(const unsigned char* p) {
  return p[0] | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

}  // namespace

std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size) {
  if (!tableMade) MakeTable();
  const auto* p = static_cast<const unsigned char*>(data);
  crc = ~crc;
  for (; size >= 8; size -= 8, p += 8) {
    const std::uint32_t low = Word(p) ^ crc;
    const std::uint32_t high = Word(p + 4);
    crc = table[7][low & 0xFF] ^ table[6][(low >> 8) & 0xFF] ^ table[5][(low >> 16) & 0xFF] ^
          table[4][low >> 24] ^ table[3][high & 0xFF] ^ table[2][(high >> 8) & 0xFF] ^
          table[1][(high >> 16) & 0xFF] ^ table[0][high >> 24];
  }
  for (; size > 0; --size, ++p) crc = table[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
  return ~crc;
}
