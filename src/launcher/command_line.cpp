#include "launcher/command_line.h"

#include <utility>

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c; }

// Whether the argument starts with the ASCII text, in any letter case.
bool StartsWith(const wchar_t* argument, std::size_t length, const char* text) {
  std::size_t i = 0;
  for (; text[i]; ++i) {
    if (i >= length || Upper(argument[i]) != static_cast<wchar_t>(text[i])) return false;
  }
  return true;
}

bool Is(const wchar_t* argument, std::size_t length, const char* text) {
  return StartsWith(argument, length, text) && lstrlenA(text) == static_cast<int>(length);
}

bool IsSilentSwitch(const wchar_t* argument, std::size_t length) {
  for (const char* name : {"/SILENT", "/VERYSILENT", "/S", "/Q", "/QUIET"}) {
    if (Is(argument, length, name)) return true;
  }
  return false;
}

// "C:\..." or "\\server\...": nothing to resolve; "<WINDIR>\...": setup expands it.
bool KeptAsWritten(const WideText& value) {
  const wchar_t* v = value.Text();
  if (value.Length() >= 3 && v[1] == L':' && (v[2] == L'\\' || v[2] == L'/')) return true;
  if (value.Length() >= 2 && (v[0] == L'\\' || v[0] == L'/') && (v[1] == L'\\' || v[1] == L'/')) {
    return true;
  }
  return value.Empty() || v[0] == L'<';
}

// The value as a full path against the current directory.
void MakeFull(WideText& value) {
  if (KeptAsWritten(value)) return;
  WideText full;
  DWORD length = GetFullPathNameW(value.Text(), 0, nullptr, nullptr);
  if (length == 0) return;
  length = GetFullPathNameW(value.Text(), length, full.Buffer(length), nullptr);
  if (length == 0) return;
  full.SetLength(length);
  value = std::move(full);
}

// Passes a /DIR= or /LOG= argument on (its quotes dropped) with its value made full,
// in quotes.
void PassPathSwitch(const WideText& argument, LaunchOptions& options, bool log) {
  constexpr std::size_t kNameLength = 5;
  WideText value;
  value.Append(argument.Text() + kNameLength, argument.Length() - kNameLength);
  MakeFull(value);
  options.Parameters.Append(argument.Text(), kNameLength).Append(L'"').Append(value.Text());
  options.Parameters.Append(L'"');
  if (log) options.LogFile = std::move(value);
}

}  // namespace

const wchar_t* ArgumentsOf(const wchar_t* commandLine) {
  const wchar_t* p = commandLine;
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && !IsBlank(*p)) ++p;
  }
  while (IsBlank(*p)) ++p;
  return p;
}

void ReadArguments(const wchar_t* arguments, LaunchOptions& options) {
  const wchar_t* p = arguments;
  while (true) {
    while (IsBlank(*p)) ++p;
    if (!*p) break;
    const wchar_t* start = p;
    bool quoted = false;
    for (; *p && (quoted || !IsBlank(*p)); ++p) {
      if (*p == L'"') quoted = !quoted;
    }
    // Read without its quotes, wherever they stand: "/DIR=C:\A B" as /DIR="C:\A B".
    WideText argument;
    for (const wchar_t* c = start; c < p; ++c) {
      if (*c != L'"') argument.Append(*c);
    }
    const wchar_t* text = argument.Text();
    if (!options.Parameters.Empty()) options.Parameters.Append(L' ');
    if (StartsWith(text, argument.Length(), "/DIR=")) {
      PassPathSwitch(argument, options, false);
    } else if (StartsWith(text, argument.Length(), "/LOG=")) {
      PassPathSwitch(argument, options, true);
    } else {
      if (IsSilentSwitch(text, argument.Length())) options.Silent = true;
      options.Parameters.Append(start, static_cast<std::size_t>(p - start));
    }
  }
}
