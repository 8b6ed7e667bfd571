// Drives a program's windows like a user, from another process or another thread:
// finds windows and controls, reads their texts and states, presses buttons and
// answers message boxes. Nothing here takes screenshots.
//
// Rules that keep a test from hanging, and from depending on luck:
// - Every wait polls (every 50 ms) for a state up to a timeout and then throws
//   DriverError. The timeouts only end a hang: they are far longer than any state
//   takes to come on a busy machine. Nothing waits for a fixed time, and nothing
//   relies on catching a passing state in time: a driver that must see one makes the
//   program hold in it (testing/extraction_hold.h holds an extraction).
// - Buttons are pressed with a posted BM_CLICK, never a sent message: the program
//   may sit in a modal loop. Click does nothing to a disabled or hidden button, as
//   a user's press would not (Wine's buttons act on BM_CLICK even when disabled);
//   PostCommand reaches the handler behind a control whatever its state.
// - Texts are read with WM_GETTEXT sent with a timeout, so a busy program makes the
//   read fail instead of blocking. List and combo items are read with the W
//   messages and converted (the A messages return UTF-16 across processes in Wine).
// - Texts are CP949 strings, like everything else in the kit; run the driver and the
//   program with the same locale.
//
// Typical use:
//   ui_driver::Process setup = ui_driver::Process::Start(KitOutputPath("setup.exe"));
//   HWND wizard = ui_driver::WaitForWindow({setup.Id(), "TfmWizad", {}});
//   ui_driver::Click(ui_driver::FindChild(wizard, {"Button", "다음(&N) >"}));
//   ui_driver::MessageBoxInfo box = ui_driver::WaitForMessageBox(setup.Id());
//   ui_driver::AnswerMessageBox(box, IDYES);
//   EXPECT_EQ(0u, setup.WaitForExit());
#pragma once

#include "win/handles.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ui_driver {

constexpr DWORD kDefaultTimeout = 60000;  // milliseconds

class DriverError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A started program. The destructor ends it if it still runs, so a failing test
// leaves nothing behind.
class Process {
 public:
  // Starts commandLine (a quoted path and its arguments) in workingDirectory
  // (the driver's when empty). Throws DriverError when it cannot start.
  static Process Start(const std::string& commandLine,
                       const std::string& workingDirectory = std::string());
  // A running process that another one started (a launcher's setup.exe). Throws
  // DriverError when it cannot be opened.
  static Process Attach(DWORD id);

  Process(Process&&) = default;
  Process& operator=(Process&&) = default;
  ~Process();

  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_.Get(); }
  bool Running() const;
  // Waits for the program to end and returns its exit code; throws on timeout.
  DWORD WaitForExit(DWORD timeout = kDefaultTimeout);
  void Kill();

 private:
  Process(ObjectHandle process, DWORD id) : process_(std::move(process)), id_(id) {}
  ObjectHandle process_;
  DWORD id_ = 0;
};

// What a window must match; an empty field matches anything.
struct WindowQuery {
  DWORD ProcessId = 0;                 // top-level windows only; 0: any process
  std::string ClassName;               // compared without case
  std::optional<std::string> Caption;  // exact text
  bool VisibleOnly = true;
};

struct ChildQuery {
  std::string ClassName;            // compared without case
  std::optional<std::string> Text;  // exact text
  int Id = 0;                       // 0: any
  bool VisibleOnly = false;
};

// Top-level windows (owned ones included) that match, in z-order.
std::vector<HWND> FindWindows(const WindowQuery& query);
// The first match, or null.
HWND FindWindowOf(const WindowQuery& query);
// Polls until a window matches; throws on timeout.
HWND WaitForWindow(const WindowQuery& query, DWORD timeout = kDefaultTimeout);
// Polls until the window is gone or hidden; throws on timeout.
void WaitForWindowGone(HWND window, DWORD timeout = kDefaultTimeout);

// Descendants of parent that match, in z-order (which is creation order).
std::vector<HWND> FindChildren(HWND parent, const ChildQuery& query);
// The first match; throws when there is none.
HWND FindChild(HWND parent, const ChildQuery& query);
HWND WaitForChild(HWND parent, const ChildQuery& query, DWORD timeout = kDefaultTimeout);

std::string ClassNameOf(HWND window);
std::string Text(HWND window);
bool IsVisible(HWND window);  // the window and every parent visible
bool IsEnabled(HWND window);
bool HasFocus(HWND window);  // the keyboard focus of the window's thread is on it
// Position and size in the parent's client coordinates (the screen's for top-level windows).
RECT Bounds(HWND window);
RECT ClientRect(HWND window);

std::vector<std::string> ListItems(HWND listBox);
int ListSelection(HWND listBox);
std::vector<std::string> ComboItems(HWND comboBox);

// A press as a user makes it: nothing happens when the button is disabled or hidden.
void Click(HWND button);
// WM_COMMAND from a control (id, notification code) posted to its parent.
void PostCommand(HWND control, WORD code);
// The close box (or Alt+F4): WM_CLOSE posted.
void PostClose(HWND window);
// Selects a list-box item as a click on it would, without the notification.
void SelectListItem(HWND listBox, int index);

// Polls a condition; throws with what on timeout.
void WaitUntil(const std::function<bool()>& condition, const std::string& what,
               DWORD timeout = kDefaultTimeout);

struct MessageBoxButton {
  int Id;
  std::string Text;
};

struct MessageBoxInfo {
  HWND Window = nullptr;
  HWND Owner = nullptr;
  std::string Caption;
  std::string Text;  // the static control with id 0xFFFF
  std::vector<MessageBoxButton> Buttons;
  bool HasIcon = false;
};

// The message box (window class "#32770") now shown by the process and ready to be
// answered, if any: one caught while still being made (no buttons yet, or not yet
// answering) counts as none.
std::optional<MessageBoxInfo> FindMessageBox(DWORD processId);
// Waits for a message box of the process that is ready to be answered and reads it.
MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeout = kDefaultTimeout);
// Presses the button with that id (IDOK, IDCANCEL, IDYES, IDNO ...).
void AnswerMessageBox(const MessageBoxInfo& box, int buttonId);

}  // namespace ui_driver
