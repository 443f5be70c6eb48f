#include "progress_button.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

constexpr int kBarHeight = 3;

}  // namespace

bool ProgressButton::showProgress(int done, int inAll) {
  const int level =
      inAll > 0 ? static_cast<int>(static_cast<long long>(done) * kLevels / inAll) : 0;
  if (level_ == level) return false;
  level_ = level;
  update();
  return true;
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
