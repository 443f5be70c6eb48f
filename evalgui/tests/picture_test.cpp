#include "frm_main_fixture.h"

// The window's pictures at a device pixel ratio of 2 (QT_SCALE_FACTOR=2): painted from their
// drawings at the screen's resolution, not scaled up from their design size.
class PictureTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }

  // A wire of the schematic 1.5 design pixels wide (y = 204, x from 32 to 56) covers three
  // device pixels, two of them fully: scaled up from 1x it would be two rows of three-quarter
  // grey, smeared.
  void theSchematicIsSharpAtTwiceItsSize() {
    Window window;
    QWidget& schematic = window.find<QWidget>("Image1");
    const QPixmap grab = schematic.grab();
    QCOMPARE(grab.devicePixelRatio(), 2.0);
    QCOMPARE(grab.size(), schematic.size() * 2);
    const QImage image = grab.toImage();
    for (int row : {407, 408}) {
      QVERIFY2(qGray(image.pixel(100, row)) < 16, qPrintable(QString::number(row)));
    }
    QCOMPARE(image.pixel(100, 402), qRgb(255, 255, 255));
  }

  // The logo lies on the window's grey, with no white box round its drawing. With
  // QV6180_SCREENSHOT=FILE the test saves the window as it looks at this scale.
  void theLogoHasTheWindowBehindIt() {
    Window window;
    const QString screenshot = qEnvironmentVariable("QV6180_SCREENSHOT");
    if (!screenshot.isEmpty()) window.frmMain.grab().save(screenshot);
    QWidget& logo = window.find<QWidget>("imgKestroLogo");
    const QImage image =
        window.frmMain.grab(QRect(logo.mapTo(&window.frmMain, QPoint()), logo.size())).toImage();
    QCOMPARE(image.size(), logo.size() * 2);
    const QRgb background = window.frmMain.palette().color(QPalette::Window).rgb();
    QVERIFY(background != qRgb(255, 255, 255));
    for (const QPoint corner : {QPoint(0, 0), QPoint(image.width() - 1, image.height() - 1)}) {
      QCOMPARE(image.pixel(corner), background);
    }
    // Inside the first stroke of the mark (design 13, 14): its blue.
    QCOMPARE(image.pixel(26, 28), qRgb(0x1b, 0x3f, 0x8b));
  }
};

QV6180_TEST_MAIN(PictureTest)
#include "picture_test.moc"
