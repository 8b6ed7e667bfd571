#include "win/message_box.h"

int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags) {
  return MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
}
