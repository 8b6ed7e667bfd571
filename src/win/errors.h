// The kit's exception types, and its one policy for errors that do not count. Every
// error carries a message and the name of its kind, which the programs' last-resort
// error report shows.
#pragma once

#include <exception>
#include <string>
#include <utility>

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const { return message_; }
  virtual const char* ClassName() const { return "Exception"; }

 private:
  std::string message_;
};

// The silent abort: the install engine turns any unexpected failure into it, and the
// application's message loop discards it without a message.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
  const char* ClassName() const override { return "EAbort"; }
};

// A registry value that cannot be written or has the wrong type.
class ERegistryException : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "ERegistryException"; }
};

// The one policy for a step whose failure is no error of what runs it (the
// uninstaller's removal steps, setup's quiet registry writes and its copies): whatever
// the step raises is dropped, and the caller goes on.
template <typename Step>
void RunIgnoringErrors(Step&& step) {
  try {
    step();
  } catch (...) {
  }
}
