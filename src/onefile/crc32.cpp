#include "onefile/crc32.h"

#include <cpuid.h>
#include <immintrin.h>

namespace {

// Filled on first use; the programs that use it run one thread. In the image's
// uninitialised data, so the table costs the launcher no bytes on disk.
std::uint32_t table[8][256];
bool tableMade = false;
bool canFold = false;

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
  unsigned a = 0, b = 0, c = 0, d = 0;
  canFold = __get_cpuid(1, &a, &b, &c, &d) && (c & bit_PCLMUL) && (d & bit_SSE2);
  tableMade = true;
}

std::uint32_t Word(const unsigned char* p) {
  return p[0] | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

// Carry-less multiplication folds 64 bytes a step, several times faster than the
// table: processors since 2010 have it, older ones keep to the table.
#define KIT_FOLDING __attribute__((target("pclmul,sse2")))

KIT_FOLDING inline __m128i Load(const unsigned char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// x carried 128 or 512 bits on by the pair of constants k, added to the next bytes.
KIT_FOLDING inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  return _mm_xor_si128(
      _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

// The register (not inverted) after size bytes, a multiple of 16 and at least 64. The
// stack is aligned here: a 32-bit Windows caller promises only 4 bytes.
KIT_FOLDING __attribute__((force_align_arg_pointer)) std::uint32_t Folded(std::uint32_t crc,
                                                                          const unsigned char* p,
                                                                          std::size_t size) {
  const __m128i by512 = _mm_set_epi64x(0x1C6E41596, 0x154442BD4);
  const __m128i by128 = _mm_set_epi64x(0x0CCAA009E, 0x1751997D0);
  const __m128i by64 = _mm_set_epi64x(0, 0x163CD6124);
  const __m128i barrett = _mm_set_epi64x(0x1F7011641, 0x1DB710641);  // x^64 / P, and P
  const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);
  __m128i x0 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x1 = Load(p + 16), x2 = Load(p + 32), x3 = Load(p + 48);
  for (p += 64, size -= 64; size >= 64; p += 64, size -= 64) {
    x0 = Fold(x0, by512, Load(p));
    x1 = Fold(x1, by512, Load(p + 16));
    x2 = Fold(x2, by512, Load(p + 32));
    x3 = Fold(x3, by512, Load(p + 48));
  }
  __m128i x = Fold(Fold(Fold(x0, by128, x1), by128, x2), by128, x3);
  for (; size >= 16; p += 16, size -= 16) x = Fold(x, by128, Load(p));
  // 128 bits to 64, to 32 bits and a remainder, then the remainder reduced.
  x = _mm_xor_si128(_mm_srli_si128(x, 8), _mm_clmulepi64_si128(by128, x, 0x01));
  x = _mm_xor_si128(_mm_srli_si128(x, 4),
                    _mm_clmulepi64_si128(_mm_and_si128(x, low32), by64, 0x00));
  __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x, low32), barrett, 0x10);
  t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), barrett, 0x00);
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(_mm_xor_si128(x, t), 4)));
}

}  // namespace

std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size) {
  if (!tableMade) MakeTable();
  if (!canFold || size < 64) return Crc32ByTable(crc, data, size);
  const std::size_t folded = size & ~std::size_t{15};
  crc = ~Folded(~crc, static_cast<const unsigned char*>(data), folded);
  return Crc32ByTable(crc, static_cast<const unsigned char*>(data) + folded, size - folded);
}

std::uint32_t Crc32ByTable(std::uint32_t crc, const void* data, std::size_t size) {
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
