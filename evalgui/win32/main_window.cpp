#include "main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "busy_window.h"
#include "control_ids.h"
#include "dpi.h"
#include "pictures.h"
#include "resource_ids.h"
#include "standard_resistors_dialog.h"
#include "text_conversion.h"

namespace {

constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Posted when the focus has left a text box for another control: the rules run once the focus
// has settled, so that their boxes do not come up in the middle of the change.
constexpr UINT kFieldLeft = WM_APP + 1;
// Tips wider than this, in pixels at 96 dpi, are broken into lines (and "\n" breaks them).
constexpr int kToolTipWidth = 400;

bool isTextBox(ControlKind kind) {
  return kind == ControlKind::TextBox || kind == ControlKind::LockedTextBox;
}

bool isInTabOrder(Control control) {
  return std::find(kTabOrder.begin(), kTabOrder.end(), control) != kTabOrder.end();
}

struct WindowClass {
  const wchar_t* name;
  DWORD style;
  DWORD extendedStyle;
};

WindowClass classOf(const ControlDesign& design) {
  constexpr DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  // Every control that takes the focus starts a group of its own, but for the second option
  // button, which belongs to the first one's.
  const DWORD tabStop =
      isInTabOrder(design.control)
          ? WS_TABSTOP | (design.control == Control::opDisplayMode_1 ? 0 : WS_GROUP)
          : 0;
  switch (design.kind) {
    case ControlKind::Frame:
      return {WC_BUTTONW, child | BS_GROUPBOX, 0};
    case ControlKind::TextBox:
      return {WC_EDITW, child | tabStop | ES_CENTER | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::LockedTextBox:
      return {WC_EDITW, child | tabStop | ES_CENTER | ES_AUTOHSCROLL | ES_READONLY,
              WS_EX_CLIENTEDGE};
    case ControlKind::Label:
      return {WC_STATICW, child | SS_LEFT | SS_CENTERIMAGE | SS_NOTIFY, 0};
    case ControlKind::RightAlignedLabel:
      return {WC_STATICW, child | SS_RIGHT | SS_CENTERIMAGE | SS_NOTIFY, 0};
    case ControlKind::Button:
      return {WC_BUTTONW, child | tabStop | BS_PUSHBUTTON, 0};
    case ControlKind::OptionButton:
      return {WC_BUTTONW, child | tabStop | BS_AUTORADIOBUTTON, 0};
    case ControlKind::Picture:
      return {WC_STATICW, child | SS_BITMAP | SS_REALSIZECONTROL | SS_NOTIFY, 0};
    case ControlKind::Outline:
      return {WC_STATICW, child | SS_BLACKFRAME, 0};
    case ControlKind::WhiteFill:
      return {WC_STATICW, child | SS_WHITERECT, 0};
    case ControlKind::Line:
      return {WC_STATICW, child | SS_BLACKRECT, 0};
  }
  return {WC_STATICW, child, 0};
}

int pictureResource(const ControlDesign& design) {
  return std::string_view(design.caption) == "logo" ? IDR_LOGO : IDR_SCHEMATIC;
}

DvrKey dvrKeyOf(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_UP:
      return DvrKey::Up;
    case VK_DOWN:
      return DvrKey::Down;
    case VK_PRIOR:
      return DvrKey::PageUp;
    case VK_NEXT:
      return DvrKey::PageDown;
    case VK_RETURN:
      return DvrKey::Enter;
    default:
      return DvrKey::Other;
  }
}

std::wstring textOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// A group box and an outline draw their borders only: what lies inside is the window's
// background, which the window itself does not paint under its children.
LRESULT CALLBACK erasesBackground(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR /*id*/, DWORD_PTR /*data*/) {
  if (message != WM_ERASEBKGND) return DefSubclassProc(control, message, wParam, lParam);
  RECT inside;
  GetClientRect(control, &inside);
  FillRect(reinterpret_cast<HDC>(wParam), &inside, GetSysColorBrush(COLOR_BTNFACE));
  return TRUE;
}

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

MainWindow::MainWindow(HINSTANCE instance, BridgeLibrary& library, MessageBoxes& boxes,
                       const NumberText& numbers)
    : instance_(instance), numbers_(numbers), rules_(*this, library, boxes, numbers) {
  for (const ControlDesign& design : kControls) boxes_[design.control] = design.box;
}

MainWindow::~MainWindow() {
  sendButton_.reset();
  if (window_) DestroyWindow(window_);
  for (const auto& [control, picture] : pictures_) DeleteObject(picture);
  if (font_) DeleteObject(font_);
}

bool MainWindow::create() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &MainWindow::windowProc;
  windowClass.hInstance = instance_;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kMainWindowClass;
  windowClass.hIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_QV6180EVAL),
                                                    IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                    GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  windowClass.hIconSm = static_cast<HICON>(
      LoadImageW(instance_, MAKEINTRESOURCEW(IDI_QV6180EVAL), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  RegisterClassExW(&windowClass);
  window_ = CreateWindowExW(0, kMainWindowClass, widen(kWindowCaption).c_str(), kWindowStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                            nullptr, instance_, this);
  if (!window_) return false;
  createMenu();
  toolTips_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                              instance_, nullptr);
  for (const ControlDesign& design : kControls) createControl(design);
  CheckRadioButton(window_, controlId(Control::opDisplayMode_0),
                   controlId(Control::opDisplayMode_1), controlId(kSelectedOptionAtStart));
  sendButton_ = std::make_unique<ProgressButton>(handleOf(Control::cmdForceSend));
  stackControls();
  useResolution(windowDpi(window_));
  return true;
}

void MainWindow::createMenu() {
  HMENU file = CreatePopupMenu();
  for (const MenuItem& item : kFileMenu) {
    const std::string_view name = item.name;
    if (name.empty()) {
      AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const int id = name == "mnuExit" ? kMenuExitId : kMenuStandardResistorsId;
    AppendMenuW(file, MF_STRING, id, widen(item.caption).c_str());
  }
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), widen(kFileMenuCaption).c_str());
  SetMenu(window_, bar);
}

void MainWindow::createControl(const ControlDesign& design) {
  const WindowClass kind = classOf(design);
  const bool captioned = design.kind != ControlKind::Picture;
  HWND child = CreateWindowExW(
      kind.extendedStyle, kind.name, captioned ? widen(design.caption).c_str() : nullptr,
      kind.style, 0, 0, 0, 0, window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(design.control))), instance_, nullptr);
  handles_[design.control] = child;
  if (isTextBox(design.kind)) {
    SetWindowSubclass(child, &MainWindow::textBoxProc, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  if (design.kind == ControlKind::Frame || design.kind == ControlKind::Outline) {
    SetWindowSubclass(child, &erasesBackground, 1, 0);
  }
  addToolTip(design);
}

void MainWindow::addToolTip(const ControlDesign& design) {
  if (!*design.tip) return;
  std::wstring tip = widen(design.tip);
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(handleOf(design.control));
  tool.lpszText = tip.data();
  SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// Windows keeps siblings in one order for Tab and for drawing: the controls that take the focus
// come first, in the order of Tab, and lie over the others; of the others, each lies over those
// before it in the table (the read-out over the scale, the strip over the schematic over its
// outline, everything over the frame).
void MainWindow::stackControls() {
  std::vector<Control> order(kTabOrder.begin(), kTabOrder.end());
  for (auto design = kControls.rbegin(); design != kControls.rend(); ++design) {
    if (!isInTabOrder(design->control)) order.push_back(design->control);
  }
  for (Control control : order) {
    SetWindowPos(handleOf(control), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

// The font, the pictures and every place follow the resolution.
void MainWindow::useResolution(UINT dpi) {
  dpi_ = dpi;
  HFONT font = createDialogFont(dpi_);
  for (const auto& [control, child] : handles_) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  if (font_) DeleteObject(font_);
  font_ = font;
  SendMessageW(toolTips_, TTM_SETMAXTIPWIDTH, 0, MulDiv(kToolTipWidth, static_cast<int>(dpi), 96));
  for (const ControlDesign& design : kControls) {
    if (design.kind != ControlKind::Picture) continue;
    HBITMAP picture =
        loadPicture(pictureResource(design), pixels(design.box.width), pixels(design.box.height));
    SendMessageW(handleOf(design.control), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(picture));
    if (pictures_.contains(design.control)) DeleteObject(pictures_[design.control]);
    pictures_[design.control] = picture;
  }
  placeWindow();
  for (const ControlDesign& design : kControls) place(design.control);
  InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::placeWindow() {
  const SIZE client{pixels(kClientArea.width), pixels(kClientArea.height)};
  SIZE outer = outerSize(client, kWindowStyle, 0, true, dpi_);
  if (outerHeightTwips_) outer.cy = pixels(*outerHeightTwips_);
  SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A control of the frame is placed within it; a line covers both its ends.
void MainWindow::place(Control control) {
  const ControlDesign& design = designOf(control);
  TwipsBox box = boxes_.at(control);
  if (design.parent == Control::fraCalculator) {
    box.left += boxes_.at(Control::fraCalculator).left;
    box.top += boxes_.at(Control::fraCalculator).top;
  }
  const int extra = design.kind == ControlKind::Line ? 1 : 0;
  MoveWindow(handleOf(control), pixels(box.left), pixels(box.top), pixels(box.width) + extra,
             pixels(box.height) + extra, TRUE);
}

int MainWindow::pixels(int twips) const {
  return static_cast<int>(std::lround(twips * static_cast<double>(dpi_) / 1440.0));
}

std::optional<Control> MainWindow::controlOf(HWND child) const {
  for (const auto& [control, handle] : handles_) {
    if (handle == child) return control;
  }
  return std::nullopt;
}

int MainWindow::run(int showCommand) {
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Tab, the arrow keys between the option buttons, and access keys, as in a dialog.
    if (IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

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
      if (rules_.takesInput()) command(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case kFieldLeft:
      if (rules_.takesInput()) rules_.field_LostFocus(static_cast<Control>(wParam));
      return 0;
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
    case WM_CLOSE:
      if (rules_.takesInput()) DestroyWindow(window_);
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
  const Control control = static_cast<Control>(id - controlId(static_cast<Control>(0)));
  if (!handles_.contains(control)) return;
  if (control == Control::txtTest && code == EN_CHANGE && !settingDvrText_) {
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
      rules_.txtTest_KeyDown(dvrKeyOf(wParam));
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

std::string MainWindow::text(Control control) const {
  return narrow(textOf(handleOf(control)));
}

// Windows tells the change of txtTest's text later or not at all when the program sets it; the
// rules run here instead, before this returns.
void MainWindow::setText(Control control, const std::string& text) {
  if (control != Control::txtTest) {
    SetWindowTextW(handleOf(control), widen(text).c_str());
    return;
  }
  settingDvrText_ = true;
  SetWindowTextW(handleOf(control), widen(text).c_str());
  settingDvrText_ = false;
  rules_.txtTest_Change();
}

void MainWindow::setCaret(Control control, std::size_t position) {
  SendMessageW(handleOf(control), EM_SETSEL, position, static_cast<LPARAM>(position));
}

void MainWindow::setTextColour(Control control, FieldColour colour) {
  const COLORREF rgb = colour == FieldColour::Red ? RGB(255, 0, 0) : GetSysColor(COLOR_BTNTEXT);
  textColours_[control] = rgb;
  HWND child = handleOf(control);
  SetPropW(child, kTextColourProperty,
           reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(rgb | kTextColourSet)));
  InvalidateRect(child, nullptr, TRUE);
}

void MainWindow::setToolTip(Control control, const std::string& tip) {
  std::wstring text = widen(tip);
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(handleOf(control));
  tool.lpszText = text.data();
  SendMessageW(toolTips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::setTop(Control control, int topTwips) {
  boxes_.at(control).top = topTwips;
  place(control);
}

void MainWindow::setHeight(Control control, int heightTwips) {
  boxes_.at(control).height = heightTwips;
  place(control);
}

void MainWindow::setWindowOuterHeight(int heightTwips) {
  outerHeightTwips_ = heightTwips;
  placeWindow();
}

void MainWindow::hide(Control control) {
  ShowWindow(handleOf(control), SW_HIDE);
}

void MainWindow::show(Control control) {
  ShowWindow(handleOf(control), SW_SHOW);
}

void MainWindow::setWindowDesignHeight() {
  outerHeightTwips_.reset();
  placeWindow();
}

// This window is given no BoardDirectory, so the rules never ask for a status line or File > Board.
void MainWindow::showBoardStatus(const std::string& /*text*/) {}

void MainWindow::showBoardMenu(const std::vector<BoardMenuEntry>& /*entries*/, bool /*enabled*/) {}

void MainWindow::setFocus(Control control) {
  SetFocus(handleOf(control));
}

void MainWindow::hookMouseWheel() {
  wheel_.hookMouseWheel(window_, [this](int rotation) {
    if (rules_.takesInput()) rules_.MouseWheelRolled(rotation);
  });
}

void MainWindow::unhookMouseWheel() {
  wheel_.unhookMouseWheel();
}

// The pulse train runs on this thread: the window paints and the system is served between its
// steps, and input meant for the window is dropped meanwhile.
void MainWindow::showProgress(Control /*button*/, int level) {
  sendButton_->showProgress(level, kProgressLevels);
  serveMessagesDroppingInput(window_);
}

void MainWindow::hideProgress(Control /*button*/) {
  sendButton_->hideProgress();
}

void MainWindow::closeWindow() {
  SendMessageW(window_, WM_CLOSE, 0, 0);
}
