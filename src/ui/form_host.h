// What a form needs of the program that holds it, handed to the form when it is
// made. The application object is the program's host; a test may be another.
#pragma once

#include <windows.h>

class TForm;

class TFormHost {
 public:
  // The window that owns a form made now; null while there is none (the first
  // form the application makes is its main form and has no owner).
  virtual HWND OwnerWindow() const = 0;
  // Processes messages while the form's modal run goes on.
  virtual void RunModalLoop(const TForm& form) = 0;
  // A form closes: when it is the program's main form the program ends and this
  // answers true; for any other form nothing happens and it answers false.
  virtual bool EndProgramWith(const TForm& form) = 0;
  // True once the program is ending.
  virtual bool ProgramEnding() const = 0;
  // Runs the form's FormDestroy, destroys its window and frees it (a form closed
  // with caFree asks for this from its own message).
  virtual void Release(TForm& form) = 0;

 protected:
  ~TFormHost() = default;
};
