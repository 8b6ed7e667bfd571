// kitcheck's reading of SETUP.INI and of archive signatures: the encoding judged by
// what the bytes read as, the table keys setup passes over, what a file is.
#include "kitcheck/archive_signature.h"
#include "kitcheck/script_file.h"
#include "setup/install_settings.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

EncodingVerdict Judge(const std::string& bytes) { return JudgeEncoding(bytes); }

bool ValidUtf8(const std::string& bytes) {
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                             static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

Utf8Reading Classify(const std::wstring& text) {
  return ClassifyUtf8Reading(text.data(), text.size());
}

}  // namespace

TEST(ScriptEncoding, Cp949HangulThatIsAlsoValidUtf8StaysCp949) {
  // Literals are code page 949 here: 체크키트 reads as "üũŰƮ" in UTF-8, 짜 째 짧 as "¥ ° ª".
  for (const std::string& script :
       {std::string("[APP]\r\nNAME=체크키트\r\n"), std::string("[APP]\r\nTITLE=짜 째 짧\r\n"),
        std::string("[APP]\r\nINSTALLDIR=C:\\Program Files\\체크\r\n")}) {
    ASSERT_TRUE(ValidUtf8(script)) << script;
    EXPECT_EQ(ScriptEncoding::Cp949, Judge(script).Encoding) << script;
  }
  EXPECT_EQ(ScriptEncoding::Cp949, Judge("[APP]\r\nNAME=별빛 가계부\r\n").Encoding);
  EXPECT_EQ(ScriptEncoding::Cp949, Judge("[APP]\r\nNAME=A\r\n").Encoding);
}

TEST(ScriptEncoding, HangulOrCjkInTheUtf8ReadingOrUtf8AloneIsUtf8) {
  EXPECT_EQ(ScriptEncoding::Utf8, Judge("NAME=\xEB\xB3\x84\xEB\xB9\x9B\r\n").Encoding);  // 별빛
  EXPECT_EQ(ScriptEncoding::Utf8, Judge("NAME=\xE4\xB8\x81\r\n").Encoding);              // 丁
  EXPECT_EQ(ScriptEncoding::Utf8, Judge("NAME=A\xE2\x80\xA6\r\n").Encoding);  // "…": no 949 text
}

TEST(ScriptEncoding, TextValidBothWaysWithoutAClearReadingIsShownBothWays) {
  const EncodingVerdict cafe = Judge("[APP]\r\nNAME=Caf\xC3\xA9\r\nVERSION=1\r\n");
  EXPECT_EQ(ScriptEncoding::Either, cafe.Encoding);
  EXPECT_EQ(2u, cafe.Line);
  EXPECT_EQ("NAME=Caf\xC3\xA9", cafe.AsCp949);
  ASSERT_EQ(9u, cafe.AsUtf8.size()) << cafe.AsUtf8;  // one character, as code page 949 shows it
  EXPECT_EQ(0, cafe.AsUtf8.compare(0, 8, "NAME=Caf"));

  EXPECT_EQ(ScriptEncoding::Either, Judge("NAME=\xCE\xA9\r\n").Encoding);  // Ω, beyond Latin
}

TEST(ScriptEncoding, BytesThatAreNoCp949TextNameTheirLine) {
  const EncodingVerdict verdict = Judge("[APP]\r\nNAME=A\r\nVERSION=\xB0\x20\r\n");
  EXPECT_EQ(ScriptEncoding::NotCp949, verdict.Encoding);
  EXPECT_EQ(3u, verdict.Line);
}

TEST(ScriptEncoding, AZeroByteIsNoTextWhateverElseTheBytesAre) {
  // A key line after a zero byte has no name for the profile functions, and its
  // section lists no keys past it: nothing kitcheck reads there can be trusted.
  const EncodingVerdict verdict = Judge(std::string("[FILES]\r\n\0FILE1=A.RAR,C:\\X\r\n", 28));
  EXPECT_EQ(ScriptEncoding::ZeroByte, verdict.Encoding);
  EXPECT_EQ(2u, verdict.Line);
}

TEST(ScriptEncoding, TheMarkJoinsTheFirstLineAndHidesItsSection) {
  EncodingVerdict verdict = Judge("\xEF\xBB\xBF[APP]\r\nNAME=\xEB\xB3\x84\r\n");
  EXPECT_EQ(ScriptEncoding::Utf8WithMark, verdict.Encoding);
  EXPECT_EQ("APP", verdict.MarkedSection);
  EXPECT_TRUE(verdict.MarkedHighBytes);

  verdict = Judge("\xEF\xBB\xBF  [ Files ]\n[APP]\nNAME=A\n");
  EXPECT_EQ("Files", verdict.MarkedSection);
  EXPECT_FALSE(verdict.MarkedHighBytes);

  for (const char* first : {"; comment", "", "NAME=A", "[APP"}) {
    verdict = Judge(std::string("\xEF\xBB\xBF") + first + "\r\n[APP]\r\nNAME=\xEB\xB3\x84\r\n");
    EXPECT_EQ(ScriptEncoding::Utf8WithMark, verdict.Encoding) << first;
    EXPECT_EQ("", verdict.MarkedSection) << first;
  }
}

TEST(ScriptEncoding, TheUtf8ReadingIsClassifiedByItsCharacters) {
  EXPECT_EQ(Utf8Reading::Ascii, Classify(L"NAME=A"));
  EXPECT_EQ(Utf8Reading::Latin, Classify(L"NAME=\u00FC\u0169\u0170\u01AE"));  // üũŰƮ
  EXPECT_EQ(Utf8Reading::Latin, Classify(L"\u00A1 \u00BF \u024F"));
  EXPECT_EQ(Utf8Reading::Other, Classify(L"Caf\u00E9"));
  EXPECT_EQ(Utf8Reading::Other, Classify(L"\u00FCber"));
  EXPECT_EQ(Utf8Reading::Other, Classify(L"\u0250"));
  EXPECT_EQ(Utf8Reading::HangulOrCjk, Classify(L"Caf\u00E9 \uBCC4"));  // 별
  EXPECT_EQ(Utf8Reading::HangulOrCjk, Classify(L"\u4E01"));
  EXPECT_EQ(Utf8Reading::HangulOrCjk, Classify(L"\u3131"));        // ㄱ
  EXPECT_EQ(Utf8Reading::HangulOrCjk, Classify(L"\xD840\xDC00"));  // U+20000
}

TEST(ScriptKeys, KeysSetupDoesNotReadAreNamedAndRepeatsToo) {
  const std::vector<std::string> listed = {"FILE1", "file2", "FILE01", "FILE11", "FILE0",
                                           "FILEX", "File1", "; note", "OTHER",  "FILE10"};
  const std::vector<IgnoredKey> ignored = KeysSetupIgnores(listed, kFileKeyPrefix);
  std::vector<std::string> names;
  for (const IgnoredKey& key : ignored) names.push_back(key.Name + (key.Repeated ? "*" : ""));
  EXPECT_EQ((std::vector<std::string>{"FILE01", "FILE11", "FILE0", "FILEX", "File1*", "OTHER"}),
            names);
  EXPECT_TRUE(KeysSetupIgnores({"ICON1", "ICON10"}, kIconKeyPrefix).empty());
  EXPECT_EQ(1u, KeysSetupIgnores({"ICON0"}, kIconKeyPrefix).size());
}

// The keys as the profile functions list them, against what setup's reader found.
TEST(ScriptKeys, TheListingAndSetupsReaderAgreeOnAFile) {
  const std::string dir = ScratchDir("script-keys");
  const std::string script =
      "[FILES]\r\n; FILEn=source,target\r\nFILE01=A.RAR,C:\\A\r\nFILE2=B.RAR,C:\\B\r\n"
      " FILE2 = C.RAR,C:\\C\r\n[ICONS]\r\nICON0=Programs,A,C:\\A.EXE\r\n"
      "ICON1=Programs,B,C:\\B.EXE\r\n";
  WriteFileBytes(dir + "SETUP.INI", script);
  const ScriptFile file = AnalyseScript(script, dir + "SETUP.INI");
  ASSERT_EQ(2u, file.IgnoredFileKeys.size());
  EXPECT_EQ("FILE01", file.IgnoredFileKeys[0].Name);
  EXPECT_TRUE(file.IgnoredFileKeys[1].Repeated);
  ASSERT_EQ(1u, file.IgnoredIconKeys.size());
  EXPECT_EQ("ICON0", file.IgnoredIconKeys[0].Name);

  // A key without a name is listed as an empty one, which does not end the listing.
  const std::string unnamed = "[ICONS]\r\nICON1=A\r\n  =B\rICON01=C\r\n";
  WriteFileBytes(dir + "UNNAMED.INI", unnamed);
  const ScriptFile withUnnamed = AnalyseScript(unnamed, dir + "UNNAMED.INI");
  ASSERT_EQ(1u, withUnnamed.IgnoredIconKeys.size());
  EXPECT_EQ("ICON01", withUnnamed.IgnoredIconKeys[0].Name);
  EXPECT_EQ(3u, withUnnamed.UnnamedKeyLine);
  EXPECT_EQ(0u, file.UnnamedKeyLine);

  ReadSetupScriptFor(dir + "setup.exe");
  EXPECT_EQ(2u, InstallSettings.FileCount);
  EXPECT_FALSE(InstallSettings.FilePresent[0]);
  EXPECT_TRUE(InstallSettings.FilePresent[1]);
  EXPECT_EQ("B.RAR", InstallSettings.FileEntries[1].Source);  // the first FILE2 wins
  EXPECT_TRUE(InstallSettings.IconPresent[0]);
}

TEST(ArchiveSignature, TheLeadingBytesNameTheFormat) {
  EXPECT_EQ(ArchiveFormat::Rar4, FormatOfSignature(std::string("Rar!\x1A\x07\x00\xCF", 8)));
  EXPECT_EQ(ArchiveFormat::Rar5, FormatOfSignature(std::string("Rar!\x1A\x07\x01\x00", 8)));
  EXPECT_EQ(ArchiveFormat::Zip, FormatOfSignature(std::string("PK\x03\x04\x14\x00", 6)));
  EXPECT_EQ(ArchiveFormat::Zip, FormatOfSignature(std::string("PK\x05\x06", 4)));
  EXPECT_EQ(ArchiveFormat::SevenZip, FormatOfSignature("7z\xBC\xAF\x27\x1C\x00\x04"));
  EXPECT_EQ(ArchiveFormat::Cab, FormatOfSignature(std::string("MSCF\0\0\0\0", 8)));
  EXPECT_EQ(ArchiveFormat::Gzip, FormatOfSignature("\x1F\x8B\x08"));
  EXPECT_EQ(ArchiveFormat::Unknown, FormatOfSignature("MZ\x90"));
  EXPECT_EQ(ArchiveFormat::Unknown, FormatOfSignature("Rar!"));  // cut short
  EXPECT_EQ(ArchiveFormat::Unknown, FormatOfSignature(""));
  EXPECT_STREQ("ZIP", FormatName(ArchiveFormat::Zip));
}
