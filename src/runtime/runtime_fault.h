// How a program stops on a fault of its own run-time pieces (runtime_threads.cpp,
// quiet_terminate.cpp): when nothing can be trusted any more, not even the heap.
#pragma once

constexpr unsigned kRuntimeFaultExitCode = 3;  // what the run-time's abort gives as well

// Reports "Runtime error in module <file name>.\r\n<problem>\r\n" on stderr, or in a
// task-modal error box captioned "Application Error" when the program has no stderr
// (a windowed program started from the shell), then ends the process at once with
// kRuntimeFaultExitCode. Allocates nothing; the box needs user32 already loaded.
[[noreturn]] void StopOnRuntimeFault(const char* problem);
