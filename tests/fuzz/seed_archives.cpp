// Writes the archive seeds of the archive_blocks target with the project's archive
// writer: every kind of block and name it knows. Built natively by tools/fuzz.sh;
// the output is the same every time, so the seeds in the corpus stay as committed.
#include "rar_writer/rar_writer.h"

#include <cstdint>
#include <iostream>
#include <string>

namespace {

bool Save(const RarWriter& writer, const std::string& dir, const std::string& name) {
  if (writer.Save(dir + "/writer-" + name + ".rar")) return true;
  std::cerr << "cannot write " << name << "\n";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: seed_archives OUTPUT_DIR\n";
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;

  RarWriter plain;
  plain.AddFile("PROG.EXE", "program").AddFile("DATA\\A.DBF", "table").AddDirectory("EMPTY");
  ok &= Save(plain, dir, "plain");

  RarWriterEntry unicode;
  unicode.name = "\xC7\xD1\\\xB1\xDB.TXT";
  unicode.unicodeName = u"\xD55C\\\xAE00.TXT";
  unicode.data = "korean";
  RarWriterEntry utf8;
  utf8.name = "\xED\x95\x9C.txt";
  utf8.utf8Name = true;
  utf8.data = "utf8";
  RarWriter names;
  names.Add(unicode).Add(utf8).AddFile("..\\..\\ESCAPE.TXT", "x").AddFile("\\\\srv\\s\\C:\\X", "y");
  ok &= Save(names, dir, "names");

  RarWriterEntry damaged;
  damaged.name = "DAMAGED.DAT";
  damaged.data = "broken";
  damaged.badDataCrc = true;
  RarWriterEntry encrypted;
  encrypted.name = "SECRET.TXT";
  encrypted.data = "scrambled";
  encrypted.encrypted = true;
  RarWriterEntry huge;
  huge.name = "HUGE.BIN";
  huge.declaredSize = 0x140000123ull;
  RarWriter odd;
  odd.AddOtherBlock(0x75, "comment", "").Add(damaged).Add(encrypted);
  odd.AddOtherBlock(0x7A, std::string(4, '\0'), "sub-block data").Add(huge);
  ok &= Save(odd, dir, "odd-blocks");

  RarWriter volume;
  volume.AddFile("SPLIT.BIN", std::string(300, 's'));
  const auto parts = volume.SaveVolumes(dir + "/writer-volume", 200, false);
  ok &= parts.size() == 2;
  return ok ? 0 : 1;
}
