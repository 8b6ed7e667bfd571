#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

const char kKey[] = "Software\\KitBench";
const char kKoreanText[] = "설치 마법사";  // CP949 bytes in the binary
const wchar_t kKoreanWide[] = L"설치 마법사";

}  // namespace

TEST(Bench, AnsiCodePageIsKorean) { EXPECT_EQ(949u, GetACP()); }

TEST(Bench, LiteralsAreCp949) {
  // 설 is BC B3 in code page 949.
  EXPECT_EQ('\xBC', kKoreanText[0]);
  EXPECT_EQ('\xB3', kKoreanText[1]);
}

// Writes the value that bench_scripts_test.sh reads back from outside.
TEST(Bench, Cp949TextRoundTripsThroughRegistry) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  const DWORD size = sizeof kKoreanText;
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "제목", 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(kKoreanText), size));

  char narrow[64] = {};
  DWORD narrowSize = sizeof narrow;
  DWORD type = 0;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "제목", nullptr, &type,
                                            reinterpret_cast<BYTE*>(narrow), &narrowSize));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ(std::string(kKoreanText), std::string(narrow));
  EXPECT_EQ(size, narrowSize);

  wchar_t wide[64] = {};
  DWORD wideSize = sizeof wide;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, L"제목", nullptr, &type,
                                            reinterpret_cast<BYTE*>(wide), &wideSize));
  EXPECT_EQ(std::wstring(kKoreanWide), std::wstring(wide));
  RegCloseKey(key);
}
