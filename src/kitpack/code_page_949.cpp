#include "kitpack/code_page_949.h"

#include "win/code_page_text.h"

#include <windows.h>

namespace {

std::string Narrow(const WideString& text, DWORD flags, BOOL* usedDefault) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(kKitCodePage, flags, text.data(), size, nullptr, 0, nullptr, usedDefault);
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(kKitCodePage, flags, text.data(), size, narrow.data(), length, nullptr,
                      usedDefault);
  return narrow;
}

WideString Widen(const std::string& text) {
  const int size = static_cast<int>(text.size());
  const int length =
      MultiByteToWideChar(kKitCodePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  WideString wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(kKitCodePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

std::optional<std::string> ExactCp949(const WideString& text) {
  BOOL usedDefault = FALSE;
  std::string narrow = Narrow(text, WC_NO_BEST_FIT_CHARS, &usedDefault);
  if (usedDefault || Widen(narrow) != text) return std::nullopt;
  return narrow;
}
