#pragma once

#include <QMainWindow>

#include <array>
#include <cstdint>

#include "bridge_library.h"
#include "calculator_view.h"
#include "counter_interface.h"
#include "divider_model.h"
#include "locale_numbers.h"
#include "message_boxes.h"
#include "mouse_wheel.h"
#include "twips.h"

class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QValidator;

// The evaluation program's window: the VCOM calculator, the DVR entry field with its notation,
// and the buttons that send the DVR value to the board's QV6180 and store it in its EEPROM.
// Controls are named as in the program's design (txtTest, cmdForceSend, ...) and laid out in
// twips.
class FrmMain final : public QMainWindow, private CalculatorView {
  Q_OBJECT

 public:
  FrmMain(BridgeLibrary& library, MessageBoxes& boxes);

  // Connects to the boards and prepares the window to be shown: the full layout for board 0 with
  // its counter interface at rest, or the calculator alone without a board. False, after an
  // error box, when the library cannot be used; the window must not be shown then.
  bool load();

  // The wheel steps the DVR value by one: down when turned away from the user (rotation above
  // 0), up when turned towards the user.
  void MouseWheelRolled(int rotation);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QString fieldText(CalculatorField field) const override;
  void setFieldText(CalculatorField field, const QString& text) override;
  void setFieldColour(CalculatorField field, FieldColour colour) override;
  void setDvrCaption(const QString& caption) override;
  void moveReadout(int readoutTopTwips, int pointerYTwips) override;
  void showMessage(const QString& text) override;
  QString dvrText() const override;
  bool hexMode() const override { return hexMode_; }

  QLineEdit& field(CalculatorField which) const;
  void buildWindow();
  void buildPictures(QWidget& client);
  void buildCalculator();
  void buildDvrEntry();
  void buildDeviceButtons();
  void setFocusOrder();
  void place(QWidget& widget, int left, int top, int width, int height) const;
  void placeLine(QWidget& line, int x1, int y1, int x2, int y2) const;
  QLabel& label(const char* name, const QString& caption, const QString& tip);

  void initDvrFields();
  void showCalculatorOnly();

  void txtTest_Change(int index);
  bool txtTest_KeyPress(int index, const QKeyEvent& event);
  void handleDvrKey(int index, int key);
  void opDisplayMode_Click(int index);
  void calculatorField_LostFocus(QObject* left);
  void askWhichCalculation(const QString& title);
  void cmdForceSend_Click();
  void cmdWrite_Click();
  void btnHelp_Click();

  BridgeLibrary& library_;
  MessageBoxes& boxes_;
  const Twips twips_;
  const LocaleNumbers numbers_;
  DividerModel model_;
  MouseWheel wheel_;
  // The board that every call addresses: always the first.
  const std::int16_t hidNumber_ = 0;
  CounterInterface counter_;
  bool boardFound_ = false;
  bool hexMode_ = true;

  QGroupBox* fraCalculator_ = nullptr;
  std::array<QLineEdit*, 9> fields_{};
  QLabel* lblVCOM_ = nullptr;
  QWidget* line4_ = nullptr;
  QLabel* lblDVR2_ = nullptr;
  std::array<QLineEdit*, 1> txtTest_{};
  std::array<QRadioButton*, 2> opDisplayMode_{};
  QValidator* hexText_ = nullptr;
  QPushButton* cmdCalculate_ = nullptr;
  QPushButton* cmdForceSend_ = nullptr;
  QPushButton* cmdWrite_ = nullptr;
  QPushButton* btnHelp_ = nullptr;
  QLabel* imgKestroLogo_ = nullptr;
};
