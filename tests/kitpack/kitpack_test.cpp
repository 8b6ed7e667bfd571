// kitpack's decisions where Wine cannot show them through the program: reparse points
// other than links to directories.
#include "kitpack/folder_listing.h"
#include "kitpack/pack_error.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <string>

TEST(KitpackListing, ReparsePointsOfEveryKindAreErrors) {
  WIN32_FIND_DATAW found{};
  std::wcscpy(found.cFileName, L"링크");
  // A link to a file (Wine shows it as the file), a junction or link to a directory.
  for (const DWORD attributes : {FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ARCHIVE,
                                 FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY}) {
    found.dwFileAttributes = attributes;
    try {
      ItemOf(L"C:\\원본\\", "하위\\", found);
      ADD_FAILURE() << "no error for attributes " << attributes;
    } catch (const PackError& error) {
      EXPECT_EQ("C:\\원본\\링크: 심볼릭 링크나 정션(재분석 지점)은 담을 수 없습니다.\n",
                error.Message());
    }
  }
  found.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
  EXPECT_EQ("하위\\링크", ItemOf(L"C:\\원본\\", "하위\\", found).name);
}
