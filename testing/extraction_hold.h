// Asks the stand-in UNRAR.DLL of the programs started from now on to hold their
// extraction halfway through the first large entry (tools/unrar_standin/
// extraction_hold.h), so that a driver can look at a program while it extracts
// instead of hoping to catch it in time. Only the test library acts on the request.
//
//   ExtractionHold hold;                     // before the program starts
//   ui_driver::Process setup = ui_driver::Process::Start(...);
//   ui_driver::WaitUntil([&] { return hold.Held(); }, "the held extraction");
//   ... look at the program, which stays as it is ...
//   hold.Release();
#pragma once

#include "win/handles.h"

#include <string>

class ExtractionHold {
 public:
  // Makes the events and puts the request into this process's environment, which
  // the programs it starts inherit.
  ExtractionHold();
  // Releases a held extraction and withdraws the request.
  ~ExtractionHold();
  ExtractionHold(const ExtractionHold&) = delete;
  ExtractionHold& operator=(const ExtractionHold&) = delete;

  // An extraction is held (or was held and has been released).
  bool Held() const;
  // Lets a held extraction go on; no later one is held.
  void Release();

 private:
  std::string name_;
  ObjectHandle held_;
  ObjectHandle release_;
};
