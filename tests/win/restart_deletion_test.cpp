#include "win/restart_deletion.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPending[] = L"PendingFileRenameOperations";

// The list as the platform keeps it, written and read back whole.
class RestartDeletion : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0,
                                           KEY_QUERY_VALUE | KEY_SET_VALUE, &key_));
    RegDeleteValueW(key_, kPending);
  }
  void TearDown() override {
    RegDeleteValueW(key_, kPending);
    RegCloseKey(key_);
  }

  void Write(const std::wstring& data) {
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key_, kPending, 0, REG_MULTI_SZ,
                                            reinterpret_cast<const BYTE*>(data.data()),
                                            static_cast<DWORD>(data.size() * sizeof(wchar_t))));
  }
  std::wstring Read() {
    wchar_t data[512] = {};
    DWORD bytes = sizeof data;
    if (RegQueryValueExW(key_, kPending, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &bytes) !=
        ERROR_SUCCESS) {
      return L"(none)";
    }
    return std::wstring(data, bytes / sizeof(wchar_t));
  }

  HKEY key_ = nullptr;
};

const std::wstring kOurs(L"\\??\\C:\\한빛\\가계부\\Halvex.exe\0\0", 26);
const std::wstring kRename(L"\\??\\C:\\T\\A.TMP\0!\\??\\C:\\T\\B.DLL\0", 31);
const std::wstring kDirectory(L"\\??\\C:\\한빛\\가계부\0\0", 15);

TEST_F(RestartDeletion, OnlyTheFilesOwnDeletionLeavesTheList) {
  Write(kOurs + kRename + kDirectory + L'\0');
  EXPECT_TRUE(CancelRestartDeletion("C:\\한빛\\가계부\\HALVEX.EXE"));
  EXPECT_EQ(kRename + kDirectory + L'\0', Read());

  // A path the list does not name, or a rename's new name: the list stays as it was.
  EXPECT_TRUE(CancelRestartDeletion("C:\\한빛\\가계부\\Dorcel.exe"));
  EXPECT_TRUE(CancelRestartDeletion("C:\\T\\B.DLL"));
  EXPECT_EQ(kRename + kDirectory + L'\0', Read());
}

TEST_F(RestartDeletion, TheLastDeletionTakesTheListAwayAndNoListIsNoFault) {
  EXPECT_TRUE(CancelRestartDeletion("C:\\한빛\\가계부\\Halvex.exe"));
  Write(kOurs + L'\0');
  EXPECT_TRUE(CancelRestartDeletion("C:\\한빛\\가계부\\Halvex.exe"));
  EXPECT_EQ(L"(none)", Read());
}

}  // namespace
