// A top-level window of the program: a form with its controls as members.
//
// A form is a class derived from TForm whose controls are members, declared in the
// order they are made (parents before the controls they hold), each at its pixel
// place in its parent's client area. The constructor sets what the members cannot
// say themselves; the handlers are overrides. For example:
//
//   class TfmInstall : public TForm {
//    public:
//     explicit TfmInstall(TFormHost& host)
//         : TForm(host, {"TfmInstall", "설치", 544, 125, FormBorder::DialogNoTitleButtons,
//                  FormPlacement::ScreenCenter, TFont{"굴림체", 12}}) {
//       Image1.SetBitmap(MakeBitmap(48, 48, 4, DrawPicture));
//     }
//     void FormCreate() override;
//     void FormActivate() override;
//     void FormDestroy() override;
//
//     TImage Image1{*this, 13, 10, 49, 49};
//     TBevel Bevel1{*this, 10, 8, 54, 52, TBevelShape::Box};
//     TLabel Label1{*this, 80, 11, "파일"};
//     TLabel lbFile{*this, 80, 30, ""};
//     TButton Button1{*this, 232, 85, 89, 25, "취소"};
//     TProgressBar PB{*this, 80, 50, 449, 17};
//   };
//
//   TfmInstall* fmInstall = nullptr;
//   ...
//   Application.CreateForm(fmInstall);  // constructs it, then runs FormCreate
//
// Forms are made and destroyed by the application object (CreateForm, Run), which
// is their host: a form reaches the program only through TFormHost. Forms show the
// program's icon: icon group 1 of its resources.
#pragma once

#include "ui/form_host.h"
#include "ui/win_control.h"

#include <string>

enum class FormBorder {
  Dialog,                // fixed dialog frame, title bar with system menu and close box
  DialogNoTitleButtons,  // fixed dialog frame, title bar without any buttons
  MainWindow,            // sizeable frame, title bar with system menu and close box only
};

enum class FormPlacement { ScreenCenter, Maximized };

// What happens to a form that is asked to close; FormClose may change it.
enum TCloseAction { caNone, caHide, caFree };

struct FormLayout {
  const char* ClassName;  // the window class, named after the form's class
  std::string Caption;
  int ClientWidth;
  int ClientHeight;
  FormBorder Border;
  FormPlacement Placement;
  TFont Font = TFont();
  COLORREF Color = clBtnFace;
};

class TForm : public TWinControl {
 public:
  ~TForm() override;

  void SetCaption(const std::string& caption) { SetText(caption); }
  std::string Caption() const { return Text(); }
  RECT ClientRect() const;
  // A form whose FormPaint covers its whole client area skips the background fill,
  // so the screen never shows the bare colour between the two.
  void SetEraseBackground(bool erase) { eraseBackground_ = erase; }

  // Shows the form (maximised or as placed) and brings it to the front. FormActivate
  // runs later, from the message loop.
  void Show();
  // Runs the FormActivate that a Show left waiting, now: for a form shown inside a
  // long operation that processes no messages.
  void ActivateNow();
  // While held, an activation runs no FormActivate: for a form that handles its own
  // messages during a long operation and keeps showing that operation's state.
  void HoldActivation(bool hold) { activationHeld_ = hold; }
  void Hide();
  // Shows the form with every other window of the program disabled and processes
  // messages until the form is closed or hidden; then enables the others again
  // and hides the form.
  void ShowModal();
  bool Modal() const { return modal_; }
  // Whether the modal loop of this form goes on.
  bool ModalRunning() const;
  // Asks the form to close: FormClose decides what happens (hide by default).
  // Closing the main form ends the application.
  void Close();

  // Handlers; a form overrides those it needs.
  virtual void FormCreate() {}
  virtual void FormActivate() {}
  virtual void FormPaint(HDC /*dc*/) {}
  virtual void FormClose(TCloseAction& /*action*/) {}
  virtual void FormDestroy() {}

 protected:
  TForm(TFormHost& host, const FormLayout& layout);
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Activated();
  void RestoreFocus();

  TFormHost& host_;
  FormPlacement placement_;
  bool modal_ = false;
  bool modalEnding_ = false;  // closed while modal: the loop ends
  bool activationHeld_ = false;
  bool eraseBackground_ = true;
  HWND lastFocus_ = nullptr;
};
