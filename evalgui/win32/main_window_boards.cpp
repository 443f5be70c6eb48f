// The main window's boards: the status line that says which board the device buttons address,
// File > Board to choose another, and the news of boards that come and go.
#include "main_window.h"

#include <commctrl.h>

#include "control_ids.h"
#include "text_conversion.h"

namespace {

// An ampersand in a path or serial would mark an access key.
std::wstring menuText(const std::string& caption) {
  std::wstring text;
  for (wchar_t character : widen(caption)) {
    text += character;
    if (character == L'&') text += L'&';
  }
  return text;
}

}  // namespace

// File > Board comes first in the menu; the status line lies below the window's content.
void MainWindow::createBoardMenuAndStatus() {
  boardMenu_ = CreatePopupMenu();
  InsertMenuW(GetSubMenu(GetMenu(window_), 0), 0, MF_BYPOSITION | MF_POPUP | MF_GRAYED,
              reinterpret_cast<UINT_PTR>(boardMenu_), widen(kBoardMenuCaption).c_str());
  statusLine_ = CreateWindowExW(
      0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusLineId)), instance_, nullptr);
}

int MainWindow::statusLineHeight() const {
  if (!statusLine_) return 0;
  SendMessageW(statusLine_, WM_SIZE, 0, 0);
  RECT line;
  GetWindowRect(statusLine_, &line);
  return line.bottom - line.top;
}

void MainWindow::showBoardStatus(const std::string& text) {
  SetWindowTextW(statusLine_, widen(text).c_str());
}

// One board is in use at a time: the entries are shown as options.
void MainWindow::showBoardMenu(const std::vector<BoardMenuEntry>& entries, bool enabled) {
  while (GetMenuItemCount(boardMenu_) > 0) DeleteMenu(boardMenu_, 0, MF_BYPOSITION);
  boardPaths_.clear();
  BoardMenuState state{0, 0, enabled};
  for (const BoardMenuEntry& entry : entries) {
    if (state.entries == kMenuBoardEntries) break;
    const int id = kMenuBoardFirstId + state.entries;
    AppendMenuW(boardMenu_, MF_STRING, id, menuText(entry.caption).c_str());
    if (entry.checked) {
      CheckMenuRadioItem(boardMenu_, id, id, id, MF_BYCOMMAND);
      state.checked = state.entries + 1;
    }
    boardPaths_.push_back(entry.path);
    ++state.entries;
  }
  EnableMenuItem(GetSubMenu(GetMenu(window_), 0), 0,
                 MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
  SetPropW(window_, kBoardMenuProperty,
           reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(packBoardMenu(state))));
}

// The entries are made anew as the rules follow the choice: the path is taken first.
bool MainWindow::boardCommand(int id) {
  const int entry = id - kMenuBoardFirstId;
  if (entry < 0 || entry >= static_cast<int>(boardPaths_.size())) return false;
  const std::string path = boardPaths_[static_cast<std::size_t>(entry)];
  rules_.mnuBoard_Click(path);
  return true;
}

// From the board watch's thread, which the rules stop before the window goes (Form_Unload).
void MainWindow::postBoardsChanged() {
  PostMessageW(window_, kBoardsChanged, 0, 0);
}
