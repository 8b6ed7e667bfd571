// setup's main window: it covers the screen with a blue-to-black gradient and the
// product's title, reads the setup script while it is made, starts the wizard on
// its first activation and closes, which ends the program, when the wizard has closed.
#pragma once

#include "setup/windows/offscreen_bitmap.h"
#include "ui/form.h"
#include "ui/label.h"

#include <functional>
#include <memory>

class TfmBackGround : public TForm {
 public:
  explicit TfmBackGround(TFormHost& host);

  void FormCreate() override;
  void FormActivate() override;
  void FormPaint(HDC dc) override;
  void FormDestroy() override;

  // Renders the gradient into BackBuffer at the window's outer size and copies it
  // to the client area in one operation; what lies beyond the client area is clipped.
  void PaintBackground(HDC dc);
  // Fills BackBuffer with the gradient between the two colours.
  void DrawGradient(COLORREF start, COLORREF end);

  TLabel lbTitle{*this, 16, 16, ""};
  TLabel Label1{*this, 0, 0, "이 설치 프로그램은 한글 설치 도구로 만들었습니다.  "};

  // Runs the wizard modally; set at start-up.
  std::function<void()> OnStartWizard;

  COLORREF GradientStartColor = clBlack;
  COLORREF GradientEndColor = clBlack;
  std::unique_ptr<TOffscreenBitmap> BackBuffer;

 private:
  bool wizardStarted_ = false;  // the window is activated again when the wizard closes
};

extern TfmBackGround* fmBackGround;
