// Where the parts of a Windows program (PE) file lie, read from its headers: the
// launcher finds its payload with it, kitpack trims the launcher to its sections, and
// kitcheck sees whether a program is signed. The headers are read from the file's
// first bytes or from the loaded module, which keeps them as the file has them.
#pragma once

#include <cstddef>
#include <cstdint>

struct ImageLayout {
  std::uint32_t SectionsEnd = 0;  // file offset where the last section's data ends
  // The certificate table of a signature (its directory entry holds a file offset);
  // 0 and 0 when the program is not signed.
  std::uint32_t CertificatesOffset = 0;
  std::uint32_t CertificatesSize = 0;
  std::uint32_t CertificatesEntryAt = 0;  // file offset of that directory entry (8 bytes)
  std::uint32_t SymbolTableOffset = 0;    // COFF symbols and their names; 0: none
  std::uint32_t SymbolFieldsAt = 0;       // file offset of PointerToSymbolTable, NumberOfSymbols
  std::uint32_t ChecksumAt = 0;           // file offset of the optional header's CheckSum
};

// False unless the bytes begin a PE file (32- or 64-bit) whose headers and section
// table lie within size.
bool ReadImageLayout(const unsigned char* headers, std::size_t size, ImageLayout& layout);
