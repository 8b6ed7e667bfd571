// CRC-32 with the zlib polynomial, as the archive format uses it for headers
// (low 16 bits) and for unpacked data.
#pragma once

#include <cstddef>
#include <cstdint>

// Continues a CRC over more bytes; start with crc 0.
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size);
