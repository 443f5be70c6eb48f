#pragma once

// The Qt window over a fake library and fake boxes, and what its tests measure of it.
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
inline QStringList calls(const FakeBridgeLibrary& library) {
  QStringList made;
  for (const std::string& call : library.calls) made.append(QString::fromStdString(call));
  return made;
}

// The window over a fake library and fake boxes, shown and active.
struct Window {
  explicit Window(std::int16_t boards = 1) {
    library.findBoards(boards);
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

inline int textWidth(const QWidget& widget, const QString& text) {
  return widget.fontMetrics().horizontalAdvance(text);
}

// The room that a control leaves for its text.
inline QRect textRoom(QWidget& control) {
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

inline bool isRed(const QLineEdit& field) {
  return field.palette().color(QPalette::Text) == QColor(255, 0, 0);
}

inline QString shownText(QWidget& control) {
  if (auto* button = qobject_cast<QAbstractButton*>(&control)) return button->text();
  if (auto* edit = qobject_cast<QLineEdit*>(&control)) return edit->text();
  if (auto* label = qobject_cast<QLabel*>(&control)) return label->text();
  return {};
}

}  // namespace
