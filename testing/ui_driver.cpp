#include "testing/ui_driver.h"

#include <algorithm>

namespace ui_driver {
namespace {

constexpr DWORD kPollInterval = 50;
constexpr UINT kSendTimeout = 30000;  // a busy machine may keep a program from answering

// A sent message that gives up instead of blocking on a busy program.
LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool wide) {
  DWORD_PTR result = 0;
  const LRESULT sent = wide ? SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                                  kSendTimeout, &result)
                            : SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                                  kSendTimeout, &result);
  if (!sent) throw DriverError("the program does not answer window messages");
  return static_cast<LRESULT>(result);
}

std::string FromWide(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string converted(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &converted[0], length,
                      nullptr, nullptr);
  return converted;
}

// Items of a list or combo box through its W messages.
std::vector<std::string> ItemsOf(HWND control, UINT countMessage, UINT lengthMessage,
                                 UINT textMessage) {
  std::vector<std::string> items;
  const LRESULT count = SendWithTimeout(control, countMessage, 0, 0, true);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendWithTimeout(control, lengthMessage, i, 0, true);
    if (length < 0) throw DriverError("cannot read a list item");
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got =
        SendWithTimeout(control, textMessage, i, reinterpret_cast<LPARAM>(&text[0]), true);
    text.resize(got < 0 ? 0 : static_cast<size_t>(got));
    items.push_back(FromWide(text));
  }
  return items;
}

bool SameClass(HWND window, const std::string& className) {
  return className.empty() || lstrcmpiA(ClassNameOf(window).c_str(), className.c_str()) == 0;
}

// The caption as the system keeps it; never sends a message to the window.
std::string StoredCaption(HWND window) {
  char buffer[1024] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

struct TopLevelSearch {
  const WindowQuery* Query;
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TopLevelSearch*>(param);
  const WindowQuery& query = *search->Query;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (query.ProcessId && processId != query.ProcessId) return TRUE;
  if (query.VisibleOnly && !IsWindowVisible(window)) return TRUE;
  if (!SameClass(window, query.ClassName)) return TRUE;
  if (query.Caption && StoredCaption(window) != *query.Caption) return TRUE;
  search->Found.push_back(window);
  return TRUE;
}

struct ChildSearch {
  const ChildQuery* Query;
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  const ChildQuery& query = *search->Query;
  if (query.VisibleOnly && !IsWindowVisible(window)) return TRUE;
  if (query.Id && GetDlgCtrlID(window) != query.Id) return TRUE;
  if (!SameClass(window, query.ClassName)) return TRUE;
  if (query.Text && Text(window) != *query.Text) return TRUE;
  search->Found.push_back(window);
  return TRUE;
}

std::string Describe(const ChildQuery& query) {
  std::string text = "class \"" + query.ClassName + "\"";
  if (query.Text) text += " text \"" + *query.Text + "\"";
  if (query.Id) text += " id " + std::to_string(query.Id);
  return text;
}

}  // namespace

Process Process::Start(const std::string& commandLine, const std::string& workingDirectory) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::string line = commandLine;  // CreateProcessA may write into it
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                      workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                      &info)) {
    throw DriverError("cannot start " + commandLine + " (error " + std::to_string(GetLastError()) +
                      ")");
  }
  ObjectHandle thread(info.hThread);
  ObjectHandle process(info.hProcess);
  WaitForInputIdle(process.Get(), kDefaultTimeout);
  return Process(std::move(process), info.dwProcessId);
}

Process Process::Attach(DWORD id) {
  ObjectHandle process(
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, id));
  if (!process) throw DriverError("cannot open process " + std::to_string(id));
  return Process(std::move(process), id);
}

Process::~Process() {
  if (Running()) Kill();
}

bool Process::Running() const {
  return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

DWORD Process::WaitForExit(DWORD timeout) {
  if (!process_) throw DriverError("no process");
  if (WaitForSingleObject(process_.Get(), timeout) != WAIT_OBJECT_0) {
    throw DriverError("the program did not end in time");
  }
  DWORD code = 0;
  GetExitCodeProcess(process_.Get(), &code);
  return code;
}

void Process::Kill() {
  if (!process_) return;
  TerminateProcess(process_.Get(), 255);
  WaitForSingleObject(process_.Get(), kDefaultTimeout);
}

std::vector<HWND> FindWindows(const WindowQuery& query) {
  TopLevelSearch search{&query, {}};
  EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

HWND FindWindowOf(const WindowQuery& query) {
  const std::vector<HWND> found = FindWindows(query);
  return found.empty() ? nullptr : found.front();
}

void WaitUntil(const std::function<bool()>& condition, const std::string& what, DWORD timeout) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeout) throw DriverError("timed out waiting for " + what);
    Sleep(kPollInterval);
  }
}

HWND WaitForWindow(const WindowQuery& query, DWORD timeout) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindWindowOf(query)) != nullptr; },
            "a window of class \"" + query.ClassName + "\"", timeout);
  return found;
}

void WaitForWindowGone(HWND window, DWORD timeout) {
  WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); }, "a window to close",
            timeout);
}

std::vector<HWND> FindChildren(HWND parent, const ChildQuery& query) {
  ChildSearch search{&query, {}};
  EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

HWND FindChild(HWND parent, const ChildQuery& query) {
  const std::vector<HWND> found = FindChildren(parent, query);
  if (found.empty()) throw DriverError("no control of " + Describe(query));
  return found.front();
}

HWND WaitForChild(HWND parent, const ChildQuery& query, DWORD timeout) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> all = FindChildren(parent, query);
        found = all.empty() ? nullptr : all.front();
        return found != nullptr;
      },
      "a control of " + Describe(query), timeout);
  return found;
}

std::string ClassNameOf(HWND window) {
  char buffer[256] = {};
  GetClassNameA(window, buffer, sizeof buffer);
  return buffer;
}

std::string Text(HWND window) {
  const LRESULT length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0, false);
  std::string text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
  const LRESULT got =
      SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), false);
  text.resize(static_cast<size_t>(std::max<LRESULT>(std::min<LRESULT>(got, length), 0)));
  return text;
}

bool IsVisible(HWND window) { return IsWindowVisible(window) != FALSE; }

bool IsEnabled(HWND window) { return IsWindowEnabled(window) != FALSE; }

bool HasFocus(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return GetGUIThreadInfo(thread, &info) && info.hwndFocus == window;
}

RECT Bounds(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  }
  return rect;
}

RECT ClientRect(HWND window) {
  RECT rect = {};
  GetClientRect(window, &rect);
  return rect;
}

std::vector<std::string> ListItems(HWND listBox) {
  return ItemsOf(listBox, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

int ListSelection(HWND listBox) {
  return static_cast<int>(SendWithTimeout(listBox, LB_GETCURSEL, 0, 0, true));
}

std::vector<std::string> ComboItems(HWND comboBox) {
  return ItemsOf(comboBox, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

void Click(HWND button) {
  // Wine's buttons act on BM_CLICK even when disabled; a user's press would not.
  if (!IsWindowEnabled(button) || !IsWindowVisible(button)) return;
  if (!PostMessageA(button, BM_CLICK, 0, 0)) throw DriverError("cannot press the button");
}

void PostCommand(HWND control, WORD code) {
  const WPARAM wParam = MAKEWPARAM(GetDlgCtrlID(control), code);
  if (!PostMessageA(GetParent(control), WM_COMMAND, wParam, reinterpret_cast<LPARAM>(control))) {
    throw DriverError("cannot post a command");
  }
}

void PostClose(HWND window) {
  if (!PostMessageA(window, WM_CLOSE, 0, 0)) throw DriverError("cannot close the window");
}

void SelectListItem(HWND listBox, int index) {
  SendWithTimeout(listBox, LB_SETCURSEL, static_cast<WPARAM>(index), 0, true);
}

namespace {

MessageBoxInfo ReadMessageBox(HWND window) {
  MessageBoxInfo info;
  info.Window = window;
  info.Owner = GetWindow(window, GW_OWNER);
  info.Caption = StoredCaption(window);
  if (HWND text = GetDlgItem(window, 0xFFFF)) info.Text = Text(text);
  for (HWND child : FindChildren(window, {"Button", std::nullopt, 0, true})) {
    info.Buttons.push_back({GetDlgCtrlID(child), Text(child)});
  }
  for (HWND child : FindChildren(window, {"Static", std::nullopt, 0, false})) {
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) info.HasIcon = true;
  }
  return info;
}

}  // namespace

std::optional<MessageBoxInfo> FindMessageBox(DWORD processId) {
  const HWND window = FindWindowOf({processId, "#32770", std::nullopt, true});
  if (!window) return std::nullopt;
  try {
    MessageBoxInfo info = ReadMessageBox(window);
    if (info.Buttons.empty()) return std::nullopt;  // caught before its buttons were made
    return info;
  } catch (const DriverError&) {
    return std::nullopt;  // caught while still being made: it does not answer yet
  }
}

MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeout) {
  std::optional<MessageBoxInfo> box;
  WaitUntil([&] { return (box = FindMessageBox(processId)).has_value(); }, "a message box",
            timeout);
  return *box;
}

void AnswerMessageBox(const MessageBoxInfo& box, int buttonId) {
  const HWND button = GetDlgItem(box.Window, buttonId);
  if (!button) throw DriverError("the message box has no button " + std::to_string(buttonId));
  Click(button);
}

}  // namespace ui_driver
