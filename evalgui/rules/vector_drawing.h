#pragma once

// The window's pictures as vector drawings: a list of shapes in the drawing's own units (design
// pixels), which each front end paints at the size and resolution of its control. The drawings
// are written in the small part of ImageMagick's vector language (MVG) that parseMvg() knows:
//
//   viewbox 0 0 W H                 the drawing's size (required, origin 0 0)
//   stroke COLOUR | none            the outline of the shapes that follow
//   stroke-width N
//   fill COLOUR | none              the inside of the shapes that follow, and the text's colour
//   font NAME                       an ImageMagick font name: Family-Words-Bold-Italic
//   font-size N                     the em height, in drawing units
//   line X,Y X,Y                    from one end to the other
//   rectangle X,Y X,Y               two opposite corners
//   polygon X,Y X,Y X,Y ...         three corners or more
//   circle X,Y X,Y                  the centre and a point on the circle
//   text X,Y 'TEXT'                 the start of the baseline; filled, never outlined
//   # ...                           a comment; blank lines are skipped
//
// COLOUR is black, white or #rgb / #rrggbb, quoted or not. As in ImageMagick, the fill starts
// black, the stroke none, the stroke width 1, and lines end flat and join mitred.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct DrawingPoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const DrawingPoint&, const DrawingPoint&) = default;
};

// "Nimbus-Sans-Bold-Italic" is the family "Nimbus Sans", bold and italic; the words Regular,
// Bold, Italic and Oblique at the end of a name are its style.
struct FontFace {
  std::string family;
  bool bold = false;
  bool italic = false;
  friend bool operator==(const FontFace&, const FontFace&) = default;
};

enum class ShapeKind { Line, Rectangle, Polygon, Circle, Text };

struct Shape {
  ShapeKind kind = ShapeKind::Line;
  // As the command gives them (see above).
  std::vector<DrawingPoint> points;
  std::optional<Rgb> stroke;
  double strokeWidth = 1;
  std::optional<Rgb> fill;
  // Text only.
  std::string text;
  FontFace font;
  double fontSize = 12;
};

struct Drawing {
  double width = 0;
  double height = 0;
  std::vector<Shape> shapes;
};

// A source line that is not of the subset above, or a drawing without its size.
class MvgError : public std::runtime_error {
 public:
  MvgError(int line, const std::string& what)
      : std::runtime_error("line " + std::to_string(line) + ": " + what), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

Drawing parseMvg(std::string_view source);

double circleRadius(const Shape& circle);
