#include "calculator_frame.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <limits>

#include "calculator_layout.h"

namespace {

using namespace calculator_layout;

constexpr TwipsBox kFrame{120, 120, 4935, 4215};

std::size_t indexOf(CalculatorField field) {
  return static_cast<std::size_t>(field);
}

// A focus change inside the window, as opposed to the window losing the focus to a box or menu.
bool focusMovedWithinWindow(const QFocusEvent& event) {
  return event.reason() != Qt::ActiveWindowFocusReason && event.reason() != Qt::PopupFocusReason;
}

}  // namespace

CalculatorFrame::CalculatorFrame(QWidget& client, const Twips& twips, MessageBoxes& boxes)
    : QGroupBox(QStringLiteral("Calculator"), &client), twips_(twips), boxes_(boxes) {
  setObjectName(QStringLiteral("fraCalculator"));
  twips_.place(*this, kFrame);
  // Lines first: the read-out and its label move over them.
  buildScale();
  buildCaptions();
  buildFields();
  buildCalculateButton();
  dvrEntry_ = new DvrEntry(*this, twips_, numbers_);
  connect(dvrEntry_, &DvrEntry::calculationRequested, this,
          &CalculatorFrame::updateResistorsFromRange);
}

QLineEdit& CalculatorFrame::field(CalculatorField which) const {
  return *fields_[indexOf(which)];
}

void CalculatorFrame::buildScale() {
  for (const ScaleLine& design : kScaleLines) {
    auto* line = new QWidget(this);
    line->setObjectName(QLatin1String(design.name));
    line->setAutoFillBackground(true);
    line->setPalette(QPalette(Qt::black, Qt::black));
    line->setGeometry(QRect(QPoint(twips_.x(design.x1), twips_.y(design.y1)),
                            QPoint(twips_.x(design.x2), twips_.y(design.y2))));
  }
  line4_ = findChild<QWidget*>(QStringLiteral("Line4"));
}

void CalculatorFrame::buildCaptions() {
  for (const Caption& caption : kCaptions) {
    auto* text = new QLabel(QLatin1String(caption.text), this);
    text->setObjectName(QLatin1String(caption.name));
    text->setToolTip(QLatin1String(caption.tip));
    twips_.place(*text, {caption.left, caption.top, caption.width, kLabelHeight});
  }
  lblVCOM_ = findChild<QLabel*>(QStringLiteral("lblVCOM"));
}

void CalculatorFrame::buildFields() {
  for (const NumberField& design : kNumberFields) {
    auto* field = new QLineEdit(QLatin1String(design.text), this);
    field->setObjectName(QLatin1String(design.name));
    field->setToolTip(QLatin1String(design.tip));
    field->setAlignment(Qt::AlignCenter);
    twips_.place(*field, design.box);
    if (design.locked) {
      field->setReadOnly(true);
      QPalette palette = field->palette();
      palette.setColor(QPalette::Base, palette.color(QPalette::Button));
      field->setPalette(palette);
    } else {
      field->installEventFilter(this);
    }
    fields_[indexOf(design.field)] = field;
  }
}

void CalculatorFrame::buildCalculateButton() {
  cmdCalculate_ = new QPushButton(QStringLiteral("Calculate"), this);
  cmdCalculate_->setObjectName(QStringLiteral("cmdCalculate"));
  cmdCalculate_->setToolTip(QStringLiteral("Update Numbers"));
  twips_.place(*cmdCalculate_, kCalculateButton);
  connect(cmdCalculate_, &QPushButton::clicked, this, &CalculatorFrame::updateRangeFromResistors);
}

bool CalculatorFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut &&
      focusMovedWithinWindow(static_cast<const QFocusEvent&>(*event))) {
    const auto left = std::find(fields_.begin(), fields_.end(), watched);
    if (left != fields_.end()) emit fieldLeft(static_cast<CalculatorField>(left - fields_.begin()));
  }
  return QGroupBox::eventFilter(watched, event);
}

void CalculatorFrame::updateResistorsFromRange() {
  apply(model_.updateResistorsFromRange(inputs()));
}

void CalculatorFrame::updateRangeFromResistors() {
  apply(model_.updateRangeFromResistors(inputs()));
}

WantedRange CalculatorFrame::wantedRange() const {
  using enum CalculatorField;
  return {.avdd = fieldNumber(txtAVDD),
          .rset = fieldNumber(txtRSET),
          .voutMax = fieldNumber(txtVoutMax),
          .voutMin = fieldNumber(txtVOutMin)};
}

void CalculatorFrame::useResistors(double r1, double r2) {
  field(CalculatorField::txtR1).setText(numbers_.general(r1));
  field(CalculatorField::txtR2).setText(numbers_.general(r2));
  updateRangeFromResistors();
}

double CalculatorFrame::fieldNumber(CalculatorField which) const {
  return numbers_.parse(field(which).text()).value_or(std::numeric_limits<double>::quiet_NaN());
}

CalculatorInputs CalculatorFrame::inputs() const {
  CalculatorInputs inputs{{}, dvrEntry_->value(), dvrEntry_->hexMode()};
  for (std::size_t i = 0; i < fields_.size(); ++i) inputs.texts[i] = fields_[i]->text();
  return inputs;
}

void CalculatorFrame::apply(const CalculatorUpdates& updates) {
  for (const CalculatorUpdate& update : updates) {
    std::visit([this](const auto& step) { apply(step); }, update);
  }
}

void CalculatorFrame::apply(const ShowMessage& step) {
  boxes_.show({step.text});
}

void CalculatorFrame::apply(const WriteField& step) {
  QLineEdit& written = field(step.field);
  written.setText(step.text);
  if (!notComputed_.test(indexOf(step.field))) return;
  notComputed_.reset(indexOf(step.field));
  written.setToolTip(QLatin1String(kNumberFields[indexOf(step.field)].tip));
  setTextColour(written, FieldColour::ButtonText);
}

void CalculatorFrame::apply(const ColourField& step) {
  setTextColour(field(step.field), step.colour);
}

void CalculatorFrame::apply(const MarkNotComputed& step) {
  notComputed_.set(indexOf(step.field));
  QLineEdit& marked = field(step.field);
  marked.setToolTip(QStringLiteral("%1\nNot computed: %2. This number is left from an earlier "
                                   "calculation.")
                        .arg(QLatin1String(kNumberFields[indexOf(step.field)].tip), step.reason));
  setTextColour(marked, FieldColour::Red);
}

void CalculatorFrame::apply(const ShowDvrNotation& step) {
  dvrEntry_->showNotation(step.hexMode);
}

void CalculatorFrame::apply(const MoveReadout& step) {
  QLineEdit& readout = field(CalculatorField::txtVOUT);
  readout.move(readout.x(), twips_.y(step.readoutTopTwips));
  lblVCOM_->move(lblVCOM_->x(), twips_.y(step.readoutTopTwips));
  line4_->move(line4_->x(), twips_.y(step.pointerYTwips));
}

void CalculatorFrame::setTextColour(QLineEdit& field, FieldColour colour) {
  QPalette palette = field.palette();
  palette.setColor(QPalette::Text, colour == FieldColour::Red
                                       ? QColor(255, 0, 0)
                                       : palette.color(QPalette::ButtonText));
  field.setPalette(palette);
}
