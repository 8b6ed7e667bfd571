// The dry run over an archive, with the stand-in UNRAR.DLL.
#include "rar/rar_check.h"
#include "rar_writer/rar_writer.h"
#include "support/scopes.h"
#include "support/test_support.h"
#include "win/file_system.h"
#include "win/handles.h"
#include "win/long_path.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

RarWriter SoundArchive() {
  RarWriter writer;
  writer.AddFile("IDAPI32.DLL", PatternBytes(200000, 3))
      .AddDirectory("LANG")
      .AddFile("LANG\\KOREA.BLL", "korea")
      .AddFile("EMPTY.TXT", "");
  return writer;
}

bool IntactAfterSaving(const RarWriter& writer, const std::string& path) {
  EXPECT_TRUE(writer.Save(path));
  return ArchiveIsIntact(path);
}

}  // namespace

TEST(ArchiveCheck, SoundArchivesPassAndNothingIsWritten) {
  const std::string dir = ScratchDir("rar-check-sound");
  const std::string work = ScratchDir("rar-check-sound-cwd");
  {
    const CurrentDirectoryScope inWork(work);  // where an extraction without target goes
    ASSERT_TRUE(inWork.Entered());
    EXPECT_TRUE(IntactAfterSaving(SoundArchive(), dir + "SOUND.RAR"));
    EXPECT_TRUE(IntactAfterSaving(RarWriter(), dir + "NOENTRY.RAR"));
  }
  EXPECT_TRUE(IsEmptyDirectory(work));
  EXPECT_TRUE(ArchiveIsIntact(SourceTreePath("tests/fixtures/rar/tree-with-empty-dir.rar")));
}

TEST(ArchiveCheck, DamagedMissingAndForeignArchivesFail) {
  const std::string dir = ScratchDir("rar-check-damaged");
  EXPECT_FALSE(ArchiveIsIntact(dir + "MISSING.RAR"));
  EXPECT_FALSE(ArchiveIsIntact(dir));  // a directory

  WriteFileBytes(dir + "TEXT.RAR", "not an archive at all");
  EXPECT_FALSE(ArchiveIsIntact(dir + "TEXT.RAR"));
  WriteFileBytes(dir + "ZERO.RAR", "");
  EXPECT_FALSE(ArchiveIsIntact(dir + "ZERO.RAR"));

  // Cut inside the large entry's data: the first entry cannot be read whole.
  const std::string bytes = SoundArchive().Bytes();
  WriteFileBytes(dir + "CUT.RAR", bytes.substr(0, 100000));
  EXPECT_FALSE(ArchiveIsIntact(dir + "CUT.RAR"));

  const RarWriterEntry badData = EntryWithBadDataChecksum("BAD.DLL", "checksum does not match");
  RarWriter withBadData = SoundArchive();
  withBadData.Add(badData).AddFile("LAST.TXT", "last");
  EXPECT_FALSE(IntactAfterSaving(withBadData, dir + "BADDATA.RAR"));

  const RarWriterEntry badHeader = EntryWithBadHeaderChecksum("HEADER.DLL", "x");
  RarWriter withBadHeader = SoundArchive();
  withBadHeader.Add(badHeader);
  EXPECT_FALSE(IntactAfterSaving(withBadHeader, dir + "BADHEAD.RAR"));

  EXPECT_FALSE(ArchiveIsIntact(SourceTreePath("tests/fixtures/rar/encrypted-entries.rar")));
}
