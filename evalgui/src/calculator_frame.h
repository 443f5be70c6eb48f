#pragma once

#include <QGroupBox>

#include <array>
#include <bitset>

#include "calculator_update.h"
#include "divider_model.h"
#include "dvr_entry.h"
#include "locale_numbers.h"
#include "message_boxes.h"
#include "standard_resistors.h"
#include "twips.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The frame fraCalculator: the calculator's fields, captions, scale and "Calculate" button, and the
// DVR entry. It runs the two calculations over what its controls hold and carries out the updates
// they return, showing their messages in the program's boxes.
class CalculatorFrame final : public QGroupBox {
  Q_OBJECT

 public:
  CalculatorFrame(QWidget& client, const Twips& twips, MessageBoxes& boxes);

  void updateResistorsFromRange();
  void updateRangeFromResistors();
  bool numberIsNotValid(const QString& text) const { return model_.numberIsNotValid(text); }

  // The range that AVDD, Rset, VOUTmax and VOUTmin hold; a text that holds no number gives a
  // range that no resistors give.
  WantedRange wantedRange() const;
  // Writes the resistors into R1 and R2 and works out the range they give.
  void useResistors(double r1, double r2);

  DvrEntry& dvrEntry() { return *dvrEntry_; }
  QLineEdit& field(CalculatorField which) const;
  QPushButton& calculateButton() const { return *cmdCalculate_; }

 signals:
  // The focus left an editable field for another control of the window.
  void fieldLeft(CalculatorField field);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildScale();
  void buildCaptions();
  void buildFields();
  void buildCalculateButton();

  double fieldNumber(CalculatorField which) const;
  CalculatorInputs inputs() const;
  void apply(const CalculatorUpdates& updates);
  void apply(const ShowMessage& step);
  void apply(const WriteField& step);
  void apply(const ColourField& step);
  void apply(const MarkNotComputed& step);
  void apply(const ShowDvrNotation& step);
  void apply(const MoveReadout& step);
  void setTextColour(QLineEdit& field, FieldColour colour);

  const Twips twips_;
  MessageBoxes& boxes_;
  const LocaleNumbers numbers_;
  const DividerModel model_;
  std::array<QLineEdit*, kCalculatorFieldCount> fields_{};
  // Fields whose text is left from an earlier calculation.
  std::bitset<kCalculatorFieldCount> notComputed_;
  QLabel* lblVCOM_ = nullptr;
  QWidget* line4_ = nullptr;
  QPushButton* cmdCalculate_ = nullptr;
  DvrEntry* dvrEntry_ = nullptr;
};
