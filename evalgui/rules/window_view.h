#pragma once

// What the window rules (EvalWindow) ask of a front end: plain operations on the controls of
// the layout table, by Control. Texts are UTF-8; positions in twips within the control's parent.

#include <cstddef>
#include <string>

#include <vector>

#include "board_status.h"
#include "calculator_update.h"
#include "window_layout.h"

class WindowView {
 public:
  virtual ~WindowView() = default;

  // The text of a text box.
  virtual std::string text(Control control) const = 0;
  // The text of a text box, or the caption of a label or a button. A change of txtTest's text,
  // typed or set, goes to EvalWindow::txtTest_Change whenever the toolkit tells of it.
  virtual void setText(Control control, const std::string& text) = 0;
  // Puts the caret of a text box before the character at `position` (counted in characters).
  virtual void setCaret(Control control, std::size_t position) = 0;
  // ButtonText: the system's colour for button text; Red: pure red (255, 0, 0).
  virtual void setTextColour(Control control, FieldColour colour) = 0;
  // Lines of the tip are separated by "\n".
  virtual void setToolTip(Control control, const std::string& tip) = 0;
  // Moves a control up or down to this top; for a line, both of its ends to this y.
  virtual void setTop(Control control, int topTwips) = 0;
  virtual void setHeight(Control control, int heightTwips) = 0;
  // The window's outer height: caption bar, menu bar and borders included.
  virtual void setWindowOuterHeight(int heightTwips) = 0;
  virtual void hide(Control control) = 0;
  virtual void show(Control control) = 0;
  // The window's height as designed, after setWindowOuterHeight: the whole client area.
  virtual void setWindowDesignHeight() = 0;
  virtual void setFocus(Control control) = 0;

  // From hook to unhook, every turn of the mouse wheel over the window or any of its controls
  // that does not use the wheel itself goes to EvalWindow::MouseWheelRolled, and no further.
  virtual void hookMouseWheel() = 0;
  virtual void unhookMouseWheel() = 0;

  // A bar along the bottom edge inside the button, `level` of kProgressLevels of its width,
  // painted before this returns (the pulse train runs on the window's thread). Called only when
  // the level changes.
  virtual void showProgress(Control button, int level) = 0;
  virtual void hideProgress(Control button) = 0;

  // The line below the window's content that says which board the device buttons address.
  virtual void showBoardStatus(const std::string& text) = 0;
  // File > Board: one checkable entry per board, in order; the entry itself disabled when
  // `enabled` is false. Choosing an entry calls EvalWindow::mnuBoard_Click with its path.
  virtual void showBoardMenu(const std::vector<BoardMenuEntry>& entries, bool enabled) = 0;

  // From the board watch's own thread, each time a board came or went: has
  // EvalWindow::boardsChanged called on the window's thread, through its event loop.
  virtual void postBoardsChanged() = 0;

  // Closes the window, as its close box does; the front end then calls EvalWindow::Form_Unload.
  virtual void closeWindow() = 0;
};
