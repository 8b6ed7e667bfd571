// A failure that ends a packing run. Its message (code page 949) names what failed.
#pragma once

#include "win/errors.h"

class PackError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "PackError"; }
};

// A run stopped by Ctrl+C or the console's end (console_interruption.h); what it says
// names the archive, which the caller knows.
struct PackInterrupted {};
