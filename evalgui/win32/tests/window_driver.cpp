// Drives qv6180eval.exe under Wine (or Windows) as a user would, against the library's virtual
// board, and checks what the window shows and what reaches the virtual chip.
//
//   qv6180eval_driver PROGRAM TRACE_FILE [CASE...]
//
// PROGRAM is the window's executable with ksthid.dll beside it, TRACE_FILE a file for the
// library's packet trace. Without cases, all run. Exit status 0 when every check holds.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "control_ids.h"
#include "plain_number_text.h"
#include "standard_resistors_list.h"
#include "text_conversion.h"
#include "window_session.h"

#include "driver_checks.h"
#include "picture_checks.h"
#include "text_fit_checks.h"
#include "window_boards_driver.h"

namespace {

// The figures of the default inputs, and the calculation the other way from the range.
void calculatesBothWays(WindowSession& session) {
  using enum Control;
  for (const auto& [control, text] :
       std::vector<std::pair<Control, std::string>>{{txtVoutMax, "11.002"},
                                                    {txtVOutMin, "9.637"},
                                                    {txtVOUT, "11.002"},
                                                    {txtIOUT, "0.00000"},
                                                    {txtVRSET, "0.000"},
                                                    {txtTest, "00"},
                                                    {lblDVR2, "DVR (hex)"}}) {
    checkText(session, control, text, "at start");
  }
  session.setText(txtVoutMax, "12");
  session.setText(txtVOutMin, "10");
  session.key(txtTest, VK_RETURN);
  checkText(session, txtR1, "33442.2", "range 12 to 10");
  checkText(session, txtR2, "67015.7", "range 12 to 10");
  session.setText(txtVoutMax, "18");
  session.setText(txtVOutMin, "0");
  session.key(txtTest, VK_RETURN);
  checkText(session, txtR2, "-51200000.0", "range 18 to 0");
  check(textColour(session, txtR2) == RGB(255, 0, 0), "a negative R2 is red");
  check(textColour(session, txtR1) == GetSysColor(COLOR_BTNTEXT), "a positive R1 is not red");
  session.setText(txtR1, "24900");
  session.setText(txtR2, "39200");
  session.click(cmdCalculate);
  checkText(session, txtVoutMax, "11.002", "Calculate");
  // Leaving AVDD by Tab asks which way to calculate; No keeps the range.
  session.clickInto(txtAVDD);
  session.postKey(txtAVDD, VK_TAB);
  answerBox(session, "AVDD Changed - Update Range from Resistor Values?",
            "Yes, Update Output Voltage Range from Resistor Values.\r\n"
            "No, Update Resistor Values from Voltage Range instead.",
            IDNO, "leaving AVDD");
  checkText(session, txtR1, "24898.9", "leaving AVDD, No");
  checkText(session, txtR2, "39194.1", "leaving AVDD, No");
}

// Keys, typed characters and the wheel in the DVR field, in both notations.
void stepsTheDvrField(WindowSession& session) {
  using enum Control;
  struct Step {
    const char* start;
    std::function<void()> act;
    const char* after;
    const char* what;
  };
  const HWND field = session.control(txtTest);
  auto key = [&](WORD virtualKey) { return [&, virtualKey] { session.key(txtTest, virtualKey); }; };
  auto typed = [&](const char* characters) {
    return [&, characters] {
      session.selectAll(txtTest);
      session.type(txtTest, characters);
    };
  };
  auto wheel = [&](HWND target, int rotation) {
    return [&, target, rotation] { session.wheel(target, rotation); };
  };
  const std::vector<Step> hexSteps{
      {"0FF", key(VK_UP), "0FF", "Up at 0FF stays at 0FF"},
      {"010", key(VK_DOWN), "00F", "Down"},
      {"010", key(VK_PRIOR), "020", "Page Up"},
      {"020", key(VK_NEXT), "010", "Page Down"},
      {"00", typed("ab"), "AB", "a and b typed become A and B"},
      {"00", typed("g-5"), "5", "g and minus are dropped"},
      {"00", typed("FF1"), "0FF", "a third digit after FF"},
      {"010", wheel(session.window(), 120), "00F", "a notch away from the user"},
      {"010", wheel(session.window(), -120), "011", "a notch towards the user"},
      {"010", wheel(field, 120), "00F", "a notch over the field reaches the window"},
  };
  for (const Step& step : hexSteps) {
    session.setText(txtTest, step.start);
    step.act();
    checkText(session, txtTest, step.after, std::string("hex: ") + step.what);
  }
  session.setText(txtTest, "0FF");
  session.key(txtTest, VK_UP);
  checkText(session, txtVOUT, "9.637", "the calculator follows a step");

  session.setText(txtTest, "0FF");
  session.click(opDisplayMode_1);
  checkText(session, txtTest, "255", "to decimal");
  checkText(session, lblDVR2, "DVR (dec)", "to decimal");
  const std::vector<Step> decimalSteps{
      {"0", key(VK_DOWN), "0", "Down at 0"},
      {"250", key(VK_PRIOR), "255", "Page Up at 250"},
      {"12", typed("1a2"), "12", "a letter is dropped"},
  };
  for (const Step& step : decimalSteps) {
    session.setText(txtTest, step.start);
    step.act();
    checkText(session, txtTest, step.after, std::string("decimal: ") + step.what);
  }
  session.setText(txtTest, "11");
  session.click(opDisplayMode_0);
  checkText(session, txtTest, "00B", "back to hexadecimal");
}

// A0 typed and sent reaches the virtual chip as 160; input meant for the window during the send
// is dropped; Write EEPROM stores it.
void sendsAndStores(WindowSession& session, const Paths& paths) {
  using enum Control;
  session.selectAll(txtTest);
  session.type(txtTest, "A0");
  session.key(txtTest, VK_RETURN);
  checkText(session, txtTest, "A0", "A0 typed");
  session.click(cmdForceSend);
  checkText(session, cmdForceSend, "Sending... Please Wait", "while Click to Send is open");
  if (!answerBox(session, "QV6180", "Click to Send", IDOK, "send")) return;
  bool barGrew = false;
  for (int poll = 0; poll < 250 && !barGrew; ++poll, Sleep(20)) {
    barGrew =
        reinterpret_cast<UINT_PTR>(GetPropW(session.control(cmdForceSend), kProgressProperty)) > 1;
  }
  check(barGrew, "the send paints its progress along the button");
  // Typed into the field during the send, through the queue as keys arrive: dropped.
  session.postCharacter(txtTest, L'5');
  session.postKey(txtTest, VK_UP);
  if (!answerBox(session, "QV6180", "Send Complete", IDOK, "send")) return;
  checkText(session, cmdForceSend, "Send Value to Register", "after the send");
  checkText(session, txtTest, "A0", "keys during the send");
  check(chipState(paths.traceHost).dvr == 160,
        "the virtual chip holds " + std::to_string(chipState(paths.traceHost).dvr) + ", not 160");
  session.click(cmdWrite);
  check(!session.waitForBox({}, 300), "Write EEPROM shows no box");
  check(chipState(paths.traceHost).eeprom == 160, "the EEPROM holds 160");
  session.click(btnHelp);
  answerBox(session, "QV6180",
            "EEPROM value is loaded to register on power-up.\r\n"
            "Please set CE pin to high to enable counter interface.\r\n"
            "Hover pointer over each field for explanations.",
            IDOK, "help");
}
void withBoard(const Paths& paths) {
  DeleteFileW(paths.trace.c_str());
  WindowSession session(paths.program,
                        {{L"KSTHID_SIMULATE", L"1"}, {L"KSTHID_TRACE", paths.trace}});
  if (!startWindow(session)) return;
  checkFullLayout(session);
  calculatesBothWays(session);
  stepsTheDvrField(session);
  sendsAndStores(session, paths);
  closeAndExpect(session, 0);
}

// The board goes away during a send: the library's box, then the window's own.
void unpluggedDuringSend(const Paths& paths) {
  WindowSession session(paths.program,
                        {{L"KSTHID_SIMULATE", L"1"}, {L"KSTHID_SIMULATE_UNPLUG_AFTER", L"40"}});
  if (!startWindow(session)) return;
  session.click(Control::cmdForceSend);
  if (!answerBox(session, "QV6180", "Click to Send", IDOK, "unplugged")) return;
  if (!answerBox(session, "ksthid", "Please check USB connection.", IDCANCEL, "unplugged")) return;
  if (!answerBox(session, "QV6180", "Sending failed", IDOK, "unplugged")) return;
  checkText(session, Control::cmdForceSend, "Send Value to Register", "after a failed send");
  closeAndExpect(session, 0);
}

// File > "Standard resistors..." for the range 12 to 10 V: OK takes the first (best) pair, which
// goes into R1 and R2, and the range follows.
void standardResistors(const Paths& paths) {
  using enum Control;
  WindowSession session(paths.program, {{L"KSTHID_SIMULATE", L"1"}});
  if (!startWindow(session)) return;
  session.setText(txtVoutMax, "12");
  session.setText(txtVOutMin, "10");
  SendNotifyMessageW(session.window(), WM_COMMAND, MAKEWPARAM(kMenuStandardResistorsId, 0), 0);
  const auto dialog = session.waitForBox(kStandardResistorsTitle);
  check(dialog.has_value(), "standard resistors: the dialog comes up");
  if (!dialog) return;
  check(dialog->text.starts_with("Nearest pairs for VOUTmax 12.000 V to VOUTmin 10.000 V"),
        "standard resistors: the heading says \"" + dialog->text + "\"");
  HWND table = FindWindowExW(dialog->window, nullptr, WC_LISTVIEWW, nullptr);
  check(ListView_GetNextItem(table, -1, LVNI_SELECTED) == 0,
        "standard resistors: the first row is selected");
  session.answer(*dialog, IDOK);
  const PlainNumberText numbers;
  const StandardPair best = nearestStandardPairs({18, 10000, 12, 10}).front();
  checkText(session, txtR1, numbers.general(best.r1), "the first standard pair");
  checkText(session, txtR2, numbers.general(best.r2), "the first standard pair");
  checkText(session, txtVoutMax, numbers.fixed(best.voutMax, 3), "the first standard pair");
  closeAndExpect(session, 0);
}

// Without ksthid.dll beside it (and none elsewhere), an error box and status 1; no window. A
// ksthid.dll in the folder the program is started from is not loaded either.
void libraryMissing(const Paths& paths) {
  const std::wstring programFolder = paths.program.substr(0, paths.program.find_last_of(L'\\'));
  const std::wstring folder = programFolder + L"\\without-library";
  const std::wstring alone = folder + L"\\qv6180eval.exe";
  const std::wstring current = programFolder + L"\\current-folder";
  const std::wstring planted = current + L"\\ksthid.dll";
  CreateDirectoryW(folder.c_str(), nullptr);
  CreateDirectoryW(current.c_str(), nullptr);
  CopyFileW(paths.program.c_str(), alone.c_str(), FALSE);
  CopyFileW((programFolder + L"\\ksthid.dll").c_str(), planted.c_str(), FALSE);
  WindowSession session(alone, {{L"KSTHID_SIMULATE", L"1"}}, current);
  const auto box = session.waitForBox("QV6180");
  check(box && box->text.find("ksthid cannot be loaded") != std::string::npos,
        "without the library: a box says it cannot be loaded, though one lies in the current "
        "folder");
  check(FindWindowW(kMainWindowClass, nullptr) == nullptr ||
            !IsWindowVisible(FindWindowW(kMainWindowClass, nullptr)),
        "without the library: no window");
  if (box) session.answer(*box, IDOK);
  check(session.waitForExit() == 1u, "without the library: status 1");
  DeleteFileW(alone.c_str());
  RemoveDirectoryW(folder.c_str());
  DeleteFileW(planted.c_str());
  RemoveDirectoryW(current.c_str());
}

// The installed program, started from its folder: the full window with its pictures.
void installed(const Paths& paths) {
  WindowSession session(paths.program, {{L"KSTHID_SIMULATE", L"1"}});
  if (!startWindow(session)) return;
  checkFullLayout(session);
  closeAndExpect(session, 0);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::printf("usage: qv6180eval_driver PROGRAM TRACE_FILE [CASE...]\n");
    return 2;
  }
  const Paths paths{windowsPath(argv[1]), windowsPath(argv[2]), narrow(windowsPath(argv[2]))};
  std::vector<DriverCase> cases{
      {"with_board", withBoard},
      {"without_board", withoutBoard},
      {"unplugged_during_send", unpluggedDuringSend},
      {"boards_come_and_go", boardsComeAndGo},
      {"standard_resistors", standardResistors},
      {"library_missing", libraryMissing},
      {"pictures_at_192_dpi", picturesAtTwiceTheResolution},
      {"installed", installed},
  };
  const std::vector<DriverCase> textFit = textFitCases();
  cases.insert(cases.end(), textFit.begin(), textFit.end());
  for (const auto& [name, run] : cases) {
    // Run only when named: the installed program, and the sessions at a resolution (screen.h).
    bool chosen = argc == 3 && name != "installed" && name != "pictures_at_192_dpi" &&
                  !name.starts_with("text_fits");
    for (int i = 3; i < argc; ++i) chosen = chosen || name == argv[i];
    if (!chosen) continue;
    const int before = failureCount();
    run(paths);
    std::printf("%s %s\n", failureCount() == before ? "ok" : "FAILED", name.c_str());
    std::fflush(stdout);
  }
  return failureCount() == 0 ? 0 : 1;
}
