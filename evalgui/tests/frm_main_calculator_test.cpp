// The calculator and the DVR entry in the Qt window, worked by keys, clicks and the wheel.
#include "frm_main_fixture.h"

class FrmMainCalculatorTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::English)); }

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
    window.roll(window.find<QWidget>("Image1"), -120, Qt::ControlModifier);
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
};

QV6180_TEST_MAIN(FrmMainCalculatorTest)
#include "frm_main_calculator_test.moc"
