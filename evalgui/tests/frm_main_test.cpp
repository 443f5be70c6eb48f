#include "frm_main_fixture.h"

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
    QCOMPARE(window.find<QWidget>("Image1").geometry(), twips.rect(5280, 360, 5145, 3660));
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
    QCOMPARE(window.find<QWidget>("imgKestroLogo").y(), twips.y(3840));
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
