// kitcheck's look at whether a program on the medium is signed: the kit's own
// setup.exe as built (unsigned), the same with a certificate table where a signature
// puts one, a directory entry that points past the file's end, and files that are no
// program at all.
#include "kitcheck/program_signature.h"
#include "onefile/image_layout.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// The program with its security directory entry set to offset and size, and the file
// padded to hold tableBytes at offset.
std::string WithCertificates(std::string program, std::uint32_t offset, std::uint32_t size,
                             std::size_t tableBytes) {
  ImageLayout layout;
  EXPECT_TRUE(ReadImageLayout(reinterpret_cast<const unsigned char*>(program.data()),
                              program.size(), layout));
  for (int i = 0; i < 4; ++i) {
    program[layout.CertificatesEntryAt + i] = static_cast<char>(offset >> (8 * i));
    program[layout.CertificatesEntryAt + 4 + i] = static_cast<char>(size >> (8 * i));
  }
  program.resize(offset, '\0');
  return program + std::string(tableBytes, '\x5A');
}

}  // namespace

TEST(ProgramSignature, ATableWithinTheFileIsASignatureAndNothingElseIs) {
  const std::string dir = ScratchDir("program-signature");
  const std::string program = ReadFileBytes(KitOutputPath("setup.exe"));
  ASSERT_FALSE(program.empty());
  const std::uint32_t end = static_cast<std::uint32_t>((program.size() + 7) / 8 * 8);
  const struct {
    const char* What;
    std::string Bytes;
    Signing Expected;
  } cases[] = {
      {"as built", program, Signing::Unsigned},
      {"signed", WithCertificates(program, end, 1024, 1024), Signing::Signed},
      {"a table cut short by a truncated download", WithCertificates(program, end, 1024, 512),
       Signing::Unsigned},
      {"a text file", "MZ but no program", Signing::Absent},
      {"empty", "", Signing::Absent},
  };
  for (const auto& c : cases) {
    WriteFileBytes(dir + "p.exe", c.Bytes);
    EXPECT_EQ(c.Expected, ProgramSigning(dir + "p.exe")) << c.What;
  }
  EXPECT_EQ(Signing::Absent, ProgramSigning(dir + "missing.exe"));
  RemoveTree(dir);
}
