#include "setup/shortcut.h"

#include "support/registry_support.h"
#include "support/scopes.h"
#include "support/test_support.h"
#include "win/com_ptr.h"
#include "win/errors.h"
#include "win/file_system.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

namespace {

const char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct Link {
  std::string Target, Arguments, Description, WorkingDirectory;
  DWORD ShowCommand = 0;  // from the file itself: the platform's getter always answers 1
};

Link ReadLink(const std::string& path) {
  ComPtr<IShellLinkA> link;
  ComPtr<IPersistFile> file;
  Link result;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.ReceiveVoid())) ||
      FAILED(link.QueryInterface(IID_IPersistFile, file))) {
    ADD_FAILURE() << "no shell link object";
    return result;
  }
  wchar_t wide[MAX_PATH * 2];
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2);
  if (FAILED(file->Load(wide, STGM_READ))) {
    ADD_FAILURE() << "cannot load " << path;
    return result;
  }
  char text[1024];
  text[0] = 0;
  link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
  result.Target = text;
  text[0] = 0;
  link->GetArguments(text, sizeof text);
  result.Arguments = text;
  text[0] = 0;
  link->GetDescription(text, sizeof text);
  result.Description = text;
  text[0] = 0;
  link->GetWorkingDirectory(text, sizeof text);
  result.WorkingDirectory = text;
  const std::string bytes = ReadFileBytes(path);
  if (bytes.size() >= 0x40) memcpy(&result.ShowCommand, bytes.data() + 0x3C, 4);
  return result;
}

class Shortcuts : public ::testing::Test {
 protected:
  ComApartment com_;  // shortcuts are COM objects

  void SetUp() override {
    RawValue value;
    ASSERT_TRUE(QueryValue(HKEY_CURRENT_USER, kShellFolders, "Programs", value));
    programs_ = value.Data.c_str();
    RemoveTree(programs_ + "\\Pelmora 1.0");
  }

  std::string Make(const std::string& folder, const std::string& name, const std::string& target,
                   const std::string& arguments = "") {
    std::string linkPath = "(unset)";
    CreateShortcut(folder, name, target, arguments, linkPath);
    return linkPath;
  }

  std::string programs_;
};

}  // namespace

TEST_F(Shortcuts, GroupFolderInsidePrograms) {
  const std::string group = programs_ + "\\Pelmora 1.0\\";
  EXPECT_EQ(group + "Pelmora.LNK",
            Make("Programs", "Pelmora 1.0\\Pelmora.LNK", "C:\\KORVANE\\PROG.EXE", "/a \"b c\""));
  const Link link = ReadLink(group + "Pelmora.LNK");
  EXPECT_EQ("C:\\KORVANE\\PROG.EXE", link.Target);
  EXPECT_EQ("/a \"b c\"", link.Arguments);
  EXPECT_EQ("No description available", link.Description);
  EXPECT_EQ("C:\\KORVANE", link.WorkingDirectory);
  EXPECT_EQ(1u, link.ShowCommand);

  // The group is there already; folder names are looked up in any letter case.
  EXPECT_EQ(group + "환경설정.LNK",
            Make("PROGRAMS", "Pelmora 1.0\\환경설정.LNK", "C:\\KORVANE\\Dorcel.exe"));
  EXPECT_EQ("", ReadLink(group + "환경설정.LNK").Arguments);
  EXPECT_TRUE(FileExists(group + "환경설정.LNK"));
}

TEST_F(Shortcuts, ExistingLinkIsOverwritten) {
  const std::string path = Make("Programs", "Pelmora 1.0\\P.LNK", "C:\\A\\OLD.EXE", "-x");
  Make("Programs", "Pelmora 1.0\\P.LNK", "C:\\B\\NEW.EXE");
  const Link link = ReadLink(path);
  EXPECT_EQ("C:\\B\\NEW.EXE", link.Target);
  EXPECT_EQ("", link.Arguments);
  EXPECT_EQ("C:\\B", link.WorkingDirectory);
}

TEST_F(Shortcuts, WorkingDirectoryRule) {
  EXPECT_EQ("C:\\", ReadLink(Make("Programs", "Pelmora 1.0\\1.LNK", "C:\\X.EXE")).WorkingDirectory);
  EXPECT_EQ("C:\\A",
            ReadLink(Make("Programs", "Pelmora 1.0\\2.LNK", "C:\\A\\X.EXE")).WorkingDirectory);
  EXPECT_EQ("", ReadLink(Make("Programs", "Pelmora 1.0\\3.LNK", "X.EXE")).WorkingDirectory);
  EXPECT_EQ("C:\\A\\\\", ShortcutWorkingDirectory("C:\\A\\\\X.EXE"));  // "\" before the last "\"
  EXPECT_EQ("C:", ShortcutWorkingDirectory("C:X.EXE"));
  EXPECT_EQ("\\", ShortcutWorkingDirectory("\\X.EXE"));
}

TEST_F(Shortcuts, UnknownFolderGivesAPathFromTheDriveRoot) {
  const CurrentDirectoryScope onDriveC(ScratchDir("links"));  // not the Unix file system's root
  EXPECT_EQ("\\KitUnknown.LNK", Make("NoSuchFolder", "KitUnknown.LNK", "C:\\X.EXE"));
  EXPECT_TRUE(FileExists("C:\\KitUnknown.LNK"));
  DeleteFileA("C:\\KitUnknown.LNK");
}

TEST_F(Shortcuts, MissingFirstLevelOfTwoStillReturnsThePath) {
  const std::string path = Make("Programs", "Pelmora 1.0\\Sub\\P.LNK", "C:\\X.EXE");
  EXPECT_EQ(programs_ + "\\Pelmora 1.0\\Sub\\P.LNK", path);
  EXPECT_FALSE(FileExists(path));
}

TEST_F(Shortcuts, TooLongLinkPathIsNotSavedUnderACutName) {
  const std::string group = programs_ + "\\Pelmora 1.0\\";
  const std::size_t room = 259 - group.size() - 4;  // the longest name that fits
  const std::string fits = std::string(room, 'a') + ".LNK";
  EXPECT_EQ(group + fits, Make("Programs", "Pelmora 1.0\\" + fits, "C:\\X.EXE"));
  EXPECT_TRUE(FileExists(group + fits));

  const std::string tooLong = std::string(room + 1, 'b') + ".LNK";
  EXPECT_EQ(group + tooLong, Make("Programs", "Pelmora 1.0\\" + tooLong, "C:\\X.EXE"));
  WIN32_FIND_DATAA data;
  FindHandle find(FindFirstFileA((group + "b*").c_str(), &data));
  EXPECT_FALSE(find.Valid()) << data.cFileName;
}

TEST_F(Shortcuts, LinkPathLimitCountsCharactersNotBytes) {
  std::string dir, name;
  for (int i = 0; i < 60; ++i) dir += "가";
  for (int i = 0; i < 80; ++i) name += "나";
  const std::string linkName = "Pelmora 1.0\\" + dir + "\\" + name + ".LNK";
  CreateDirectoryA((programs_ + "\\Pelmora 1.0").c_str(), nullptr);
  const std::string path = Make("Programs", linkName, "C:\\X.EXE");
  ASSERT_GT(path.size(), 259u);  // too many bytes, but few enough characters
  ASSERT_LE(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0), 260);
  EXPECT_TRUE(FileExists(path));
}

TEST_F(Shortcuts, NonStringShellFolderRaises) {
  SetRawValue(HKEY_CURRENT_USER, kShellFolders, "KitNumber", REG_DWORD, std::string(4, '\0'));
  std::string linkPath;
  EXPECT_THROW(CreateShortcut("KitNumber", "P.LNK", "C:\\X.EXE", "", linkPath), ERegistryException);
  DeleteRawValue(HKEY_CURRENT_USER, kShellFolders, "KitNumber");
}
