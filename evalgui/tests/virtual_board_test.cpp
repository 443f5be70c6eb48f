// The window driving the real library, bound at run time, with the board that the environment
// gives it: a virtual board (KSTHID_SIMULATE=1) whose reports and chip are written to the packet
// trace KSTHID_TRACE, or none at all.
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QtTest>

#include "fake_message_boxes.h"
#include "frm_main.h"
#include "ksthid_library.h"
#include "progress_button.h"
#include "qt_test_main.h"

namespace {

// One line of the packet trace: "T W PATH HEX", "T R PATH HEX" or "T C PATH dvr=N eeprom=N".
struct TraceLine {
  QString kind;
  QString path;
  QString rest;
};

QList<TraceLine> readTrace(const QString& file) {
  QFile trace(file);
  if (!trace.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  QList<TraceLine> lines;
  while (!trace.atEnd()) {
    const QStringList parts = QString::fromLatin1(trace.readLine()).trimmed().split(u' ');
    if (parts.size() >= 4) lines.append({parts[1], parts[2], parts.mid(3).join(u' ')});
  }
  return lines;
}

// The GPIO reports written since line `from`, as "V10" (value 0x10) or "CFF" (configuration
// 0xFF): byte 1 of a report is its command (3 value, 2 configuration), byte 3 the first byte.
QStringList gpioWrites(const QList<TraceLine>& trace, qsizetype from) {
  QStringList writes;
  for (const TraceLine& line : trace.mid(from)) {
    if (line.kind != QStringLiteral("W")) continue;
    const QString command = line.rest.mid(2, 2);
    const QString first = line.rest.mid(6, 2).toUpper();
    if (command == QStringLiteral("03")) writes.append(u'V' + first);
    if (command == QStringLiteral("02")) writes.append(u'C' + first);
  }
  return writes;
}

QStringList repeated(const QStringList& step, int times) {
  QStringList calls;
  for (int i = 0; i < times; ++i) calls += step;
  return calls;
}

// About a third of a send to the middle of the range.
constexpr int kMidSendMs = 600;

QString lastChipState(const QList<TraceLine>& trace) {
  for (auto line = trace.crbegin(); line != trace.crend(); ++line) {
    if (line->kind == QStringLiteral("C")) return line->rest;
  }
  return {};
}

}  // namespace

class VirtualBoardTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QLocale::setDefault(QLocale(QLocale::English));
    tracePath_ = qEnvironmentVariable("KSTHID_TRACE");
    QFile::remove(tracePath_);
  }

  void startUpParksTheVirtualBoardsCounterInterface() {
    requireBoard();
    QElapsedTimer startUp;
    startUp.start();
    FrmMain& frmMain = window();
    frmMain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frmMain));
    qInfo("start-up to window shown: %lld ms", static_cast<long long>(startUp.elapsed()));
    QVERIFY(frmMain.findChild<QPushButton*>(QStringLiteral("cmdForceSend"))->isVisible());
    QCOMPARE(gpioWrites(readTrace(tracePath_), 0), QStringList({"V50", "CBF"}));
  }

  void sendA0ThenStoreIt() {
    requireBoard();
    FrmMain& frmMain = window();
    auto& dvr = *frmMain.findChild<QLineEdit*>(QStringLiteral("txtTest"));
    dvr.selectAll();
    QTest::keyClicks(&dvr, QStringLiteral("A0"));
    QTest::keyClick(&dvr, Qt::Key_Return);
    const qsizetype before = readTrace(tracePath_).size();
    QTest::mouseClick(frmMain.findChild<QPushButton*>(QStringLiteral("cmdForceSend")),
                      Qt::LeftButton);
    QCOMPARE(boxes_.texts().mid(boxes_.shown.size() - 2),
             QStringList({"Click to Send", "Send Complete"}));
    QList<TraceLine> trace = readTrace(tracePath_);
    QCOMPARE(gpioWrites(trace, before),
             repeated({"V10", "V50"}, 257) + repeated({"CFF", "CBF"}, 95));
    QCOMPARE(lastChipState(trace), QStringLiteral("dvr=160 eeprom=0"));

    QTest::mouseClick(frmMain.findChild<QPushButton*>(QStringLiteral("cmdWrite")), Qt::LeftButton);
    const qsizetype sent = trace.size();
    trace = readTrace(tracePath_);
    QCOMPARE(gpioWrites(trace, sent), QStringList({"V70", "V50"}));
    QCOMPARE(lastChipState(trace), QStringLiteral("dvr=160 eeprom=160"));
  }

  // Reported, not judged: the floor is one millisecond per report on the virtual board.
  void measureAFullSend() {
    requireBoard();
    FrmMain& frmMain = window();
    auto& dvr = *frmMain.findChild<QLineEdit*>(QStringLiteral("txtTest"));
    dvr.setText(QStringLiteral("080"));
    QElapsedTimer send;
    send.start();
    QTest::mouseClick(frmMain.findChild<QPushButton*>(QStringLiteral("cmdForceSend")),
                      Qt::LeftButton);
    const qint64 elapsed = send.elapsed();
    const int reports = 2 * 257 + 2 * 127;
    qInfo("send to 128: %lld ms for %d reports (floor %d ms)", static_cast<long long>(elapsed),
          reports, reports);
    QVERIFY(lastChipState(readTrace(tracePath_)).startsWith(QStringLiteral("dvr=128 ")));
  }

  // A timer that runs out part of the way through the train finds the bar drawn part of the way.
  // With QV6180_SCREENSHOT=FILE it saves the window as it looks then.
  void windowPaintsProgressDuringASend() {
    requireBoard();
    FrmMain& frmMain = window();
    auto& dvr = *frmMain.findChild<QLineEdit*>(QStringLiteral("txtTest"));
    dvr.setText(QStringLiteral("07F"));
    QTest::keyClick(&dvr, Qt::Key_Return);
    auto& send = *frmMain.findChild<ProgressButton*>(QStringLiteral("cmdForceSend"));
    std::optional<int> levelMidway;
    QTimer::singleShot(kMidSendMs, [&] {
      levelMidway = send.progressLevel();
      const QString screenshot = qEnvironmentVariable("QV6180_SCREENSHOT");
      if (!screenshot.isEmpty()) frmMain.grab().save(screenshot);
    });
    QTest::mouseClick(&send, Qt::LeftButton);
    QVERIFY(levelMidway > 0 && levelMidway < ProgressButton::kLevels);
  }

  // The board is pulled out part of the way through the up-steps.
  void sendToABoardThatIsPulledOut() {
    if (qEnvironmentVariable("KSTHID_SIMULATE_UNPLUG_AFTER").isEmpty())
      QSKIP("needs KSTHID_SIMULATE_UNPLUG_AFTER");
    requireBoard();
    FrmMain& frmMain = window();
    auto& dvr = *frmMain.findChild<QLineEdit*>(QStringLiteral("txtTest"));
    dvr.setText(QStringLiteral("0A0"));
    auto& send = *frmMain.findChild<QPushButton*>(QStringLiteral("cmdForceSend"));
    QTest::mouseClick(&send, Qt::LeftButton);

    const QStringList texts = boxes_.texts();
    QVERIFY(!texts.contains(QStringLiteral("Send Complete")));
    QVERIFY(texts.contains(QStringLiteral("Please check USB connection.\r\ncheckStatus")));
    QVERIFY(texts.last().startsWith(QStringLiteral("Sending failed")));
    QCOMPARE(send.text(), QStringLiteral("Send Value to Register"));
    const QStringList writes = gpioWrites(readTrace(tracePath_), 0);
    QVERIFY(writes.size() < 2 + 2 * 257);  // the train stopped at the first refused call
  }

  void calculatorOnlyWithoutABoard() {
    if (qEnvironmentVariableIntValue("KSTHID_SIMULATE") > 0) QSKIP("a virtual board is attached");
    FrmMain& frmMain = window();
    QVERIFY(!frmMain.findChild<QPushButton*>(QStringLiteral("cmdForceSend"))->isVisible());
    QCOMPARE(frmMain.findChild<QGroupBox*>(QStringLiteral("fraCalculator"))->height(),
             Twips(frmMain).y(3615));
    QVERIFY(boxes_.shown.isEmpty());
  }

 private:
  void requireBoard() {
    if (qEnvironmentVariableIntValue("KSTHID_SIMULATE") != 1 || tracePath_.isEmpty())
      QSKIP("needs KSTHID_SIMULATE=1 and KSTHID_TRACE");
  }

  // One window for the whole run, as the library keeps its boards for the whole process.
  FrmMain& window() {
    if (!frmMain_) {
      frmMain_ = std::make_unique<FrmMain>(library_, boxes_);
      if (!frmMain_->Form_Load()) qFatal("%s", library_.bindingError().c_str());
    }
    return *frmMain_;
  }

  QString tracePath_;
  FakeMessageBoxes boxes_;
  KsthidLibrary library_{boxes_, KsthidLibrary::defaultFileNames()};
  std::unique_ptr<FrmMain> frmMain_;
};

QV6180_TEST_MAIN(VirtualBoardTest)
#include "virtual_board_test.moc"
