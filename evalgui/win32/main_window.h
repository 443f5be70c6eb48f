#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "eval_window.h"
#include "progress_button.h"
#include "wheel_hook.h"
#include "window_view.h"

// The window frmMain on Win32: the controls of the layout table as child windows of one top-level
// window, placed in twips converted at the monitor's resolution and placed again when it changes.
// Events go to the window rules; what they decide comes back through WindowView.
class MainWindow final : public WindowView {
 public:
  // With `boards` the window has a status line that says which board the device buttons
  // address, and File > Board to choose another, and follows the boards as they come and go.
  MainWindow(HINSTANCE instance, BridgeLibrary& library, MessageBoxes& boxes,
             const NumberText& numbers, BoardDirectory* boards = nullptr);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls, hidden. False when Windows refuses.
  bool create();
  HWND handle() const { return window_; }
  EvalWindow& rules() { return rules_; }
  // Shows the window and serves it until it closes; the program's exit status.
  int run(int showCommand);

  std::string text(Control control) const override;
  void setText(Control control, const std::string& text) override;
  void setCaret(Control control, std::size_t position) override;
  void setTextColour(Control control, FieldColour colour) override;
  void setToolTip(Control control, const std::string& tip) override;
  void setTop(Control control, int topTwips) override;
  void setHeight(Control control, int heightTwips) override;
  void setWindowOuterHeight(int heightTwips) override;
  void hide(Control control) override;
  void show(Control control) override;
  void setWindowDesignHeight() override;
  void showBoardStatus(const std::string& text) override;
  void showBoardMenu(const std::vector<BoardMenuEntry>& entries, bool enabled) override;
  void setFocus(Control control) override;
  void hookMouseWheel() override;
  void unhookMouseWheel() override;
  void showProgress(Control button, int level) override;
  void hideProgress(Control button) override;
  void closeWindow() override;
  void postBoardsChanged() override;

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK textBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT textBoxMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT dvrEntryMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

  // Posted by the board watch's thread.
  static constexpr UINT kBoardsChanged = WM_APP + 2;

  void createMenu();
  void createBoardMenuAndStatus();
  // The status line's height, in pixels, once it has taken the height its font needs; 0 without.
  int statusLineHeight() const;
  bool boardCommand(int id);
  void createControl(const ControlDesign& design);
  void addToolTip(const ControlDesign& design);
  void stackControls();
  void useResolution(UINT dpi);
  void drawPictures();
  void placeWindow();
  void place(Control control);
  void command(int id, int code);
  void mnuStandardResistors_Click();
  LRESULT textBoxColours(HDC dc, HWND box);

  int pixels(int twips) const;
  HWND handleOf(Control control) const { return handles_.at(control); }
  std::optional<Control> controlOf(HWND child) const;

  HINSTANCE instance_;
  const NumberText& numbers_;
  BoardDirectory* const boards_;
  HWND window_ = nullptr;
  HWND toolTips_ = nullptr;
  UINT dpi_ = 96;
  HFONT font_ = nullptr;
  std::map<Control, HWND> handles_;
  // Where each control stands now, as the table and the rules have placed it.
  std::map<Control, TwipsBox> boxes_;
  std::map<Control, HBITMAP> pictures_;
  std::map<Control, COLORREF> textColours_;
  std::optional<int> outerHeightTwips_;
  std::unique_ptr<ProgressButton> sendButton_;
  HWND statusLine_ = nullptr;
  HMENU boardMenu_ = nullptr;
  // The path of each entry of File > Board.
  std::vector<std::string> boardPaths_;
  WheelHook wheel_;
  EvalWindow rules_;
};
