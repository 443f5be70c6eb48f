#include "picture_widget.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

QColor colourOf(const Rgb& rgb) {
  return QColor(rgb.red, rgb.green, rgb.blue);
}

QPointF pointOf(const DrawingPoint& point) {
  return QPointF(point.x, point.y);
}

QPen penOf(const Shape& shape) {
  if (!shape.stroke) return Qt::NoPen;
  return QPen(colourOf(*shape.stroke), shape.strokeWidth, Qt::SolidLine, Qt::FlatCap,
              Qt::MiterJoin);
}

QBrush brushOf(const Shape& shape) {
  return shape.fill ? QBrush(colourOf(*shape.fill)) : QBrush(Qt::NoBrush);
}

// The em is given in drawing units, which the painter's scale turns into pixels; Qt takes a
// fractional size in points only, at the device's logical resolution.
QFont fontOf(const Shape& text, int logicalDpi) {
  QFont font(QString::fromStdString(text.font.family));
  font.setBold(text.font.bold);
  font.setItalic(text.font.italic);
  font.setPointSizeF(text.fontSize * 72.0 / logicalDpi);
  return font;
}

void paintShape(QPainter& painter, const Shape& shape) {
  painter.setPen(penOf(shape));
  painter.setBrush(brushOf(shape));
  const std::vector<DrawingPoint>& points = shape.points;
  switch (shape.kind) {
    case ShapeKind::Line:
      painter.drawLine(pointOf(points[0]), pointOf(points[1]));
      break;
    case ShapeKind::Rectangle:
      painter.drawRect(QRectF(pointOf(points[0]), pointOf(points[1])).normalized());
      break;
    case ShapeKind::Polygon: {
      QPolygonF polygon;
      for (const DrawingPoint& point : points) polygon << pointOf(point);
      painter.drawPolygon(polygon);
      break;
    }
    case ShapeKind::Circle: {
      const double radius = circleRadius(shape);
      painter.drawEllipse(pointOf(points[0]), radius, radius);
      break;
    }
    case ShapeKind::Text:
      if (!shape.fill) break;
      painter.setPen(colourOf(*shape.fill));
      painter.setFont(fontOf(shape, painter.device()->logicalDpiY()));
      painter.drawText(pointOf(points[0]), QString::fromStdString(shape.text));
      break;
  }
}

}  // namespace

PictureWidget::PictureWidget(const Drawing& drawing, QWidget* parent)
    : QWidget(parent), drawing_(drawing) {}

void PictureWidget::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  painter.scale(width() / drawing_.width, height() / drawing_.height);
  for (const Shape& shape : drawing_.shapes) paintShape(painter, shape);
}
