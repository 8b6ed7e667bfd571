#include "setup/support/install_test_support.h"

#include "rar_writer/rar_writer.h"
#include "support/registry_support.h"
#include "support/test_support.h"

#include "win/handles.h"

#include <optional>
#include <stdexcept>

std::string ProgramsFolder() {
  RawValue value;
  if (!QueryValue(HKEY_CURRENT_USER,
                  "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                  "Programs", value) ||
      value.Data.empty()) {
    throw std::runtime_error("no Programs shell folder");
  }
  return value.Data.substr(0, value.Data.find('\0'));
}

HICON MessageBoxIcon(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      return reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    }
  }
  return nullptr;
}

void WriteArchive(const std::string& path,
                  const std::vector<std::pair<std::string, std::string>>& entries) {
  RarWriter writer;
  for (const auto& entry : entries) writer.AddFile(entry.first, entry.second);
  if (!writer.Save(path)) throw std::runtime_error("cannot write " + path);
}

std::vector<std::string> FileLines(const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < bytes.size()) {
    const auto end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      lines.push_back("<unterminated>");
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

BoxAnswers::BoxAnswers(std::vector<int> buttons, std::function<void(int)> beforeAnswer)
    : thread_([this, buttons, beforeAnswer] { Drive(buttons, beforeAnswer); }) {}

BoxAnswers::~BoxAnswers() { Finish(); }

std::string BoxAnswers::Finish() {
  finished_ = true;
  if (thread_.joinable()) thread_.join();
  return error_;
}

void BoxAnswers::Drive(const std::vector<int>& buttons,
                       const std::function<void(int)>& beforeAnswer) {
  namespace ui = ui_driver;
  const DWORD self = GetCurrentProcessId();
  try {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      std::optional<ui::MessageBoxInfo> box;
      ui::WaitUntil([&] { return (box = ui::FindMessageBox(self)).has_value() || finished_; },
                    "a message box");
      if (!box) {
        error_ = "message box " + std::to_string(i + 1) + " never came";
        break;
      }
      boxes_.push_back(*box);
      icons_.push_back(MessageBoxIcon(box->Window));
      if (beforeAnswer) beforeAnswer(static_cast<int>(i));
      ui::AnswerMessageBox(*box, buttons[i]);
      ui::WaitForWindowGone(box->Window);
    }
  } catch (const std::exception& error) {
    error_ = error.what();
  }
  // Until the test's code has returned, any further box would hold it in its modal loop.
  while (!finished_) {
    try {
      if (auto extra = ui::FindMessageBox(self)) {
        if (error_.empty()) error_ = "an unexpected message box: " + extra->Text;
        ui::AnswerMessageBox(*extra, extra->Buttons.back().Id);
        ui::WaitForWindowGone(extra->Window);
      }
    } catch (const std::exception& error) {
      if (error_.empty()) error_ = error.what();
    }
    Sleep(20);
  }
}
