#include "win/code_page_text.h"

#include <windows.h>

WideString WideFromAnsi(const std::string& text) {
  if (text.empty()) return WideString();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  WideString wide(static_cast<std::size_t>(length), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

bool AnsiFromWide(const WideString& text, std::string& narrow) {
  narrow.clear();
  if (text.empty()) return true;
  const int size = static_cast<int>(text.size());
  // UTF-8 writes every character and takes neither the flag nor the question.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* askUsedDefault = utf8 ? nullptr : &usedDefault;
  const int length =
      WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr, askUsedDefault);
  if (length <= 0 || usedDefault) return false;
  narrow.assign(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, flags, text.data(), size, narrow.data(), length, nullptr, nullptr);
  return true;
}

std::string Cp949ForDisplay(const wchar_t* text, std::size_t length) {
  if (length == 0) return std::string();
  const int size = static_cast<int>(length);
  const int narrowLength =
      WideCharToMultiByte(kKitCodePage, WC_NO_BEST_FIT_CHARS, text, size, nullptr, 0, "?", nullptr);
  if (narrowLength <= 0) return std::string();
  std::string narrow(static_cast<std::size_t>(narrowLength), '\0');
  WideCharToMultiByte(kKitCodePage, WC_NO_BEST_FIT_CHARS, text, size, narrow.data(), narrowLength,
                      "?", nullptr);
  return narrow;
}
