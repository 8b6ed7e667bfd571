// CRC-32 with the polynomial of zlib and of the archives: the launcher checks every
// byte of its payload with it twice (as read, and each file as written), so its speed
// counts against the plain writing of the files. By carry-less multiplication where
// the processor has it, else eight bytes a step by table.
#pragma once

#include <cstddef>
#include <cstdint>

// Continues a CRC over more bytes; start with 0.
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size);

// The same by table on any processor (what Crc32 does where it cannot multiply).
std::uint32_t Crc32ByTable(std::uint32_t crc, const void* data, std::size_t size);
