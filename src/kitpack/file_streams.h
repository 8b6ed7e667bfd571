// The archive writer's output and data source over Windows files.
#pragma once

#include "rar_writer/rar_writer.h"

#include <windows.h>

// Writes at the file's end; Overwrite goes back and returns to the end.
class FileOutput : public RarOutput {
 public:
  explicit FileOutput(HANDLE file) : file_(file) {}
  bool Write(const char* data, std::size_t size) override;
  bool Overwrite(std::uint64_t offset, const char* data, std::size_t size) override;

 private:
  HANDLE file_;
};

// Reads a file from where it stands; fails once the run is interrupted.
class FileSource : public RarDataSource {
 public:
  explicit FileSource(HANDLE file) : file_(file) {}
  bool Read(char* buffer, std::size_t size, std::size_t& got) override;

 private:
  HANDLE file_;
};
