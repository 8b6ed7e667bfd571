#include "setup/windows/directory_chooser.h"

#include "setup/install_settings.h"
#include "shared/text.h"

TfmDir* fmDir = nullptr;

TfmDir::TfmDir()
    : TForm({"TfmDir", "선택", 320, 288, FormBorder::Dialog, FormPlacement::ScreenCenter,
             TFont{}}) {
  DriveComboBox1.SetDirList(DirList);
  DirList.OnChange = [this] { DirListChange(); };
  Button1.OnClick = [this] { Button1Click(); };
  Button2.OnClick = [this] { Button2Click(); };
}

void TfmDir::ChooseDirectory() {
  DirList.SetDirectory("C:\\");
  ePath.SetText(InstallSettings.InstallDir);
  ShowModal();
}

void TfmDir::DirListChange() {
  std::string path = DirList.Directory();
  const std::string& folder = InstallSettings.ProductFolder;
  if (!folder.empty()) path += EndsWith(path, "\\") ? folder : "\\" + folder;
  ePath.SetText(path);
}

void TfmDir::Button1Click() {
  InstallSettings.InstallDir = ePath.Text();
  Close();
}

void TfmDir::Button2Click() { Close(); }
