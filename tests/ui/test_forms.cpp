#include "test_forms.h"

const char kLongText[] = "설치 마법사는 Pelmora 1.0을(를) 다음 디렉토리에 설치할 것입니다.";

TTestForm::TTestForm(TFormHost& host, FormBorder border, FormPlacement placement)
    : TForm(host, {"TTestForm", "시험", 600, 420, border, placement, TFont{"굴림체", 12}}) {
  lbWrap.WrapAt(100);
  lbTitle.SetFont(TFont{"바탕체", 29, true, clYellow});
  lbTitle.SetTransparent(true);
  lbBottom.DockBottom(30).SetAlignment(TAlignment::Right).SetTransparent(true);
  lbBottom.SetFont(TFont{"굴림체", 15, true, clAqua});
  ListBox1.SetColor(clSilver);
  ListBox1.SetItemHeight(12);
  Button1.OnClick = [this] { ++Clicks; };
  DriveComboBox1.SetDirList(DirList);
}

TTestDialog::TTestDialog(TFormHost& host, const std::string& caption)
    : TForm(host, {"TTestDialog", caption, 200, 60, FormBorder::Dialog, FormPlacement::ScreenCenter,
                   TFont{}}) {
  Button1.OnClick = [this] {
    if (Action) Action();
  };
}

void TTestDialog::FormClose(TCloseAction& action) {
  ++Closes;
  action = CloseAction;
}

void TTestDialog::FormDestroy() {
  if (DestroyedFlag) *DestroyedFlag = true;
}
