// Helpers for the tests of the install engine and its progress window.
#pragma once

#include "testing/ui_driver.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// The current user's Programs folder, as the shell folder list names it.
std::string ProgramsFolder();

// The icon a message box shows, or null.
HICON MessageBoxIcon(HWND box);

// Writes a store-only archive with the given (name, data) entries.
void WriteArchive(const std::string& path,
                  const std::vector<std::pair<std::string, std::string>>& entries);

// The lines of a text file that ends every line with CR LF; a missing final CR LF
// shows as a last line "<unterminated>".
std::vector<std::string> FileLines(const std::string& path);

// Answers the message boxes of this process from a second thread, one after the
// other, with the given buttons; before each answer runs beforeAnswer (if set).
// Until Finish, a box beyond the planned ones, or one after the driver failed, is
// cancelled and reported, so a failing test cannot hang in a modal loop; a planned
// box that has not come when Finish is called is reported as missing.
class BoxAnswers {
 public:
  explicit BoxAnswers(std::vector<int> buttons,
                      std::function<void(int index)> beforeAnswer = nullptr);
  ~BoxAnswers();
  BoxAnswers(const BoxAnswers&) = delete;
  BoxAnswers& operator=(const BoxAnswers&) = delete;

  // Call when the code that shows the boxes has returned: stops the thread and
  // returns its error, empty when all went as planned.
  std::string Finish();
  // What was seen, valid after Finish.
  const std::vector<ui_driver::MessageBoxInfo>& Boxes() const { return boxes_; }
  const std::vector<HICON>& Icons() const { return icons_; }

 private:
  void Drive(const std::vector<int>& buttons, const std::function<void(int)>& beforeAnswer);

  std::vector<ui_driver::MessageBoxInfo> boxes_;
  std::vector<HICON> icons_;
  std::string error_;
  std::atomic<bool> finished_{false};
  std::thread thread_;
};
