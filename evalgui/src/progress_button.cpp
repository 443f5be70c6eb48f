#include "progress_button.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

constexpr int kBarHeight = 3;

}  // namespace

void ProgressButton::showLevel(int level) {
  level_ = level;
  update();
}

void ProgressButton::hideProgress() {
  if (!level_) return;
  level_.reset();
  update();
}

void ProgressButton::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  if (!level_) return;
  QStyleOptionButton option;
  initStyleOption(&option);
  const QRect inside = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  const int length = inside.width() * *level_ / kLevels;
  QPainter painter(this);
  painter.fillRect(inside.left(), inside.bottom() - kBarHeight + 1, length, kBarHeight,
                   palette().color(QPalette::Highlight));
}
