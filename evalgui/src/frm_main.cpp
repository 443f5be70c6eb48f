#include "frm_main.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>

#include <algorithm>

#include "dvr_text.h"
#include "dvr_value.h"

namespace {

using enum CalculatorField;

const auto kAppTitle = QStringLiteral("QV6180");
const auto kSendCaption = QStringLiteral("Send Value to Register");
const auto kRangeOrResistors = QStringLiteral(
    "Yes, Update Output Voltage Range from Resistor Values.\r\n"
    "No, Update Resistor Values from Voltage Range instead.");

// Positions and sizes in twips: left, top, width, height.
struct Box {
  int left;
  int top;
  int width;
  int height;
};

struct NumberField {
  CalculatorField field;
  const char* name;
  const char* text;
  Box box;
  const char* tip;
  bool locked;
};

// In the order of CalculatorField. Positions within the calculator frame.
constexpr std::array<NumberField, 9> kNumberFields{{
    {txtAVDD, "txtAVDD", "18", {840, 360, 975, 285}, "Value for Analog Supply Voltage", false},
    {txtRSET, "txtRSET", "10000", {840, 720, 975, 285}, "Value of Rset Resistor", false},
    {txtR1, "txtR1", "24900", {840, 1080, 975, 285}, "Value of Resistor R1", false},
    {txtR2, "txtR2", "39200", {840, 1440, 975, 285}, "Value of Resistor R2", false},
    {txtVoutMax,
     "txtVoutMax",
     "18",
     {3480, 360, 735, 285},
     "Value for desired Maximum Output Voltage",
     false},
    {txtVOutMin,
     "txtVOutMin",
     "18",
     {3480, 3000, 735, 285},
     "Value for desired Minimum Output Voltage",
     false},
    {txtVOUT, "txtVOUT", "0", {3960, 720, 855, 285}, "Value of VCOM Voltage", true},
    {txtIOUT, "txtIOUT", "0", {960, 2280, 855, 285}, "Value of Current drawn from Divider", true},
    {txtVRSET, "txtVRSET", "0", {960, 2640, 855, 285}, "Value of Vrset", true},
}};

struct Caption {
  const char* name;
  const char* text;
  int left;
  int top;
  int width;
  const char* tip;
};

constexpr int kLabelHeight = 255;
constexpr int kUnitWidth = 375;

// Captions and unit labels of the calculator, within its frame.
constexpr std::array<Caption, 17> kCaptions{{
    {"lblAVDD", "AVDD", 120, 360, 615, "Analog Power Supply"},
    {"lblRSET", "RSET", 120, 720, 615, "Value of Rset resistor"},
    {"lblR1", "R1", 120, 1080, 615, "Value of TOP resistor in Divider"},
    {"lblR2", "R2", 120, 1440, 615, "Value of BOTTOM resistor in Divider"},
    {"lblIOUT", "IOUT", 240, 2280, 615, "Current drawn from Divider"},
    {"lblVRSET", "VRSET", 240, 2640, 615, "Voltage at the top of resistor Rset"},
    {"lblVmax", "VOUTmax", 2640, 360, 735, "Maximum Vout"},
    {"lblVCOM", "VCOM", 2760, 720, 615, "Voltage at the Vcom node using current DVR value"},
    {"lblVoutMin", "VOUTmin", 2640, 3000, 735, "Minimum Vout"},
    {"Label1", "V", 1920, 360, kUnitWidth, "Units of Voltage"},
    {"Label2", "ohm", 1920, 720, kUnitWidth, "Units of Resistance"},
    {"Label3", "ohm", 1920, 1080, kUnitWidth, "Units of Resistance"},
    {"Label4", "ohm", 1920, 1440, kUnitWidth, "Units of Resistance"},
    {"Label7", "A", 1920, 2280, kUnitWidth, "Units of Current"},
    {"Label6", "V", 1920, 2640, kUnitWidth, "Units of Voltage"},
    {"lable5", "V", 4320, 360, kUnitWidth, "Units of Voltage"},
    {"Label5", "V", 4320, 3000, kUnitWidth, "Units of Voltage"},
}};

struct ScaleLine {
  const char* name;
  int x1;
  int y1;
  int x2;
  int y2;
};

// The scale that the VCOM read-out moves along; Line4 is its pointer.
constexpr std::array<ScaleLine, 4> kScaleLines{{
    {"Line1", 3600, 840, 4080, 840},
    {"Line3", 3840, 840, 3840, 2760},
    {"Line2", 3600, 2760, 4080, 2760},
    {"Line4", 3480, 840, 3840, 840},
}};

constexpr Box kClientArea{0, 0, 10710, 4950};
constexpr Box kCalculatorFrame{120, 120, 4935, 4215};
constexpr Box kHelpButton{4560, 4440, 375, 375};
constexpr Box kLogo{720, 4440, 3465, 405};

// Without the device buttons the window ends below the calculator.
constexpr int kCalculatorOnlyWindowHeight = 5000;
constexpr int kCalculatorOnlyFrameHeight = 3615;
constexpr int kCalculatorOnlyBottomRowTop = 3840;

// A caret after the second digit lets a third one be typed at once.
constexpr int kHexCaretPosition = 2;

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

bool focusMovedWithinWindow(const QFocusEvent& event) {
  return event.reason() != Qt::ActiveWindowFocusReason && event.reason() != Qt::PopupFocusReason;
}

}  // namespace

FrmMain::FrmMain(BridgeLibrary& library, MessageBoxes& boxes)
    : library_(library),
      boxes_(boxes),
      twips_(*this),
      model_(*this),
      counter_(library, hidNumber_) {
  buildWindow();
}

QLineEdit& FrmMain::field(CalculatorField which) const {
  return *fields_[static_cast<std::size_t>(which)];
}

bool FrmMain::load() {
  const auto boards = library_.connect();
  if (!boards) {
    boxes_.show({QString::fromStdString(library_.bindingError()), kAppTitle, BoxButtons::Ok,
                 BoxIcon::Critical});
    return false;
  }
  boardFound_ = *boards != 0;
  if (boardFound_) library_.indicateSelectedModule(hidNumber_);
  wheel_.hookMouseWheel(*this, [this](int rotation) { MouseWheelRolled(rotation); });
  initDvrFields();
  model_.updateRangeFromResistors();
  if (boardFound_) {
    counter_.park();
  } else {
    showCalculatorOnly();
  }
  txtTest_[0]->setFocus();
  return true;
}

void FrmMain::MouseWheelRolled(int rotation) {
  if (rotation > 0) handleDvrKey(0, Qt::Key_Down);
  if (rotation < 0) handleDvrKey(0, Qt::Key_Up);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
  const auto dvrField = std::find(txtTest_.begin(), txtTest_.end(), watched);
  if (dvrField != txtTest_.end() && event->type() == QEvent::KeyPress) {
    const int index = static_cast<int>(dvrField - txtTest_.begin());
    const auto& key = static_cast<const QKeyEvent&>(*event);
    handleDvrKey(index, key.key());
    return txtTest_KeyPress(index, key);
  }
  if (event->type() == QEvent::FocusOut &&
      focusMovedWithinWindow(static_cast<const QFocusEvent&>(*event))) {
    calculatorField_LostFocus(watched);
  }
  return QMainWindow::eventFilter(watched, event);
}

// The wheel goes back to the controls; nothing else is undone, and no call reaches the board.
void FrmMain::closeEvent(QCloseEvent* event) {
  wheel_.unhookMouseWheel();
  QMainWindow::closeEvent(event);
}

QString FrmMain::fieldText(CalculatorField which) const {
  return field(which).text();
}

void FrmMain::setFieldText(CalculatorField which, const QString& text) {
  field(which).setText(text);
}

void FrmMain::setFieldColour(CalculatorField which, FieldColour colour) {
  QLineEdit& edit = field(which);
  QPalette palette = edit.palette();
  palette.setColor(QPalette::Text, colour == FieldColour::Red
                                       ? QColor(255, 0, 0)
                                       : palette.color(QPalette::ButtonText));
  edit.setPalette(palette);
}

void FrmMain::setDvrCaption(const QString& caption) {
  lblDVR2_->setText(caption);
}

void FrmMain::moveReadout(int readoutTopTwips, int pointerYTwips) {
  QLineEdit& readout = field(txtVOUT);
  readout.move(readout.x(), twips_.y(readoutTopTwips));
  lblVCOM_->move(lblVCOM_->x(), twips_.y(readoutTopTwips));
  line4_->move(line4_->x(), twips_.y(pointerYTwips));
}

void FrmMain::showMessage(const QString& text) {
  boxes_.show({text});
}

QString FrmMain::dvrText() const {
  return txtTest_[0]->text();
}

void FrmMain::buildWindow() {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Kestro QV6180 Evaluation Board Software"));
  setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
  // A small sans serif with the proportions of the classic dialog font, so that each caption
  // fits the box the layout gives it.
  QFont font(QStringList{QStringLiteral("Nimbus Sans"), QStringLiteral("Liberation Sans"),
                         QStringLiteral("Arial"), QStringLiteral("Helvetica")});
  font.setPointSizeF(7.5);
  setFont(font);

  QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
  mnuFile->setObjectName(QStringLiteral("mnuFile"));
  QAction* mnuExit = mnuFile->addAction(QStringLiteral("E&xit"));
  mnuExit->setObjectName(QStringLiteral("mnuExit"));
  connect(mnuExit, &QAction::triggered, this, &QWidget::close);

  auto* client = new QWidget(this);
  setCentralWidget(client);
  client->setFixedSize(twips_.x(kClientArea.width), twips_.y(kClientArea.height));
  fraCalculator_ = new QGroupBox(QStringLiteral("Calculator"), client);
  fraCalculator_->setObjectName(QStringLiteral("fraCalculator"));
  place(*fraCalculator_, kCalculatorFrame.left, kCalculatorFrame.top, kCalculatorFrame.width,
        kCalculatorFrame.height);

  btnHelp_ = new QPushButton(QStringLiteral("?"), client);
  btnHelp_->setObjectName(QStringLiteral("btnHelp"));
  btnHelp_->setToolTip(QStringLiteral("Operational Notes"));
  place(*btnHelp_, kHelpButton.left, kHelpButton.top, kHelpButton.width, kHelpButton.height);
  connect(btnHelp_, &QPushButton::clicked, this, &FrmMain::btnHelp_Click);

  buildPictures(*client);
  buildCalculator();
  buildDvrEntry();
  buildDeviceButtons();
  setFocusOrder();
  setFixedSize(client->width(), menuBar()->sizeHint().height() + client->height());
}

void FrmMain::buildPictures(QWidget& client) {
  imgKestroLogo_ = new QLabel(&client);
  imgKestroLogo_->setObjectName(QStringLiteral("imgKestroLogo"));
  imgKestroLogo_->setPixmap(QPixmap(QStringLiteral(":/logo.png")));
  imgKestroLogo_->setScaledContents(true);
  place(*imgKestroLogo_, kLogo.left, kLogo.top, kLogo.width, kLogo.height);

  // Drawn in this order, each over the one before: the outline, the schematic, the white strip
  // along the schematic's top edge.
  auto* shape1 = new QFrame(&client);
  shape1->setObjectName(QStringLiteral("Shape1"));
  shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
  place(*shape1, 5160, 240, 5415, 3975);

  auto* image1 = new QLabel(&client);
  image1->setObjectName(QStringLiteral("Image1"));
  image1->setPixmap(QPixmap(QStringLiteral(":/schematic.png")));
  image1->setScaledContents(true);
  image1->setToolTip(QStringLiteral("Schematic of Operation"));
  place(*image1, 5280, 360, 5145, 3660);

  auto* shape2 = new QWidget(&client);
  shape2->setObjectName(QStringLiteral("Shape2"));
  shape2->setAutoFillBackground(true);
  shape2->setPalette(QPalette(Qt::white, Qt::white));
  place(*shape2, 7800, 360, 615, 135);
}

void FrmMain::buildCalculator() {
  // Lines first: the read-out and its label move over them.
  for (const ScaleLine& spec : kScaleLines) {
    auto* line = new QWidget(fraCalculator_);
    line->setObjectName(QLatin1String(spec.name));
    line->setAutoFillBackground(true);
    line->setPalette(QPalette(Qt::black, Qt::black));
    placeLine(*line, spec.x1, spec.y1, spec.x2, spec.y2);
  }
  line4_ = fraCalculator_->findChild<QWidget*>(QStringLiteral("Line4"));
  for (const Caption& caption : kCaptions) {
    QLabel& text = label(caption.name, QLatin1String(caption.text), QLatin1String(caption.tip));
    place(text, caption.left, caption.top, caption.width, kLabelHeight);
  }
  lblVCOM_ = fraCalculator_->findChild<QLabel*>(QStringLiteral("lblVCOM"));

  for (const NumberField& spec : kNumberFields) {
    auto* field = new QLineEdit(QLatin1String(spec.text), fraCalculator_);
    field->setObjectName(QLatin1String(spec.name));
    field->setToolTip(QLatin1String(spec.tip));
    field->setAlignment(Qt::AlignCenter);
    place(*field, spec.box.left, spec.box.top, spec.box.width, spec.box.height);
    if (spec.locked) {
      field->setReadOnly(true);
      QPalette palette = field->palette();
      palette.setColor(QPalette::Base, palette.color(QPalette::Button));
      field->setPalette(palette);
    } else {
      field->installEventFilter(this);
    }
    fields_[static_cast<std::size_t>(spec.field)] = field;
  }

  cmdCalculate_ = new QPushButton(QStringLiteral("Calculate"), fraCalculator_);
  cmdCalculate_->setObjectName(QStringLiteral("cmdCalculate"));
  cmdCalculate_->setToolTip(QStringLiteral("Update Numbers"));
  place(*cmdCalculate_, 360, 1800, 1455, 375);
  connect(cmdCalculate_, &QPushButton::clicked, this,
          [this] { model_.updateRangeFromResistors(); });
}

void FrmMain::buildDvrEntry() {
  lblDVR2_ = &label("lblDVR2", QStringLiteral("DVR (hex)"), QStringLiteral("DVR setting"));
  lblDVR2_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  place(*lblDVR2_, 0, 3000, 855, kLabelHeight);

  hexText_ = new HexText(this);
  for (std::size_t i = 0; i < txtTest_.size(); ++i) {
    auto* field = new QLineEdit(QStringLiteral("0"), fraCalculator_);
    field->setObjectName(QStringLiteral("txtTest"));
    field->setToolTip(QStringLiteral("Type in a Number or use Up/Down and Page Up/Down keys"));
    field->setValidator(hexText_);
    place(*field, 960, 3000, 855, 285);
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this,
            [this, i] { txtTest_Change(static_cast<int>(i)); });
    txtTest_[i] = field;
  }

  const std::array captions{QStringLiteral("HEX"), QStringLiteral("DEC")};
  const std::array tips{QStringLiteral("Value in Hexadecimal"), QStringLiteral("Value in Decimal")};
  for (std::size_t i = 0; i < opDisplayMode_.size(); ++i) {
    auto* option = new QRadioButton(captions[i], fraCalculator_);
    option->setObjectName(QStringLiteral("opDisplayMode_%1").arg(i));
    option->setToolTip(tips[i]);
    place(*option, 1920, 2880 + 240 * static_cast<int>(i), 735, 255);
    opDisplayMode_[i] = option;
  }
  opDisplayMode_[0]->setChecked(true);
  for (std::size_t i = 0; i < opDisplayMode_.size(); ++i) {
    connect(opDisplayMode_[i], &QRadioButton::toggled, this, [this, i](bool selected) {
      if (selected) opDisplayMode_Click(static_cast<int>(i));
    });
  }
}

void FrmMain::buildDeviceButtons() {
  cmdForceSend_ = new QPushButton(kSendCaption, fraCalculator_);
  cmdForceSend_->setObjectName(QStringLiteral("cmdForceSend"));
  cmdForceSend_->setToolTip(QStringLiteral("Click to Send current value to Data Register"));
  place(*cmdForceSend_, 360, 3480, 2055, 495);
  connect(cmdForceSend_, &QPushButton::clicked, this, &FrmMain::cmdForceSend_Click);

  cmdWrite_ = new QPushButton(QStringLiteral("Write EEPROM"), fraCalculator_);
  cmdWrite_->setObjectName(QStringLiteral("cmdWrite"));
  cmdWrite_->setToolTip(
      QStringLiteral("Click to Program EEPROM with current Data Register contents"));
  place(*cmdWrite_, 2760, 3480, 1695, 495);
  connect(cmdWrite_, &QPushButton::clicked, this, &FrmMain::cmdWrite_Click);
}

void FrmMain::setFocusOrder() {
  const std::array<QWidget*, 16> order{
      txtTest_[0],        &field(txtIOUT),    &field(txtAVDD), &field(txtRSET),
      &field(txtR1),      &field(txtR2),      &field(txtVOUT), &field(txtVRSET),
      &field(txtVoutMax), &field(txtVOutMin), cmdCalculate_,   btnHelp_,
      opDisplayMode_[0],  opDisplayMode_[1],  cmdWrite_,       cmdForceSend_};
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void FrmMain::place(QWidget& widget, int left, int top, int width, int height) const {
  widget.setGeometry(twips_.rect(left, top, width, height));
}

void FrmMain::placeLine(QWidget& line, int x1, int y1, int x2, int y2) const {
  line.setGeometry(QRect(QPoint(twips_.x(x1), twips_.y(y1)), QPoint(twips_.x(x2), twips_.y(y2))));
}

QLabel& FrmMain::label(const char* name, const QString& caption, const QString& tip) {
  auto* text = new QLabel(caption, fraCalculator_);
  text->setObjectName(QLatin1String(name));
  text->setToolTip(tip);
  return *text;
}

void FrmMain::initDvrFields() {
  for (QLineEdit* field : txtTest_) {
    field->setAlignment(Qt::AlignCenter);
    field->setText(QStringLiteral("00"));
  }
}

void FrmMain::showCalculatorOnly() {
  cmdForceSend_->hide();
  cmdWrite_->hide();
  const int windowHeight = twips_.y(kCalculatorOnlyWindowHeight);
  centralWidget()->setFixedHeight(windowHeight - menuBar()->sizeHint().height());
  setFixedHeight(windowHeight);
  fraCalculator_->resize(fraCalculator_->width(), twips_.y(kCalculatorOnlyFrameHeight));
  imgKestroLogo_->move(imgKestroLogo_->x(), twips_.y(kCalculatorOnlyBottomRowTop));
  btnHelp_->move(btnHelp_->x(), twips_.y(kCalculatorOnlyBottomRowTop));
}

// Runs again for each text it sets, before going on, so that every text it leaves passes.
void FrmMain::txtTest_Change(int index) {
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
bool FrmMain::txtTest_KeyPress(int index, const QKeyEvent& event) {
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

// The key goes on to the field afterwards, Enter included.
void FrmMain::handleDvrKey(int index, int key) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    model_.updateResistorsFromRange();
    return;
  }
  const int step = stepOfKey(key);
  if (step == 0) return;
  QLineEdit& field = *txtTest_[static_cast<std::size_t>(index)];
  field.setText(steppedDvrText(field.text(), hexMode_, step, numbers_));
  model_.updateResistorsFromRange();
}

// Runs when the selection moves to the other button, so the text is always read in the
// notation it was written in.
void FrmMain::opDisplayMode_Click(int /*index*/) {
  hexMode_ = opDisplayMode_[0]->isChecked();
  for (QLineEdit* field : txtTest_) {
    field->setValidator(hexMode_ ? hexText_ : nullptr);
    field->setText(convertedDvrText(field->text(), hexMode_, numbers_));
  }
  lblDVR2_->setText(hexMode_ ? QStringLiteral("DVR (hex)") : QStringLiteral("DVR (dec)"));
}

void FrmMain::calculatorField_LostFocus(QObject* left) {
  if (left == &field(txtR1) || left == &field(txtR2)) {
    model_.updateRangeFromResistors();
  } else if (left == &field(txtVoutMax) || left == &field(txtVOutMin)) {
    model_.updateResistorsFromRange();
  } else if (left == &field(txtRSET)) {
    askWhichCalculation(QStringLiteral("Rset Changed - Update Range from Resistor Values?"));
  } else if (left == &field(txtAVDD)) {
    askWhichCalculation(QStringLiteral("AVDD Changed - Update Range from Resistor Values?"));
  }
}

void FrmMain::askWhichCalculation(const QString& title) {
  const MessageBoxRequest prompt{kRangeOrResistors, title, BoxButtons::YesNo, BoxIcon::Question,
                                 BoxAnswer::No};
  if (boxes_.show(prompt) == BoxAnswer::Yes) {
    model_.updateRangeFromResistors();
  } else {
    model_.updateResistorsFromRange();
  }
}

void FrmMain::cmdForceSend_Click() {
  cmdForceSend_->setText(QStringLiteral("Sending... Please Wait"));
  const int target = readDvrValue(txtTest_[0]->text(), hexMode_, numbers_);
  showMessage(QStringLiteral("Click to Send"));
  const bool sent = counter_.send(target);
  cmdForceSend_->setText(kSendCaption);
  if (sent) {
    showMessage(QStringLiteral("Send Complete"));
    return;
  }
  boxes_.show({QStringLiteral("Sending failed: the board did not take a command.\r\n"
                              "The register's value is now unknown. Press \"%1\" again once "
                              "the board answers.")
                   .arg(kSendCaption),
               kAppTitle, BoxButtons::Ok, BoxIcon::Critical});
}

void FrmMain::cmdWrite_Click() {
  if (counter_.store()) return;
  boxes_.show({QStringLiteral("Writing the EEPROM failed: the board did not take a command.\r\n"
                              "Press \"Write EEPROM\" again once the board answers."),
               kAppTitle, BoxButtons::Ok, BoxIcon::Critical});
}

void FrmMain::btnHelp_Click() {
  showMessage(
      QStringLiteral("EEPROM value is loaded to register on power-up.\r\n"
                     "Please set CE pin to high to enable counter interface.\r\n"
                     "Hover pointer over each field for explanations."));
}
