// The controls of the window layer are real child windows with the right classes,
// places, fonts and behaviour.
#include "test_forms.h"

#include "support/test_support.h"
#include "testing/ui_driver.h"
#include "win/gdi_scopes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace ui = ui_driver;

std::string ClassOf(const TWinControl& control) { return ui::ClassNameOf(control.Handle()); }

void ExpectBounds(const TWinControl& control, int left, int top, int width, int height) {
  const RECT r = ui::Bounds(control.Handle());
  EXPECT_EQ(left, r.left) << ClassOf(control);
  EXPECT_EQ(top, r.top) << ClassOf(control);
  EXPECT_EQ(width, r.right - r.left) << ClassOf(control);
  EXPECT_EQ(height, r.bottom - r.top) << ClassOf(control);
}

LOGFONTA LogFontOf(HWND window) {
  LOGFONTA font = {};
  const auto handle = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  GetObjectA(handle, sizeof font, &font);
  return font;
}

struct FontFacts {
  std::string Face;
  TEXTMETRICA Metrics;
};

FontFacts FontFactsOf(HWND window) {
  FontFacts facts = {};
  WindowDC dc(window);
  SelectedObject selected(dc.Get(),
                          reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc.Get(), LF_FACESIZE, face);
  facts.Face = face;
  GetTextMetricsA(dc.Get(), &facts.Metrics);
  return facts;
}

SIZE TextExtent(HWND window, const std::string& text) {
  WindowDC dc(window);
  SelectedObject selected(dc.Get(),
                          reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

DWORD StaticKind(const TWinControl& control) {
  return static_cast<DWORD>(GetWindowLongA(control.Handle(), GWL_STYLE)) & SS_TYPEMASK;
}

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    Application.CreateForm(form);
    form->Show();
    Application.ProcessMessages();
  }
  void TearDown() override { Application.DestroyForms(); }

  TTestForm* form = nullptr;
};

TEST_F(Controls, EveryControlIsAChildWindowOfItsSystemClassAtItsPlace) {
  EXPECT_EQ("TTestForm", ClassOf(*form));
  EXPECT_EQ("Static", ClassOf(form->Label1));
  EXPECT_EQ("Static", ClassOf(form->Bevel1));
  EXPECT_EQ("Static", ClassOf(form->Image1));
  EXPECT_EQ("Button", ClassOf(form->Button1));
  EXPECT_EQ("Button", ClassOf(form->GroupBox1));
  EXPECT_EQ("ListBox", ClassOf(form->ListBox1));
  EXPECT_EQ("Edit", ClassOf(form->ePath));
  EXPECT_STRCASEEQ(PROGRESS_CLASSA, ClassOf(form->PB).c_str());
  EXPECT_EQ("ListBox", ClassOf(form->DirList));
  EXPECT_EQ("ComboBox", ClassOf(form->DriveComboBox1));

  ExpectBounds(form->Button1, 232, 85, 89, 25);
  ExpectBounds(form->Bevel1, 10, 8, 54, 52);
  ExpectBounds(form->Image1, 13, 10, 49, 49);
  ExpectBounds(form->Line1, 9, 244, 503, 3);
  ExpectBounds(form->PB, 80, 50, 449, 17);
  ExpectBounds(form->ListBox1, 8, 120, 361, 92);
  ExpectBounds(form->Notebook1, 380, 150, 200, 80);
  ExpectBounds(form->p2, 0, 0, 200, 80);
  ExpectBounds(form->DirList, 8, 250, 193, 161);

  // Controls inside a group box or on a page are its children, placed in its client area.
  EXPECT_EQ(form->GroupBox1.Handle(), GetParent(form->Button4.Handle()));
  ExpectBounds(form->Button4, 283, 12, 75, 25);
  EXPECT_EQ(form->p2.Handle(), GetParent(form->lbPage2.Handle()));

  // The driver reads what a user sees.
  EXPECT_EQ("찾아보기(&B)", ui::Text(form->Button4.Handle()));
  EXPECT_EQ("C:\\KORVANE", ui::Text(form->lbDir.Handle()));
  EXPECT_EQ(form->Button4.Handle(),
            ui::FindChild(form->Handle(), {"button", std::string("찾아보기(&B)")}));
  EXPECT_EQ(form->Button1.Handle(), ui::FindChild(form->Handle(), {"", {}, form->Button1.Id()}));
}

TEST_F(Controls, FormHasItsClientSizeCentredOnTheScreen) {
  const RECT client = ui::ClientRect(form->Handle());
  EXPECT_EQ(600, client.right);
  EXPECT_EQ(420, client.bottom);
  const RECT outer = ui::Bounds(form->Handle());
  EXPECT_NEAR(GetSystemMetrics(SM_CXSCREEN) / 2, (outer.left + outer.right) / 2, 1);
  EXPECT_NEAR(GetSystemMetrics(SM_CYSCREEN) / 2, (outer.top + outer.bottom) / 2, 1);
  EXPECT_EQ("시험", ui::Text(form->Handle()));
}

TEST(FormBorders, TitleBarButtonsFollowTheBorderStyle) {
  TTestForm* main = nullptr;
  Application.CreateForm(main);  // the first form made is the main form
  struct Case {
    FormBorder Border;
    bool SystemMenu;
    bool Sizeable;
  };
  for (const Case& c :
       {Case{FormBorder::DialogNoTitleButtons, false, false}, Case{FormBorder::Dialog, true, false},
        Case{FormBorder::MainWindow, true, true}}) {
    TTestForm form(Application, c.Border);
    const LONG style = GetWindowLongA(form.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_EQ(c.SystemMenu, (style & WS_SYSMENU) != 0);
    EXPECT_EQ(c.Sizeable, (style & WS_THICKFRAME) != 0);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    // Every form is owned by the application's window: none has a task-bar button.
    EXPECT_EQ(Application.Window(), GetWindow(form.Handle(), GW_OWNER));
    EXPECT_FALSE(GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
  }
  Application.DestroyForms();
}

TEST(FormPlacements, MaximisedFormFillsTheScreen) {
  TTestForm maximised(Application, FormBorder::MainWindow, FormPlacement::Maximized);
  maximised.Show();
  Application.ProcessMessages();
  EXPECT_TRUE(IsZoomed(maximised.Handle()));
  // The docked label follows the new client size.
  const RECT client = ui::ClientRect(maximised.Handle());
  EXPECT_GT(client.right, 600);
  ExpectBounds(maximised.lbBottom, 0, client.bottom - 30, client.right, 30);
}

TEST_F(Controls, FontsAreChosenByFaceAndCharacterHeight) {
  const LOGFONTA font = LogFontOf(form->Label1.Handle());
  EXPECT_STREQ("굴림체", font.lfFaceName);
  EXPECT_EQ(-12, font.lfHeight);
  EXPECT_EQ(FW_NORMAL, font.lfWeight);
  const FontFacts facts = FontFactsOf(form->Label1.Handle());
  EXPECT_EQ("굴림체", facts.Face);
  EXPECT_EQ(HANGEUL_CHARSET, facts.Metrics.tmCharSet);
  EXPECT_EQ(12, facts.Metrics.tmHeight - facts.Metrics.tmInternalLeading);

  // Every control takes the form's font unless it has its own.
  EXPECT_STREQ("굴림체", LogFontOf(form->Button4.Handle()).lfFaceName);
  EXPECT_STREQ("굴림체", LogFontOf(form->lbPage2.Handle()).lfFaceName);

  const LOGFONTA title = LogFontOf(form->lbTitle.Handle());
  EXPECT_STREQ("바탕체", title.lfFaceName);
  EXPECT_EQ(-29, title.lfHeight);
  EXPECT_EQ(FW_BOLD, title.lfWeight);
  EXPECT_EQ(HANGEUL_CHARSET, FontFactsOf(form->lbTitle.Handle()).Metrics.tmCharSet);
}

TEST_F(Controls, ParentsColourTheirLabelsAndLists) {
  WindowDC dc(form->Handle());
  auto askParent = [&](UINT message, const TWinControl& child) {
    return SendMessageA(GetParent(child.Handle()), message, reinterpret_cast<WPARAM>(dc.Get()),
                        reinterpret_cast<LPARAM>(child.Handle()));
  };
  // A transparent label: its colour on no background.
  EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)),
            askParent(WM_CTLCOLORSTATIC, form->lbTitle));
  EXPECT_EQ(clYellow, GetTextColor(dc.Get()));
  EXPECT_EQ(TRANSPARENT, GetBkMode(dc.Get()));
  askParent(WM_CTLCOLORSTATIC, form->lbBottom);
  EXPECT_EQ(clAqua, GetTextColor(dc.Get()));

  // An opaque label inside a group box: the group box passes the question on.
  SetBkMode(dc.Get(), OPAQUE);
  EXPECT_NE(0, askParent(WM_CTLCOLORSTATIC, form->lbDir));
  EXPECT_EQ(clBlack, GetTextColor(dc.Get()));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetBkColor(dc.Get()));
  form->SetColor(clNavy);  // labels show their parent's colour, whenever it is set
  askParent(WM_CTLCOLORSTATIC, form->lbDir);
  EXPECT_EQ(clNavy, GetBkColor(dc.Get()));

  EXPECT_EQ(reinterpret_cast<LRESULT>(BrushOf(clSilver)),
            askParent(WM_CTLCOLORLISTBOX, form->ListBox1));
  EXPECT_EQ(clSilver, GetBkColor(dc.Get()));
}

TEST_F(Controls, LabelsSizeToTheirTextOrWrapAtTheirWidth) {
  TLabel& label = form->Label1;
  EXPECT_EQ(SS_LEFTNOWORDWRAP, StaticKind(label));
  SIZE text = TextExtent(label.Handle(), "파일");
  ExpectBounds(label, 80, 11, text.cx, text.cy);

  label.SetText("C:\\KORVANE\\DATA\\A.DBF");
  text = TextExtent(label.Handle(), "C:\\KORVANE\\DATA\\A.DBF");
  ExpectBounds(label, 80, 11, text.cx, text.cy);
  EXPECT_EQ("C:\\KORVANE\\DATA\\A.DBF", ui::Text(label.Handle()));

  label.SetText("");  // an empty label keeps the height of a line
  const SIZE blank = TextExtent(label.Handle(), " ");
  ExpectBounds(label, 80, 11, blank.cx, blank.cy);

  // A wrapping label keeps its width, the system wraps it, and its height shows every line.
  TLabel& wrap = form->lbWrap;
  EXPECT_EQ(SS_LEFT, StaticKind(wrap));
  const int line = TextExtent(wrap.Handle(), "가").cy;
  RECT r = ui::Bounds(wrap.Handle());
  EXPECT_EQ(100, r.right - r.left);
  EXPECT_GE(r.bottom - r.top, 3 * line);
  EXPECT_EQ(0, (r.bottom - r.top) % line);
  wrap.SetText("짧다");
  r = ui::Bounds(wrap.Handle());
  EXPECT_EQ(100, r.right - r.left);
  EXPECT_EQ(line, r.bottom - r.top);

  // A label docked at the bottom spans the width, right-aligned.
  EXPECT_EQ(SS_RIGHT, StaticKind(form->lbBottom));
  ExpectBounds(form->lbBottom, 0, 390, 600, 30);
}

TEST_F(Controls, NotebookShowsExactlyOnePage) {
  auto visiblePages = [&] {
    std::vector<int> shown;
    for (int i = 0; i < form->Notebook1.PageCount(); ++i) {
      if (form->Notebook1.Page(i).Visible()) shown.push_back(i);
    }
    return shown;
  };
  EXPECT_EQ(3, form->Notebook1.PageCount());
  EXPECT_EQ(std::vector<int>{0}, visiblePages());
  EXPECT_FALSE(ui::IsVisible(form->lbPage2.Handle()));

  form->Notebook1.SetPageIndex(1);
  EXPECT_EQ(std::vector<int>{1}, visiblePages());
  EXPECT_TRUE(ui::IsVisible(form->lbPage2.Handle()));

  form->Notebook1.SetPageIndex(3);  // no such page: the shown page stays
  form->Notebook1.SetPageIndex(-1);
  EXPECT_EQ(1, form->Notebook1.PageIndex());
  EXPECT_EQ(std::vector<int>{1}, visiblePages());

  form->Notebook1.SetPageIndex(2);
  EXPECT_EQ(std::vector<int>{2}, visiblePages());
}

TEST_F(Controls, ProgressBarKeepsItsSixteenBitRange) {
  TProgressBar& bar = form->PB;
  EXPECT_EQ(100, bar.Max());
  EXPECT_EQ(0, bar.Position());
  bar.SetMax(65535);
  bar.SetPosition(65535);
  EXPECT_EQ(65535, bar.Max());
  EXPECT_EQ(65535, bar.Position());
  bar.SetMax(100000);  // beyond what the control holds: kept at its limit
  EXPECT_EQ(65535, bar.Max());
  bar.SetPosition(-5);
  EXPECT_EQ(0, bar.Position());
  EXPECT_EQ(0, SendMessageA(bar.Handle(), PBM_GETRANGE, TRUE, 0));  // minimum
  bar.SetMax(0);
  bar.SetPosition(0);
  bar.Repaint();
  EXPECT_EQ(0, bar.Max());
}

TEST_F(Controls, PictureShowsItsSixteenColourBitmapAtTheTopLeft) {
  BitmapHandle bitmap = MakeBitmap(48, 48, 4, [](HDC dc) {
    RECT square = {0, 0, 24, 24};
    FillRect(dc, &square, BrushOf(RGB(255, 0, 0)));
  });
  ASSERT_TRUE(bitmap);
  BITMAP info = {};
  GetObjectA(bitmap.Get(), sizeof info, &info);
  EXPECT_EQ(4, info.bmBitsPixel);
  EXPECT_EQ(48, info.bmWidth);

  form->Image1.SetBitmap(std::move(bitmap));
  form->Image1.Repaint();
  WindowDC dc(form->Image1.Handle());
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc.Get(), 3, 3));
  EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc.Get(), 30, 30));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetPixel(dc.Get(), 48, 48));  // beyond the bitmap
}

// Pixels of a rectangle of the window that differ from a colour.
int PixelsOtherThan(HWND window, const RECT& area, COLORREF colour) {
  WindowDC dc(window);
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (GetPixel(dc.Get(), x, y) != colour) ++count;
    }
  }
  return count;
}

// Waits until a repaint of the control's form is due.
void AwaitRepaint(const TWinControl& control) {
  ui::WaitUntil([&] { return control.RepaintDue(); }, "a repaint to be due");
}

// Milliseconds on the clock the repaint spacing is measured with.
double Milliseconds() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

TEST_F(Controls, RepaintDrawsAtOnceWithoutTheMessageLoop) {
  // Repaints before the next one is due are painted with the next one.
  auto pause = [this] { AwaitRepaint(*form); };
  TProgressBar& bar = form->PB;
  bar.SetMax(100);
  bar.SetPosition(0);
  pause();
  bar.Repaint();
  WindowDC barDC(bar.Handle());
  const COLORREF empty = GetPixel(barDC.Get(), 400, 8);
  bar.SetPosition(100);
  pause();
  bar.Repaint();
  EXPECT_NE(empty, GetPixel(barDC.Get(), 400, 8));

  // A repaint left for later is done by the next one of any control of the form.
  bar.SetPosition(0);
  bar.Repaint();
  pause();
  form->Label1.Repaint();
  EXPECT_EQ(empty, GetPixel(barDC.Get(), 400, 8));

  // A transparent label: the parent repaints under the old letters at once.
  form->SetColor(clNavy);
  Application.ProcessMessages();
  TLabel& title = form->lbTitle;
  const RECT before = ui::Bounds(title.Handle());
  title.FixedSize(before.right - before.left, before.bottom - before.top);
  pause();
  title.Repaint();
  EXPECT_GT(PixelsOtherThan(form->Handle(), before, clNavy), 0);
  title.SetText("");
  pause();
  title.Repaint();
  EXPECT_EQ(0, PixelsOtherThan(form->Handle(), before, clNavy));
}

// A picture that takes its time to paint, as on a slow screen.
class TSlowImage : public TImage {
 public:
  using TImage::TImage;
  static constexpr DWORD kPaintMilliseconds = 15;

 protected:
  void DrawItem(const DRAWITEMSTRUCT& item) override {
    Sleep(kPaintMilliseconds);
    TImage::DrawItem(item);
  }
};

TEST(RepaintSpacing, FollowsWhatTheLastRepaintCostWithinBounds) {
  const LONGLONG perSecond = 1000000;                           // a count is a microsecond
  EXPECT_EQ(20000, TWinControl::RepaintSpacing(0, perSecond));  // never closer than 20 ms
  EXPECT_EQ(20000, TWinControl::RepaintSpacing(500, perSecond));
  EXPECT_EQ(160000, TWinControl::RepaintSpacing(5000, perSecond));  // 32 times a 5 ms paint
  EXPECT_EQ(249984, TWinControl::RepaintSpacing(7812, perSecond));
  // Beyond about 8 ms a paint, the longest spacing wins: a paint of one second holds
  // the window still for a quarter of a second, not for half a minute.
  EXPECT_EQ(250000, TWinControl::RepaintSpacing(7813, perSecond));
  EXPECT_EQ(250000, TWinControl::RepaintSpacing(1000000, perSecond));
}

// Whether a repaint is due `wait` milliseconds after a paint. Meaningful only when no
// more than `spacing` passed from the start of the paint to the question (the machine
// may stall): otherwise nullopt.
std::optional<bool> DueAfter(const TWinControl& form, const std::function<void()>& paint,
                             DWORD wait, DWORD spacing) {
  const double begun = Milliseconds();
  paint();
  Sleep(wait);
  const bool due = form.RepaintDue();
  if (Milliseconds() - begun >= spacing) return {};
  return due;
}

TEST_F(Controls, RepaintsAreSpacedByWhatTheLastOneCost) {
  AwaitRepaint(*form);
  // Not again at once (unless the machine itself stalled that long).
  EXPECT_NE(std::optional<bool>(true),
            DueAfter(
                *form, [&] { form->PaintNow(); }, 0, TWinControl::kRepaintInterval));
  AwaitRepaint(*form);

  // A paint of 15 ms or more spaces the next by the longest spacing, and a repaint
  // asked for meanwhile waits for it; painting now does not.
  TSlowImage slow(*form, 200, 10, 20, 20);
  AwaitRepaint(*form);
  TProgressBar& bar = form->PB;
  WindowDC barDC(bar.Handle());
  const COLORREF empty = GetPixel(barDC.Get(), 400, 8);
  bool barWaited = false;
  const std::optional<bool> due = DueAfter(
      *form,
      [&] {
        slow.Repaint();
        bar.SetPosition(100);
        bar.Repaint();
        barWaited = GetPixel(barDC.Get(), 400, 8) == empty;
      },
      100, TWinControl::kLongestRepaintSpacing);
  if (due) {
    EXPECT_FALSE(*due);
    EXPECT_TRUE(barWaited);
  }
  form->PaintNow();
  EXPECT_NE(empty, GetPixel(barDC.Get(), 400, 8));
}

TEST_F(Controls, ListBoxHoldsKoreanItemsInFixedRows) {
  TListBox& list = form->ListBox1;
  EXPECT_EQ(12, list.ItemHeight());
  const std::vector<std::string> items = {"작업 디렉토리 :", "     Z:\\MEDIUM\\", "     ",
                                          "설치 디렉토리 :", "     C:\\KORVANE"};
  for (const std::string& item : items) list.Add(item);
  EXPECT_EQ(items, ui::ListItems(list.Handle()));
  EXPECT_EQ("     ", list.Item(2));
  EXPECT_EQ("", list.Item(5));
  list.Clear();
  EXPECT_EQ(0, list.Count());
}

TEST_F(Controls, ButtonsRunTheirHandlerWhenPressedAndEnabled) {
  int inGroup = 0;
  form->Button4.OnClick = [&] { ++inGroup; };
  ui::Click(form->Button1.Handle());
  Application.ProcessMessages();
  EXPECT_EQ(1, form->Clicks);
  ui::Click(form->Button4.Handle());  // reaches its handler through the group box
  Application.ProcessMessages();
  EXPECT_EQ(1, form->Clicks);
  EXPECT_EQ(1, inGroup);

  form->Button1.SetEnabled(false);
  EXPECT_FALSE(ui::IsEnabled(form->Button1.Handle()));
  ui::Click(form->Button1.Handle());
  Application.ProcessMessages();
  EXPECT_EQ(1, form->Clicks);

  form->Button1.SetEnabled(true);
  form->Button1.SetVisible(false);
  EXPECT_FALSE(ui::IsVisible(form->Button1.Handle()));
  form->Button1.SetVisible(true);

  // Enter presses the focused button.
  form->Button1.SetFocus();
  EXPECT_TRUE(ui::HasFocus(form->Button1.Handle()));
  PostMessageA(form->Button1.Handle(), WM_KEYDOWN, VK_RETURN, 0);
  Application.ProcessMessages();
  Application.ProcessMessages();
  EXPECT_EQ(2, form->Clicks);
}

TEST_F(Controls, EditBoxTextAndChanges) {
  int changes = 0;
  form->ePath.OnChange = [&] { ++changes; };
  EXPECT_EQ("C:\\", form->ePath.Text());
  form->ePath.SetText("D:\\설치");
  EXPECT_EQ("D:\\설치", ui::Text(form->ePath.Handle()));
  EXPECT_EQ(1, changes);
}

class DirectoryList : public Controls {
 protected:
  void SetUp() override {
    Controls::SetUp();
    root = ScratchDir("dirlist");
    for (const char* name : {"가나", "b", "A", "숨김"}) MakeDirectories(root + name);
    SetFileAttributesA((root + "숨김").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteFileBytes(root + "file.txt", "not a directory");
    form->DirList.OnChange = [this] { changes.push_back(form->DirList.Directory()); };
  }

  std::string root;  // C:\kit-tests\dirlist\ (with the backslash)
  std::vector<std::string> changes;
};

TEST_F(DirectoryList, ShowsThePathDownToTheOpenDirectoryAndItsSubdirectories) {
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_STRCASEEQ(current, form->DirList.Directory().c_str());  // where a new list starts
  EXPECT_TRUE(form->DirList.SetDirectory(root));
  const std::string open = root.substr(0, root.size() - 1);
  EXPECT_EQ(open, form->DirList.Directory());
  EXPECT_EQ(std::vector<std::string>{open}, changes);
  const std::vector<std::string> expected = {"C:\\", "kit-tests", "dirlist", "A", "b", "가나"};
  EXPECT_EQ(expected, ui::ListItems(form->DirList.Handle()));
  EXPECT_EQ(2, ui::ListSelection(form->DirList.Handle()));
  EXPECT_EQ(16, SendMessageA(form->DirList.Handle(), LB_GETITEMHEIGHT, 0, 0));
  EXPECT_EQ('c', form->DriveComboBox1.Drive());

  // The same directory, however written, is no change.
  EXPECT_TRUE(form->DirList.SetDirectory("c:\\KIT-TESTS\\dirlist"));
  EXPECT_EQ(1u, changes.size());
  // Paths that are no directory change nothing.
  EXPECT_FALSE(form->DirList.SetDirectory(root + "file.txt"));
  EXPECT_FALSE(form->DirList.SetDirectory(root + "missing"));
  EXPECT_FALSE(form->DirList.SetDirectory(""));
  EXPECT_EQ(open, form->DirList.Directory());
  EXPECT_EQ(1u, changes.size());
}

TEST_F(DirectoryList, OpeningItemsMovesUpAndDown) {
  form->DirList.SetDirectory(root);
  form->DirList.OpenItem(5);
  EXPECT_EQ(root + "가나", form->DirList.Directory());
  EXPECT_EQ((std::vector<std::string>{"C:\\", "kit-tests", "dirlist", "가나"}),
            ui::ListItems(form->DirList.Handle()));

  // A double click as the driver sends it: select, then the notification.
  ui::SelectListItem(form->DirList.Handle(), 1);
  ui::PostCommand(form->DirList.Handle(), LBN_DBLCLK);
  Application.ProcessMessages();
  EXPECT_EQ("C:\\kit-tests", form->DirList.Directory());

  form->DirList.OpenItem(0);
  EXPECT_EQ("C:\\", form->DirList.Directory());
  form->DirList.OpenItem(99);  // no such item
  EXPECT_EQ("C:\\", form->DirList.Directory());
  EXPECT_EQ(
      (std::vector<std::string>{"C:\\kit-tests\\dirlist", root + "가나", "C:\\kit-tests", "C:\\"}),
      changes);
}

TEST_F(DirectoryList, PickingADriveMovesTheList) {
  form->DirList.SetDirectory(root);
  const std::vector<std::string> drives = ui::ComboItems(form->DriveComboBox1.Handle());
  ASSERT_NE(drives.end(), std::find(drives.begin(), drives.end(), "z:"));
  const auto z = std::find(drives.begin(), drives.end(), "z:") - drives.begin();
  SendMessageA(form->DriveComboBox1.Handle(), CB_SETCURSEL, z, 0);
  ui::PostCommand(form->DriveComboBox1.Handle(), CBN_SELCHANGE);
  Application.ProcessMessages();
  ASSERT_FALSE(form->DirList.Directory().empty());
  EXPECT_EQ('Z', form->DirList.Directory()[0]);
  EXPECT_EQ(2u, changes.size());
  EXPECT_EQ('z', form->DriveComboBox1.Drive());

  // Moving the list to another drive moves the selector with it.
  form->DirList.SetDirectory("C:\\");
  EXPECT_EQ('c', form->DriveComboBox1.Drive());
}

}  // namespace
