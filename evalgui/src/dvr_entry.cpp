#include "dvr_entry.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QValidator>

#include <algorithm>
#include <cmath>
#include <limits>

#include "divider_formulas.h"

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

// The field shows three digits, as for a 10-bit register.
constexpr std::uint8_t kDvrDigitsWidth = 10;
// A caret after the second digit lets a third one be typed at once.
constexpr int kHexCaretPosition = 2;

constexpr char16_t kEnter = 13;
constexpr char16_t kBackspace = 8;

constexpr TwipsBox kLabelBox{0, 3000, 855, 255};
constexpr TwipsBox kFieldBox{960, 3000, 855, 285};
constexpr TwipsBox kFirstOptionBox{1920, 2880, 735, 255};
constexpr int kOptionSpacing = 240;

bool isDecimalDigit(char16_t key) {
  return key >= u'0' && key <= u'9';
}

int hexDigitValue(QChar c) {
  const char16_t code = c.unicode();
  if (isDecimalDigit(code)) return code - u'0';
  if (code >= u'A' && code <= u'F') return code - u'A' + 10;
  if (code >= u'a' && code <= u'f') return code - u'a' + 10;
  return -1;
}

int leadingHexValue(QStringView text) {
  int value = 0;
  for (QChar c : text.trimmed()) {
    const int digit = hexDigitValue(c);
    if (digit < 0) break;
    if (value > (kIntMax - digit) / 16) return kIntMax;
    value = value * 16 + digit;
  }
  return value;
}

int nearestInt(double value) {
  // The default floating-point rounding mode rounds halves to even.
  const double rounded = std::nearbyint(value);
  if (rounded >= kIntMax) return kIntMax;
  if (rounded <= kIntMin) return kIntMin;
  return static_cast<int>(rounded);
}

// Hexadecimal texts have no sign, so a value below 0 is written as 000.
QString dvrText(int value, bool hexMode) {
  if (!hexMode) return QString::number(value);
  return formatHex(static_cast<std::int16_t>(std::clamp(value, 0, 0x7FFF)), kDvrDigitsWidth);
}

int stepOfKey(int key) {
  switch (key) {
    case Qt::Key_Up:
      return 1;
    case Qt::Key_Down:
      return -1;
    case Qt::Key_PageUp:
      return 16;
    case Qt::Key_PageDown:
      return -16;
    default:
      return 0;
  }
}

// Refuses text that is not hexadecimal, such as a paste, leaving the field as it was; typed
// characters have already passed the typing filter.
class HexText final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& /*pos*/) const override {
    for (QChar& c : input) {
      const char16_t digit = filterHexKey(c.unicode());
      if (!QChar(digit).isLetterOrNumber()) return Invalid;
      c = QChar(digit);
    }
    return Acceptable;
  }
};

}  // namespace

int readDvrValue(QStringView text, bool hexMode, const LocaleNumbers& numbers) {
  return hexMode ? leadingHexValue(text) : nearestInt(numbers.leadingValue(text));
}

QString formatHex(std::int16_t value, std::uint8_t width) {
  const QString digits = QString::number(static_cast<std::uint16_t>(value), 16).toUpper();
  switch (width) {
    case 10:
      if (value > 0x3FF) return QStringLiteral("3FF");
      if (value < 0x10) return QStringLiteral("00") + digits;
      if (value < 0x100) return u'0' + digits;
      return digits;
    case 8:
      if (value > 0xFF) return QStringLiteral("FF");
      if (value < 0x10) return u'0' + digits;
      return digits;
    default:
      return {};
  }
}

char16_t filterHexKey(char16_t key) {
  const char16_t upper = (key >= u'a' && key <= u'f') ? key - u'a' + u'A' : key;
  if (upper == kEnter || upper == kBackspace || isDecimalDigit(upper)) return upper;
  return (upper >= u'A' && upper <= u'F') ? upper : 0;
}

char16_t filterDecimalKey(char16_t key) {
  return (key == kEnter || key == kBackspace || isDecimalDigit(key)) ? key : 0;
}

std::optional<QString> dvrTextCorrection(QStringView text, bool hexMode,
                                         const LocaleNumbers& numbers) {
  const bool holdsNumber = hexMode ? !text.isEmpty() : numbers.parse(text).has_value();
  if (!holdsNumber) return QStringLiteral("0");
  const int value = readDvrValue(text, hexMode, numbers);
  if (value > kHighestDvr) return dvrText(kHighestDvr, hexMode);
  if (value < 0) return dvrText(0, hexMode);
  return std::nullopt;
}

QString steppedDvrText(QStringView text, bool hexMode, int step, const LocaleNumbers& numbers) {
  return dvrText(readDvrValue(text, hexMode, numbers) + step, hexMode);
}

QString convertedDvrText(QStringView text, bool toHex, const LocaleNumbers& numbers) {
  return dvrText(readDvrValue(text, !toHex, numbers), toHex);
}

DvrEntry::DvrEntry(QWidget& frame, const Twips& twips, const LocaleNumbers& numbers)
    : QObject(&frame), numbers_(numbers), hexText_(new HexText(this)) {
  lblDVR2_ = new QLabel(&frame);
  lblDVR2_->setObjectName(QStringLiteral("lblDVR2"));
  lblDVR2_->setToolTip(QStringLiteral("DVR setting"));
  lblDVR2_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  twips.place(*lblDVR2_, kLabelBox);
  showNotation(hexMode_);
  buildField(frame, twips);
  buildOptions(frame, twips);
}

void DvrEntry::buildField(QWidget& frame, const Twips& twips) {
  for (std::size_t i = 0; i < txtTest_.size(); ++i) {
    auto* field = new QLineEdit(QStringLiteral("0"), &frame);
    field->setObjectName(QStringLiteral("txtTest"));
    field->setToolTip(QStringLiteral("Type in a Number or use Up/Down and Page Up/Down keys"));
    field->setValidator(hexText_);
    twips.place(*field, kFieldBox);
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this,
            [this, i] { txtTest_Change(static_cast<int>(i)); });
    txtTest_[i] = field;
  }
}

void DvrEntry::buildOptions(QWidget& frame, const Twips& twips) {
  const std::array captions{QStringLiteral("HEX"), QStringLiteral("DEC")};
  const std::array tips{QStringLiteral("Value in Hexadecimal"), QStringLiteral("Value in Decimal")};
  for (std::size_t i = 0; i < opDisplayMode_.size(); ++i) {
    auto* option = new QRadioButton(captions[i], &frame);
    option->setObjectName(QStringLiteral("opDisplayMode_%1").arg(i));
    option->setToolTip(tips[i]);
    TwipsBox box = kFirstOptionBox;
    box.top += kOptionSpacing * static_cast<int>(i);
    twips.place(*option, box);
    opDisplayMode_[i] = option;
  }
  opDisplayMode_[0]->setChecked(true);
  for (std::size_t i = 0; i < opDisplayMode_.size(); ++i) {
    connect(opDisplayMode_[i], &QRadioButton::toggled, this, [this, i](bool selected) {
      if (selected) opDisplayMode_Click(static_cast<int>(i));
    });
  }
}

QRadioButton& DvrEntry::option(int index) const {
  return *opDisplayMode_[static_cast<std::size_t>(index)];
}

void DvrEntry::initDvrFields() {
  for (QLineEdit* field : txtTest_) {
    field->setAlignment(Qt::AlignCenter);
    field->setText(QStringLiteral("00"));
  }
}

int DvrEntry::value() const {
  return readDvrValue(field().text(), hexMode_, numbers_);
}

void DvrEntry::showNotation(bool hexMode) {
  lblDVR2_->setText(hexMode ? QStringLiteral("DVR (hex)") : QStringLiteral("DVR (dec)"));
}

// The key goes on to the field afterwards, Enter included.
void DvrEntry::handleDvrKey(int index, int key) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    emit calculationRequested();
    return;
  }
  const int step = stepOfKey(key);
  if (step == 0) return;
  QLineEdit& field = *txtTest_[static_cast<std::size_t>(index)];
  field.setText(steppedDvrText(field.text(), hexMode_, step, numbers_));
  emit calculationRequested();
}

// txtTest_KeyDown steps the value, then txtTest_KeyPress filters what the key types.
bool DvrEntry::eventFilter(QObject* watched, QEvent* event) {
  const auto element = std::find(txtTest_.begin(), txtTest_.end(), watched);
  if (element == txtTest_.end() || event->type() != QEvent::KeyPress) {
    return QObject::eventFilter(watched, event);
  }
  const int index = static_cast<int>(element - txtTest_.begin());
  const auto& key = static_cast<const QKeyEvent&>(*event);
  handleDvrKey(index, key.key());
  return txtTest_KeyPress(index, key);
}

// Runs again for each text it sets, before going on, so that every text it leaves passes.
void DvrEntry::txtTest_Change(int index) {
  QLineEdit& field = *txtTest_[static_cast<std::size_t>(index)];
  if (const auto corrected = dvrTextCorrection(field.text(), hexMode_, numbers_)) {
    field.setText(*corrected);
    return;
  }
  if (hexMode_) {
    field.setCursorPosition(
        static_cast<int>(std::min<qsizetype>(kHexCaretPosition, field.text().size())));
  }
}

// True when the key has been dealt with and the field must not see it. Shortcuts and keys that
// type nothing are left to the field.
bool DvrEntry::txtTest_KeyPress(int index, const QKeyEvent& event) {
  const QString typed = event.text();
  if (typed.size() != 1 || !typed[0].isPrint() ||
      (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    return false;
  }
  const char16_t character = typed[0].unicode();
  const char16_t kept = hexMode_ ? filterHexKey(character) : filterDecimalKey(character);
  if (kept == character) return false;
  if (kept != 0) txtTest_[static_cast<std::size_t>(index)]->insert(QString(QChar(kept)));
  return true;
}

// Runs when the selection moves to the other button, so the text is always read in the
// notation it was written in.
void DvrEntry::opDisplayMode_Click(int /*index*/) {
  hexMode_ = opDisplayMode_[0]->isChecked();
  for (QLineEdit* field : txtTest_) {
    field->setValidator(hexMode_ ? hexText_ : nullptr);
    field->setText(convertedDvrText(field->text(), hexMode_, numbers_));
  }
  showNotation(hexMode_);
}
