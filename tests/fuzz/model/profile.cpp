#include "profile.h"

#include "code_pages.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace model {

namespace {

// The platform reads the file into UTF-16, answers in UTF-16 into a buffer of the
// caller's size, and converts that answer back to code page 949.

struct Key {
  std::wstring Name;
  std::optional<std::wstring> Value;  // none: a line without "="
};

struct Section {
  std::wstring Name;
  std::vector<Key> Keys;
};

// Blanks around names and values: the ASCII white space and Ctrl+Z, nothing wider
// (an ideographic space stays).
bool IsBlank(wchar_t c) { return c == L' ' || (c >= 9 && c <= 13) || c == 0x1A; }

std::wstring Trimmed(const std::wstring& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

// What a name or value is as a zero-terminated text.
std::wstring UpToZero(const std::wstring& text) { return text.substr(0, text.find(L'\0')); }

wchar_t Folded(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

bool SameName(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return Folded(x) == Folded(y); });
}

std::wstring Decoded(const std::string& bytes) {
  std::wstring text;
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    ToUtf16(kCodePageUtf8, bytes.substr(3), false, text);
  } else if (bytes.size() >= 2 &&
             (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0)) {
    const bool little = bytes[0] == '\xFF';
    for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
      const auto first = static_cast<unsigned char>(bytes[at]);
      const auto second = static_cast<unsigned char>(bytes[at + 1]);
      text += static_cast<wchar_t>(little ? first | second << 8 : first << 8 | second);
    }
  } else {
    ToUtf16(kCodePage949, bytes, false, text);
  }
  return text;
}

// A line ends at CR or at LF.
std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find_first_of(L"\r\n", at), text.size());
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

std::vector<Section> Parsed(const std::string& bytes) {
  std::vector<Section> sections(1);  // the keys before the first section: no name
  for (const std::wstring& raw : Lines(Decoded(bytes))) {
    const std::wstring line = Trimmed(raw);
    if (line.empty()) continue;
    const std::size_t close = line.rfind(L']');
    if (line[0] == L'[' && close != std::wstring::npos && close > 0) {
      sections.push_back({UpToZero(Trimmed(line.substr(1, close - 1))), {}});
      continue;
    }
    Key key;
    const std::size_t equals = line.find(L'=');
    key.Name = UpToZero(Trimmed(line.substr(0, equals)));
    if (equals != std::wstring::npos) key.Value = UpToZero(Trimmed(line.substr(equals + 1)));
    // A line with an empty name follows only a key with a name.
    std::vector<Key>& keys = sections.back().Keys;
    if (equals == 0 || Trimmed(line.substr(0, equals)).empty()) {
      if (!keys.empty() && keys.back().Name.empty()) continue;
    }
    keys.push_back(key);
  }
  return sections;
}

// Copies a value into a buffer of size units as the platform does: one pair of
// enclosing quotes goes, but only when the whole value fits.
std::wstring CopiedEntry(const std::wstring& value, unsigned size) {
  if (size == 0) return std::wstring();
  std::wstring text = value;
  const bool quoted =
      text.size() >= 2 && (text[0] == L'"' || text[0] == L'\'') && text.back() == text[0];
  if (quoted) text.erase(0, 1);
  std::wstring copied = text.substr(0, size - 1);
  if (quoted && size >= text.size() && !copied.empty()) copied.pop_back();
  return copied;
}

// The answer of a list: names each ended by a zero and one more zero; a list cut by
// the size counts two less than the size.
struct WideAnswer {
  std::wstring Text;  // what the count covers
  unsigned Count;
};

WideAnswer SectionNames(const std::vector<Section>& sections, unsigned size) {
  if (size <= 1) return {std::wstring(), 0};
  std::wstring list;
  unsigned room = size - 1;
  for (const Section& section : sections) {
    if (section.Name.empty()) continue;
    const unsigned length = static_cast<unsigned>(section.Name.size()) + 1;
    if (length >= room) {
      list += section.Name.substr(0, room - 1) + L'\0';
      return {list, size - 2};
    }
    list += section.Name + L'\0';
    room -= length;
  }
  return {list, static_cast<unsigned>(list.size())};
}

WideAnswer KeyNames(const Section& section, unsigned size) {
  std::wstring list;
  unsigned room = size;
  for (const Key& key : section.Keys) {
    if (room <= 2) break;
    if ((!key.Name.empty() && key.Name[0] == L';') || !key.Value) continue;
    const std::wstring name = key.Name.substr(0, room - 2);
    list += name + L'\0';
    room -= static_cast<unsigned>(name.size()) + 1;
    if (room < 2) break;
  }
  if (room <= 1) return {list.substr(0, list.size() - 1) + L'\0', size - 2};
  return {list, size - room};
}

std::wstring Wide(const char* text) {
  std::wstring wide;
  if (text) ToUtf16(kCodePage949, text, false, wide);
  return wide;
}

// The count of UTF-16 units written back in code page 949 into at most size - 1
// bytes: whole characters only; a cut answer counts as size - 1.
unsigned Narrowed(const WideAnswer& answer, char* buffer, unsigned size) {
  if (size == 0) return 0;
  std::string bytes;
  bool usedDefault = false;
  FromUtf16(kCodePage949, answer.Text.substr(0, answer.Count), false, bytes, usedDefault);
  unsigned count = static_cast<unsigned>(bytes.size());
  if (bytes.size() > size - 1) {
    std::size_t fits = 0;
    for (std::size_t at = 0; at < bytes.size();) {
      const std::size_t next = at + (IsLeadByte949(static_cast<unsigned char>(bytes[at])) ? 2 : 1);
      if (next > size - 1) break;
      fits = at = next;
    }
    bytes.resize(fits);
    count = size - 1;
  }
  std::memcpy(buffer, bytes.data(), bytes.size());
  buffer[count] = '\0';
  return count;
}

WideAnswer Value(const std::wstring& text, unsigned size) {
  const std::wstring copied = CopiedEntry(text, size);
  return {copied, static_cast<unsigned>(copied.size())};
}

}  // namespace

unsigned ProfileString(const std::string& fileBytes, bool exists, const char* section,
                       const char* key, const char* defaultValue, char* buffer, unsigned size) {
  std::wstring fallback = Wide(defaultValue);
  while (fallback.size() > 1 && fallback.back() == L' ') fallback.pop_back();
  if (!exists && !section) return Narrowed({std::wstring(), 0}, buffer, size);
  if (!exists) return Narrowed(Value(fallback, size), buffer, size);
  // The platform keeps a file it read; so does the model, for speed.
  static std::string lastBytes;
  static std::vector<Section> sections;
  if (sections.empty() || lastBytes != fileBytes) {
    sections = Parsed(fileBytes);
    lastBytes = fileBytes;
  }
  if (!section) return Narrowed(SectionNames(sections, size), buffer, size);
  if (!key) {
    const std::wstring name = Wide(section);
    for (const Section& s : sections) {
      if (!SameName(s.Name, name)) continue;
      const WideAnswer list = KeyNames(s, size);
      if (list.Count > 0 && !list.Text.empty() && list.Text[0] != L'\0') {
        return Narrowed(list, buffer, size);
      }
      break;
    }
    return Narrowed(Value(fallback, size), buffer, size);
  }
  const std::wstring sectionName = Trimmed(Wide(section));
  const std::wstring keyName = Trimmed(Wide(key));
  for (const Section& s : sections) {
    if (!SameName(s.Name, sectionName)) continue;
    for (const Key& k : s.Keys) {
      if (!SameName(k.Name, keyName)) continue;
      if (k.Value) return Narrowed(Value(*k.Value, size), buffer, size);
      break;
    }
    break;
  }
  return Narrowed(Value(fallback, size), buffer, size);
}

}  // namespace model
