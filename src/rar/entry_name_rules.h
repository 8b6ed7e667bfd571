// Where the archive library puts an entry. Before it joins a stored name to the
// destination path it makes the name safe, so that no entry lands outside the
// destination; whoever names an extracted file must apply the same rules.
//
// One template for 8-bit names (code page 949) and wide names. Working on the
// bytes of an 8-bit name is sound: the second byte of a two-byte character in code
// page 949 is never "\", "/", "." or ":", and the first is never an ASCII letter.
//
// Pure: no platform headers, so the rules can be fuzzed natively.
#pragma once

#include "text/text.h"

#include <string>

namespace entry_name_rules {

template <typename Char>
bool IsSeparator(Char c) {
  return c == Char('\\');
}

// "X:" at the start.
template <typename Char>
bool DropDrive(std::basic_string<Char>& name) {
  if (name.size() < 2 || !IsAsciiLetter(name[0]) || name[1] != Char(':')) return false;
  name.erase(0, 2);
  return true;
}

// Two separators, then everything through the second separator after them
// ("\\server\share\"); without that second separator the whole name is prefix.
template <typename Char>
bool DropUncPrefix(std::basic_string<Char>& name) {
  using String = std::basic_string<Char>;
  if (name.size() < 2 || !IsSeparator(name[0]) || !IsSeparator(name[1])) return false;
  const auto server = name.find(Char('\\'), 2);
  const auto share = server == String::npos ? String::npos : name.find(Char('\\'), server + 1);
  name.erase(0, share == String::npos ? name.size() : share + 1);
  return true;
}

// A leading run of "." and "\" up to its last separator: ".\", "..\" and "\" go,
// a dot that begins a name (".profile") stays.
template <typename Char>
bool DropLeadingRun(std::basic_string<Char>& name) {
  std::size_t run = 0;
  while (run < name.size() && (name[run] == Char('.') || IsSeparator(name[run]))) ++run;
  std::size_t cut = run;
  while (cut > 0 && !IsSeparator(name[cut - 1])) --cut;
  if (cut == 0) return false;
  name.erase(0, cut);
  return true;
}

}  // namespace entry_name_rules

// The stored name as the library joins it to the destination:
// 1. "/" counts as "\"; everything up to and including the last "\..\" goes;
// 2. then, pass after pass until a pass changes nothing: a leading drive, a UNC
//    prefix, and a leading run of "." and "\" up to its last separator go, in
//    this order;
// 3. a name that is then exactly ".." becomes empty.
template <typename Char>
std::basic_string<Char> SafeEntryName(std::basic_string<Char> name) {
  using namespace entry_name_rules;
  using String = std::basic_string<Char>;
  for (Char& c : name) {
    if (c == Char('/')) c = Char('\\');
  }
  const String parent = {Char('\\'), Char('.'), Char('.'), Char('\\')};
  const auto last = name.rfind(parent);
  if (last != String::npos) name.erase(0, last + parent.size());
  for (bool changed = true; changed;) {
    changed = DropDrive(name);
    changed = DropUncPrefix(name) || changed;
    changed = DropLeadingRun(name) || changed;
  }
  if (name == String(2, Char('.'))) name.clear();
  return name;
}
