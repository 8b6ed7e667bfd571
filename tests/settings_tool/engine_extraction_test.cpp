#include "settings_tool/engine_extraction.h"

#include "rar_writer.h"
#include "shared/file_system.h"
#include "test_support.h"

#include <gtest/gtest.h>

TEST(ExtractEngineArchive, EveryEntryComesOutOverExistingFilesIntoAMissingDirectory) {
  const std::string dir = ScratchDir("engine-extraction");
  RarWriter writer;
  writer.AddFile("IDAPI32.DLL", "new engine").AddFile("KOREA.BLL", "korea");
  ASSERT_TRUE(writer.Save(dir + "Paradox.RAR"));
  const std::string target = dir + "Common Files\\BDE";
  EXPECT_TRUE(ExtractEngineArchive(dir + "Paradox.RAR", target));
  EXPECT_EQ("korea", ReadFileBytes(target + "\\KOREA.BLL"));
  WriteFileBytes(target + "\\IDAPI32.DLL", "old engine, longer than the new one");
  EXPECT_TRUE(ExtractEngineArchive(dir + "Paradox.RAR", target));
  EXPECT_EQ("new engine", ReadFileBytes(target + "\\IDAPI32.DLL"));
}

TEST(ExtractEngineArchive, FailuresGiveFalseAndKeepWhatCameOut) {
  const std::string dir = ScratchDir("engine-extraction-bad");
  RarWriterEntry damaged;
  damaged.name = "BAD.DLL";
  damaged.data = "damaged";
  damaged.badDataCrc = true;
  RarWriter writer;
  writer.AddFile("FIRST.DLL", "first").Add(damaged).AddFile("LAST.DLL", "last");
  ASSERT_TRUE(writer.Save(dir + "SQL.RAR"));
  EXPECT_FALSE(ExtractEngineArchive(dir + "SQL.RAR", dir + "out"));
  EXPECT_EQ("first", ReadFileBytes(dir + "out\\FIRST.DLL"));
  EXPECT_EQ("last", ReadFileBytes(dir + "out\\LAST.DLL"));
  EXPECT_FALSE(ExtractEngineArchive(dir + "MISSING.RAR", dir + "out"));
  EXPECT_FALSE(ExtractEngineArchive("", dir + "out"));
}
