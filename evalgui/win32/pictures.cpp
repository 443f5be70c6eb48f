#include "pictures.h"

// GDI+'s headers need the COM interfaces and min/max, which NOMINMAX keeps from windows.h.
#include <objidl.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <cmath>
#include <memory>
#include <vector>

#include "text_conversion.h"

namespace {

namespace gp = Gdiplus;
using namespace Gdiplus::DllExports;

gp::ARGB colourOf(const Rgb& rgb) {
  return gp::Color::MakeARGB(255, rgb.red, rgb.green, rgb.blue);
}

gp::PointF pointOf(const DrawingPoint& point) {
  return gp::PointF(static_cast<gp::REAL>(point.x), static_cast<gp::REAL>(point.y));
}

// GDI+'s objects, through its flat interface, deleted at the end of their scope. (MinGW's C++
// wrapper reaches GDI+'s generic formats and families through data that gdiplus.dll does not
// export.)
template <typename Object, gp::GpStatus(WINGDIPAPI* destroy)(Object*)>
class Owned {
 public:
  Owned() = default;
  ~Owned() {
    if (object_) destroy(object_);
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Object** out() { return &object_; }
  Object* get() const { return object_; }

 private:
  Object* object_ = nullptr;
};
using Family = Owned<gp::GpFontFamily, GdipDeleteFontFamily>;
using Path = Owned<gp::GpPath, GdipDeletePath>;
using Brush = Owned<gp::GpBrush, GdipDeleteBrush>;
using Pen = Owned<gp::GpPen, GdipDeletePen>;
using Format = Owned<gp::GpStringFormat, GdipDeleteStringFormat>;

// GDI+ draws TrueType faces only: the one that Windows' font mapper gives for a family, the
// family itself where it is installed (Arial on Windows), else a face of its kind (DejaVu Sans
// under Wine without the Windows fonts).
std::wstring trueTypeFace(const std::wstring& family) {
  LOGFONTW wanted{};
  wanted.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  wanted.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  family.copy(wanted.lfFaceName, LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectW(&wanted);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ before = SelectObject(dc, font);
  wchar_t face[LF_FACESIZE] = L"";
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, before);
  DeleteDC(dc);
  DeleteObject(font);
  return face;
}

// Windows has Arial, drawn to the metrics of the Nimbus Sans that the drawings name.
bool findFamily(const FontFace& face, Family& family) {
  const std::wstring windowsFamily = face.family == "Nimbus Sans" ? L"Arial" : widen(face.family);
  return GdipCreateFontFamilyFromName(trueTypeFace(windowsFamily).c_str(), nullptr, family.out()) ==
         gp::Ok;
}

void fill(gp::GpGraphics* graphics, const Rgb& colour, gp::GpPath* path) {
  Brush brush;
  GdipCreateSolidFill(colourOf(colour), reinterpret_cast<gp::GpSolidFill**>(brush.out()));
  GdipFillPath(graphics, brush.get(), path);
}

// The text's outline as a path, its baseline starting at the shape's point.
void paintText(gp::GpGraphics* graphics, const Shape& text) {
  Family family;
  if (!findFamily(text.font, family)) return;
  INT style =
      (text.font.bold ? gp::FontStyleBold : 0) | (text.font.italic ? gp::FontStyleItalic : 0);
  // A face without the italic is drawn upright.
  BOOL available = FALSE;
  GdipIsStyleAvailable(family.get(), style, &available);
  if (!available) style &= ~gp::FontStyleItalic;
  UINT16 ascent = 0;
  UINT16 emHeight = 1;
  GdipGetCellAscent(family.get(), style, &ascent);
  GdipGetEmHeight(family.get(), style, &emHeight);
  const auto em = static_cast<gp::REAL>(text.fontSize);
  const gp::PointF baseline = pointOf(text.points[0]);
  const gp::RectF layout(baseline.X, baseline.Y - em * ascent / emHeight, 0, 0);
  // Typographic: no padding before the first character.
  Format format;
  GdipStringFormatGetGenericTypographic(format.out());
  Path path;
  GdipCreatePath(gp::FillModeWinding, path.out());
  const std::wstring characters = widen(text.text);
  GdipAddPathString(path.get(), characters.c_str(), static_cast<INT>(characters.size()),
                    family.get(), style, em, &layout, format.get());
  fill(graphics, *text.fill, path.get());
}

void paintShape(gp::GpGraphics* graphics, const Shape& shape) {
  const std::vector<DrawingPoint>& points = shape.points;
  if (shape.kind == ShapeKind::Text) {
    if (shape.fill) paintText(graphics, shape);
    return;
  }
  // Every shape as a path, filled and then stroked, as ImageMagick does; a line is open.
  Path path;
  GdipCreatePath(gp::FillModeAlternate, path.out());
  const gp::PointF a = pointOf(points[0]);
  const gp::PointF b = pointOf(points.back());
  if (shape.kind == ShapeKind::Line) {
    GdipAddPathLine(path.get(), a.X, a.Y, b.X, b.Y);
  } else if (shape.kind == ShapeKind::Rectangle) {
    GdipAddPathRectangle(path.get(), std::min(a.X, b.X), std::min(a.Y, b.Y), std::abs(b.X - a.X),
                         std::abs(b.Y - a.Y));
  } else if (shape.kind == ShapeKind::Polygon) {
    std::vector<gp::PointF> corners;
    for (const DrawingPoint& point : points) corners.push_back(pointOf(point));
    GdipAddPathPolygon(path.get(), corners.data(), static_cast<INT>(corners.size()));
  } else {
    const auto radius = static_cast<gp::REAL>(circleRadius(shape));
    GdipAddPathEllipse(path.get(), a.X - radius, a.Y - radius, 2 * radius, 2 * radius);
  }
  if (shape.fill && shape.kind != ShapeKind::Line) fill(graphics, *shape.fill, path.get());
  if (shape.stroke) {
    Pen pen;
    GdipCreatePen1(colourOf(*shape.stroke), static_cast<gp::REAL>(shape.strokeWidth), gp::UnitWorld,
                   pen.out());
    GdipDrawPath(graphics, pen.get(), path.get());
  }
}

}  // namespace

GdiPlusSession::GdiPlusSession() {
  const gp::GdiplusStartupInput input;
  gp::GdiplusStartup(&token_, &input, nullptr);
}

GdiPlusSession::~GdiPlusSession() {
  if (token_) gp::GdiplusShutdown(token_);
}

HBITMAP drawPicture(const Drawing& drawing, int width, int height, COLORREF background) {
  if (width <= 0 || height <= 0) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = bitmap ? CreateCompatibleDC(nullptr) : nullptr;
  if (!dc) {
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  HGDIOBJ before = SelectObject(dc, bitmap);
  gp::GpGraphics* graphics = nullptr;
  if (GdipCreateFromHDC(dc, &graphics) == gp::Ok) {
    GdipGraphicsClear(graphics, gp::Color::MakeARGB(255, GetRValue(background),
                                                    GetGValue(background), GetBValue(background)));
    GdipSetSmoothingMode(graphics, gp::SmoothingModeAntiAlias);
    // Pixel centres at half units, as in the drawing's coordinates: a pixel spans 0 to 1.
    GdipSetPixelOffsetMode(graphics, gp::PixelOffsetModeHalf);
    GdipScaleWorldTransform(graphics, static_cast<gp::REAL>(width / drawing.width),
                            static_cast<gp::REAL>(height / drawing.height), gp::MatrixOrderPrepend);
    for (const Shape& shape : drawing.shapes) paintShape(graphics, shape);
    GdipDeleteGraphics(graphics);
  }
  SelectObject(dc, before);
  DeleteDC(dc);
  return bitmap;
}
