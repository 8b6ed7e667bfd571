// Prints what the progress window's per-file updates cost (label text, bar range
// and position, the immediate repaints) next to what writing a 1 KiB file costs,
// for 5,000 files. Run it under Xvfb, from the worktree root, with
//   testing/bench/run-test.sh --base build/release/wine/base
//       --work build/release/wine/runs/ui_repaint_bench --display
//       -- build/release/tests/ui/ui_repaint_bench.exe
#include "test_forms.h"

#include "support/test_support.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kFiles = 5000;

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

std::string FileName(const std::string& dir, int i) {
  char name[32];
  std::snprintf(name, sizeof name, "FILE%04d.DBF", i);
  return dir + name;
}

double UpdateSeconds(TTestForm& form) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < kFiles; ++i) {
    form.Label1.SetText(FileName("C:\\KORVANE\\DATA\\", i));
    form.PB.SetPosition(0);
    form.PB.SetMax(1024);
    form.PB.Repaint();
    form.Label1.Repaint();
    form.PB.SetPosition(1024);
    form.PB.Repaint();
  }
  QueryPerformanceCounter(&end);
  return Seconds(start, end);
}

double WriteSeconds() {
  const std::string dir = ScratchDir("repaint-bench");
  const std::string block(1024, 'x');
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < kFiles; ++i) WriteFileBytes(FileName(dir, i), block);
  QueryPerformanceCounter(&end);
  RemoveTree(dir);
  return Seconds(start, end);
}

}  // namespace

int main() {
  TTestForm* form = nullptr;
  Application.CreateForm(form);
  form->Show();
  Application.ProcessMessages();
  const double update = UpdateSeconds(*form);
  const double write = WriteSeconds();
  Application.DestroyForms();
  std::printf("per file: window updates %.1f us, writing 1 KiB %.1f us\n", 1e6 * update / kFiles,
              1e6 * write / kFiles);
  std::printf("(writes + updates) / writes = %.2f\n", (write + update) / write);
  return 0;
}
