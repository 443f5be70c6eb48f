#include "main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "control_ids.h"
#include "dpi.h"
#include "pictures.h"
#include "resource_ids.h"
#include "text_conversion.h"
#include "window_pictures.h"

namespace {

constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Tips wider than this, in pixels at 96 dpi, are broken into lines (and "\n" breaks them).
constexpr int kToolTipWidth = 400;

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

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, BridgeLibrary& library, MessageBoxes& boxes,
                       const NumberText& numbers, BoardDirectory* boards)
    : instance_(instance),
      numbers_(numbers),
      boards_(boards),
      rules_(*this, library, boxes, numbers, boards) {
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
  if (boards_) createBoardMenuAndStatus();
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
  HFONT font = createWindowFont(dpi_);
  for (const auto& [control, child] : handles_) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  if (statusLine_) SendMessageW(statusLine_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (font_) DeleteObject(font_);
  font_ = font;
  SendMessageW(toolTips_, TTM_SETMAXTIPWIDTH, 0, MulDiv(kToolTipWidth, static_cast<int>(dpi), 96));
  drawPictures();
  placeWindow();
  for (const ControlDesign& design : kControls) place(design.control);
  InvalidateRect(window_, nullptr, TRUE);
}

// Each picture drawn at its size in pixels, on the window's colour.
void MainWindow::drawPictures() {
  for (const ControlDesign& design : kControls) {
    if (design.kind != ControlKind::Picture) continue;
    HBITMAP picture = drawPicture(windowPicture(design.caption), pixels(design.box.width),
                                  pixels(design.box.height), GetSysColor(COLOR_BTNFACE));
    SendMessageW(handleOf(design.control), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(picture));
    if (pictures_.contains(design.control)) DeleteObject(pictures_[design.control]);
    pictures_[design.control] = picture;
  }
}

// The status line, if any, lies below the design's client area.
void MainWindow::placeWindow() {
  const int statusLine = statusLineHeight();
  const SIZE client{pixels(kClientArea.width), pixels(kClientArea.height) + statusLine};
  SIZE outer = outerSize(client, kWindowStyle, 0, true, dpi_);
  if (outerHeightTwips_) outer.cy = pixels(*outerHeightTwips_) + statusLine;
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
