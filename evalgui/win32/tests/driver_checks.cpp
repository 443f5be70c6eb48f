#include "driver_checks.h"

#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "control_ids.h"
#include "protocol.h"

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

ChipState chipState(const std::string& trace, const std::string& path) {
  ChipState state;
  std::ifstream lines(trace);
  for (std::string line; std::getline(lines, line);) {
    int dvr = 0;
    int eeprom = 0;
    const auto at = line.find(" C " + path);
    if (at != std::string::npos &&
        std::sscanf(line.c_str() + line.find("dvr="), "dvr=%d eeprom=%d", &dvr, &eeprom) == 2) {
      state = {dvr, eeprom};
    }
  }
  return state;
}

// "T W PATH HEX": a report written, 64 bytes in hexadecimal.
int lastSetByte(const std::string& trace, const std::string& path, int command, std::size_t index) {
  int found = -1;
  std::ifstream lines(trace);
  const std::string written = " W " + path + " ";
  for (std::string line; std::getline(lines, line);) {
    const auto at = line.find(written);
    if (at == std::string::npos) continue;
    const std::string hex = line.substr(at + written.size());
    const auto byte = [&](std::size_t index) {
      return std::stoi(hex.substr(2 * index, 2), nullptr, 16);
    };
    if (hex.size() >= 2 * ksthid::kReportLength && byte(ksthid::kCommandByte) == command &&
        byte(ksthid::kDirectionByte) != ksthid::kDirectionQuery) {
      found = byte(index);
    }
  }
  return found;
}

bool waitUntil(const std::function<bool()>& holds, DWORD milliseconds) {
  for (DWORD waited = 0; waited < milliseconds; waited += 20) {
    if (holds()) return true;
    Sleep(20);
  }
  return holds();
}

std::string statusLine(WindowSession& session) {
  return session.text(GetDlgItem(session.window(), kStatusLineId));
}

int statusLineHeight(WindowSession& session) {
  RECT line{};
  if (!GetWindowRect(GetDlgItem(session.window(), kStatusLineId), &line)) return 0;
  return line.bottom - line.top;
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
  check(client.bottom == pixels(session.window(), kClientArea.height) + statusLineHeight(session) &&
            client.right == pixels(session.window(), kClientArea.width),
        "the client area is 10710 x 4950 twips, the status line below");
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
