// The window following boards that come and go: two virtual boards (KSTHID_SIMULATE=2), pulled
// out and plugged in during the run through the library's test hooks, while the window watches
// the library's hot-plug monitor. The slots run in order, over one window, as the library keeps
// its boards for the whole process.
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest/QtTest>

#include "fake_message_boxes.h"
#include "frm_main.h"
#include "ksthid_api.h"
#include "ksthid_library.h"
#include "qt_test_main.h"

namespace {

constexpr auto kFirst = "sim:0";
constexpr auto kSecond = "sim:1";
constexpr auto kConnectionBox = "Please check USB connection.\r\ncheckStatus";

// A virtual board as the library's own interface sees it, beside the window's HIDnumbers.
class BoardProbe {
 public:
  explicit BoardProbe(const char* path) {
    if (ksthid_open(path, &board_) != 0) qFatal("cannot open %s", path);
  }
  ~BoardProbe() { ksthid_close(board_); }
  BoardProbe(const BoardProbe&) = delete;
  BoardProbe& operator=(const BoardProbe&) = delete;

  int leds() {
    std::uint8_t leds = 0xFF;
    ksthid_leds_read(board_, &leds);
    return leds;
  }
  int gpioValues() {
    std::uint16_t values = 0xFFFF;
    ksthid_gpio_read(board_, &values);
    return values;
  }
  void clearGpioValues() { ksthid_gpio_write(board_, 0); }

 private:
  ksthid_board* board_ = nullptr;
};

}  // namespace

class BoardNoticeTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QLocale::setDefault(QLocale(QLocale::English));
    if (qEnvironmentVariableIntValue("KSTHID_SIMULATE") != 2) QSKIP("needs KSTHID_SIMULATE=2");
    ksthid_virtual_unplug(kFirst);
    ksthid_virtual_unplug(kSecond);
    frmMain_ = std::make_unique<FrmMain>(library_, boxes_, &library_);
    QVERIFY(frmMain_->Form_Load());
    frmMain_->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmMain_.get()));
  }

  void calculatorOnlyUntilABoardComes() {
    QCOMPARE(status(), QStringLiteral("No board: plug one in"));
    QVERIFY(!sendButton().isVisible());
    QVERIFY(!boardMenu().isEnabled());
    const Twips twips(*frmMain_);
    QCOMPARE(frmMain_->height(), menuHeight() + twips.y(4350) + statusHeight());

    ksthid_virtual_plug_in(kSecond);
    QTRY_VERIFY(sendButton().isVisible());
    QCOMPARE(status(), QStringLiteral("Board sim:1 (serial VB100002, firmware 1.0)"));
    QVERIFY(findChild<QPushButton>("cmdWrite").isVisible());
    QCOMPARE(findChild<QGroupBox>("fraCalculator").geometry(), twips.rect(120, 120, 4935, 4215));
    QCOMPARE(findChild<QWidget>("imgKestroLogo").y(), twips.y(4440));
    QCOMPARE(frmMain_->centralWidget()->height(), twips.y(4950));
    QCOMPARE(frmMain_->height(), menuHeight() + twips.y(4950) + statusHeight());
    BoardProbe board(kSecond);
    QCOMPARE(board.leds(), 1);
    QCOMPARE(board.gpioValues(), 0x50);  // parked
    QVERIFY(!boardMenu().isEnabled());
  }

  // Each choice lights the board's indicator, and the buttons address it. sim:1, pulled out and
  // plugged in again while not in use, is listed last but keeps its HIDnumber 0 in the library.
  void chosenBoardLightsAndTakesTheButtons_data() {
    QTest::addColumn<QString>("plugged");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("a second board comes")
        << kFirst << kFirst
        << QStringList({"sim:1 (serial VB100002) *", "sim:0 (serial VB100001)"});
    QTest::newRow("the other one goes and comes back")
        << kSecond << kSecond
        << QStringList({"sim:0 (serial VB100001) *", "sim:1 (serial VB100002)"});
  }
  void chosenBoardLightsAndTakesTheButtons() {
    QFETCH(QString, plugged);
    QFETCH(QString, chosen);
    QFETCH(QStringList, entries);
    if (boardMenu().isEnabled()) {
      ksthid_virtual_unplug(qPrintable(plugged));
      QTRY_VERIFY(!boardMenu().isEnabled());
    }
    ksthid_virtual_plug_in(qPrintable(plugged));
    QTRY_VERIFY(boardMenu().isEnabled());
    QCOMPARE(menuEntries(), entries);

    choose(chosen);
    QVERIFY(status().startsWith(QStringLiteral("Board ") + chosen + QStringLiteral(" (serial")));
    const QString other = chosen == kFirst ? kSecond : kFirst;
    BoardProbe inUse(qPrintable(chosen));
    BoardProbe notInUse(qPrintable(other));
    QCOMPARE(inUse.leds(), 1);
    QCOMPARE(notInUse.leds(), 0);
    storeLeavesTheOtherAlone(inUse, notInUse);
  }

  // The buttons stay, so that the library's box tells of the board gone at the next press. Its
  // Retry connects again inside the library, which the window then follows.
  void boardInUsePulledOutAndBack_data() {
    QTest::addColumn<BoxAnswer>("answer");
    QTest::newRow("cancel") << BoxAnswer::Cancel;
    QTest::newRow("retry") << BoxAnswer::Retry;
  }
  void boardInUsePulledOutAndBack() {
    QFETCH(BoxAnswer, answer);
    ksthid_virtual_unplug(kSecond);
    QTRY_COMPARE(status(),
                 QStringLiteral("Board sim:1 (serial VB100002) pulled out: plug it back in"));
    QVERIFY(sendButton().isVisible());
    QVERIFY(!boardMenu().isEnabled());
    boxes_.answers = {answer};
    QTest::mouseClick(&findChild<QPushButton>("cmdWrite"), Qt::LeftButton);
    QCOMPARE(boxes_.texts().constFirst(), QLatin1String(kConnectionBox));
    boxes_.shown.clear();

    ksthid_virtual_plug_in(kSecond);
    QTRY_COMPARE(status(), QStringLiteral("Board sim:1 (serial VB100002, firmware 1.0)"));
    BoardProbe inUse(kSecond);
    BoardProbe notInUse(kFirst);
    QCOMPARE(inUse.leds(), 1);
    storeLeavesTheOtherAlone(inUse, notInUse);
  }

  // With QV6180_SCREENSHOT=FILE: the window with File > Board open, menus painted over it where
  // they stand on the screen.
  void screenshotWithTheBoardMenuOpen() {
    const QString file = qEnvironmentVariable("QV6180_SCREENSHOT");
    if (file.isEmpty()) QSKIP("needs QV6180_SCREENSHOT");
    auto& file_menu = findChild<QMenu>(kFileMenuName);
    file_menu.popup(frmMain_->menuBar()->mapToGlobal(
        frmMain_->menuBar()->actionGeometry(file_menu.menuAction()).bottomLeft()));
    QVERIFY(QTest::qWaitForWindowExposed(&file_menu));
    file_menu.setActiveAction(boardMenu().menuAction());
    boardMenu().popup(
        file_menu.mapToGlobal(file_menu.actionGeometry(boardMenu().menuAction()).topRight()));
    QVERIFY(QTest::qWaitForWindowExposed(&boardMenu()));
    boardMenu().setActiveAction(boardMenu().actions().constFirst());
    QPixmap shot = frmMain_->grab();
    QPainter painter(&shot);
    for (QMenu* menu : {&file_menu, &boardMenu()}) {
      painter.drawPixmap(frmMain_->mapFromGlobal(menu->pos()), menu->grab());
    }
    painter.end();
    QVERIFY(shot.save(file));
    boardMenu().hide();
    file_menu.hide();
  }

 private:
  template <typename Widget>
  Widget& findChild(const char* name) {
    auto* found = frmMain_->findChild<Widget*>(QLatin1String(name));
    if (!found) qFatal("no %s", name);
    return *found;
  }
  void choose(const QString& path) {
    for (QAction* entry : boardMenu().actions()) {
      if (entry->text().startsWith(path + u' ')) return entry->trigger();
    }
    QFAIL("no such board in File > Board");
  }
  // "Write EEPROM" ends with the lines at rest, on the board in use only.
  void storeLeavesTheOtherAlone(BoardProbe& inUse, BoardProbe& notInUse) {
    inUse.clearGpioValues();
    notInUse.clearGpioValues();
    QTest::mouseClick(&findChild<QPushButton>("cmdWrite"), Qt::LeftButton);
    QCOMPARE(inUse.gpioValues(), 0x50);
    QCOMPARE(notInUse.gpioValues(), 0);
    QVERIFY(boxes_.shown.isEmpty());
  }
  QPushButton& sendButton() { return findChild<QPushButton>("cmdForceSend"); }
  QMenu& boardMenu() { return findChild<QMenu>("mnuBoard"); }
  QString status() { return findChild<QLabel>("boardStatus").text(); }
  int statusHeight() { return frmMain_->statusBar()->height(); }
  int menuHeight() { return frmMain_->menuBar()->height(); }
  // Each entry's text, " *" after the checked one.
  QStringList menuEntries() {
    QStringList entries;
    for (const QAction* entry : boardMenu().actions()) {
      entries.append(entry->text() + (entry->isChecked() ? QStringLiteral(" *") : QString()));
    }
    return entries;
  }

  FakeMessageBoxes boxes_;
  KsthidLibrary library_{boxes_, KsthidLibrary::defaultFileNames()};
  std::unique_ptr<FrmMain> frmMain_;
};

QV6180_TEST_MAIN(BoardNoticeTest)
#include "board_notice_test.moc"
