#include "setup/windows/background_window.h"

#include "setup/date_settings.h"
#include "setup/install_settings.h"
#include "setup/windows/gradient.h"

TfmBackGround* fmBackGround = nullptr;

TfmBackGround::TfmBackGround(TFormHost& host)
    : TForm(host, {"TfmBackGround", "", 640, 480, FormBorder::MainWindow, FormPlacement::Maximized,
                   TFont{}, clNavy}) {
  SetEraseBackground(false);  // the gradient covers the whole client area
  lbTitle.SetFont(TFont{"바탕체", 29, true, clYellow});
  lbTitle.SetTransparent(true);
  Label1.SetFont(TFont{"굴림체", 15, true, clAqua});
  Label1.DockBottom(30).SetAlignment(TAlignment::Right).SetTransparent(true);
}

void TfmBackGround::FormCreate() {
  SetStartupDateSettings();
  ReadSetupScript();
  SetCaption(InstallSettings.ProductTitle + " 설치마법사");
  lbTitle.SetText(InstallSettings.TitleText + " ");
  GradientStartColor = clBlue;
  GradientEndColor = clBlack;
  BackBuffer = std::make_unique<TOffscreenBitmap>();
}

void TfmBackGround::FormActivate() {
  if (wizardStarted_) return;
  wizardStarted_ = true;
  if (OnStartWizard) OnStartWizard();
  Close();
}

void TfmBackGround::FormPaint(HDC dc) { PaintBackground(dc); }

void TfmBackGround::FormDestroy() { BackBuffer.reset(); }

void TfmBackGround::PaintBackground(HDC dc) {
  if (!BackBuffer) return;  // destroyed already: nothing to paint from
  RECT outer = {};
  GetWindowRect(Handle(), &outer);
  BackBuffer->SetSize(outer.right - outer.left, outer.bottom - outer.top);
  DrawGradient(GradientStartColor, GradientEndColor);
  BitBlt(dc, 0, 0, BackBuffer->Width(), BackBuffer->Height(), BackBuffer->Canvas(), 0, 0, SRCCOPY);
}

void TfmBackGround::DrawGradient(COLORREF start, COLORREF end) {
  if (!BackBuffer) return;  // destroyed already
  ::DrawGradient(BackBuffer->Canvas(), BackBuffer->Width(), BackBuffer->Height(), start, end);
}
