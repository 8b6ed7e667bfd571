#include "ui/gdi.h"

#include "ui/word_wrap.h"
#include "win/gdi_scopes.h"
#include "win/handles.h"

#include <map>
#include <tuple>

namespace {

using FontKey = std::tuple<std::string, int, bool>;

std::map<FontKey, FontHandle>& FontCache() {
  static std::map<FontKey, FontHandle> cache;
  return cache;
}

std::map<COLORREF, BrushHandle>& BrushCache() {
  static std::map<COLORREF, BrushHandle> cache;
  return cache;
}

}  // namespace

COLORREF ResolveColor(COLORREF color) {
  if (color & 0x80000000) return GetSysColor(static_cast<int>(color & 0xFF));
  return color;
}

HFONT FontHandleOf(const TFont& font) {
  const FontKey key(font.Name, font.Height, font.Bold);
  FontHandle& slot = FontCache()[key];
  if (!slot) {
    // A negative height asks for the character height rather than the cell height.
    slot.Reset(CreateFontA(-font.Height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                           FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.Name.c_str()));
  }
  if (!slot) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));  // no such font
  return slot.Get();
}

HBRUSH BrushOf(COLORREF color) {
  const COLORREF rgb = ResolveColor(color);
  BrushHandle& slot = BrushCache()[rgb];
  if (!slot) slot.Reset(CreateSolidBrush(rgb));
  return slot.Get();
}

SIZE MeasureText(HFONT font, const std::string& text, int wrapWidth) {
  WindowDC screen(nullptr);
  SelectedObject selected(screen.Get(), font);
  const std::string measured = text.empty() ? std::string(" ") : text;
  if (wrapWidth > 0) {
    TEXTMETRICA metrics = {};
    GetTextMetricsA(screen.Get(), &metrics);
    const auto lines = WrapWords(screen.Get(), measured, wrapWidth);
    return SIZE{wrapWidth, static_cast<LONG>(lines.size()) * metrics.tmHeight};
  }
  RECT rect = {0, 0, 0, 0};
  DrawTextA(screen.Get(), measured.c_str(), static_cast<int>(measured.size()), &rect,
            DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | DT_LEFT);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

HICON ProgramIcon(int size) {
  constexpr int kProgramIconId = 1;
  const HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kProgramIconId),
                                 IMAGE_ICON, size, size, LR_SHARED);
  return icon ? static_cast<HICON>(icon) : LoadIcon(nullptr, IDI_APPLICATION);
}
