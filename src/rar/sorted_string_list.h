// A sorted list of texts that its owner keeps for good: assigning another list
// or a set of texts copies them in.
//
// Order: texts compare with the ASCII letters a to z upper-cased and every other
// byte by its unsigned value (the same rule the archive component matches names
// with); texts equal under that rule keep their byte order among themselves.
// A text already in the list byte for byte is not added again.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

class TSortedStringList {
 public:
  using const_iterator = std::vector<std::string>::const_iterator;

  TSortedStringList() = default;
  TSortedStringList(std::initializer_list<std::string> texts);

  TSortedStringList& operator=(const std::vector<std::string>& texts);
  TSortedStringList& operator=(std::initializer_list<std::string> texts);

  void Add(const std::string& text);
  void Clear() { items_.clear(); }

  std::size_t Count() const { return items_.size(); }
  bool Empty() const { return items_.empty(); }
  const std::string& operator[](std::size_t index) const { return items_[index]; }
  const_iterator begin() const { return items_.begin(); }
  const_iterator end() const { return items_.end(); }

 private:
  std::vector<std::string> items_;
};
