#include "setup/windows/pictures.h"

namespace {

HBITMAP Load(int id, UINT flags) {
  return static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, flags));
}

}  // namespace

// A 16-colour DIB section; should a system not decode the pictures' run-length
// encoding into one, a bitmap of the display's kind, which every system decodes into.
BitmapHandle LoadPicture(int id) {
  HBITMAP bitmap = Load(id, LR_CREATEDIBSECTION);
  return BitmapHandle(bitmap != nullptr ? bitmap : Load(id, LR_DEFAULTCOLOR));
}
