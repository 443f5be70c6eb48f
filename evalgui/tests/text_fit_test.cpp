#include "frm_main_fixture.h"
#include "longest_texts.h"

// Every caption of the layout and the longest text the calculator writes into each box fit their
// controls, measured in the window's font at the screen's scale: the suite runs once for each of
// 96, 120, 144 and 192 dpi (QT_SCALE_FACTOR 1, 1.25, 1.5 and 2, as Qt scales at those
// resolutions).
class TextFitTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    QCOMPARE(qApp->devicePixelRatio(), scale);
  }

  void everyCaptionAndLongestTextFits() {
    Window window;
    std::vector<std::pair<Control, QString>> texts;
    for (const ControlDesign& design : kControls) {
      if (*design.caption && design.kind != ControlKind::Picture) {
        texts.emplace_back(design.control, QString::fromUtf8(design.caption));
      }
    }
    for (const ShownText& longest : kLongestTexts) {
      texts.emplace_back(longest.control, QString::fromUtf8(longest.text));
    }
    for (const auto& [control, text] : texts) {
      QWidget& widget = window.find<QWidget>(designOf(control).name);
      const QString what = widget.objectName() + QStringLiteral(": ") + text;
      QVERIFY2(fits(widget, text), qPrintable(what));
    }
  }

 private:
  static bool fits(QWidget& widget, const QString& text) {
    const QFontMetricsF metrics(widget.font(), &widget);
    if (auto* frame = qobject_cast<QGroupBox*>(&widget)) {
      QStyleOptionGroupBox option;
      option.initFrom(frame);
      option.text = text;
      option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
      const QRect label = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                         QStyle::SC_GroupBoxLabel, frame);
      return label.left() + metrics.horizontalAdvance(text) <= frame->width() - 1;
    }
    const QRect room = textRoom(widget);
    return metrics.horizontalAdvance(text) <= room.width() && metrics.height() <= room.height();
  }
};

QV6180_TEST_MAIN(TextFitTest)
#include "text_fit_test.moc"
