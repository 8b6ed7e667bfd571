#include "launcher/failure_report.h"

#include "launcher/messages.h"
#include "win/handles.h"

namespace {

void AppendText(char* line, std::size_t& length, std::size_t capacity, const char* text) {
  while (*text && length + 1 < capacity) line[length++] = *text++;
  line[length] = '\0';
}

}  // namespace

bool AppendLogLine(const wchar_t* file, const char* text, DWORD code) {
  char line[512];
  std::size_t length = 0;
  char digits[12];
  std::size_t count = 0;
  do {
    digits[sizeof digits - 2 - count++] = static_cast<char>('0' + code % 10);
    code /= 10;
  } while (code > 0);
  digits[sizeof digits - 1] = '\0';
  AppendText(line, length, sizeof line, text);
  AppendText(line, length, sizeof line, kExitCodeText);
  AppendText(line, length, sizeof line, digits + sizeof digits - 1 - count);
  AppendText(line, length, sizeof line, ")\r\n");
  const FileHandle log(CreateFileW(file, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return log && WriteFile(log.Get(), line, static_cast<DWORD>(length), &written, nullptr) &&
         written == length;
}

void ReportFailure(const LaunchOptions& options, const char* text, DWORD code, bool quiet) {
  if (!options.LogFile.Empty()) AppendLogLine(options.LogFile.Text(), text, code);
  if (options.Silent || quiet) return;
  WideText wideText, caption;
  wideText.AppendCp949(text);
  caption.AppendCp949(kErrorCaption);
  MessageBoxW(nullptr, wideText.Text(), caption.Text(), MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
}
