#include "setup/windows/wizard.h"

#include "setup/install_settings.h"
#include "setup/windows/pictures.h"
#include "ui/application.h"

#include <algorithm>

TfmWizad* fmWizad = nullptr;

namespace {

constexpr unsigned kLastPage = 4;
const char kIndent[] = "     ";

struct PageLook {
  const char* Caption;
  bool BackEnabled;
  bool Finished;  // the completion page: only "확인" is left
};

constexpr PageLook kPages[kLastPage] = {
    {"환영", false, false},
    {"설치 경로", true, false},
    {"설치 시작", true, false},
    {"설치 완료", false, true},
};

const char kExitQuestion[] =
    "프로그램 설치를 종료 하시겠습니까?\r\n\r\n"
    "설치 마법사를 지금 종료 하시면 프로그램을 실행할 수 없습니다.";

// The design text with its "%s" replaced by the product's title.
std::string WithTitle(const std::string& text) {
  const std::string::size_type at = text.find("%s");
  if (at == std::string::npos) return text;
  return text.substr(0, at) + InstallSettings.ProductTitle + text.substr(at + 2);
}

}  // namespace

TfmWizad::TfmWizad(TFormHost& host)
    : TForm(host,
            {"TfmWizad", "", 524, 298, FormBorder::Dialog, FormPlacement::ScreenCenter, TFont{}}) {
  Image1.SetBitmap(LoadPicture(kWizardPicture));
  // The wrapping labels reach down to the next control of their page.
  lb1.WrapWithin(353, 56);
  Label3.WrapWithin(353, 38);
  lb2.WrapWithin(353, 56);
  Label6.WrapWithin(353, 67);
  lb3.WrapWithin(353, 48);
  lb4.WrapWithin(361, 96);
  ListBox1.SetColor(clSilver);
  ListBox1.SetItemHeight(12);
  Button1.OnClick = [this] { Button1Click(); };
  Button2.OnClick = [this] { Button2Click(); };
  Button3.OnClick = [this] { Button3Click(); };
  Button4.OnClick = [this] { Button4Click(); };
}

void TfmWizad::FormCreate() {
  for (TLabel* label : {&lb1, &lb2, &lb3, &lb4}) label->SetText(WithTitle(label->Text()));
  FillSummary();
  lbDir.SetText(InstallSettings.InstallDir);
}

void TfmWizad::FillSummary() {
  ListBox1.Clear();
  ListBox1.Add("작업 디렉토리 :");
  ListBox1.Add(kIndent + InstallSettings.SourceDir);
  ListBox1.Add(kIndent);
  ListBox1.Add("설치 디렉토리 :");
  ListBox1.Add(kIndent + InstallSettings.InstallDir);
}

void TfmWizad::StartWizard() {
  CurrentPage = 1;
  ShowPage(1);
  ShowModal();
}

void TfmWizad::ShowPage(unsigned n) {
  if (n < 1 || n > kLastPage) return;  // no such page
  const PageLook& look = kPages[n - 1];
  Notebook1.SetPageIndex(static_cast<int>(n) - 1);
  SetCaption(look.Caption);
  // A button about to be disabled or hidden hands the keyboard focus on first.
  if (GetFocus() == Button2.Handle() && !look.BackEnabled) Button1.SetFocus();
  Button2.SetEnabled(look.BackEnabled);
  Button2.SetVisible(!look.Finished);
  Button1.SetVisible(!look.Finished);
  Button3.SetText(look.Finished ? "확인" : "취소");
  if (look.Finished) Button3.SetFocus();
}

void TfmWizad::NextPage() {
  // The completion page says the files were copied: only a run that reached its
  // end leads there. After a cancelled run the summary page is shown again.
  if (CurrentPage == 3 && !RunInstallHidden()) {
    ShowPage(CurrentPage);
    return;
  }
  CurrentPage = std::min(CurrentPage + 1, kLastPage);
  ShowPage(CurrentPage);
}

void TfmWizad::PrevPage() {
  CurrentPage = std::max(CurrentPage, 2u) - 1;
  ShowPage(CurrentPage);
}

bool TfmWizad::RunInstallHidden() {
  Hide();
  bool completed = false;
  try {
    completed = OnRunInstall && OnRunInstall();
  } catch (...) {
    // The silent abort: back on the summary page, so the user is never left
    // without a window; the application drops the abort itself.
    Show();
    ShowPage(CurrentPage);
    throw;
  }
  Show();
  return completed;
}

void TfmWizad::Button4Click() {
  if (OnChooseDirectory) {
    if (const std::optional<std::string> path = OnChooseDirectory()) {
      InstallSettings.InstallDir = *path;
    }
  }
  FillSummary();
  lbDir.SetText(InstallSettings.InstallDir);
}

void TfmWizad::FormClose(TCloseAction& action) {
  if (CurrentPage == kLastPage) return;  // finished: closes without a question
  const int answer =
      Application.MessageBox(kExitQuestion, "종료", MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION);
  if (answer != IDYES) action = caNone;
}
