#include "window_session.h"

#include <vector>

#include "control_ids.h"
#include "text_conversion.h"

namespace {

constexpr DWORD kPollMilliseconds = 20;
constexpr DWORD kSettleMilliseconds = 10000;

std::wstring classNameOf(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

// Asked of the window itself: GetWindowText does not ask a control of another process.
std::wstring windowText(HWND window) {
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kSettleMilliseconds, &length);
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_NORMAL, kSettleMilliseconds, &copied);
  text.resize(copied);
  return text;
}

struct TopLevelSearch {
  DWORD processId;
  const wchar_t* className;
  std::vector<HWND> found;
};

BOOL CALLBACK collectTopLevel(HWND window, LPARAM search) {
  auto& wanted = *reinterpret_cast<TopLevelSearch*>(search);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == wanted.processId && IsWindowVisible(window) &&
      classNameOf(window) == wanted.className) {
    wanted.found.push_back(window);
  }
  return TRUE;
}

std::vector<HWND> topLevelWindows(DWORD processId, const wchar_t* className) {
  TopLevelSearch search{processId, className, {}};
  EnumWindows(&collectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The box's message is its longest static text; the icon is a static without text.
BOOL CALLBACK collectBoxText(HWND child, LPARAM text) {
  if (classNameOf(child) == L"Static") {
    const std::wstring childText = windowText(child);
    auto& longest = *reinterpret_cast<std::wstring*>(text);
    if (childText.size() > longest.size()) longest = childText;
  }
  return TRUE;
}

}  // namespace

std::wstring windowsPath(const std::string& path) {
  std::wstring converted = widen(path);
  if (converted.starts_with(L"/")) converted = L"Z:" + converted;
  for (wchar_t& c : converted) {
    if (c == L'/') c = L'\\';
  }
  return converted;
}

WindowSession::WindowSession(const std::wstring& program,
                             const std::map<std::wstring, std::wstring>& environment,
                             const std::wstring& currentFolder) {
  std::map<std::wstring, std::optional<std::wstring>> previous;
  for (const auto& [name, value] : environment) {
    wchar_t old[512];
    const DWORD length = GetEnvironmentVariableW(name.c_str(), old, 512);
    previous[name] = length ? std::optional<std::wstring>(old) : std::nullopt;
    SetEnvironmentVariableW(name.c_str(), value.c_str());
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring commandLine = L"\"" + program + L"\"";
  // Started in its own folder, as a shortcut starts it, unless told otherwise.
  const std::wstring folder =
      currentFolder.empty() ? program.substr(0, program.find_last_of(L'\\')) : currentFolder;
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process_)) {
    process_ = {};
  }
  for (const auto& [name, value] : previous) {
    SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr);
  }
}

WindowSession::~WindowSession() {
  if (!process_.hProcess) return;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

HWND WindowSession::waitForWindow() {
  for (DWORD waited = 0; waited < 20000 && process_.hProcess; waited += kPollMilliseconds) {
    const auto windows = topLevelWindows(process_.dwProcessId, kMainWindowClass);
    if (!windows.empty()) {
      window_ = windows.front();
      settle();
      return window_;
    }
    if (WaitForSingleObject(process_.hProcess, kPollMilliseconds) == WAIT_OBJECT_0) break;
  }
  return nullptr;
}

HWND WindowSession::control(Control control) const {
  return GetDlgItem(window_, controlId(control));
}

std::string WindowSession::text(Control control) const {
  return text(this->control(control));
}

std::string WindowSession::text(HWND window) const {
  return narrow(windowText(window));
}

// Sent and waited for: Windows carries a text across processes only for a message that the
// sender waits for.
void WindowSession::setText(Control control, const std::string& text) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(this->control(control), WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(widen(text).c_str()), SMTO_NORMAL,
                      kSettleMilliseconds, &result);
}

void WindowSession::selectAll(Control control) {
  SendMessageW(this->control(control), EM_SETSEL, 0, -1);
}

void WindowSession::type(Control control, const std::string& characters) {
  for (wchar_t character : widen(characters)) {
    SendNotifyMessageW(this->control(control), WM_CHAR, character, 1);
  }
  settle();
}

void WindowSession::key(Control control, WORD virtualKey) {
  SendNotifyMessageW(this->control(control), WM_KEYDOWN, virtualKey, 1);
  SendNotifyMessageW(this->control(control), WM_KEYUP, virtualKey, 0xC0000001);
  settle();
}

void WindowSession::click(Control control) {
  SendNotifyMessageW(this->control(control), BM_CLICK, 0, 0);
  settle();
}

void WindowSession::clickInto(Control control) {
  PostMessageW(this->control(control), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageW(this->control(control), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  for (DWORD waited = 0; waited < 5000 && focus() != this->control(control);
       waited += kPollMilliseconds) {
    Sleep(kPollMilliseconds);
  }
  settle();
}

HWND WindowSession::focus() const {
  GUITHREADINFO thread{};
  thread.cbSize = sizeof(thread);
  GetGUIThreadInfo(process_.dwThreadId, &thread);
  return thread.hwndFocus;
}

void WindowSession::wheel(HWND target, int rotation) {
  SendNotifyMessageW(target, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(rotation)), 0);
  settle();
}

void WindowSession::postKey(Control control, WORD virtualKey) {
  PostMessageW(this->control(control), WM_KEYDOWN, virtualKey, 1);
}

void WindowSession::postCharacter(Control control, wchar_t character) {
  PostMessageW(this->control(control), WM_CHAR, character, 1);
}

// A sent message is served in order after those sent before it, also from inside a box.
void WindowSession::settle() const {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, kSettleMilliseconds, &result);
}

std::optional<WindowSession::Box> WindowSession::waitForBox(const std::string& title,
                                                            DWORD milliseconds) const {
  for (DWORD waited = 0; waited <= milliseconds; waited += kPollMilliseconds) {
    for (HWND box : topLevelWindows(process_.dwProcessId, L"#32770")) {
      Box found{box, narrow(windowText(box)), {}};
      if (!title.empty() && found.title != title) continue;
      std::wstring text;
      EnumChildWindows(box, &collectBoxText, reinterpret_cast<LPARAM>(&text));
      found.text = narrow(text);
      return found;
    }
    Sleep(kPollMilliseconds);
  }
  return std::nullopt;
}

void WindowSession::answer(const Box& box, int button) const {
  SendNotifyMessageW(box.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box.window, button)));
  // The box goes before the program goes on.
  for (DWORD waited = 0; waited < 5000 && IsWindow(box.window); waited += kPollMilliseconds) {
    Sleep(kPollMilliseconds);
  }
  if (window_) settle();
}

std::optional<DWORD> WindowSession::waitForExit(DWORD milliseconds) const {
  if (WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return std::nullopt;
  DWORD status = 0;
  GetExitCodeProcess(process_.hProcess, &status);
  return status;
}

void WindowSession::close() {
  SendNotifyMessageW(window_, WM_CLOSE, 0, 0);
}
