#include "text_fit_checks.h"

#include <array>
#include <cstdlib>

#include "dpi.h"
#include "longest_texts.h"
#include "screen.h"
#include "text_conversion.h"
#include "window_session.h"

namespace {

constexpr std::array<UINT, 4> kResolutions{96, 120, 144, 192};

// The font the control draws with. Its handle belongs to the window's process; where the system
// keeps its description from other processes, the driver makes the font as the window does.
HFONT fontOf(HWND control, UINT dpi) {
  const auto used = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  LOGFONTW font{};
  if (used && GetObjectW(used, sizeof(font), &font) == sizeof(font)) {
    return CreateFontIndirectW(&font);
  }
  return createWindowFont(dpi);
}

// The width a control leaves for its text: an edit box its client area within its margins and
// beside the caret, a button within its border and focus rectangle, an option button beside its
// circle, a label all of it.
int roomFor(const ControlDesign& design, HWND control, UINT dpi) {
  RECT client;
  GetClientRect(control, &client);
  const int edge = GetSystemMetricsForDpi(SM_CXEDGE, dpi);
  switch (design.kind) {
    case ControlKind::TextBox:
    case ControlKind::LockedTextBox: {
      const auto margins = static_cast<DWORD>(SendMessageW(control, EM_GETMARGINS, 0, 0));
      return client.right - LOWORD(margins) - HIWORD(margins) - 1;
    }
    case ControlKind::Button:
      return client.right - 2 * (edge + GetSystemMetricsForDpi(SM_CXFOCUSBORDER, dpi));
    case ControlKind::OptionButton:
      return client.right - GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) - edge;
    case ControlKind::Frame:
      return client.right - 4 * edge;
    default:
      return client.right;
  }
}

void checkFits(WindowSession& session, Control control, const std::string& text, UINT dpi) {
  const ControlDesign& design = designOf(control);
  const HWND child = session.control(control);
  HDC dc = GetDC(nullptr);
  HFONT font = fontOf(child, dpi);
  const HGDIOBJ before = SelectObject(dc, font);
  const std::wstring wide = widen(text);
  SIZE extent{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, before);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  RECT client;
  GetClientRect(child, &client);
  const int room = roomFor(design, child, dpi);
  const std::string where = std::to_string(dpi) + " dpi: " + design.name + " \"" + text + "\" ";
  check(extent.cx <= room,
        where + "is " + std::to_string(extent.cx) + " pixels wide, room " + std::to_string(room));
  check(design.kind == ControlKind::Frame || metrics.tmHeight <= client.bottom,
        where + "is " + std::to_string(metrics.tmHeight) + " pixels high, room " +
            std::to_string(client.bottom));
}

void textFits(const Paths& paths, UINT dpi) {
  const ScreenResolution resolution(dpi);
  WindowSession session(paths.program, {{L"KSTHID_SIMULATE", L"1"}});
  if (!startWindow(session)) return;
  const UINT shown = GetDpiForWindow(session.window());
  check(shown == dpi,
        "the window runs at " + std::to_string(shown) + " dpi, not " + std::to_string(dpi));
  if (const char* file = std::getenv("QV6180_SCREENSHOT")) saveScreenshot(session.window(), file);
  for (const ControlDesign& design : kControls) {
    if (*design.caption && design.kind != ControlKind::Picture) {
      checkFits(session, design.control, design.caption, shown);
    }
  }
  for (const ShownText& longest : kLongestTexts) {
    checkFits(session, longest.control, longest.text, shown);
  }
  closeAndExpect(session, 0);
}

}  // namespace

std::vector<DriverCase> textFitCases() {
  std::vector<DriverCase> cases;
  for (UINT dpi : kResolutions) {
    cases.emplace_back("text_fits_" + std::to_string(dpi),
                       [dpi](const Paths& paths) { textFits(paths, dpi); });
  }
  return cases;
}
