#include "ui/application.h"

#include "ui/disabled_windows.h"
#include "win/errors.h"

#include <algorithm>
#include <exception>

TApplication Application;

namespace {

// Runs an action; an exception it raises ends here (see HandleException).
template <typename Action>
void RunReportingErrors(Action&& action) noexcept {
  try {
    action();
  } catch (...) {
    Application.HandleException();
  }
}

void ReportToApplication() noexcept { Application.HandleException(); }

}  // namespace

TApplication::TApplication() { SetWindowExceptionHook(&ReportToApplication); }

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  window_.SetTitle(title);
}

HWND TApplication::OwnerWindow() const { return window_.Handle(); }

bool TApplication::EndProgramWith(const TForm& form) {
  if (&form != main_) return false;
  Terminate();
  return true;
}

void TApplication::Release(TForm& form) { DestroyForm(&form); }

void TApplication::AddForm(std::unique_ptr<TForm> form) {
  TForm* const added = form.get();
  forms_.push_back(std::move(form));
  if (!main_) main_ = added;
  RunReportingErrors([added] { added->FormCreate(); });
}

void TApplication::Dispatch(MSG& message) {
  // Our forms get the dialog keys: Tab between controls, Enter, mnemonics.
  const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root && TWinControl::FromHandle(root) && IsDialogMessageA(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

int TApplication::Run() {
  if (main_ && !terminated_) {
    RunReportingErrors([this] { main_->Show(); });
    MSG message;
    for (;;) {
      const BOOL got = GetMessageA(&message, nullptr, 0, 0);
      if (got == 0) {
        terminated_ = true;
        exitCode_ = static_cast<int>(message.wParam);
        break;
      }
      if (got == -1) break;  // cannot happen with valid arguments; never spin on it
      Dispatch(message);
    }
  }
  DestroyForms();
  window_.Destroy();
  return exitCode_;
}

void TApplication::RunModalLoop(const TForm& form) {
  MSG message;
  while (form.ModalRunning()) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {  // the program is ending: leave the quit message for the main loop
      LeaveQuitMessage(message);
      return;
    }
    if (got == -1) return;
    Dispatch(message);
  }
}

void TApplication::LeaveQuitMessage(const MSG& quit) {
  terminated_ = true;
  exitCode_ = static_cast<int>(quit.wParam);
  PostQuitMessage(exitCode_);
}

void TApplication::ProcessMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {  // leave it for the loop that owns it
      LeaveQuitMessage(message);
      return;
    }
    Dispatch(message);
  }
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(exitCode_);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  const HWND owner = window_.Handle();
  DisabledTaskWindows others(owner);
  return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

void TApplication::ShowException(const std::string& message) noexcept {
  try {
    MessageBox(message, title_, MB_OK | MB_ICONSTOP);
  } catch (...) {
    // Out of memory while reporting: nothing more can be shown.
  }
}

void TApplication::HandleException() noexcept {
  try {
    throw;
  } catch (const EAbort&) {
    // The silent abort ends its operation without a word.
  } catch (const std::exception& error) {
    ShowException(error.what());
  } catch (...) {
    ShowException("Unknown error");
  }
}

void TApplication::DestroyForm(TForm* form) {
  const auto found =
      std::find_if(forms_.begin(), forms_.end(),
                   [form](const std::unique_ptr<TForm>& f) { return f.get() == form; });
  if (found == forms_.end()) return;  // not ours, or already gone
  std::unique_ptr<TForm> owned = std::move(*found);
  forms_.erase(found);
  RunReportingErrors([form] { form->FormDestroy(); });
  if (form == main_) {
    main_ = nullptr;
    Terminate();  // the program cannot go on without its main window
  }
  DestroyWindow(form->Handle());
}

void TApplication::DestroyForms() {
  while (!forms_.empty()) {
    TForm* const last = forms_.back().get();
    if (last == main_) main_ = nullptr;  // ending anyway: no second quit message
    DestroyForm(last);
  }
}
