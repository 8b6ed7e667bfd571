// The archive component against a scripted archive library (fake_unrar).
#include "rar/rar_component.h"
#include "fake_unrar.h"
#include "support/long_paths.h"
#include "support/scopes.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

namespace {

const char kArchive[] = "C:\\ARC\\DATA.RAR";

FakeEntry Entry(const std::string& name, int extractCode = 0) {
  FakeEntry entry;
  entry.Name = name;
  entry.ExtractCode = extractCode;
  return entry;
}

FakeArchive Archive(std::vector<FakeEntry> entries) {
  FakeArchive archive;
  archive.Entries = std::move(entries);
  return archive;
}

class RarComponent : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_unrar::Reset();
    rar.ArchiveName = kArchive;
  }

  // Every extraction event and error goes into the event list.
  void Record() {
    rar.OnError = [this](TRAR& sender, int code) {
      EXPECT_EQ(&rar, &sender);
      events.push_back("error " + std::to_string(code));
    };
    rar.OnExtracting = [this](TRAR&, const RARHeaderData& header) {
      events.push_back(std::string("extracting ") + header.FileName);
    };
    rar.OnExtract = [this](TRAR&, const RARHeaderData& header, bool ok) {
      events.push_back(std::string("extract ") + header.FileName + (ok ? " ok" : " failed"));
    };
  }

  std::string Events() const { return Joined(events, " | "); }

  TRAR rar;
  std::vector<std::string> events;
};

}  // namespace

TEST_F(RarComponent, EmptyArchiveNameReportsBadArchiveWithoutCallingTheLibrary) {
  Record();
  rar.ArchiveName.clear();
  EXPECT_FALSE(rar.ExtractFiles());
  EXPECT_EQ("error 13", Events());
  EXPECT_TRUE(fake_unrar::Log().empty());
}

TEST_F(RarComponent, FailedOpenIsReportedAndAReturnedHandleReleased) {
  Record();
  FakeArchive damaged;
  damaged.OpenResult = 13;
  damaged.HandleOnFailure = true;
  fake_unrar::Script(kArchive, damaged);
  EXPECT_FALSE(rar.ExtractFiles());
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | close", fake_unrar::LogText());
  EXPECT_EQ("error 13", Events());

  fake_unrar::Reset();
  events.clear();
  EXPECT_FALSE(rar.ExtractFiles());  // no script: the archive is missing, no handle
  EXPECT_EQ("open C:\\ARC\\DATA.RAR", fake_unrar::LogText());
  EXPECT_EQ("error 15", Events());
}

TEST_F(RarComponent, EveryEntryIsExtractedInArchiveOrderWhenNothingIsSelected) {
  Record();
  fake_unrar::Script(kArchive, Archive({Entry("A.TXT"), Entry("SUB\\B.TXT"), Entry("C")}));
  rar.TargetDir = "C:\\T";
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ(
      "open C:\\ARC\\DATA.RAR | read | process 2 C:\\T | read | process 2 C:\\T | "
      "read | process 2 C:\\T | read | close",
      fake_unrar::LogText());
  EXPECT_EQ(
      "extracting A.TXT | extract A.TXT ok | extracting SUB\\B.TXT | "
      "extract SUB\\B.TXT ok | extracting C | extract C ok",
      Events());
  EXPECT_EQ(0, fake_unrar::OpenHandles());
}

TEST_F(RarComponent, WithoutTargetDirNoDestinationPathIsPassed) {
  fake_unrar::Script(kArchive, Archive({Entry("A")}));
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | read | process 2 - | read | close", fake_unrar::LogText());
}

TEST_F(RarComponent, CreateAndChecksumErrorsSpoilOnlyTheirEntry) {
  Record();
  fake_unrar::Script(kArchive, Archive({Entry("A", 16), Entry("B", 12), Entry("C")}));
  EXPECT_FALSE(rar.ExtractFiles());
  EXPECT_EQ(
      "extracting A | extract A failed | error 16 | extracting B | extract B failed | "
      "error 12 | extracting C | extract C ok",
      Events());
  EXPECT_EQ(0, fake_unrar::OpenHandles());
}

TEST_F(RarComponent, AnyOtherExtractErrorEndsTheRunAtOnce) {
  Record();
  fake_unrar::Script(kArchive, Archive({Entry("A", 13), Entry("B")}));
  EXPECT_FALSE(rar.ExtractFiles());
  EXPECT_EQ("extracting A | extract A failed | error 13", Events());
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | read | process 2 - | close", fake_unrar::LogText());
}

TEST_F(RarComponent, FailedSkipEndsTheRun) {
  Record();
  FakeEntry skipped = Entry("OTHER");
  skipped.SkipCode = 18;
  fake_unrar::Script(kArchive, Archive({skipped, Entry("WANTED")}));
  rar.FilesToExtract = {"WANTED"};
  EXPECT_FALSE(rar.ExtractFiles());
  EXPECT_EQ("error 18", Events());
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | read | process 0 - | close", fake_unrar::LogText());
}

TEST_F(RarComponent, HeaderReadEndsTheRunAndOnlyTheNormalEndCountsAsSuccess) {
  Record();
  for (const int code : {12, 13, 18}) {
    fake_unrar::Reset();
    events.clear();
    FakeArchive damaged = Archive({Entry("A")});
    damaged.EndCode = code;
    fake_unrar::Script(kArchive, damaged);
    EXPECT_FALSE(rar.ExtractFiles()) << code;  // entries after the damage are lost
    EXPECT_EQ("extracting A | extract A ok | error " + std::to_string(code), Events());
    EXPECT_EQ(0, fake_unrar::OpenHandles());
  }
  fake_unrar::Reset();
  events.clear();
  fake_unrar::Script(kArchive, Archive({Entry("A")}));
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ("extracting A | extract A ok", Events());
}

TEST_F(RarComponent, StopSetInsideOnExtractEndsTheRunAtTheNextHeader) {
  Record();
  fake_unrar::Script(kArchive, Archive({Entry("A"), Entry("B"), Entry("C")}));
  rar.OnExtract = [](TRAR& sender, const RARHeaderData&, bool) { sender.Stop = true; };
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_FALSE(rar.Stop);
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | read | process 2 - | read | close", fake_unrar::LogText());

  fake_unrar::Reset();
  fake_unrar::Script(kArchive, Archive({Entry("A", 16), Entry("B")}));
  EXPECT_FALSE(rar.ExtractFiles());  // the result keeps the earlier failure
  EXPECT_FALSE(rar.Stop);

  fake_unrar::Reset();
  fake_unrar::Script(kArchive, Archive({Entry("A")}));
  rar.OnExtract = nullptr;
  rar.Stop = true;  // set before the run: not even the first entry is handled
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_FALSE(rar.Stop);
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | read | close", fake_unrar::LogText());
}

TEST_F(RarComponent, FailIfExistsSkipsExistingTargetsSilently) {
  Record();
  const std::string dir = ScratchDir("rar-fail-if-exists");
  WriteFileBytes(dir + "A.TXT", "old");
  fake_unrar::Script(kArchive, Archive({Entry("A.TXT"), Entry("B.TXT")}));
  EXPECT_TRUE(rar.ExtractArchive(kArchive, dir.substr(0, dir.size() - 1), true));
  EXPECT_TRUE(rar.FailifExists);
  EXPECT_EQ("extracting B.TXT | extract B.TXT ok", Events());
  const std::string target = dir.substr(0, dir.size() - 1);
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | read | process 0 " + target + " | read | process 2 " +
                target + " | read | close",
            fake_unrar::LogText());

  fake_unrar::Reset();
  events.clear();
  FakeEntry failing = Entry("A.TXT");
  failing.SkipCode = 18;
  fake_unrar::Script(kArchive, Archive({failing, Entry("B.TXT")}));
  EXPECT_FALSE(rar.ExtractFiles());
  EXPECT_EQ("error 18", Events());
  EXPECT_EQ(0, fake_unrar::OpenHandles());

  fake_unrar::Reset();
  events.clear();
  fake_unrar::Script(kArchive, Archive({Entry("A.TXT")}));
  rar.FailifExists = false;
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ("extracting A.TXT | extract A.TXT ok", Events());
}

// Without a target directory the library writes into the current directory, so an
// existing file there is kept; a file of that name in the drive's root is no reason
// to skip.
TEST_F(RarComponent, FailIfExistsWithoutTargetDirLooksInTheCurrentDirectory) {
  Record();
  const std::string dir = ScratchDir("rar-current-dir");
  WriteFileBytes(dir + "HERE.TXT", "old");
  WriteFileBytes("C:\\ROOTONLY.TXT", "root");
  {
    const CurrentDirectoryScope inDir(dir);
    ASSERT_TRUE(inDir.Entered());
    fake_unrar::Script(kArchive, Archive({Entry("HERE.TXT"), Entry("ROOTONLY.TXT")}));
    rar.FailifExists = true;
    EXPECT_TRUE(rar.ExtractFiles());
  }
  DeleteFileA("C:\\ROOTONLY.TXT");
  EXPECT_EQ("extracting ROOTONLY.TXT | extract ROOTONLY.TXT ok", Events());
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | read | process 0 - | read | process 2 - | read | close",
            fake_unrar::LogText());
}

// The existence test looks where the library writes, the stored name made safe:
// "..\..\X.TXT" lands in the target, whatever lies where the raw name points; and a
// target path beyond MAX_PATH characters is looked at too.
TEST_F(RarComponent, FailIfExistsLooksWhereTheLibraryWrites) {
  Record();
  const std::string dir = ScratchDir("rar-fail-if-exists-safe");
  const std::string target = dir + "A\\B";
  MakeDirectories(target);
  WriteFileBytes(target + "\\X.TXT", "old");
  WriteFileBytes(dir + "Y.TXT", "above the target");
  fake_unrar::Script(kArchive, Archive({Entry("..\\..\\X.TXT"), Entry("..\\..\\Y.TXT"),
                                        Entry("C:\\X.TXT"), Entry("A\\..\\..\\X.TXT")}));
  EXPECT_TRUE(rar.ExtractArchive(kArchive, target, true));
  EXPECT_EQ("extracting ..\\..\\Y.TXT | extract ..\\..\\Y.TXT ok", Events());

  fake_unrar::Reset();
  events.clear();
  const std::string longTarget =
      dir + KoreanText(80) + "\\" + KoreanText(80) + "\\" + KoreanText(80);
  MakeLongDirectories(longTarget);
  WriteLongFile(longTarget + "\\L.TXT", "old");
  ASSERT_GE(Utf16Length(longTarget + "\\L.TXT"), 260u);
  fake_unrar::Script(kArchive, Archive({Entry("L.TXT"), Entry("M.TXT")}));
  EXPECT_TRUE(rar.ExtractArchive(kArchive, longTarget, true));
  EXPECT_EQ("extracting M.TXT | extract M.TXT ok", Events());
}

TEST_F(RarComponent, SelectionMatchesNamesInsideItemsWithoutAsciiCase) {
  Record();
  fake_unrar::Script(
      kArchive, Archive({Entry("DATA.DBF"), Entry("data.dbf"), Entry("DATA"),
                         Entry("SUB\\DATA.DBF"), Entry("\xB0\xA1.TXT"), Entry("\xB0\xC1.TXT")}));
  rar.FilesToExtract = {"C:\\APP\\DATA.DBF", "C:\\\xB0\xA1.txt"};
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ(
      "extracting DATA.DBF | extract DATA.DBF ok | extracting data.dbf | "
      "extract data.dbf ok | extracting DATA | extract DATA ok | "
      "extracting \xB0\xA1.TXT | extract \xB0\xA1.TXT ok",
      Events());
  const auto& log = fake_unrar::Log();
  EXPECT_EQ("process 0 -", log[8]);   // SUB\DATA.DBF skipped
  EXPECT_EQ("process 0 -", log[12]);  // another Korean character
}

TEST_F(RarComponent, EntryNameIsTakenFromAtMostTheWholeNameField) {
  const std::string longName(260, 'x');  // fills the field: no terminating zero
  fake_unrar::Script(kArchive, Archive({Entry(longName)}));
  rar.FilesToExtract = {longName + "Y"};
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ("process 2 -", fake_unrar::Log()[2]);
}

TEST_F(RarComponent, PasswordStartsEmptyIsCarriedAlongAndSentOnlyWhenSet) {
  FakeEntry first = Entry("ONE");
  first.Flags = rar_const::kFlagEncrypted;
  FakeEntry second = first;
  second.Name = "TWO";
  FakeEntry third = first;
  third.Name = "THREE";
  fake_unrar::Script(kArchive, Archive({first, Entry("PLAIN"), second, third}));
  std::vector<std::string> seen;
  rar.OnReqPassword = [&](TRAR&, const RARHeaderData& header, std::string& password) {
    seen.push_back(std::string(header.FileName) + "=" + password);
    if (password.empty())
      password = "secret";
    else if (password == "secret")
      password = "";
  };
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ((std::vector<std::string>{"ONE=", "TWO=secret", "THREE="}), seen);
  EXPECT_EQ(
      "open C:\\ARC\\DATA.RAR | read | password secret | process 2 - | read | "
      "process 2 - | read | process 2 - | read | password secret | process 2 - | "
      "read | close",
      fake_unrar::LogText());

  fake_unrar::Reset();
  fake_unrar::Script(kArchive, Archive({first}));
  seen.clear();
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ((std::vector<std::string>{"ONE="}), seen);  // every run starts empty

  fake_unrar::Reset();
  fake_unrar::Script(kArchive, Archive({first}));
  rar.OnReqPassword = nullptr;
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | read | process 2 - | read | close", fake_unrar::LogText());
}

TEST_F(RarComponent, PositionGrowsByBlockSizeAndRestartsPerSelectedEntry) {
  FakeEntry a = Entry("A");
  a.Blocks = {100, 200, 50};
  FakeEntry skipped = Entry("SKIPPED");
  FakeEntry b = Entry("B");
  b.Blocks = {30, 70000};
  fake_unrar::Script(kArchive, Archive({a, skipped, b}));
  rar.FilesToExtract = {"A", "B"};
  std::vector<std::string> seen;
  rar.OnProcessData = [&](TRAR& sender, unsigned char* addr, int size, int position) {
    EXPECT_EQ(&rar, &sender);
    EXPECT_EQ(0xAB, addr[size - 1]);
    seen.push_back(std::to_string(size) + "@" + std::to_string(position));
    return 1;
  };
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ((std::vector<std::string>{"100@100", "200@300", "50@350", "30@30", "70000@70030"}),
            seen);
}

TEST_F(RarComponent, DataHandlerAnswerGoesBackToTheLibrary) {
  Record();
  FakeEntry a = Entry("A");
  a.Blocks = {10, 20, 30};
  fake_unrar::Script(kArchive, Archive({a, Entry("B")}));
  rar.OnProcessData = [](TRAR&, unsigned char*, int, int position) {
    return position < 30 ? 7 : 0;
  };
  EXPECT_FALSE(rar.ExtractFiles());
  EXPECT_EQ("extracting A | extract A failed | error 21", Events());
  EXPECT_EQ(
      "open C:\\ARC\\DATA.RAR | setdata | read | process 2 - | data 10=7 | data 20=0 | "
      "close",
      fake_unrar::LogText());
}

TEST_F(RarComponent, VolumeHandlerGetsNameAndModeAndAnswers) {
  FakeEntry a = Entry("A");
  a.Volumes = {"DATA.R00", "DATA.R01"};
  fake_unrar::Script(kArchive, Archive({a}));
  std::vector<std::string> seen;
  rar.OnVolumeChange = [&](TRAR&, char* name, int mode) {
    seen.push_back(std::string(name) + " " + std::to_string(mode));
    return 5;
  };
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ((std::vector<std::string>{"DATA.R00 1", "DATA.R01 1"}), seen);
  EXPECT_EQ(
      "open C:\\ARC\\DATA.RAR | setvol | read | process 2 - | vol DATA.R00 1=5 | "
      "vol DATA.R01 1=5 | read | close",
      fake_unrar::LogText());
}

TEST_F(RarComponent, CallbacksAreRegisteredOnlyForAssignedHandlers) {
  fake_unrar::Script(kArchive, Archive({Entry("A")}));
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | read | process 2 - | read | close", fake_unrar::LogText());
  // The header record's comment buffer is set before the first header is read.
  EXPECT_NE(nullptr, fake_unrar::LastHeaderComment().Buffer);
  EXPECT_EQ(65535u, fake_unrar::LastHeaderComment().Size);

  fake_unrar::Reset();
  fake_unrar::Script(kArchive, Archive({Entry("A")}));
  rar.OnProcessData = [](TRAR&, unsigned char*, int, int) { return 1; };
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | setdata | read | process 2 - | read | close",
            fake_unrar::LogText());

  fake_unrar::Reset();
  fake_unrar::Script(kArchive, Archive({Entry("A")}));
  rar.OnProcessData = nullptr;
  rar.OnVolumeChange = [](TRAR&, char*, int) { return 1; };
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | setvol | read | process 2 - | read | close",
            fake_unrar::LogText());
}

TEST_F(RarComponent, CommentIsReportedOnlyWhenReadCompletely) {
  FakeArchive archive = Archive({Entry("A")});
  archive.Comment = "\xC3\xA2 comment";
  archive.CommentState = 1;
  fake_unrar::Script(kArchive, archive);
  std::vector<std::string> seen;
  rar.OnComment = [&](TRAR&, const TComment& comment) {
    seen.push_back(std::string(comment.Text, comment.Length) + "/" + fake_unrar::LogText());
  };
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ((std::vector<std::string>{"\xC3\xA2 comment/open C:\\ARC\\DATA.RAR"}), seen);

  archive.CommentState = 0;
  fake_unrar::Reset();
  fake_unrar::Script(kArchive, archive);
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ(1u, seen.size());
}

// A handler's exception cannot pass through the library: the callback answers
// "cancel", the library returns, the archive is closed and the exception goes on.
TEST_F(RarComponent, HandlerRaisingInsideACallbackReachesTheCallerAfterTheLibraryReturns) {
  Record();
  FakeEntry a = Entry("A");
  a.Blocks = {10, 20};
  a.Volumes = {"NEXT.RAR"};
  fake_unrar::Script(kArchive, Archive({a, Entry("B")}));
  rar.OnProcessData = [](TRAR&, unsigned char*, int, int) -> int {
    throw std::runtime_error("data handler");
  };
  EXPECT_THROW(rar.ExtractFiles(), std::runtime_error);
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | setdata | read | process 2 - | data 10=0 | close",
            fake_unrar::LogText());
  EXPECT_EQ("extracting A", Events());
  EXPECT_EQ(0, fake_unrar::OpenHandles());

  fake_unrar::Reset();
  events.clear();
  fake_unrar::Script(kArchive, Archive({a}));
  rar.OnProcessData = nullptr;
  rar.OnVolumeChange = [](TRAR&, char*, int) -> int { throw std::logic_error("volume"); };
  EXPECT_THROW(rar.ExtractFiles(), std::logic_error);
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | setvol | read | process 2 - | vol NEXT.RAR 1=0 | close",
            fake_unrar::LogText());

  fake_unrar::Reset();  // nothing of the failed run is left over for the next one
  fake_unrar::Script(kArchive, Archive({a}));
  rar.OnVolumeChange = nullptr;
  EXPECT_TRUE(rar.ExtractFiles());
}

TEST_F(RarComponent, HandlerRaisingOutsideTheLibraryStillClosesTheArchive) {
  fake_unrar::Script(kArchive, Archive({Entry("A"), Entry("B")}));
  rar.OnExtracting = [](TRAR&, const RARHeaderData&) { throw std::runtime_error("busy"); };
  EXPECT_THROW(rar.ExtractFiles(), std::runtime_error);
  EXPECT_EQ("open C:\\ARC\\DATA.RAR | read | close", fake_unrar::LogText());
  EXPECT_EQ(0, fake_unrar::OpenHandles());

  fake_unrar::Reset();
  fake_unrar::Script(kArchive, Archive({Entry("A", 16)}));
  rar.OnExtracting = nullptr;
  rar.OnError = [](TRAR&, int) { throw std::runtime_error("error handler"); };
  EXPECT_THROW(rar.ExtractFiles(), std::runtime_error);
  EXPECT_EQ(0, fake_unrar::OpenHandles());
}

// The callbacks reach the component whose run started last, even while an earlier
// run goes on; once that component is gone they reach none.
TEST_F(RarComponent, RunStartedInsideAHandlerTakesTheCallbacksOver) {
  FakeEntry a = Entry("A");
  a.Blocks = {10};
  fake_unrar::Script(kArchive, Archive({a, a}));
  fake_unrar::Script("INNER.RAR", Archive({Entry("I")}));
  std::vector<std::string> seen;
  rar.OnProcessData = [&](TRAR&, unsigned char*, int, int) {
    seen.push_back("outer");
    return 1;
  };
  TRAR inner;
  inner.ArchiveName = "INNER.RAR";
  inner.OnProcessData = [&](TRAR& sender, unsigned char*, int, int position) {
    EXPECT_EQ(&inner, &sender);
    seen.push_back("inner@" + std::to_string(position));
    return 1;
  };
  int entry = 0;
  rar.OnExtracting = [&](TRAR&, const RARHeaderData&) {
    if (++entry == 2) {
      EXPECT_TRUE(inner.ExtractFiles());
    }
  };
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ((std::vector<std::string>{"outer", "inner@10"}), seen);

  fake_unrar::Reset();
  fake_unrar::Script(kArchive, Archive({a, a}));
  fake_unrar::Script("INNER.RAR", Archive({Entry("I")}));
  seen.clear();
  entry = 0;
  std::optional<TRAR> temporary;
  rar.OnExtracting = [&](TRAR&, const RARHeaderData&) {
    if (++entry != 2) return;
    temporary.emplace();
    temporary->ArchiveName = "INNER.RAR";
    EXPECT_TRUE(temporary->ExtractFiles());
    temporary.reset();
    // Another instance in the same place must not be taken for the one gone.
    temporary.emplace();
    temporary->OnProcessData = [&](TRAR&, unsigned char*, int, int) {
      seen.push_back("stranger");
      return 1;
    };
  };
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ((std::vector<std::string>{"outer"}), seen);
  EXPECT_EQ("data 10=1", fake_unrar::Log()[fake_unrar::Log().size() - 3]);
}
