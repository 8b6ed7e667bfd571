// Scoped helpers for what tests would otherwise set up and put back by hand.
#pragma once

#include <string>

// Changes the current directory (when given one) and puts the previous one back
// when it goes out of scope.
class CurrentDirectoryScope {
 public:
  explicit CurrentDirectoryScope(const std::string& enter = std::string());
  ~CurrentDirectoryScope();
  CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
  CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

  const std::string& Previous() const { return previous_; }
  bool Entered() const { return entered_; }

 private:
  std::string previous_;
  bool entered_ = false;
};

// A folder at a fixed place that a test fills: whatever lies there is removed
// when the scope starts and again when it ends.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::string path);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};
