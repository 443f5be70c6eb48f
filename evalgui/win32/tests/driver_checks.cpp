#include "driver_checks.h"

#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "control_ids.h"

namespace {

int failures = 0;

}  // namespace

int failureCount() {
  return failures;
}

void check(bool holds, const std::string& what) {
  if (!holds) {
    ++failures;
    std::printf("  FAILED: %s\n", what.c_str());
  }
}

void checkText(WindowSession& session, Control control, const std::string& expected,
               const std::string& when) {
  const std::string shown = session.text(control);
  check(shown == expected, when + ": " + designOf(control).name + " shows \"" + shown +
                               "\", not \"" + expected + "\"");
}

int pixels(HWND window, int twips) {
  return static_cast<int>(
      std::lround(twips * static_cast<double>(GetDpiForWindow(window)) / 1440.0));
}

ChipState chipState(const std::string& trace) {
  ChipState state;
  std::ifstream lines(trace);
  for (std::string line; std::getline(lines, line);) {
    int dvr = 0;
    int eeprom = 0;
    const auto at = line.find(" C ");
    if (at != std::string::npos &&
        std::sscanf(line.c_str() + line.find("dvr="), "dvr=%d eeprom=%d", &dvr, &eeprom) == 2) {
      state = {dvr, eeprom};
    }
  }
  return state;
}

COLORREF textColour(WindowSession& session, Control control) {
  const auto stored =
      reinterpret_cast<UINT_PTR>(GetPropW(session.control(control), kTextColourProperty));
  return stored ? static_cast<COLORREF>(stored & ~kTextColourSet) : CLR_INVALID;
}

bool answerBox(WindowSession& session, const std::string& title, const std::string& text,
               int button, const std::string& when) {
  const auto box = session.waitForBox(title);
  check(box.has_value(), when + ": no box titled \"" + title + "\"");
  if (!box) return false;
  check(box->text.find(text) != std::string::npos,
        when + ": the box says \"" + box->text + "\", not \"" + text + "\"");
  session.answer(*box, button);
  return true;
}

void closeAndExpect(WindowSession& session, DWORD status) {
  session.close();
  const auto ended = session.waitForExit();
  check(ended == status, "the program ends with status " + std::to_string(status) + ", not " +
                             (ended ? std::to_string(*ended) : "still running"));
}

bool startWindow(WindowSession& session) {
  const bool started = session.waitForWindow() != nullptr;
  check(started, "the window comes up");
  return started;
}

void checkFullLayout(WindowSession& session) {
  using enum Control;
  RECT client;
  GetClientRect(session.window(), &client);
  check(client.bottom == pixels(session.window(), kClientArea.height) &&
            client.right == pixels(session.window(), kClientArea.width),
        "the client area is 10710 x 4950 twips");
  for (Control shown : {cmdForceSend, cmdWrite, Image1, imgKestroLogo}) {
    check(IsWindowVisible(session.control(shown)),
          std::string(designOf(shown).name) + " is visible");
  }
  check(SendMessageW(session.control(Image1), STM_GETIMAGE, IMAGE_BITMAP, 0) != 0,
        "the schematic has its picture");
  check(session.focus() == session.control(txtTest), "txtTest has the focus");
  check(SendMessageW(session.control(opDisplayMode_0), BM_GETCHECK, 0, 0) == BST_CHECKED,
        "HEX is selected");
}
