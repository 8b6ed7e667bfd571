#include "launcher/one_file_maker.h"

#include "onefile/crc32.h"
#include "onefile/image_layout.h"
#include "onefile/payload_format.h"

#include <stdexcept>

namespace {

unsigned char* At(std::string& bytes, std::size_t offset) {
  return reinterpret_cast<unsigned char*>(&bytes[offset]);
}

}  // namespace

std::string MakePayload(const std::vector<PayloadFileSpec>& files) {
  std::string index, data;
  for (const PayloadFileSpec& file : files) {
    std::string entry(PayloadEntrySize(file.Name.size()), '\0');
    PayloadEntry fields{reinterpret_cast<const unsigned char*>(file.Name.data()), file.Name.size(),
                        file.Data.size(), Crc32(0, file.Data.data(), file.Data.size())};
    EncodePayloadEntry(fields, At(entry, 0));
    index += entry;
    data += file.Data;
  }
  PayloadHeader header;
  header.FileCount = static_cast<std::uint32_t>(files.size());
  header.IndexLength = static_cast<std::uint32_t>(index.size());
  header.PayloadLength = kPayloadHeaderSize + index.size() + data.size();
  std::string payload(kPayloadHeaderSize, '\0');
  EncodePayloadHeader(header, At(payload, 0));
  payload += index + data;
  Reseal(payload);
  return payload;
}

void Reseal(std::string& payload) {
  std::uint32_t crc = HeaderChecksum(At(payload, 0));
  crc = Crc32(crc, payload.data() + kPayloadHeaderSize, payload.size() - kPayloadHeaderSize);
  for (int i = 0; i < 4; ++i) payload[20 + i] = static_cast<char>(crc >> (8 * i));
}

std::size_t SectionsEndOf(const std::string& program) {
  ImageLayout layout;
  if (!ReadImageLayout(reinterpret_cast<const unsigned char*>(program.data()), program.size(),
                       layout)) {
    throw std::runtime_error("not a program");
  }
  return layout.SectionsEnd;
}

std::string OneFile(const std::string& launcher, const std::string& payload) {
  std::string program = launcher.substr(0, SectionsEndOf(launcher));
  // The symbol table's place, which the end of the file no longer holds.
  ImageLayout layout;
  ReadImageLayout(reinterpret_cast<const unsigned char*>(program.data()), program.size(), layout);
  program.replace(layout.SymbolFieldsAt, 8, 8, '\0');
  return program + payload;
}
