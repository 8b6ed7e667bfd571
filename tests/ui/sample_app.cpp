// A small program on the window layer, shaped like setup: a maximised main window
// that shows a dialog modally on its first activation and closes when the dialog
// has closed. The tests drive it from outside as a user would. It appends what its
// handlers did to the file named on its command line.
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/label.h"

#include "win/errors.h"

#include <fstream>
#include <string>

namespace {

std::string LogPath;

void Log(const std::string& line) {
  std::ofstream(LogPath, std::ios::app | std::ios::binary) << line << "\n";
}

class TfmSampleDialog : public TForm {
 public:
  explicit TfmSampleDialog(TFormHost& host)
      : TForm(host, {"TfmSampleDialog", "표본 대화", 300, 120, FormBorder::Dialog,
                     FormPlacement::ScreenCenter, TFont{}}) {
    Button1.OnClick = [] { throw Exception("표본 오류"); };
    Button2.OnClick = [this] {
      Label1.SetText("중단됨");
      throw EAbort();
    };
    Button3.OnClick = [this] { Close(); };
  }
  void FormCreate() override { Log("dialog created"); }
  void FormClose(TCloseAction& action) override {
    if (Application.MessageBox("끝낼까요?", "종료", MB_YESNO | MB_ICONQUESTION) != IDYES) {
      action = caNone;
    }
  }
  void FormDestroy() override { Log("dialog destroyed"); }

  TLabel Label1{*this, 10, 10, "표본"};
  TButton Button1{*this, 10, 80, 75, 25, "오류"};
  TButton Button2{*this, 110, 80, 75, 25, "중단"};
  TButton Button3{*this, 210, 80, 75, 25, "닫기"};
};

TfmSampleDialog* fmSampleDialog = nullptr;

class TfmSampleMain : public TForm {
 public:
  explicit TfmSampleMain(TFormHost& host)
      : TForm(host, {"TfmSampleMain", "표본 배경", 400, 300, FormBorder::MainWindow,
                     FormPlacement::Maximized, TFont{}, clNavy}) {
    lbTitle.SetFont(TFont{"바탕체", 29, true, clYellow});
    lbTitle.SetTransparent(true);
  }
  void FormCreate() override { Log("main created"); }
  void FormActivate() override {
    if (started_) return;  // later activations (after the dialog) do nothing
    started_ = true;
    fmSampleDialog->ShowModal();
    Close();
  }
  void FormDestroy() override { Log("main destroyed"); }

  TLabel lbTitle{*this, 16, 16, "표본 "};

 private:
  bool started_ = false;
};

TfmSampleMain* fmSampleMain = nullptr;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  LogPath = commandLine;
  Application.SetTitle("표본");
  Application.CreateForm(fmSampleMain);
  Application.CreateForm(fmSampleDialog);
  return Application.Run();
}
