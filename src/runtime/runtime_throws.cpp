// The run-time library reports a misuse of a standard container or string (an index
// out of range, a length beyond the maximum) through these functions. Its own copies
// throw the standard's logic and runtime error classes, whose text is kept in a second,
// older string type; together they bring some 45 KB into every program. Ours throw one
// plain exception carrying the same text, which every program's error boundary catches
// as a std::exception like the others. Linked into programs only.
#include <exception>
#include <new>
#include <typeinfo>

namespace {

// The text is always a literal of the run-time library, so it is kept by address.
class LibraryMisuse : public std::exception {
 public:
  explicit LibraryMisuse(const char* text) : text_(text) {}
  const char* what() const noexcept override { return text_; }

 private:
  const char* text_;
};

}  // namespace

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_logic_error(const char* text) { throw LibraryMisuse(text); }
void __throw_domain_error(const char* text) { throw LibraryMisuse(text); }
void __throw_invalid_argument(const char* text) { throw LibraryMisuse(text); }
void __throw_length_error(const char* text) { throw LibraryMisuse(text); }
void __throw_out_of_range(const char* text) { throw LibraryMisuse(text); }
// The text is a format whose numbers are left unfilled.
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryMisuse(format); }
void __throw_runtime_error(const char* text) { throw LibraryMisuse(text); }
void __throw_range_error(const char* text) { throw LibraryMisuse(text); }
void __throw_overflow_error(const char* text) { throw LibraryMisuse(text); }
void __throw_underflow_error(const char* text) { throw LibraryMisuse(text); }

}  // namespace std
