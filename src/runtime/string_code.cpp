// The byte string's code, made here rather than taken from the run-time library, whose
// one object holds every member (33 KB) whether a program calls it or not: made from
// the header as part of the program, it is optimised whole with it and what no one
// calls is dropped.
#include <string>

template class std::__cxx11::basic_string<char>;
