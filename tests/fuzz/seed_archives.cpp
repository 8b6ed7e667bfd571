// Writes the archive seeds of the archive_blocks and rar_component targets with the
// project's archive writer: every kind of block and name it knows, single archives
// and volume sets. Built natively by tools/fuzz.sh; the output is the same every
// time, so the seeds in the corpus stay as committed.
#include "rar_writer/rar_writer.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string blocksDir;     // the archive_blocks seeds
std::string componentDir;  // the rar_component seeds

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (out.good()) return true;
  std::cerr << "cannot write " << path << "\n";
  return false;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A rar_component input: the options byte, the volume count and the volumes, each
// but the last after its length (tests/fuzz/targets/rar_component.cpp).
bool SaveRun(const std::string& name, unsigned options, const std::vector<std::string>& volumes) {
  std::string input(1, static_cast<char>(options));
  input += static_cast<char>(volumes.size() - 1);
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    if (i + 1 < volumes.size()) {
      input += static_cast<char>(volumes[i].size() & 0xFF);
      input += static_cast<char>(volumes[i].size() >> 8);
    }
    input += volumes[i];
  }
  return WriteFile(componentDir + "/run-" + name, input);
}

bool Save(const RarWriter& writer, const std::string& name) {
  return WriteFile(blocksDir + "/writer-" + name + ".rar", writer.Bytes());
}

// The volume set as files (for archive_blocks) and as one run of the component.
// A new-style set is kept under the names -first and -second, not its numbered ones.
bool SaveSet(const RarWriter& writer, const std::string& name, bool newNaming, unsigned options) {
  const auto parts = writer.SaveVolumes(blocksDir + "/writer-" + name, 200, newNaming);
  std::vector<std::string> volumes;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    volumes.push_back(ReadFile(parts[i]));
    const std::string kept =
        blocksDir + "/writer-" + name + (i == 0 ? "-first" : "-second") + ".rar";
    if (newNaming && std::rename(parts[i].c_str(), kept.c_str()) != 0) return false;
  }
  return parts.size() == 2 && SaveRun(name, options, volumes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: seed_archives CORPUS_DIR\n";
    return 2;
  }
  blocksDir = std::string(argv[1]) + "/archive_blocks";
  componentDir = std::string(argv[1]) + "/rar_component";
  bool ok = true;

  RarWriter plain;
  plain.AddFile("PROG.EXE", "program").AddFile("DATA\\A.DBF", "table").AddDirectory("EMPTY");
  ok &= Save(plain, "plain");
  // The four kinds of target directory: C:\T, C:\T\, none, \\SRV\SHARE\T.
  for (unsigned target = 0; target < 4; ++target) {
    ok &= SaveRun("plain-target" + std::to_string(target), target << 1, {plain.Bytes()});
  }

  RarWriterEntry unicode;
  unicode.Name = "\xC7\xD1\\\xB1\xDB.TXT";
  unicode.UnicodeName = u"\xD55C\\\xAE00.TXT";
  unicode.Data = "korean";
  RarWriterEntry utf8;
  utf8.Name = "\xED\x95\x9C.txt";
  utf8.Utf8Name = true;
  utf8.Data = "utf8";
  RarWriter names;
  names.Add(unicode).Add(utf8).AddFile("..\\..\\ESCAPE.TXT", "x").AddFile("\\\\srv\\s\\C:\\X", "y");
  ok &= Save(names, "names");
  ok &= SaveRun("names", 0, {names.Bytes()});

  const RarWriterEntry damaged = EntryWithBadDataChecksum("DAMAGED.DAT", "broken");
  const RarWriterEntry encrypted = EncryptedEntry("SECRET.TXT", "scrambled");
  const RarWriterEntry huge = EntryClaimingSize("HUGE.BIN", 0x140000123ull);
  RarWriter odd;
  odd.AddOtherBlock(0x75, "comment", "").Add(damaged).Add(encrypted);
  odd.AddOtherBlock(0x7A, std::string(4, '\0'), "sub-block data").Add(huge);
  ok &= Save(odd, "odd-blocks");
  ok &= SaveRun("odd-blocks", 0, {odd.Bytes()});
  ok &= SaveRun("odd-blocks-cancelled", 32, {odd.Bytes()});

  // A file split over two volumes, in both naming styles; the second set with the
  // volume-change handler and a list of files to extract.
  RarWriter volume;
  volume.AddFile("SPLIT.BIN", std::string(300, 's'));
  ok &= SaveSet(volume, "volume", false, 0);
  RarWriter named;
  named.AddFile("DATA\\SPLIT.BIN", std::string(300, 'n')).AddFile("SPLIT.BIN", "x");
  ok &= SaveSet(named, "new-volume", true, 8 | 16 | 64);
  return ok ? 0 : 1;
}
