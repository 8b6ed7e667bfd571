// pack_archive ARCHIVE FOLDER
// Packs every file below FOLDER into a store-only RAR archive, named by its path
// relative to FOLDER ("DOC\README.TXT"). Directories are not stored: extraction
// makes them from the names. The demo builds its sample medium with it; a real
// product's archives come from the archiver itself.
#include "rar_writer/rar_writer.h"

#include "shared/handles.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The relative paths of the files below folder + relative, sorted.
void CollectFiles(const std::string& folder, const std::string& relative,
                  std::vector<std::string>& files) {
  WIN32_FIND_DATAA found;
  FindHandle find(FindFirstFileA((folder + relative + "*").c_str(), &found));
  if (!find) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CollectFiles(folder, relative + name + "\\", files);
    } else {
      files.push_back(relative + name);
    }
  } while (FindNextFileA(find.Get(), &found));
}

bool ReadWhole(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad() && in.is_open();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: pack_archive ARCHIVE FOLDER\n");
    return 2;
  }
  std::string folder = argv[2];
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  std::vector<std::string> files;
  CollectFiles(folder, "", files);
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    std::fprintf(stderr, "pack_archive: no files below %s\n", argv[2]);
    return 1;
  }
  RarWriter writer;
  for (const std::string& name : files) {
    std::string data;
    if (!ReadWhole(folder + name, data)) {
      std::fprintf(stderr, "pack_archive: cannot read %s%s\n", folder.c_str(), name.c_str());
      return 1;
    }
    writer.AddFile(name, data);
  }
  if (!writer.Save(argv[1])) {
    std::fprintf(stderr, "pack_archive: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
