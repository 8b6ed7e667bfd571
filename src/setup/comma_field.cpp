#include "setup/comma_field.h"

#include "text/text.h"

std::string GetCommaField(const std::string& text, unsigned n) {
  unsigned commas = 0;
  std::string field;
  for (char c : text) {
    if (c != ',') {
      field += c;
      continue;
    }
    if (++commas == n) return Trim(field);
    field.clear();
  }
  return commas + 1 == n ? Trim(field) : std::string();
}
