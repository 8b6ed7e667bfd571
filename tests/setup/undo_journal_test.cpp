// The undo record: every kind of step rolled back to the state before it, a record
// cut short by a killed process, a file that cannot be put back, and a completed run.
#include "contracts/undo_journal.h"
#include "contracts/registry_snapshot.h"
#include "setup/run_log.h"
#include "setup/support/install_test_support.h"
#include "support/registry_support.h"
#include "support/test_support.h"
#include "win/file_owner.h"
#include "win/file_system.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

const char kKey[] = "Software\\UndoJournalTest\\Product";

std::string Dir(const std::string& name) {
  const std::string dir = ScratchDir(name);
  return dir.substr(0, dir.size() - 1);
}

ULONGLONG WrittenAt(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}

void AppendToFile(const std::string& path, const std::string& bytes) {
  WriteFileBytes(path, ReadFileBytes(path) + bytes);
}

}  // namespace

TEST(UndoJournal, EveryKindOfStepIsUndoneLastFirst) {
  const std::string base = Dir("undo-steps");
  const std::string record = base + "\\record";
  const std::string old = base + "\\OLD.EXE";
  WriteFileBytes(old, "old bytes");
  SetLastWriteTime(old, MakeSystemTime(1999, 12, 31, 23, 59));
  SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  const ULONGLONG oldTime = WrittenAt(old);
  MakeDirectories(base + "\\engine");
  WriteFileBytes(base + "\\engine\\E.DLL", "engine");
  DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\UndoJournalTest");
  SetRawValue(HKEY_LOCAL_MACHINE, kKey, "Kept", REG_SZ, std::string("old\0", 4));
  SetRawValue(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\Sub", "Bin", REG_BINARY,
              std::string("\x01\x00\x02", 3));
  const auto keyBefore = KeyValues(HKEY_LOCAL_MACHINE, kKey);
  {
    UndoJournal journal(record);
    ASSERT_TRUE(journal.Ready());
    journal.RecordBatch({{'D', base + "\\NEW", ""}, {'F', base + "\\NEW\\A.TXT", ""}});
    MakeDirectories(base + "\\NEW");
    WriteFileBytes(base + "\\NEW\\A.TXT", "new");
    ASSERT_TRUE(journal.SetFileAside(old));
    EXPECT_FALSE(FileExists(old));
    WriteFileBytes(old, "new bytes");
    journal.RecordRename(base + "\\engine", base + "\\engine_2");
    ASSERT_TRUE(MoveFileA((base + "\\engine").c_str(), (base + "\\engine_2").c_str()));
    journal.RecordKeyTree(kKey);
    journal.RecordKeyTree("Software\\UndoJournalTestMissing\\Product");
    SetRawValue(HKEY_LOCAL_MACHINE, kKey, "Kept", REG_SZ, std::string("new\0", 4));
    SetRawValue(HKEY_LOCAL_MACHINE, kKey, "Added", REG_SZ, std::string("x\0", 2));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\Sub");
    SetRawValue(HKEY_LOCAL_MACHINE, "Software\\UndoJournalTestMissing\\Product", "V", REG_SZ,
                std::string("v\0", 2));
    RunLog log;
    ASSERT_TRUE(log.Open(base + "\\run.log"));
    EXPECT_EQ(std::vector<std::string>(), journal.RollBack(log));
    EXPECT_EQ(6u, FileLines(base + "\\run.log").size());
  }
  EXPECT_FALSE(DirectoryExists(base + "\\NEW"));
  EXPECT_EQ("old bytes", ReadFileBytes(old));
  EXPECT_EQ(oldTime, WrittenAt(old));
  EXPECT_EQ(DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
            GetFileAttributesA(old.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ("engine", ReadFileBytes(base + "\\engine\\E.DLL"));
  EXPECT_FALSE(DirectoryExists(base + "\\engine_2"));
  EXPECT_TRUE(keyBefore == KeyValues(HKEY_LOCAL_MACHINE, kKey));
  RawValue bin;
  ASSERT_TRUE(QueryValue(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\Sub", "Bin", bin));
  EXPECT_EQ(std::string("\x01\x00\x02", 3), bin.Data);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\UndoJournalTestMissing"));
  EXPECT_FALSE(DirectoryExists(record));
  SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\UndoJournalTest");
}

// Setup and Halvex run elevated over records in a folder any user may write: a record
// another user planted (owned by that user) is never followed, only one of the
// Administrators group, SYSTEM or the user the program runs as.
TEST(UndoJournal, OnlyARecordOfAdministratorsOrOfTheUserItselfIsFollowed) {
  BYTE administrators[SECURITY_MAX_SID_SIZE], system[SECURITY_MAX_SID_SIZE],
      users[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof administrators;
  ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size));
  size = sizeof system;
  ASSERT_TRUE(CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &size));
  size = sizeof users;
  ASSERT_TRUE(CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size));
  EXPECT_TRUE(IsAdministratorsOrSelf(administrators, nullptr));
  EXPECT_TRUE(IsAdministratorsOrSelf(system, users));
  EXPECT_TRUE(IsAdministratorsOrSelf(users, users));
  EXPECT_FALSE(IsAdministratorsOrSelf(users, system));
  EXPECT_FALSE(IsAdministratorsOrSelf(nullptr, users));

  // Wine keeps no owner set on a file (it reads back the user it runs as), so a record
  // planted by another user cannot be made here: the decision above is what is checked.
}

TEST(UndoJournal, AKilledRunsRecordRollsBackWhatBeganAndNothingElse) {
  const std::string base = Dir("undo-killed");
  const std::string record = base + "\\record";
  const std::string kept = base + "\\KEPT.TXT";
  WriteFileBytes(kept, "still the old file");
  {
    UndoJournal journal(record);
    journal.RecordNewFile(base + "\\MADE.TXT");
    WriteFileBytes(base + "\\MADE.TXT", "made");
  }  // the process "ends" here: the record stays
  ASSERT_TRUE(HasUnfinishedRun(record));
  // Killed after the step of a replacement was written but before the file was moved.
  AppendToFile(record + "\\UNDO.DAT", "R\t" + kept + "\t" + record + "\\BACKUP\\9\r\n");
  // A line cut short by the end of the process.
  AppendToFile(record + "\\UNDO.DAT", "F\t" + base + "\\HALF");
  WriteFileBytes(base + "\\HALF", "not the run's");
  EXPECT_EQ(2u, ReadUndoRecord(record).size());
  RunLog noLog;
  EXPECT_EQ(std::vector<std::string>(), RollBackRecord(record, noLog));
  EXPECT_FALSE(FileExists(base + "\\MADE.TXT"));
  EXPECT_EQ("still the old file", ReadFileBytes(kept));
  EXPECT_TRUE(FileExists(base + "\\HALF"));
  EXPECT_FALSE(HasUnfinishedRun(record));
  EXPECT_TRUE(ReadUndoRecord(record).empty());
}

TEST(UndoJournal, AFileThatCannotBePutBackIsNamedAndKeepsItsRecord) {
  const std::string base = Dir("undo-locked");
  const std::string record = base + "\\record";
  const std::string file = base + "\\LOCKED.DLL";
  WriteFileBytes(file, "old");
  {
    UndoJournal journal(record);
    ASSERT_TRUE(journal.SetFileAside(file));
    WriteFileBytes(file, "new");
    FileHandle lock(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr));
    ASSERT_TRUE(lock.Valid());
    RunLog noLog;
    EXPECT_EQ(std::vector<std::string>{file}, journal.RollBack(noLog));
    EXPECT_TRUE(HasUnfinishedRun(record));
  }
  RunLog noLog;
  EXPECT_EQ(std::vector<std::string>(), RollBackRecord(record, noLog));  // the lock is gone
  EXPECT_EQ("old", ReadFileBytes(file));
  EXPECT_FALSE(DirectoryExists(record));
}

// A record is a run's until that run ends: while it is open no other program rolls it
// back, and no new run writes over it, then or after (its backups would be lost).
TEST(UndoJournal, ARecordIsNeitherRolledBackWhileItsRunLivesNorWrittenOver) {
  const std::string base = Dir("undo-live");
  const std::string record = base + "\\record";
  WriteFileBytes(base + "\\OLD.EXE", "old bytes");
  {
    UndoJournal live(record);
    ASSERT_TRUE(live.SetFileAside(base + "\\OLD.EXE"));
    EXPECT_FALSE(HasUnfinishedRun(record));
    EXPECT_FALSE(UndoJournal(record).Ready());
  }  // the run is killed
  ASSERT_TRUE(HasUnfinishedRun(record));
  EXPECT_FALSE(UndoJournal(record).Ready());
  EXPECT_EQ(1u, ReadUndoRecord(record).size());
  RunLog noLog;
  EXPECT_EQ(std::vector<std::string>(), RollBackRecord(record, noLog));
  EXPECT_EQ("old bytes", ReadFileBytes(base + "\\OLD.EXE"));
  EXPECT_TRUE(UndoJournal(record).Ready());
}

// A backup that an earlier record could not remove is never taken for this run's.
TEST(UndoJournal, ABackupLeftByAnEarlierRecordIsNotPutBack) {
  const std::string base = Dir("undo-orphan");
  const std::string record = base + "\\record";
  MakeDirectories(record + "\\BACKUP");
  WriteFileBytes(record + "\\BACKUP\\1", "an earlier run's backup");
  WriteFileBytes(base + "\\OLD.EXE", "old bytes");
  {
    UndoJournal journal(record);
    EXPECT_TRUE(journal.SetFileAside(base + "\\OLD.EXE"));
    WriteFileBytes(base + "\\OLD.EXE", "new bytes");
  }
  RunLog noLog;
  EXPECT_EQ(std::vector<std::string>(), RollBackRecord(record, noLog));
  EXPECT_EQ("old bytes", ReadFileBytes(base + "\\OLD.EXE"));
  EXPECT_FALSE(DirectoryExists(record));
}

TEST(UndoJournal, ACompletedRunHandsOverItsRecycledFilesAndLeavesNoRecord) {
  const std::string base = Dir("undo-finished");
  const std::string record = base + "\\record";
  WriteFileBytes(base + "\\OLD.DLL", "old engine");
  WriteFileBytes(base + "\\REPLACED.EXE", "replaced");
  UndoJournal journal(record);
  ASSERT_TRUE(journal.SetFileAside(base + "\\OLD.DLL", true));
  ASSERT_TRUE(journal.SetFileAside(base + "\\REPLACED.EXE"));
  const std::vector<UndoStep> recycled = journal.Finish();
  // Ended between here and Discard, the process leaves backups but no run to roll back.
  EXPECT_FALSE(HasUnfinishedRun(record));
  ASSERT_EQ(1u, recycled.size());
  EXPECT_EQ(base + "\\OLD.DLL", recycled[0].Path);
  EXPECT_EQ("old engine", ReadFileBytes(recycled[0].Other));
  journal.Discard();
  EXPECT_FALSE(DirectoryExists(record));
}

TEST(UndoJournal, AScriptWithoutACompanyStillGetsARecordOfItsOwn) {
  const std::string folder = UndoFolderOf("", "Product", "1.0");
  EXPECT_EQ(std::string::npos, folder.find("\\\\"));
  EXPECT_EQ("\\Setup Undo\\Product\\1.0", folder.substr(folder.rfind("\\Setup Undo")));
  UndoJournal journal(folder);
  EXPECT_TRUE(journal.Ready());
  journal.Discard();
  EXPECT_FALSE(DirectoryExists(folder));
}

TEST(RegistrySnapshot, ADamagedSnapshotIsRefusedAndHexRoundTrips) {
  std::string bytes;
  EXPECT_TRUE(BytesOfHex(HexOf(std::string("\x00\xff\x10", 3)), bytes));
  EXPECT_EQ(std::string("\x00\xff\x10", 3), bytes);
  EXPECT_FALSE(BytesOfHex("ABC", bytes));
  EXPECT_FALSE(BytesOfHex("GG", bytes));
  SetRawValue(HKEY_LOCAL_MACHINE, kKey, "V", REG_SZ, std::string("v\0", 2));
  const std::string snapshot = SnapshotKeyTree(kKey);
  EXPECT_FALSE(RestoreKeyTree(kKey, snapshot.substr(0, snapshot.size() - 1)));
  EXPECT_FALSE(RestoreKeyTree(kKey, "X"));
  EXPECT_TRUE(RestoreKeyTree(kKey, snapshot));
  RawValue value;
  EXPECT_TRUE(QueryValue(HKEY_LOCAL_MACHINE, kKey, "V", value));
  DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\UndoJournalTest");
}
