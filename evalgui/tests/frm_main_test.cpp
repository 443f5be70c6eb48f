#include "frm_main.h"

#include <QtTest/qtestspontaneevent.h>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <QtTest/QtTest>

#include <memory>

#include "fake_bridge_library.h"
#include "fake_message_boxes.h"
#include "ksthid_library.h"
#include "progress_button.h"
#include "qt_message_boxes.h"
#include "qt_test_main.h"
#include "standard_resistors_dialog.h"

namespace {

const std::string kAtRestValue = "value 50 00 #0";
const std::string kAtRestConfig = "config BF FF -1 #0";

// The library's calls so far, as the tests compare them.
QStringList calls(const FakeBridgeLibrary& library) {
  QStringList made;
  for (const std::string& call : library.calls) made.append(QString::fromStdString(call));
  return made;
}

// The window over a fake library and fake boxes, shown and active.
struct Window {
  explicit Window(std::int16_t boards = 1) {
    library.boards = boards;
    loaded = frmMain.Form_Load();
    frmMain.show();
    frmMain.activateWindow();
    if (!QTest::qWaitForWindowActive(&frmMain)) qFatal("the window does not become active");
  }

  template <typename Control>
  Control& find(const char* name) {
    auto* control = frmMain.findChild<Control*>(QLatin1String(name));
    if (!control) qFatal("no control %s", name);
    return *control;
  }
  QLineEdit& field(const char* name) { return find<QLineEdit>(name); }
  QLineEdit& dvr() { return field("txtTest"); }
  QString text(const char* name) { return field(name).text(); }

  // Moves the focus as the Tab key or a click would.
  void focus(const char* name) { find<QWidget>(name).setFocus(Qt::TabFocusReason); }

  // A wheel turn as the platform delivers it: to the control under the pointer, from where it
  // passes up to the parents that the control leaves it to.
  void roll(QWidget& under, int rotation, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF centre = QRectF(under.rect()).center();
    QWheelEvent wheel(centre, under.mapToGlobal(centre), QPoint(), QPoint(0, rotation),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    QApplication::instance()->notify(&under, &wheel);
  }

  Twips twips() const { return Twips(frmMain); }

  FakeBridgeLibrary library;
  FakeMessageBoxes boxes;
  FrmMain frmMain{library, boxes};
  bool loaded = false;
};

int textWidth(const QWidget& widget, const QString& text) {
  return widget.fontMetrics().horizontalAdvance(text);
}

// The room that a control leaves for its text.
QRect textRoom(QWidget& control) {
  if (auto* button = qobject_cast<QPushButton*>(&control)) {
    QStyleOptionButton option;
    option.initFrom(button);
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
  }
  if (auto* option = qobject_cast<QRadioButton*>(&control)) {
    QStyleOptionButton style;
    style.initFrom(option);
    return option->style()->subElementRect(QStyle::SE_RadioButtonContents, &style, option);
  }
  if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
    QStyleOptionFrame frame;
    frame.initFrom(edit);
    frame.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, edit);
    // The line edit keeps a margin of two pixels on either side of its text.
    return edit->style()
        ->subElementRect(QStyle::SE_LineEditContents, &frame, edit)
        .adjusted(2, 0, -2, 0);
  }
  return control.contentsRect();
}

// Counts the paint events of one widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
};

bool isRed(const QLineEdit& field) {
  return field.palette().color(QPalette::Text) == QColor(255, 0, 0);
}

QString shownText(QWidget& control) {
  if (auto* button = qobject_cast<QAbstractButton*>(&control)) return button->text();
  if (auto* edit = qobject_cast<QLineEdit*>(&control)) return edit->text();
  if (auto* label = qobject_cast<QLabel*>(&control)) return label->text();
  return {};
}

}  // namespace

class FrmMainTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::English)); }

  void fullLayoutWithABoard() {
    Window window;
    QVERIFY(window.loaded);
    QCOMPARE(
        calls(window.library),
        QStringList({QStringLiteral("connect"), QStringLiteral("indicate #0"),
                     QString::fromStdString(kAtRestValue), QString::fromStdString(kAtRestConfig)}));
    const Twips twips = window.twips();
    QCOMPARE(window.frmMain.windowTitle(),
             QStringLiteral("Kestro QV6180 Evaluation Board Software"));
    QCOMPARE(window.frmMain.centralWidget()->size(), twips.rect(0, 0, 10710, 4950).size());
    QCOMPARE(window.find<QGroupBox>("fraCalculator").geometry(), twips.rect(120, 120, 4935, 4215));
    QCOMPARE(window.find<QPushButton>("cmdForceSend").geometry(), twips.rect(360, 3480, 2055, 495));
    QCOMPARE(window.find<QLabel>("Image1").geometry(), twips.rect(5280, 360, 5145, 3660));
    QVERIFY(window.find<QPushButton>("cmdWrite").isVisible());
    QCOMPARE(window.dvr().text(), QStringLiteral("00"));
    QCOMPARE(window.find<QLabel>("lblDVR2").text(), QStringLiteral("DVR (hex)"));
    QVERIFY(window.find<QRadioButton>("opDisplayMode_0").isChecked());
    QCOMPARE(window.text("txtVoutMax"), QStringLiteral("11.002"));
    QCOMPARE(window.text("txtVOutMin"), QStringLiteral("9.637"));
    QCOMPARE(QApplication::focusWidget(), &window.dvr());
  }

  void calculatorOnlyWithoutABoard() {
    Window window(0);
    QVERIFY(window.loaded);
    QCOMPARE(calls(window.library), QStringList(QStringLiteral("connect")));
    const Twips twips = window.twips();
    // The client area ends as far below the logo row as the full layout's, 105 twips.
    QCOMPARE(window.frmMain.centralWidget()->height(), twips.y(3840 + 405 + 105));
    QVERIFY(!window.find<QPushButton>("cmdForceSend").isVisible());
    QVERIFY(!window.find<QPushButton>("cmdWrite").isVisible());
    QCOMPARE(window.find<QGroupBox>("fraCalculator").height(), twips.y(3615));
    QCOMPARE(window.find<QLabel>("imgKestroLogo").y(), twips.y(3840));
    QCOMPARE(window.find<QPushButton>("btnHelp").y(), twips.y(3840));
    QCOMPARE(window.text("txtVoutMax"), QStringLiteral("11.002"));
  }

  void everyTextFitsItsBox() {
    Window window;
    for (QWidget* control : window.frmMain.findChildren<QWidget*>()) {
      const QString text = shownText(*control);
      if (text.isEmpty()) continue;
      const QRect room = textRoom(*control);
      const QString what = control->objectName() + QStringLiteral(": ") + text;
      QVERIFY2(textWidth(*control, text) <= room.width(), qPrintable(what));
      QVERIFY2(control->fontMetrics().height() <= room.height(), qPrintable(what));
    }
    const QWidget& sending = window.find<QPushButton>("cmdForceSend");
    QVERIFY(textWidth(sending, QStringLiteral("Sending... Please Wait")) <=
            textRoom(window.find<QPushButton>("cmdForceSend")).width());
  }

  void helpShowsThreeLinesWithOk() {
    Window window;
    QTest::mouseClick(&window.find<QPushButton>("btnHelp"), Qt::LeftButton);
    QCOMPARE(window.boxes.shown.size(), 1);
    const ShownBox& help = window.boxes.shown.first();
    QCOMPARE(help.text.split(QStringLiteral("\r\n")),
             QStringList({QStringLiteral("EEPROM value is loaded to register on power-up."),
                          QStringLiteral("Please set CE pin to high to enable counter interface."),
                          QStringLiteral("Hover pointer over each field for explanations.")}));
    QCOMPARE(help.title, QStringLiteral("QV6180"));
    QCOMPARE(help.buttons, BoxButtons::Ok);
    QCOMPARE(help.icon, BoxIcon::None);
  }

  void typingIsFilteredAndBounded() {
    Window window;
    QLineEdit& dvr = window.dvr();
    dvr.selectAll();
    QTest::keyClicks(&dvr, QStringLiteral("ag-b"));
    QCOMPARE(dvr.text(), QStringLiteral("AB"));
    QTest::keyClick(&dvr, Qt::Key_End);
    QTest::keyClicks(&dvr, QStringLiteral("F"));
    QCOMPARE(dvr.text(), QStringLiteral("0FF"));
    dvr.selectAll();
    QTest::keyClick(&dvr, Qt::Key_Backspace);
    QCOMPARE(dvr.text(), QStringLiteral("0"));
    QCOMPARE(dvr.cursorPosition(), 1);

    QTest::mouseClick(&window.find<QRadioButton>("opDisplayMode_1"), Qt::LeftButton);
    dvr.selectAll();
    QTest::keyClicks(&dvr, QStringLiteral("2a-.5"));
    QCOMPARE(dvr.text(), QStringLiteral("25"));
    dvr.selectAll();
    QTest::keyClick(&dvr, Qt::Key_Backspace);
    QCOMPARE(dvr.text(), QStringLiteral("0"));
  }

  // Typing alone leaves the calculator as it is; Enter runs it without touching the text.
  void enterRecalculates() {
    Window window;
    QLineEdit& dvr = window.dvr();
    dvr.selectAll();
    QTest::keyClicks(&dvr, QStringLiteral("FF"));
    QCOMPARE(window.text("txtVOUT"), QStringLiteral("11.002"));
    QTest::keyClick(&dvr, Qt::Key_Return);
    QCOMPARE(dvr.text(), QStringLiteral("FF"));
    QCOMPARE(window.text("txtVOUT"), QStringLiteral("9.637"));
  }

  void pastedTextThatIsNotHexIsRefused() {
    Window window;
    QLineEdit& dvr = window.dvr();
    dvr.selectAll();
    QApplication::clipboard()->setText(QStringLiteral("1g"));
    dvr.paste();
    QCOMPARE(dvr.text(), QStringLiteral("00"));
    QApplication::clipboard()->setText(QStringLiteral("c8"));
    dvr.paste();
    QCOMPARE(dvr.text(), QStringLiteral("C8"));
  }

  void keysStepTheValueWithinItsRange() {
    Window window;
    QLineEdit& dvr = window.dvr();
    dvr.setText(QStringLiteral("0FF"));
    QTest::keyClick(&dvr, Qt::Key_Up);
    QCOMPARE(dvr.text(), QStringLiteral("0FF"));
    QCOMPARE(window.text("txtVOUT"), QStringLiteral("9.637"));
    QTest::keyClick(&dvr, Qt::Key_PageDown);
    QCOMPARE(dvr.text(), QStringLiteral("0EF"));
    dvr.setText(QStringLiteral("005"));
    QTest::keyClick(&dvr, Qt::Key_PageDown);
    QCOMPARE(dvr.text(), QStringLiteral("000"));
    QTest::keyClick(&dvr, Qt::Key_Down);
    QCOMPARE(dvr.text(), QStringLiteral("000"));

    QTest::mouseClick(&window.find<QRadioButton>("opDisplayMode_1"), Qt::LeftButton);
    QTest::keyClick(&dvr, Qt::Key_Down);
    QCOMPARE(dvr.text(), QStringLiteral("0"));
    QCOMPARE(window.text("txtVOUT"), QStringLiteral("11.002"));
    dvr.setText(QStringLiteral("250"));
    QTest::keyClick(&dvr, Qt::Key_PageUp);
    QCOMPARE(dvr.text(), QStringLiteral("255"));
  }

  void notationSwitchKeepsTheValue() {
    Window window;
    QLineEdit& dvr = window.dvr();
    auto& hex = window.find<QRadioButton>("opDisplayMode_0");
    auto& dec = window.find<QRadioButton>("opDisplayMode_1");
    dvr.setText(QStringLiteral("0FF"));
    QTest::mouseClick(&dec, Qt::LeftButton);
    QCOMPARE(dvr.text(), QStringLiteral("255"));
    QCOMPARE(window.find<QLabel>("lblDVR2").text(), QStringLiteral("DVR (dec)"));
    QTest::mouseClick(&dec, Qt::LeftButton);
    QCOMPARE(dvr.text(), QStringLiteral("255"));
    QTest::mouseClick(&hex, Qt::LeftButton);
    QCOMPARE(dvr.text(), QStringLiteral("0FF"));
    QTest::mouseClick(&dec, Qt::LeftButton);
    dvr.setText(QStringLiteral("11"));
    QTest::mouseClick(&hex, Qt::LeftButton);
    QCOMPARE(dvr.text(), QStringLiteral("00B"));
    QCOMPARE(window.find<QLabel>("lblDVR2").text(), QStringLiteral("DVR (hex)"));
  }

  void wheelStepsTheValueFromAnyControl() {
    Window window;
    QLineEdit& dvr = window.dvr();
    dvr.setText(QStringLiteral("010"));
    window.roll(window.field("txtAVDD"), 120);
    QCOMPARE(dvr.text(), QStringLiteral("00F"));
    window.roll(window.find<QLabel>("Image1"), -120, Qt::ControlModifier);
    window.roll(window.frmMain, -360, Qt::ShiftModifier);
    QCOMPARE(dvr.text(), QStringLiteral("011"));
    QCOMPARE(window.text("txtIOUT"), QStringLiteral("0.00001"));

    window.frmMain.close();
    window.roll(window.field("txtAVDD"), 120);
    QCOMPARE(dvr.text(), QStringLiteral("011"));
  }

  void leavingRsetAskedYesKeepsTheResistors() {
    Window window;
    window.focus("txtRSET");
    window.field("txtRSET").setText(QStringLiteral("20000"));
    window.boxes.answers = {BoxAnswer::Yes};
    window.focus("txtR1");
    QCOMPARE(window.boxes.shown.size(), 1);
    QCOMPARE(window.boxes.shown[0].title,
             QStringLiteral("Rset Changed - Update Range from Resistor Values?"));
    QCOMPARE(window.text("txtR1"), QStringLiteral("24900"));
    QCOMPARE(window.text("txtR2"), QStringLiteral("39200"));
    QCOMPARE(window.text("txtVoutMax"), QStringLiteral("11.005"));
    QCOMPARE(window.text("txtVOutMin"), QStringLiteral("10.323"));
  }

  void leavingRsetAskedNoKeepsTheRange() {
    Window window;
    window.focus("txtRSET");
    window.field("txtRSET").setText(QStringLiteral("20000"));
    window.boxes.answers = {BoxAnswer::No};
    window.focus("txtR1");
    QCOMPARE(window.text("txtVoutMax"), QStringLiteral("11.002"));
    QCOMPARE(window.text("txtVOutMin"), QStringLiteral("9.637"));
    QCOMPARE(window.text("txtR1"), QStringLiteral("49797.7"));
    QCOMPARE(window.text("txtR2"), QStringLiteral("78388.2"));
  }

  void tabbingFromAvddAsksWithNoAsDefault() {
    Window window;
    window.focus("txtAVDD");
    QTest::keyClick(&window.field("txtAVDD"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), &window.field("txtRSET"));
    QCOMPARE(window.boxes.shown.size(), 1);
    const ShownBox& prompt = window.boxes.shown[0];
    QCOMPARE(prompt.title, QStringLiteral("AVDD Changed - Update Range from Resistor Values?"));
    QCOMPARE(prompt.buttons, BoxButtons::YesNo);
    QCOMPARE(prompt.icon, BoxIcon::Question);
    QCOMPARE(prompt.defaultAnswer, BoxAnswer::No);
    QCOMPARE(window.text("txtR1"), QStringLiteral("24898.9"));
  }

  // Leaving VOUTmax works out the resistors; the click then works out the range from them.
  void calculateFromVoutMaxRunsBothCalculations() {
    Window window;
    window.focus("txtVoutMax");
    window.field("txtVoutMax").setText(QStringLiteral("12"));
    QTest::mouseClick(&window.find<QPushButton>("cmdCalculate"), Qt::LeftButton);
    QVERIFY(window.text("txtR1") != QStringLiteral("24900"));
    QCOMPARE(window.text("txtVoutMax"), QStringLiteral("12.000"));
    QCOMPARE(window.text("txtVOutMin"), QStringLiteral("9.637"));
  }

  void sendShowsItsCaptionWhileAsking() {
    Window window;
    auto& send = window.find<QPushButton>("cmdForceSend");
    QStringList captions;
    window.boxes.whileShown = [&](const MessageBoxRequest&) { captions.append(send.text()); };
    window.dvr().setText(QStringLiteral("0FE"));
    window.library.calls.clear();
    QTest::mouseClick(&send, Qt::LeftButton);
    QCOMPARE(window.boxes.texts(),
             QStringList({QStringLiteral("Click to Send"), QStringLiteral("Send Complete")}));
    QCOMPARE(captions, QStringList({QStringLiteral("Sending... Please Wait"),
                                    QStringLiteral("Send Value to Register")}));
    QCOMPARE(window.library.calls.size(), std::size_t{2 * 257 + 2 * 1});
  }

  // Halfway through the train the window has painted the growing bar, and a key, a click and a
  // close meant for the window are dropped.
  void sendPaintsProgressAndTakesNoInput() {
    Window window;
    auto& send = window.find<ProgressButton>("cmdForceSend");
    const PaintCounter counter(send);
    window.dvr().setText(QStringLiteral("0FE"));
    int paintsByHalfway = -1;
    std::optional<int> levelAtHalfway;
    window.library.duringGpioCall = [&] {
      if (window.library.calls.size() != 300) return;
      paintsByHalfway = counter.paints;
      levelAtHalfway = send.progressLevel();
      QTest::keyClick(&window.dvr(), Qt::Key_1);
      QTest::mouseClick(&window.find<QPushButton>("cmdWrite"), Qt::LeftButton);
      window.frmMain.close();
    };
    QTest::mouseClick(&send, Qt::LeftButton);
    QVERIFY(paintsByHalfway > 0);
    QVERIFY(levelAtHalfway > 0 && levelAtHalfway < ProgressButton::kLevels);
    QCOMPARE(send.progressLevel(), std::nullopt);
    QCOMPARE(window.dvr().text(), QStringLiteral("0FE"));
    QVERIFY(!calls(window.library).contains(QStringLiteral("value 70 00 #0")));
    QVERIFY(window.frmMain.isVisible());
    QCOMPARE(window.boxes.texts(),
             QStringList({QStringLiteral("Click to Send"), QStringLiteral("Send Complete")}));
  }

  // R1 = R2 = 0 leaves the range without a value: the texts stay, marked, until written again.
  void resultsWithoutAValueAreMarkedUntilWrittenAgain() {
    Window window;
    QLineEdit& voutMax = window.field("txtVoutMax");
    const QString tip = voutMax.toolTip();
    window.field("txtR1").setText(QStringLiteral("0"));
    window.field("txtR2").setText(QStringLiteral("0"));
    QTest::mouseClick(&window.find<QPushButton>("cmdCalculate"), Qt::LeftButton);
    QCOMPARE(window.boxes.texts(), QStringList(QStringLiteral("R1+R2 is less than 0?")));
    QCOMPARE(voutMax.text(), QStringLiteral("11.002"));
    QVERIFY(isRed(voutMax));
    QVERIFY(voutMax.toolTip().contains(QStringLiteral("Not computed: R1 + R2 is 0")));

    window.field("txtR1").setText(QStringLiteral("24900"));
    window.field("txtR2").setText(QStringLiteral("39200"));
    QTest::mouseClick(&window.find<QPushButton>("cmdCalculate"), Qt::LeftButton);
    QVERIFY(!isRed(voutMax));
    QCOMPARE(voutMax.toolTip(), tip);
  }

  // The longest title comes with the shortest text.
  void boxesAreWideEnoughForTheirTitles() {
    QtMessageBoxes boxes;
    for (const QString& title :
         {QStringLiteral("AVDD Changed - Update Range from Resistor Values?"),
          QStringLiteral("QV6180")}) {
      int width = 0;
      QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        width = box->width();
        box->close();
      });
      boxes.show({"Click to Send", title.toStdString()});
      QVERIFY2(width >= QtMessageBoxes::widthForTitle(title), qPrintable(title));
    }
  }

  void sendToABoardThatStopsAnsweringReportsTheFailure() {
    Window window;
    auto& send = window.find<QPushButton>("cmdForceSend");
    window.library.failingFromCall = static_cast<std::ptrdiff_t>(window.library.calls.size()) + 40;
    QTest::mouseClick(&send, Qt::LeftButton);
    QCOMPARE(window.boxes.shown.size(), 2);
    QVERIFY(!window.boxes.texts().contains(QStringLiteral("Send Complete")));
    QVERIFY(window.boxes.shown[1].text.startsWith(QStringLiteral("Sending failed")));
    QCOMPARE(window.boxes.shown[1].icon, BoxIcon::Critical);
    QCOMPARE(send.text(), QStringLiteral("Send Value to Register"));
  }

  void writeEepromIsSilentUnlessItFails() {
    Window window;
    window.library.calls.clear();
    QTest::mouseClick(&window.find<QPushButton>("cmdWrite"), Qt::LeftButton);
    QCOMPARE(calls(window.library),
             QStringList({QStringLiteral("value 70 00 #0"), QString::fromStdString(kAtRestValue)}));
    QVERIFY(window.boxes.shown.isEmpty());
    window.library.failingFromCall = 0;
    QTest::mouseClick(&window.find<QPushButton>("cmdWrite"), Qt::LeftButton);
    QCOMPARE(window.boxes.shown.size(), 1);
    QVERIFY(window.boxes.shown[0].text.startsWith(QStringLiteral("Writing the EEPROM failed")));
  }

  // The range 12 to 10 V: the best standard pair goes into R1 and R2, and the range follows.
  void chosenStandardPairReplacesTheResistors() {
    Window window;
    window.field("txtVoutMax").setText(QStringLiteral("12"));
    window.field("txtVOutMin").setText(QStringLiteral("10"));
    const StandardPair best = nearestStandardPairs({18, 10000, 12, 10}).front();
    auto choose = [&](bool accept) {
      QTimer::singleShot(0, [accept] {
        auto* dialog = qobject_cast<StandardResistorsDialog*>(QApplication::activeModalWidget());
        if (!dialog) qFatal("no standard resistors dialog");
        accept ? dialog->accept() : dialog->reject();
      });
      window.find<QAction>("mnuStandardResistors").trigger();
    };
    choose(false);
    QCOMPARE(window.text("txtR1"), QStringLiteral("24900"));
    choose(true);
    QCOMPARE(window.text("txtR1"), QString::number(best.r1));
    QCOMPARE(window.text("txtR2"), QString::number(best.r2));
    QCOMPARE(window.text("txtVoutMax"), QString::number(best.voutMax, 'f', 3));
    QCOMPARE(window.text("txtVOutMin"), QString::number(best.voutMin, 'f', 3));
  }

  void exitMakesNoLibraryCall() {
    Window window;
    const QStringList callsBefore = calls(window.library);
    window.frmMain.findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
    QVERIFY(!window.frmMain.isVisible());
    QCOMPARE(calls(window.library), callsBefore);
  }

  void missingLibraryEndsStartUpWithAnError() {
    FakeMessageBoxes boxes;
    KsthidLibrary library(boxes, {QStringLiteral("/nonexistent/ksthid")});
    FrmMain frmMain(library, boxes);
    QVERIFY(!frmMain.Form_Load());
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(boxes.shown[0].text.contains(QStringLiteral("ksthid")));
    QCOMPARE(boxes.shown[0].icon, BoxIcon::Critical);
    QVERIFY(!frmMain.isVisible());
  }

  void libraryWithoutConnectEndsStartUpWithAnError() {
    FakeMessageBoxes boxes;
    KsthidLibrary library(boxes,
                          {QCoreApplication::applicationDirPath() + QStringLiteral("/not_ksthid")});
    FrmMain frmMain(library, boxes);
    QVERIFY(!frmMain.Form_Load());
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(boxes.shown[0].text.contains(QStringLiteral("kstHID_connect")));
  }
};

QV6180_TEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
