#include "setup/windows/directory_chooser.h"

#include "text/text.h"

TfmDir* fmDir = nullptr;

TfmDir::TfmDir(TFormHost& host)
    : TForm(host, {"TfmDir", "선택", 320, 288, FormBorder::Dialog, FormPlacement::ScreenCenter,
                   TFont{}}) {
  DriveComboBox1.SetDirList(DirList);
  DirList.OnChange = [this] { DirListChange(); };
  Button1.OnClick = [this] { Button1Click(); };
  Button2.OnClick = [this] { Button2Click(); };
}

std::optional<std::string> TfmDir::ChooseDirectory(const std::string& currentPath,
                                                   const std::string& productFolder) {
  productFolder_ = productFolder;
  accepted_.reset();
  DirList.SetDirectory("C:\\");
  ePath.SetText(currentPath);
  ShowModal();
  return accepted_;
}

void TfmDir::DirListChange() {
  std::string path = DirList.Directory();
  if (!productFolder_.empty())
    path += EndsWith(path, "\\") ? productFolder_ : "\\" + productFolder_;
  ePath.SetText(path);
}

void TfmDir::Button1Click() {
  accepted_ = ePath.Text();
  Close();
}

void TfmDir::Button2Click() { Close(); }
