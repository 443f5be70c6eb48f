// The main window's messages: what the user does goes to the window rules.
#include "main_window.h"

#include <commctrl.h>

#include "control_ids.h"
#include "standard_resistors_dialog.h"
#include "text_conversion.h"

namespace {

// Posted when the focus has left a text box for another control: the rules run once the focus
// has settled, so that their boxes do not come up in the middle of the change.
constexpr UINT kFieldLeft = WM_APP + 1;

constexpr DvrKeyCodes kDvrKeys{VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_RETURN, VK_RETURN};

std::wstring clipboardText(HWND owner) {
  std::wstring text;
  if (!OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* characters = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = characters;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->handle(message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      command(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case kFieldLeft:
      rules_.field_LostFocus(static_cast<Control>(wParam));
      return 0;
    case kBoardsChanged:
      rules_.boardsChanged();
      return 0;
    case WM_SIZE:
      // The status line keeps to the bottom edge.
      if (statusLine_) SendMessageW(statusLine_, WM_SIZE, 0, 0);
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (const auto control = controlOf(reinterpret_cast<HWND>(lParam));
          control && isTextBox(designOf(*control).kind)) {
        return textBoxColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
      }
      break;
    case WM_DPICHANGED: {
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      useResolution(HIWORD(wParam));
      return 0;
    }
    case WM_SYSCOLORCHANGE:
      drawPictures();
      break;
    case WM_CLOSE:
      if (rules_.Form_QueryUnload()) DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      rules_.Form_Unload();
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      window_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::command(int id, int code) {
  if (id == kMenuExitId) {
    rules_.mnuExit_Click();
    return;
  }
  if (id == kMenuStandardResistorsId) {
    mnuStandardResistors_Click();
    return;
  }
  if (boardCommand(id)) return;
  const Control control = static_cast<Control>(id - controlId(static_cast<Control>(0)));
  if (!handles_.contains(control)) return;
  if (control == Control::txtTest && code == EN_CHANGE) {
    rules_.txtTest_Change();
    return;
  }
  if (code != BN_CLICKED) return;
  switch (control) {
    case Control::cmdCalculate:
      rules_.cmdCalculate_Click();
      break;
    case Control::cmdForceSend:
      rules_.cmdForceSend_Click();
      break;
    case Control::cmdWrite:
      rules_.cmdWrite_Click();
      break;
    case Control::btnHelp:
      rules_.btnHelp_Click();
      break;
    case Control::opDisplayMode_0:
    case Control::opDisplayMode_1:
      // Only when the selection moves to the other button.
      if ((control == Control::opDisplayMode_0) != rules_.hexMode()) {
        rules_.opDisplayMode_Click(control);
      }
      break;
    default:
      break;
  }
}

void MainWindow::mnuStandardResistors_Click() {
  const StandardResistorsList list(rules_.wantedRange(), numbers_);
  if (const auto pair = chooseStandardPair(instance_, window_, list)) {
    rules_.useResistors(pair->r1, pair->r2);
  }
}

LRESULT MainWindow::textBoxColours(HDC dc, HWND box) {
  const auto control = controlOf(box);
  const bool locked = designOf(*control).kind == ControlKind::LockedTextBox;
  const auto colour = textColours_.find(*control);
  SetTextColor(dc, colour != textColours_.end() ? colour->second : GetSysColor(COLOR_WINDOWTEXT));
  const int background = locked ? COLOR_BTNFACE : COLOR_WINDOW;
  SetBkColor(dc, GetSysColor(background));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

LRESULT CALLBACK MainWindow::textBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR /*id*/, DWORD_PTR self) {
  return reinterpret_cast<MainWindow*>(self)->textBoxMessage(box, message, wParam, lParam);
}

LRESULT MainWindow::textBoxMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  // A one-line field has nothing to scroll: the wheel goes on to the window, as Windows' own
  // fields pass it (Wine's keep it).
  if (message == WM_MOUSEWHEEL) return SendMessageW(window_, message, wParam, lParam);
  if (message == WM_KILLFOCUS) {
    const HWND next = reinterpret_cast<HWND>(wParam);
    if (next && IsChild(window_, next)) {
      PostMessageW(window_, kFieldLeft, static_cast<WPARAM>(*controlOf(box)), 0);
    }
  }
  if (box == handleOf(Control::txtTest)) return dvrEntryMessage(box, message, wParam, lParam);
  return DefSubclassProc(box, message, wParam, lParam);
}

// Keys step the value before they type; typed characters pass the notation's filter, pasted
// text the field's test.
LRESULT MainWindow::dvrEntryMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      // Enter belongs to the field, not to the dialog keys of the window.
      if (lParam && reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN &&
          reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN) {
        return DLGC_WANTALLKEYS;
      }
      break;
    case WM_KEYDOWN:
      rules_.txtTest_KeyDown(dvrKeyOf(static_cast<int>(wParam), kDvrKeys));
      break;
    case WM_CHAR: {
      const auto typed = static_cast<char16_t>(wParam);
      // Enter has done its work on the way down; a single-line field would only beep at it.
      if (typed == u'\r') return 0;
      // Control characters are shortcuts (copy, paste, undo), Backspace among them.
      if (typed < u' ') break;
      const char16_t kept = rules_.txtTest_KeyPress(typed);
      if (kept == 0) return 0;
      return DefSubclassProc(box, message, kept, lParam);
    }
    case WM_PASTE:
      if (const auto accepted = rules_.txtTest_Paste(narrow(clipboardText(window_)))) {
        SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(widen(*accepted).c_str()));
      }
      return 0;
    default:
      break;
  }
  return DefSubclassProc(box, message, wParam, lParam);
}
