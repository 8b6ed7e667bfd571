// The shell file-operation component against the platform's SHFileOperationA.
#include "support/test_support.h"

#include "setup/shell_file_operation.h"
#include "win/errors.h"
#include "win/file_system.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Where the shell puts deleted files in the bench prefix (its XDG trash).
std::string TrashFolder() {
  const char* work = std::getenv("KIT_WORK_DIR");
  return work ? WindowsPathOfUnix(std::string(work) + "/prefix/home/.local/share/Trash/files")
              : std::string();
}

}  // namespace

TEST(ShellFileOperation, AnEmptySourceListRaisesAndTheListIsPassedDoubleZeroTerminated) {
  TShellFileOperation fop;
  EXPECT_EQ(fopRename, fop.Operation);
  EXPECT_EQ(0x2D8, fop.Options);
  EXPECT_THROW(fop.Execute(), Exception);
  EXPECT_EQ(std::string("A\0B C\0\0", 7), DoubleZeroList({"A", "B C"}));
  EXPECT_EQ(std::string("\0", 1), DoubleZeroList({}));
}

TEST(ShellFileOperation, DeletingEveryFileMovesFilesToTheTrashAndKeepsSubdirectories) {
  const std::string dir = ScratchDir("fop-delete");
  WriteFileBytes(dir + "FOPTRASH1.DLL", "1");
  WriteFileBytes(dir + "FOPTRASH2.DLL", "2");
  SetFileAttributesA((dir + "FOPTRASH2.DLL").c_str(), FILE_ATTRIBUTE_READONLY);
  MakeDirectories(dir + "SUB");
  WriteFileBytes(dir + "SUB\\KEPT.TXT", "kept");

  TShellFileOperation fop;
  fop.Operation = fopDelete;
  fop.SourceFiles = {dir + "*.*"};
  fop.Destination = dir;
  EXPECT_TRUE(fop.Execute());
  EXPECT_FALSE(FileExists(dir + "FOPTRASH1.DLL"));
  EXPECT_FALSE(FileExists(dir + "FOPTRASH2.DLL"));
  EXPECT_EQ("kept", ReadFileBytes(dir + "SUB\\KEPT.TXT"));
  const std::string trash = TrashFolder();
  ASSERT_FALSE(trash.empty());
  EXPECT_EQ("1", ReadFileBytes(trash + "\\FOPTRASH1.DLL"));  // undo stays possible
}

TEST(ShellFileOperation, RenamingReportsAFailureThroughItsResultAndErrorEvent) {
  const std::string dir = ScratchDir("fop-rename");
  MakeDirectories(dir + "BDE");
  WriteFileBytes(dir + "BDE\\IDAPI32.DLL", "engine");
  TShellFileOperation fop;
  int errors = 0;
  fop.OnError = [&](TShellFileOperation& sender, int error) {
    EXPECT_EQ(&fop, &sender);
    EXPECT_NE(0, error);
    ++errors;
  };
  fop.SourceFiles = {dir + "BDE"};
  fop.Destination = dir + "BDE_2\\\\";  // trailing backslashes are dropped
  EXPECT_TRUE(fop.Execute());
  EXPECT_EQ("engine", ReadFileBytes(dir + "BDE_2\\IDAPI32.DLL"));
  EXPECT_FALSE(DirectoryExists(dir + "BDE"));
  EXPECT_EQ(0, errors);

  MakeDirectories(dir + "BDE");
  EXPECT_FALSE(fop.Execute());  // the name is taken
  EXPECT_EQ(1, errors);
  EXPECT_TRUE(DirectoryExists(dir + "BDE"));
}

TEST(ShellFileOperation, CopiesAndMovesSeveralSources) {
  const std::string dir = ScratchDir("fop-copy");
  WriteFileBytes(dir + "A.TXT", "a");
  WriteFileBytes(dir + "B.TXT", "b");
  MakeDirectories(dir + "TO");
  TShellFileOperation fop;
  fop.Operation = fopCopy;
  fop.SourceFiles = {dir + "A.TXT", dir + "B.TXT"};
  fop.Destination = dir + "TO\\";
  EXPECT_TRUE(fop.Execute());
  EXPECT_EQ("a", ReadFileBytes(dir + "TO\\A.TXT"));
  EXPECT_EQ("b", ReadFileBytes(dir + "TO\\B.TXT"));
  EXPECT_TRUE(FileExists(dir + "A.TXT"));

  fop.Operation = fopMove;
  fop.SourceFiles = {dir + "A.TXT"};
  fop.Destination = dir + "MOVED.TXT";
  EXPECT_TRUE(fop.Execute());
  EXPECT_FALSE(FileExists(dir + "A.TXT"));
  EXPECT_EQ("a", ReadFileBytes(dir + "MOVED.TXT"));
}
