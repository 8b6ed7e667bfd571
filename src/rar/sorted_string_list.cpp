#include "rar/sorted_string_list.h"

#include "text/text.h"

#include <algorithm>

namespace {

unsigned char SortKey(char c) { return static_cast<unsigned char>(UpperAscii(c)); }

bool Before(const std::string& a, const std::string& b) {
  const auto differs = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                     [](char x, char y) { return SortKey(x) == SortKey(y); });
  if (differs.first != a.end() && differs.second != b.end()) {
    return SortKey(*differs.first) < SortKey(*differs.second);
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;  // equal without case: the byte order decides
}

}  // namespace

TSortedStringList::TSortedStringList(std::initializer_list<std::string> texts) { *this = texts; }

TSortedStringList& TSortedStringList::operator=(const std::vector<std::string>& texts) {
  items_.clear();
  for (const std::string& text : texts) Add(text);
  return *this;
}

TSortedStringList& TSortedStringList::operator=(std::initializer_list<std::string> texts) {
  items_.clear();
  for (const std::string& text : texts) Add(text);
  return *this;
}

void TSortedStringList::Add(const std::string& text) {
  const auto at = std::lower_bound(items_.begin(), items_.end(), text, Before);
  if (at != items_.end() && *at == text) return;
  items_.insert(at, text);
}
