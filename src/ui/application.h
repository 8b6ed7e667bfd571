// The application object: the program's forms, its message loop, its message
// boxes and the boundary where exceptions from event handlers end.
#pragma once

#include "ui/application_window.h"
#include "ui/form.h"
#include "ui/form_host.h"

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class TApplication : public TFormHost {
 public:
  // Installs the report of exceptions that reach a window's handler.
  TApplication();

  // The program's title: the text of its task-bar button and the caption of error
  // reports.
  void SetTitle(const std::string& title);
  const std::string& Title() const { return title_; }
  // The window with the task-bar button, which owns the forms and message boxes.
  HWND Window() { return window_.Handle(); }

  // Makes a form (handing it this application as its host), stores it in reference
  // and runs its FormCreate. The first form made becomes the main form, whose
  // closing ends the program. Every form is owned by the application's window.
  template <typename T>
  void CreateForm(T*& reference) {
    auto form = std::make_unique<T>(*this);
    reference = form.get();
    AddForm(std::move(form));
  }
  TForm* MainForm() const { return main_; }

  // Shows the main form and processes messages until it closes; then destroys
  // every form, the last made first, and the application's window. Returns the exit
  // code.
  int Run();
  // Handles every message waiting now, then returns.
  void ProcessMessages();
  // Ends the message loop (the main form's closing does this).
  void Terminate();
  bool Terminated() const { return terminated_; }

  // A message box owned by the application's window; every form is disabled meanwhile.
  // (windows.h spells the name MessageBoxA; callers need not care.)
  int MessageBox(const std::string& text, const std::string& caption, UINT flags);

  // Call inside a catch block: the silent abort is dropped, any other exception
  // is reported in a message box. Never throws.
  void HandleException() noexcept;
  void ShowException(const std::string& message) noexcept;

  // Runs a form's FormDestroy, destroys its window and frees it.
  void DestroyForm(TForm* form);
  // The same for every form, the last made first.
  void DestroyForms();

  // TFormHost
  HWND OwnerWindow() const override;
  void RunModalLoop(const TForm& form) override;
  bool EndProgramWith(const TForm& form) override;
  bool ProgramEnding() const override { return terminated_; }
  void Release(TForm& form) override;

 private:
  void AddForm(std::unique_ptr<TForm> form);
  void Dispatch(MSG& message);
  // A quit message taken by a loop that does not own it: the program is ending, and the
  // message goes back for the main loop.
  void LeaveQuitMessage(const MSG& quit);

  std::string title_;
  mutable TApplicationWindow window_;  // made for the first form that asks for its owner
  std::vector<std::unique_ptr<TForm>> forms_;
  TForm* main_ = nullptr;
  bool terminated_ = false;
  int exitCode_ = 0;
};

extern TApplication Application;
