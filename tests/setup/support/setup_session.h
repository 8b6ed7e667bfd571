// One run of setup's start-up host (setup_wizard_host.exe) in a folder of its own
// beside a SETUP.INI, and the windows a user works with.
#pragma once

#include "testing/ui_driver.h"

#include <windows.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Rectangles compared and printed in test expectations.
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* out) {
  *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

// The script of the typical product: title "펠모라 1.0", folder "Pelmora".
extern const char kPelmoraScript[];

// The wizard's captions per page.
extern const char kWelcome[];
extern const char kTargetDirectory[];
extern const char kSummary[];
extern const char kCompleted[];

class SetupSession {
 public:
  // Copies the host to C:\kit-tests\<name>\SETUP.EXE with the script (none when
  // absent) and the install outcomes (see the host), starts it and waits for the
  // wizard's first page.
  SetupSession(const std::string& name, const std::optional<std::string>& script,
               const std::string& outcomes = std::string());
  // Starts the SETUP.EXE that lies in dir (a medium ready for it, named with a
  // trailing "\") as a user does, from that directory, and waits for the wizard's
  // first page.
  explicit SetupSession(const std::string& dir) : SetupSession(dir, CommandArguments{}) {}
  // The same with arguments on its command line.
  struct CommandArguments {
    std::string Text;
  };
  SetupSession(const std::string& dir, const CommandArguments& arguments);

  const std::string& Dir() const { return dir_; }
  ui_driver::Process& Program() { return process_; }
  DWORD Id() const { return process_.Id(); }
  HWND Background() const { return background_; }
  // The window with the program's task-bar button, which owns the forms and boxes.
  HWND ApplicationWindow() const { return GetWindow(wizard_, GW_OWNER); }
  HWND Wizard() const { return wizard_; }
  HWND Back() const { return back_; }
  HWND Next() const { return next_; }
  HWND Cancel() const { return cancel_; }

  std::string Caption() const;
  // Presses a button and waits until the wizard shows the page with that caption.
  void PressAndWaitFor(HWND button, const std::string& caption);
  // Next from page 1 up to the page with that caption (not past the summary page).
  void GoTo(const std::string& caption);
  // The non-empty texts of the wizard's visible labels, top to bottom.
  std::vector<std::string> VisibleTexts() const;
  // The target directory label on page 2 and the summary list on page 3.
  std::string DirectoryLabel() const;
  std::vector<std::string> Summary() const;
  // What the stand-in install runs wrote; empty when none ran.
  std::string InstallRuns() const;

  // Presses "찾아보기(&B)" on page 2 and waits for the directory chooser.
  HWND OpenChooser();

 private:
  std::string dir_;
  ui_driver::Process process_;
  HWND background_ = nullptr;
  HWND wizard_ = nullptr;
  HWND back_ = nullptr;
  HWND next_ = nullptr;
  HWND cancel_ = nullptr;
};

// A button's states as a user sees them.
struct ButtonLook {
  bool Visible;
  bool Enabled;
  std::string Text;
  bool operator==(const ButtonLook& other) const {
    return Visible == other.Visible && Enabled == other.Enabled && Text == other.Text;
  }
};
ButtonLook LookOf(HWND button);

// Waits for the exit confirmation and checks its caption, text, buttons and icon.
ui_driver::MessageBoxInfo ExpectExitConfirmation(DWORD processId, HWND owner);
