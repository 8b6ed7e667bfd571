// Replaces the run-time library's default handler for a program that ends with an
// unhandled exception. The default one prints the exception's type on stderr, which
// a windowed program does not have, and brings a C++ name demangler of about 48 KB
// into every program; the kit has to fit a diskette. Our programs catch their errors
// themselves, so this is only ever reached through a fault.
#include "runtime/runtime_fault.h"

namespace __gnu_cxx {
void __verbose_terminate_handler() {
  StopOnRuntimeFault("An error was not handled (the program called std::terminate).");
}
}  // namespace __gnu_cxx
