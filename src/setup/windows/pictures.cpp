#include "setup/windows/pictures.h"

BitmapHandle LoadPicture(int id) {
  return BitmapHandle(static_cast<HBITMAP>(LoadImageA(
      GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}
