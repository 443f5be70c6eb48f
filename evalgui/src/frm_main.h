#pragma once

#include <QMainWindow>

#include <cstdint>

#include "bridge_library.h"
#include "calculator_frame.h"
#include "counter_interface.h"
#include "message_boxes.h"
#include "mouse_wheel.h"
#include "progress_button.h"
#include "twips.h"

class QLabel;
class QPushButton;

// The evaluation program's window: the calculator frame with the DVR entry, the buttons that send
// the DVR value to the board's QV6180 and store it in its EEPROM, help, and the File menu.
// Controls and handlers are named as in the program's design (cmdForceSend, btnHelp_Click, ...)
// and laid out in twips.
class FrmMain final : public QMainWindow {
  Q_OBJECT

 public:
  FrmMain(BridgeLibrary& library, MessageBoxes& boxes);

  // Connects to the boards and prepares the window to be shown: the full layout for board 0 with
  // its counter interface at rest, or the calculator alone without a board. False, after an
  // error box, when the library cannot be used; the window must not be shown then.
  bool Form_Load();

  // The wheel steps the DVR value by one: down when turned away from the user (rotation above
  // 0), up when turned towards the user.
  void MouseWheelRolled(int rotation);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenu();
  void buildPictures(QWidget& client);
  void buildDeviceButtons();
  void setFocusOrder();
  void showCalculatorOnly();

  void calculatorField_LostFocus(CalculatorField field);
  void askWhichCalculation(const QString& title);
  void cmdForceSend_Click();
  bool sendWithProgress(int target);
  void cmdWrite_Click();
  void btnHelp_Click();
  void mnuStandardResistors_Click();
  void mnuExit_Click();
  void Form_Unload();
  void showMessage(const QString& text);

  BridgeLibrary& library_;
  MessageBoxes& boxes_;
  const Twips twips_;
  MouseWheel wheel_;
  // The board that every call addresses: always the first.
  const std::int16_t hidNumber_ = 0;
  CounterInterface counter_;
  bool boardFound_ = false;

  CalculatorFrame* fraCalculator_ = nullptr;
  ProgressButton* cmdForceSend_ = nullptr;
  QPushButton* cmdWrite_ = nullptr;
  QPushButton* btnHelp_ = nullptr;
  QLabel* imgKestroLogo_ = nullptr;
};
