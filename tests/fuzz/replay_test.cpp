// Every seed and every input that once found a fault, fed to the fuzz targets'
// parsers as built for Windows: the 32-bit code itself meets them under Wine.
#include "fuzz_entries.h"

#include "support/test_support.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// The files of a source-tree folder, dot files left out.
std::vector<std::string> FilesIn(const std::string& relativeDir) {
  const std::string dir = SourceTreePath(relativeDir) + "\\";
  std::vector<std::string> files;
  WIN32_FIND_DATAA found;
  FindHandle search(FindFirstFileA((dir + "*").c_str(), &found));
  if (!search) return files;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.') {
      files.push_back(dir + found.cFileName);
    }
  } while (FindNextFileA(search.Get(), &found));
  return files;
}

}  // namespace

TEST(FuzzReplay, EveryKeptInputPassesItsTarget) {
  for (const fuzz::Target& target : fuzz::kTargets) {
    const std::string name = target.Name;
    std::vector<std::string> inputs = FilesIn("tests/fuzz/corpus/" + name);
    EXPECT_FALSE(inputs.empty()) << name << " has no seeds";
    for (const std::string& file : FilesIn("tests/fuzz/regressions/" + name))
      inputs.push_back(file);
    if (name == "archive_blocks") {
      for (const std::string& file : FilesIn("tests/fixtures/rar")) inputs.push_back(file);
    }
    for (const std::string& input : inputs) {
      SCOPED_TRACE(input);
      const std::string bytes = ReadFileBytes(input);
      target.Run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
  }
}
