// qv6180eval.exe: the evaluation window for Windows.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "dll_search.h"
#include "ksthid_dll.h"
#include "main_window.h"
#include "pictures.h"
#include "plain_number_text.h"
#include "text_conversion.h"
#include "win32_message_boxes.h"

namespace {

// The user's decimal separator, from the regional settings.
std::string decimalSeparator() {
  wchar_t separator[8] = L".";
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
  return narrow(separator);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
  restrictDllSearch();
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  const GdiPlusSession gdiPlus;

  Win32MessageBoxes boxes;
  KsthidDll library(boxes);
  const PlainNumberText numbers(decimalSeparator());
  MainWindow window(instance, library, boxes, numbers, &library);
  if (!window.create()) return EXIT_FAILURE;
  boxes.setOwner(window.handle());
  if (!window.rules().Form_Load()) return EXIT_FAILURE;
  return window.run(showCommand);
}
