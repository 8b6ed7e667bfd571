// A module's own path, loaded from directories whose code page 949 form is cut by a
// 260- or 520-byte buffer right before a two-byte character or right after one, and
// from one the code page cannot write.
#include "win/module_path.h"

#include "support/long_paths.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// The module's path as the code page writes it, or "(none)"; the probe is any DLL of ours.
std::string PathOfModuleLoadedFrom(const std::wstring& dll) {
  HMODULE module = LoadLibraryW(dll.c_str());
  if (!module) return "(not loaded)";
  const std::string path = ModuleFileName(module);
  FreeLibrary(module);
  return path.empty() ? "(none)" : path;
}

}  // namespace

TEST(ModulePath, AModuleKnowsItsWholePathAtAnyLength) {
  const std::string probe = ReadFileBytes(KitOutputPath("UNRAR.DLL"));
  ASSERT_FALSE(probe.empty());
  const std::string root = ScratchDir("module-path");
  // Two levels cross 260 bytes, four cross 520 bytes and MAX_PATH characters.
  for (const int levels : {2, 4}) {
    const std::size_t cut = levels == 2 ? 259 : 519;
    bool before = false, after = false;
    for (const std::string lead : {"", "x"}) {
      std::string dir = root + lead + KoreanText(80);
      for (int level = 1; level < levels; ++level) dir += "\\" + KoreanText(80);
      const std::string dll = dir + "\\PROBE.DLL";
      (TwoByteCharacterStartsAt(dll, cut) ? before : after) = true;
      MakeLongDirectories(dir);
      WriteLongFile(dll, probe);
      EXPECT_EQ(dll, PathOfModuleLoadedFrom(Utf16(dll))) << levels << " levels, lead " << lead;
    }
    EXPECT_TRUE(before && after);  // the buffer ends before a two-byte character and after one
  }
  RemoveLongTree(root);
}

TEST(ModulePath, ANameTheCodePageCannotWriteIsNoneRatherThanAnother) {
  const std::string root = ScratchDir("module-path-thai");
  const std::wstring dir = Utf16(root) + L"\x0E01\x0E32";  // Thai: not in code page 949
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
  const std::wstring dll = dir + L"\\PROBE.DLL";
  ASSERT_TRUE(CopyFileW(Utf16(KitOutputPath("UNRAR.DLL")).c_str(), dll.c_str(), FALSE));
  EXPECT_EQ("(none)", PathOfModuleLoadedFrom(dll));
}
