#include "frm_main.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include "busy_window.h"
#include "standard_resistors_dialog.h"

namespace {

const auto kAppTitle = QStringLiteral("QV6180");
const auto kSendCaption = QStringLiteral("Send Value to Register");
const auto kRangeOrResistors = QStringLiteral(
    "Yes, Update Output Voltage Range from Resistor Values.\r\n"
    "No, Update Resistor Values from Voltage Range instead.");

constexpr TwipsBox kClientArea{0, 0, 10710, 4950};
constexpr TwipsBox kHelpButton{4560, 4440, 375, 375};
constexpr TwipsBox kLogo{720, 4440, 3465, 405};
constexpr TwipsBox kSchematicOutline{5160, 240, 5415, 3975};
constexpr TwipsBox kSchematic{5280, 360, 5145, 3660};
constexpr TwipsBox kSchematicTopStrip{7800, 360, 615, 135};
// Within the calculator frame.
constexpr TwipsBox kSendButton{360, 3480, 2055, 495};
constexpr TwipsBox kWriteButton{2760, 3480, 1695, 495};

// Without the device buttons the window ends below the calculator.
constexpr int kCalculatorOnlyWindowHeight = 5000;
constexpr int kCalculatorOnlyFrameHeight = 3615;
constexpr int kCalculatorOnlyBottomRowTop = 3840;

}  // namespace

FrmMain::FrmMain(BridgeLibrary& library, MessageBoxes& boxes)
    : library_(library), boxes_(boxes), twips_(*this), counter_(library, hidNumber_) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Kestro QV6180 Evaluation Board Software"));
  setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
  // A small sans serif with the proportions of the classic dialog font, so that each caption
  // fits the box the layout gives it.
  QFont font(QStringList{QStringLiteral("Nimbus Sans"), QStringLiteral("Liberation Sans"),
                         QStringLiteral("Arial"), QStringLiteral("Helvetica")});
  font.setPointSizeF(7.5);
  setFont(font);
  buildMenu();

  auto* client = new QWidget(this);
  setCentralWidget(client);
  client->setFixedSize(twips_.x(kClientArea.width), twips_.y(kClientArea.height));
  fraCalculator_ = new CalculatorFrame(*client, twips_, boxes_);
  connect(fraCalculator_, &CalculatorFrame::fieldLeft, this, &FrmMain::calculatorField_LostFocus);

  btnHelp_ = new QPushButton(QStringLiteral("?"), client);
  btnHelp_->setObjectName(QStringLiteral("btnHelp"));
  btnHelp_->setToolTip(QStringLiteral("Operational Notes"));
  twips_.place(*btnHelp_, kHelpButton);
  connect(btnHelp_, &QPushButton::clicked, this, &FrmMain::btnHelp_Click);

  buildPictures(*client);
  buildDeviceButtons();
  setFocusOrder();
  setFixedSize(client->width(), menuBar()->sizeHint().height() + client->height());
}

void FrmMain::buildMenu() {
  QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
  mnuFile->setObjectName(QStringLiteral("mnuFile"));
  QAction* mnuStandardResistors = mnuFile->addAction(QStringLiteral("Standard resistors..."));
  mnuStandardResistors->setObjectName(QStringLiteral("mnuStandardResistors"));
  connect(mnuStandardResistors, &QAction::triggered, this, &FrmMain::mnuStandardResistors_Click);
  mnuFile->addSeparator();
  QAction* mnuExit = mnuFile->addAction(QStringLiteral("E&xit"));
  mnuExit->setObjectName(QStringLiteral("mnuExit"));
  connect(mnuExit, &QAction::triggered, this, &FrmMain::mnuExit_Click);
}

void FrmMain::buildPictures(QWidget& client) {
  imgKestroLogo_ = new QLabel(&client);
  imgKestroLogo_->setObjectName(QStringLiteral("imgKestroLogo"));
  imgKestroLogo_->setPixmap(QPixmap(QStringLiteral(":/logo.png")));
  imgKestroLogo_->setScaledContents(true);
  twips_.place(*imgKestroLogo_, kLogo);

  // Drawn in this order, each over the one before: the outline, the schematic, the white strip
  // along the schematic's top edge.
  auto* shape1 = new QFrame(&client);
  shape1->setObjectName(QStringLiteral("Shape1"));
  shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
  twips_.place(*shape1, kSchematicOutline);

  auto* image1 = new QLabel(&client);
  image1->setObjectName(QStringLiteral("Image1"));
  image1->setPixmap(QPixmap(QStringLiteral(":/schematic.png")));
  image1->setScaledContents(true);
  image1->setToolTip(QStringLiteral("Schematic of Operation"));
  twips_.place(*image1, kSchematic);

  auto* shape2 = new QWidget(&client);
  shape2->setObjectName(QStringLiteral("Shape2"));
  shape2->setAutoFillBackground(true);
  shape2->setPalette(QPalette(Qt::white, Qt::white));
  twips_.place(*shape2, kSchematicTopStrip);
}

void FrmMain::buildDeviceButtons() {
  cmdForceSend_ = new ProgressButton(kSendCaption, fraCalculator_);
  cmdForceSend_->setObjectName(QStringLiteral("cmdForceSend"));
  cmdForceSend_->setToolTip(QStringLiteral("Click to Send current value to Data Register"));
  twips_.place(*cmdForceSend_, kSendButton);
  connect(cmdForceSend_, &QPushButton::clicked, this, &FrmMain::cmdForceSend_Click);

  cmdWrite_ = new QPushButton(QStringLiteral("Write EEPROM"), fraCalculator_);
  cmdWrite_->setObjectName(QStringLiteral("cmdWrite"));
  cmdWrite_->setToolTip(
      QStringLiteral("Click to Program EEPROM with current Data Register contents"));
  twips_.place(*cmdWrite_, kWriteButton);
  connect(cmdWrite_, &QPushButton::clicked, this, &FrmMain::cmdWrite_Click);
}

void FrmMain::setFocusOrder() {
  using enum CalculatorField;
  CalculatorFrame& calculator = *fraCalculator_;
  DvrEntry& dvr = calculator.dvrEntry();
  const std::array<QWidget*, 16> order{&dvr.field(),
                                       &calculator.field(txtIOUT),
                                       &calculator.field(txtAVDD),
                                       &calculator.field(txtRSET),
                                       &calculator.field(txtR1),
                                       &calculator.field(txtR2),
                                       &calculator.field(txtVOUT),
                                       &calculator.field(txtVRSET),
                                       &calculator.field(txtVoutMax),
                                       &calculator.field(txtVOutMin),
                                       &calculator.calculateButton(),
                                       btnHelp_,
                                       &dvr.option(0),
                                       &dvr.option(1),
                                       cmdWrite_,
                                       cmdForceSend_};
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

bool FrmMain::Form_Load() {
  const auto boards = library_.connect();
  if (!boards) {
    boxes_.show({QString::fromStdString(library_.bindingError()), kAppTitle, BoxButtons::Ok,
                 BoxIcon::Critical});
    return false;
  }
  boardFound_ = *boards != 0;
  if (boardFound_) library_.indicateSelectedModule(hidNumber_);
  wheel_.hookMouseWheel(*this, [this](int rotation) { MouseWheelRolled(rotation); });
  fraCalculator_->dvrEntry().initDvrFields();
  fraCalculator_->updateRangeFromResistors();
  if (boardFound_) {
    counter_.park();
  } else {
    showCalculatorOnly();
  }
  fraCalculator_->dvrEntry().field().setFocus();
  return true;
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

void FrmMain::MouseWheelRolled(int rotation) {
  if (rotation > 0) fraCalculator_->dvrEntry().handleDvrKey(0, Qt::Key_Down);
  if (rotation < 0) fraCalculator_->dvrEntry().handleDvrKey(0, Qt::Key_Up);
}

void FrmMain::calculatorField_LostFocus(CalculatorField field) {
  using enum CalculatorField;
  switch (field) {
    case txtR1:
    case txtR2:
      fraCalculator_->updateRangeFromResistors();
      break;
    case txtVoutMax:
    case txtVOutMin:
      fraCalculator_->updateResistorsFromRange();
      break;
    case txtRSET:
      askWhichCalculation(QStringLiteral("Rset Changed - Update Range from Resistor Values?"));
      break;
    case txtAVDD:
      askWhichCalculation(QStringLiteral("AVDD Changed - Update Range from Resistor Values?"));
      break;
    default:
      break;
  }
}

void FrmMain::askWhichCalculation(const QString& title) {
  const MessageBoxRequest prompt{kRangeOrResistors, title, BoxButtons::YesNo, BoxIcon::Question,
                                 BoxAnswer::No};
  if (boxes_.show(prompt) == BoxAnswer::Yes) {
    fraCalculator_->updateRangeFromResistors();
  } else {
    fraCalculator_->updateResistorsFromRange();
  }
}

void FrmMain::cmdForceSend_Click() {
  cmdForceSend_->setText(QStringLiteral("Sending... Please Wait"));
  const int target = fraCalculator_->dvrEntry().value();
  showMessage(QStringLiteral("Click to Send"));
  const bool sent = sendWithProgress(target);
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

// The library's state belongs to this thread, so the train runs here; the window paints when the
// bar along the button grows, and takes no input until the train has ended.
bool FrmMain::sendWithProgress(int target) {
  BusyWindow busy(*this);
  const bool sent = counter_.send(target, [&](int done, int inAll) {
    if (cmdForceSend_->showProgress(done, inAll)) busy.paint();
  });
  cmdForceSend_->hideProgress();
  return sent;
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

// A chosen pair replaces R1 and R2, and the range follows from them.
void FrmMain::mnuStandardResistors_Click() {
  StandardResistorsDialog dialog(fraCalculator_->wantedRange(), QLocale(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (const auto pair = dialog.chosenPair()) fraCalculator_->useResistors(pair->r1, pair->r2);
}

void FrmMain::mnuExit_Click() {
  close();
}

// The wheel goes back to the controls; nothing else is undone, and no call reaches the board.
void FrmMain::closeEvent(QCloseEvent* event) {
  Form_Unload();
  QMainWindow::closeEvent(event);
}

void FrmMain::Form_Unload() {
  wheel_.unhookMouseWheel();
}

void FrmMain::showMessage(const QString& text) {
  boxes_.show({text});
}
