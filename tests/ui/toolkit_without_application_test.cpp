// The toolkit on its own: forms with a host of the test's making and a handler's
// exception reported through the hook, with no application object in the program.
#include "ui/controls.h"
#include "ui/form.h"
#include "win/errors.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> reported;

void Record() noexcept {
  try {
    throw;
  } catch (const std::exception& error) {
    reported.push_back(error.what());
  }
}

class TRecordingHost : public TFormHost {
 public:
  HWND OwnerWindow() const override { return nullptr; }
  void RunModalLoop(const TForm&) override {}
  bool EndProgramWith(const TForm& form) override {
    Ended.push_back(&form);
    return IsMain;
  }
  bool ProgramEnding() const override { return false; }
  void Release(TForm& form) override { Released.push_back(&form); }

  bool IsMain = false;
  std::vector<const TForm*> Ended;
  std::vector<const TForm*> Released;
};

class TPlainForm : public TForm {
 public:
  explicit TPlainForm(TFormHost& host)
      : TForm(host,
              {"TPlainForm", "홀로", 200, 80, FormBorder::Dialog, FormPlacement::ScreenCenter}) {}
  TButton Button1{*this, 10, 10, 75, 25, "확인"};
};

void Press(const TButton& button) {
  SendMessageA(GetParent(button.Handle()), WM_COMMAND, MAKEWPARAM(button.Id(), BN_CLICKED),
               reinterpret_cast<LPARAM>(button.Handle()));
}

}  // namespace

TEST(ToolkitWithoutApplication, AHandlersExceptionEndsAtTheHook) {
  TRecordingHost host;
  TPlainForm form(host);
  form.Button1.OnClick = [] { throw Exception("디스크가 가득 찼습니다"); };
  Press(form.Button1);  // no hook yet: dropped at the window's edge
  EXPECT_TRUE(reported.empty());
  SetWindowExceptionHook(&Record);
  Press(form.Button1);
  SetWindowExceptionHook(nullptr);
  EXPECT_EQ(std::vector<std::string>{"디스크가 가득 찼습니다"}, reported);
  EXPECT_TRUE(IsWindow(form.Handle()));
}

TEST(ToolkitWithoutApplication, ClosingAFormAsksTheHost) {
  TRecordingHost host;
  TPlainForm form(host);
  form.Show();
  form.Close();  // not the main form: it hides
  EXPECT_FALSE(form.Visible());
  form.Show();
  host.IsMain = true;
  form.Close();  // the host ends the program; the form is left as it is
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ((std::vector<const TForm*>{&form, &form}), host.Ended);
  EXPECT_TRUE(host.Released.empty());
}
