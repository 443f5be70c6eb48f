// The window without a board, and following boards that come and go: two virtual boards that the
// driver plugs in and pulls out through the library's control pipe, as board_notice_test does to
// the Qt window in its own process.
#include "window_boards_driver.h"

#include "control_ids.h"
#include "control_pipe.h"
#include "protocol.h"

namespace {

constexpr auto kFirst = "sim:0";
constexpr auto kSecond = "sim:1";

BoardMenuState boardMenu(WindowSession& session) {
  return unpackBoardMenu(static_cast<unsigned long>(
      reinterpret_cast<UINT_PTR>(GetPropW(session.window(), kBoardMenuProperty))));
}

// The module indicator, by the trace: its LED lit last.
bool indicatorLit(const Paths& paths, const std::string& path) {
  return lastSetByte(paths.traceHost, path, ksthid::kCommandLeds, ksthid::kLedPairByte) == 1;
}

// The counter interface at rest, by the trace: the GPIO value and configuration last written.
bool parked(const Paths& paths, const std::string& path) {
  using namespace ksthid;
  return lastSetByte(paths.traceHost, path, kCommandGpioValue, kGpioFirstByte) == 0x50 &&
         lastSetByte(paths.traceHost, path, kCommandGpioConfiguration, kGpioFirstByte) == 0xBF;
}

bool statusSays(WindowSession& session, const std::string& text, const std::string& when) {
  const bool says = waitUntil([&] { return statusLine(session) == text; });
  check(says,
        when + ": the status line says \"" + statusLine(session) + "\", not \"" + text + "\"");
  return says;
}

void checkCalculatorOnly(WindowSession& session) {
  using enum Control;
  statusSays(session, "No board: plug one in", "no board");
  check(!IsWindowVisible(session.control(cmdForceSend)) &&
            !IsWindowVisible(session.control(cmdWrite)),
        "no board: the device buttons are hidden");
  RECT outer;
  GetWindowRect(session.window(), &outer);
  check(outer.bottom - outer.top ==
            pixels(session.window(), kCalculatorOnlyOuterHeight) + statusLineHeight(session),
        "no board: the window is 5000 twips high with the status line below, not " +
            std::to_string(outer.bottom - outer.top) + " pixels");
  RECT logo;
  GetWindowRect(session.control(imgKestroLogo), &logo);
  MapWindowPoints(nullptr, session.window(), reinterpret_cast<POINT*>(&logo), 2);
  check(logo.top == pixels(session.window(), kCalculatorOnlyBottomRowTop),
        "no board: the logo moves up");
  check(boardMenu(session) == BoardMenuState{0, 0, false}, "no board: File > Board is disabled");
}

void aBoardPluggedInTurnsToTheFullLayout(WindowSession& session, ControlPipe& pipe,
                                         const Paths& paths) {
  pipe.send("plug sim:0\n");
  check(waitUntil([&] { return IsWindowVisible(session.control(Control::cmdForceSend)) != 0; }),
        "a board plugged in shows the device buttons");
  statusSays(session, "Board sim:0 (serial VB100001, firmware 1.0)", "a board plugged in");
  checkFullLayout(session);
  check(indicatorLit(paths, kFirst) && parked(paths, kFirst),
        "the board plugged in has its indicator lit and its counter interface parked");
  check(boardMenu(session) == BoardMenuState{1, 1, false},
        "one board: File > Board lists it, checked, disabled");
}

// A0 typed and sent, "Click to Send" and "Send Complete" answered.
void sendA0(WindowSession& session) {
  session.selectAll(Control::txtTest);
  session.type(Control::txtTest, "A0");
  session.key(Control::txtTest, VK_RETURN);
  session.click(Control::cmdForceSend);
  if (!answerBox(session, "QV6180", "Click to Send", IDOK, "send to the chosen board")) return;
  answerBox(session, "QV6180", "Send Complete", IDOK, "send to the chosen board");
}

// The second board comes; the one not in use is chosen in File > Board.
void theChosenBoardTakesTheButtons(WindowSession& session, ControlPipe& pipe, const Paths& paths) {
  pipe.send("plug sim:1\n");
  check(waitUntil([&] { return boardMenu(session).enabled; }),
        "a second board enables File > Board");
  const BoardMenuState menu = boardMenu(session);
  check(menu.entries == 2 && menu.checked != 0, "two boards: File > Board lists both, one checked");
  const int other = menu.checked == 1 ? 1 : 0;
  SendNotifyMessageW(session.window(), WM_COMMAND, MAKEWPARAM(kMenuBoardFirstId + other, 0), 0);
  session.settle();
  statusSays(session, "Board sim:1 (serial VB100002, firmware 1.0)", "the other board chosen");
  check(boardMenu(session).checked == other + 1, "the board chosen is checked");
  check(indicatorLit(paths, kSecond) && !indicatorLit(paths, kFirst) && parked(paths, kSecond),
        "the board chosen alone has its indicator lit, and is parked");
  const ChipState first = chipState(paths.traceHost, kFirst);
  sendA0(session);
  check(chipState(paths.traceHost, kSecond).dvr == 160,
        "A0 sent: the chosen board's chip holds 160");
  check(chipState(paths.traceHost, kFirst) == first,
        "A0 sent: the other board's chip is untouched");
}

// The buttons stay, so that the library's box tells of the board gone at the next press.
void theBoardInUsePulledOutAndBack(WindowSession& session, ControlPipe& pipe, const Paths& paths) {
  pipe.send("unplug sim:1\n");
  statusSays(session, "Board sim:1 (serial VB100002) pulled out: plug it back in",
             "the board in use pulled out");
  check(IsWindowVisible(session.control(Control::cmdWrite)) != 0,
        "the board in use pulled out: the device buttons stay");
  session.click(Control::cmdWrite);
  answerBox(session, "ksthid", "Please check USB connection.", IDCANCEL, "pulled out, Write");
  answerBox(session, "QV6180", "Writing the EEPROM failed", IDOK, "pulled out, Write");

  pipe.send("plug sim:1\n");
  statusSays(session, "Board sim:1 (serial VB100002, firmware 1.0)", "plugged back");
  session.click(Control::cmdWrite);
  check(!session.waitForBox({}, 300), "plugged back: Write EEPROM shows no box");
  check(chipState(paths.traceHost, kSecond).eeprom == 160, "plugged back: the EEPROM holds 160");
}

}  // namespace

void withoutBoard(const Paths& paths) {
  WindowSession session(paths.program, {{L"KSTHID_SIMULATE", L"0"}});
  if (!startWindow(session)) return;
  checkCalculatorOnly(session);
  checkText(session, Control::txtVoutMax, "11.002", "no board");
  closeAndExpect(session, 0);
}

void boardsComeAndGo(const Paths& paths) {
  DeleteFileW(paths.trace.c_str());
  ControlPipe pipe;
  WindowSession session(paths.program, {{L"KSTHID_SIMULATE", L"2"},
                                        {L"KSTHID_TRACE", paths.trace},
                                        {L"KSTHID_SIMULATE_CONTROL", pipe.name()}});
  const bool opened = pipe.waitForProgram();
  check(opened, "the library opens the control pipe");
  if (!opened || !pipe.send("unplug sim:0\nunplug sim:1\ngo\n") || !startWindow(session)) return;
  checkCalculatorOnly(session);
  aBoardPluggedInTurnsToTheFullLayout(session, pipe, paths);
  theChosenBoardTakesTheButtons(session, pipe, paths);
  theBoardInUsePulledOutAndBack(session, pipe, paths);
  closeAndExpect(session, 0);
}
