#include "setup/install_settings.h"

#include "setup/comma_field.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// Writes SETUP.INI beside a would-be setup.exe and reads it as setup does.
class SetupScript : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = ScratchDir("script"); }

  const TInstallSettings& Read(const std::string& script) {
    WriteFileBytes(dir_ + "SETUP.INI", script);
    return ReadFor();
  }
  const TInstallSettings& ReadFor() {
    ReadSetupScriptFor(dir_ + "setup.exe");
    return InstallSettings;
  }

  std::string dir_;
};

}  // namespace

TEST_F(SetupScript, NoScriptGivesEveryDefault) {
  const TInstallSettings& s = ReadFor();
  EXPECT_EQ(dir_, s.SourceDir);
  EXPECT_EQ("", s.ProductName);
  EXPECT_EQ("", s.ProductTitle);
  EXPECT_EQ("", s.InstallDir);
  EXPECT_EQ("", s.UninstallLinkName);
  EXPECT_EQ("", s.DbEngineArchive);
  EXPECT_EQ("C:\\Program Files\\Borland\\Common Files\\BDE", s.DbEngineDir);
  EXPECT_EQ("IDAPI32.CFG", s.DbEngineConfigFile);
  EXPECT_EQ("96-05-01", s.DbEngineDate);
  EXPECT_EQ("korea", s.ParadoxLangDriver);
  EXPECT_EQ("DB949KO0", s.DbaseLangDriver);
  EXPECT_EQ("FALSE", s.DbEngineOverwrite);
  EXPECT_EQ("", s.CrwArchive);
  EXPECT_EQ("", s.CrwPath);
  EXPECT_EQ(0u, s.FileCount);
  EXPECT_EQ(0u, s.IconCount);
}

TEST_F(SetupScript, SourceDirEndsAtLastBackslashOrColon) {
  ReadSetupScriptFor("A:SETUP.EXE");
  EXPECT_EQ("A:", InstallSettings.SourceDir);
  ReadSetupScriptFor("SETUP.EXE");
  EXPECT_EQ("", InstallSettings.SourceDir);
}

TEST_F(SetupScript, AppSectionAndTitle) {
  const TInstallSettings& s = Read(
      "[app]\r\nname = Pelmora \r\nVERSION=1.0\r\nCOMPANY=Korvane\r\n"
      "INSTALLDIR=C:\\KORVANE\r\nFOLDER=펠모라\r\nTITLE=\"  펠모라 설치 \"\r\n"
      "README=R.TXT\r\nRUN=P.EXE\r\nUNINSTALL=Remove\r\n");
  EXPECT_EQ("Pelmora", s.ProductName);
  EXPECT_EQ("Pelmora 1.0", s.ProductTitle);
  EXPECT_EQ("Korvane", s.CompanyName);
  EXPECT_EQ("C:\\KORVANE", s.InstallDir);
  EXPECT_EQ("펠모라", s.ProductFolder);
  EXPECT_EQ("  펠모라 설치 ", s.TitleText);  // the quotes keep the blanks
  EXPECT_EQ("R.TXT", s.Readme);
  EXPECT_EQ("P.EXE", s.Run);
  EXPECT_EQ("Remove", s.UninstallLinkName);
}

TEST_F(SetupScript, TitleFromNameOrVersionAlone) {
  EXPECT_EQ("Pelmora", Read("[APP]\r\nNAME=Pelmora\r\n").ProductTitle);
  EXPECT_EQ("1.0", Read("[APP]\r\nVERSION=1.0\r\n").ProductTitle);
}

TEST_F(SetupScript, EngineSections) {
  const TInstallSettings& s = Read(
      "[BDE]\r\nFILE=PARADOX.RAR\r\nPATH=<INSTALLDIR>\\BDE\r\nCFG=P.CFG\r\nDATE=98-03-05\r\n"
      "LANGPARADOX=\r\nLANGDBASE=DB437US0\r\nOVERWRITE=true\r\n"
      "[CRW]\r\nFILE=CRW.RAR\r\nPATH=X\r\n");
  EXPECT_EQ("PARADOX.RAR", s.DbEngineArchive);
  EXPECT_EQ("<INSTALLDIR>\\BDE", s.DbEngineDir);
  EXPECT_EQ("P.CFG", s.DbEngineConfigFile);
  EXPECT_EQ("98-03-05", s.DbEngineDate);
  EXPECT_EQ("", s.ParadoxLangDriver);  // present and empty is not absent
  EXPECT_EQ("DB437US0", s.DbaseLangDriver);
  EXPECT_EQ("true", s.DbEngineOverwrite);
  EXPECT_EQ("CRW.RAR", s.CrwArchive);
  EXPECT_EQ("X", s.CrwPath);
}

TEST_F(SetupScript, FileTableFieldsAndModes) {
  const TInstallSettings& s = Read(
      "[FILES]\r\nFILE1=PROG.RAR,<INSTALLDIR>\r\n"
      "FILE2= DATA.RAR , C:\\데이터 , copy \r\n"
      "FILE3=A.RAR,,failifexists,extra\r\n"
      "FILE4=\r\n");
  ASSERT_EQ(4u, s.FileCount);
  EXPECT_EQ("PROG.RAR", s.FileEntries[0].Source);
  EXPECT_EQ("<INSTALLDIR>", s.FileEntries[0].DestDir);
  EXPECT_EQ("", s.FileEntries[0].Mode);
  EXPECT_EQ("DATA.RAR", s.FileEntries[1].Source);
  EXPECT_EQ("C:\\데이터", s.FileEntries[1].DestDir);
  EXPECT_EQ("COPY", s.FileEntries[1].Mode);
  EXPECT_EQ("A.RAR", s.FileEntries[2].Source);
  EXPECT_EQ("", s.FileEntries[2].DestDir);
  EXPECT_EQ("FAILIFEXISTS", s.FileEntries[2].Mode);
  EXPECT_EQ("", s.FileEntries[3].Source);  // present and empty still counts
}

// Which entries setup extracts, which it copies and which it passes over: the engine
// and kitcheck both ask these two.
TEST(FilesEntry, ModeAndSourceDecideWhatSetupDoesWithIt) {
  const auto entry = [](const std::string& source, const std::string& mode) {
    return FileEntry{source, "<INSTALLDIR>", mode};
  };
  EXPECT_EQ(FileMode::Extract, ModeOf(entry("A.RAR", "")));
  EXPECT_EQ(FileMode::ExtractKeepingFiles, ModeOf(entry("A.RAR", "FailIfExists")));
  EXPECT_EQ(FileMode::Copy, ModeOf(entry("A.TXT", "copy")));
  EXPECT_EQ(FileMode::Unknown, ModeOf(entry("A.RAR", "FAST")));
  EXPECT_EQ(FileMode::Unknown, ModeOf(entry("A.RAR", " COPY")));  // fields come trimmed

  EXPECT_TRUE(ExtractsFromArchive(entry("DATA.RAR", "")));
  EXPECT_TRUE(ExtractsFromArchive(entry("data.rar", "failifexists")));
  EXPECT_TRUE(ExtractsFromArchive(entry("자료\\DATA.Rar", "")));
  EXPECT_FALSE(ExtractsFromArchive(entry("DATA.RAR", "COPY")));  // copied whole instead
  EXPECT_FALSE(ExtractsFromArchive(entry("DATA.RAR", "FAST")));  // neither
  EXPECT_FALSE(ExtractsFromArchive(entry("DATA.ZIP", "")));      // no archive to extract
  EXPECT_FALSE(ExtractsFromArchive(entry("DATA.RAR.TXT", "")));
  EXPECT_FALSE(ExtractsFromArchive(entry("DISK.RAR\\DATA", "")));  // a folder's dot
  EXPECT_FALSE(ExtractsFromArchive(entry("", "")));
}

TEST_F(SetupScript, CountsAreTheHighestSlotPresent) {
  const TInstallSettings& s = Read(
      "[FILES]\r\nFILE1=A.RAR,C:\\A\r\nFILE3=C.RAR,C:\\C\r\nFILE11=K.RAR,C:\\K\r\n"
      "[ICONS]\r\nICON2=Programs,P,C:\\P.EXE\r\nICON11=Programs,Q,C:\\Q.EXE\r\n");
  EXPECT_EQ(3u, s.FileCount);
  EXPECT_EQ((std::array<bool, 3>{true, false, true}),
            (std::array<bool, 3>{s.FilePresent[0], s.FilePresent[1], s.FilePresent[2]}));
  EXPECT_FALSE(s.FilePresent[9]);  // FILE11 is no slot
  EXPECT_EQ("", s.FileEntries[1].Source);
  EXPECT_EQ("", s.FileEntries[1].DestDir);
  EXPECT_EQ("C.RAR", s.FileEntries[2].Source);
  EXPECT_EQ(2u, s.IconCount);
  EXPECT_EQ("", s.IconEntries[0].LinkName);

  EXPECT_EQ(0u, Read("[FILES]\r\nFILE11=K.RAR,C:\\K\r\n").FileCount);
  EXPECT_EQ(10u, Read("[FILES]\r\nFILE10=K.RAR,C:\\K\r\n").FileCount);
}

TEST_F(SetupScript, NoneExactlyCountsAsAbsent) {
  const TInstallSettings& s =
      Read("[FILES]\r\nFILE1=NONE\r\nFILE2=None\r\n[ICONS]\r\nICON1=NONE\r\n");
  EXPECT_EQ(2u, s.FileCount);
  EXPECT_FALSE(s.FilePresent[0]);
  EXPECT_TRUE(s.FilePresent[1]);
  EXPECT_EQ("", s.FileEntries[0].Source);
  EXPECT_EQ("None", s.FileEntries[1].Source);
  EXPECT_EQ(0u, s.IconCount);
  EXPECT_FALSE(s.IconPresent[0]);
}

TEST_F(SetupScript, IconTableFields) {
  const TInstallSettings& s = Read(
      "[ICONS]\r\nICON1=Programs,펠모라,<INSTALLDIR>\\PROG.EXE\r\n"
      "ICON2= Desktop , Run , C:\\R.EXE , /a /b , extra\r\n");
  ASSERT_EQ(2u, s.IconCount);
  EXPECT_EQ("Programs", s.IconEntries[0].ShellFolder);
  EXPECT_EQ("펠모라", s.IconEntries[0].LinkName);
  EXPECT_EQ("<INSTALLDIR>\\PROG.EXE", s.IconEntries[0].Target);
  EXPECT_EQ("", s.IconEntries[0].Arguments);
  EXPECT_EQ("Desktop", s.IconEntries[1].ShellFolder);
  EXPECT_EQ("/a /b", s.IconEntries[1].Arguments);
}

TEST_F(SetupScript, LongValueIsCutTo1023Bytes) {
  const std::string value(1500, 'x');
  EXPECT_EQ(std::string(1023, 'x'), Read("[APP]\r\nNAME=" + value + "\r\n").ProductName);

  // A cut through a two-byte character never leaves a zero byte inside the text.
  std::string korean;
  for (int i = 0; i < 700; ++i) korean += "한";
  const std::string name = Read("[APP]\r\nNAME=x" + korean + "\r\n").ProductName;
  EXPECT_GE(name.size(), 1022u);
  EXPECT_LE(name.size(), 1023u);
  EXPECT_EQ(std::string::npos, name.find('\0'));
  EXPECT_EQ(0, ("x" + korean).compare(0, name.size(), name));
}

TEST_F(SetupScript, QuotesAroundValuesAreRemoved) {
  const TInstallSettings& s =
      Read("[APP]\r\nNAME='Pelmora'\r\nVERSION=\"1.0\"\r\nCOMPANY=\"Kor'vane\"\r\n");
  EXPECT_EQ("Pelmora", s.ProductName);
  EXPECT_EQ("1.0", s.ProductVersion);
  EXPECT_EQ("Kor'vane", s.CompanyName);
}

TEST(CommaField, FieldsAreTrimmedAndMissingOnesEmpty) {
  EXPECT_EQ("a", GetCommaField(" a , b ", 1));
  EXPECT_EQ("b", GetCommaField(" a , b ", 2));
  EXPECT_EQ("", GetCommaField(" a , b ", 3));
  EXPECT_EQ("", GetCommaField("a,,c", 2));
  EXPECT_EQ("c", GetCommaField("a,,c", 3));
  EXPECT_EQ("", GetCommaField("", 2));
  EXPECT_EQ("", GetCommaField("a,b", 0));
  EXPECT_EQ("한 글", GetCommaField("x,\t한 글\x01,y", 2));
}
