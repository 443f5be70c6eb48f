#include "vector_drawing.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace {

// The words of a line; a quoted word (single or double quotes) may hold blanks and loses its
// quotes.
std::vector<std::string> wordsOf(std::string_view line, int number) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (true) {
    at = line.find_first_not_of(" \t\r", at);
    if (at == std::string_view::npos) return words;
    if (line[at] == '\'' || line[at] == '"') {
      const std::size_t end = line.find(line[at], at + 1);
      if (end == std::string_view::npos) throw MvgError(number, "a quote is not closed");
      words.emplace_back(line.substr(at + 1, end - at - 1));
      at = end + 1;
    } else {
      const std::size_t end = std::min(line.find_first_of(" \t\r", at), line.size());
      words.emplace_back(line.substr(at, end - at));
      at = end;
    }
  }
}

double numberOf(std::string_view word, int line) {
  double value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) {
    throw MvgError(line, "\"" + std::string(word) + "\" is not a number");
  }
  return value;
}

DrawingPoint pointOf(std::string_view word, int line) {
  const std::size_t comma = word.find(',');
  if (comma == std::string_view::npos) {
    throw MvgError(line, "\"" + std::string(word) + "\" is not a point x,y");
  }
  return {numberOf(word.substr(0, comma), line), numberOf(word.substr(comma + 1), line)};
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// #rgb repeats each digit: #fa0 is #ffaa00.
std::optional<Rgb> hexColour(std::string_view digits) {
  if (digits.size() != 3 && digits.size() != 6) return std::nullopt;
  const std::size_t step = digits.size() / 3;
  std::array<std::uint8_t, 3> channels{};
  for (std::size_t channel = 0; channel < 3; ++channel) {
    const int high = hexDigit(digits[channel * step]);
    const int low = hexDigit(digits[channel * step + step - 1]);
    if (high < 0 || low < 0) return std::nullopt;
    channels[channel] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return Rgb{channels[0], channels[1], channels[2]};
}

// None is the empty colour.
std::optional<Rgb> colourOf(const std::string& word, int line) {
  if (word == "none") return std::nullopt;
  if (word == "black") return Rgb{0, 0, 0};
  if (word == "white") return Rgb{255, 255, 255};
  if (word.starts_with('#')) {
    if (const auto colour = hexColour(std::string_view(word).substr(1))) return colour;
  }
  throw MvgError(line, "\"" + word + "\" is not a colour");
}

FontFace faceOf(std::string name) {
  FontFace face;
  for (bool styleWord = true; styleWord;) {
    const std::size_t dash = name.rfind('-');
    const std::string last = dash == std::string::npos ? std::string() : name.substr(dash + 1);
    styleWord = last == "Regular" || last == "Bold" || last == "Italic" || last == "Oblique";
    face.bold = face.bold || last == "Bold";
    face.italic = face.italic || last == "Italic" || last == "Oblique";
    if (styleWord) name.erase(dash);
  }
  for (char& c : name) {
    if (c == '-') c = ' ';
  }
  face.family = std::move(name);
  return face;
}

// What the commands so far have set for the shapes that follow.
struct Pen {
  std::optional<Rgb> stroke;
  double strokeWidth = 1;
  std::optional<Rgb> fill = Rgb{0, 0, 0};
  FontFace font;
  double fontSize = 12;
};

void expectArguments(const std::vector<std::string>& words, std::size_t count, int line) {
  if (words.size() != count + 1) {
    throw MvgError(
        line, words[0] + " takes " + std::to_string(count) + " argument" + (count == 1 ? "" : "s"));
  }
}

Shape shapeOf(ShapeKind kind, const std::vector<std::string>& words, const Pen& pen, int line) {
  Shape shape{kind, {}, pen.stroke, pen.strokeWidth, pen.fill, {}, pen.font, pen.fontSize};
  if (kind == ShapeKind::Text) {
    expectArguments(words, 2, line);
    shape.points.push_back(pointOf(words[1], line));
    shape.text = words[2];
    return shape;
  }
  if (kind == ShapeKind::Polygon) {
    if (words.size() < 4) throw MvgError(line, "a polygon has three corners or more");
  } else {
    expectArguments(words, 2, line);
  }
  for (std::size_t i = 1; i < words.size(); ++i) shape.points.push_back(pointOf(words[i], line));
  return shape;
}

double nonNegative(const std::string& word, int line) {
  const double value = numberOf(word, line);
  if (value < 0) throw MvgError(line, "\"" + word + "\" is below 0");
  return value;
}

}  // namespace

Drawing parseMvg(std::string_view source) {
  static constexpr std::array<std::pair<std::string_view, ShapeKind>, 5> kShapes{{
      {"line", ShapeKind::Line},
      {"rectangle", ShapeKind::Rectangle},
      {"polygon", ShapeKind::Polygon},
      {"circle", ShapeKind::Circle},
      {"text", ShapeKind::Text},
  }};
  Drawing drawing;
  Pen pen;
  int number = 0;
  for (std::size_t start = 0; start <= source.size();) {
    ++number;
    const std::size_t end = std::min(source.find('\n', start), source.size());
    const std::string_view text = source.substr(start, end - start);
    start = end + 1;
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos || text[first] == '#') continue;
    const std::vector<std::string> words = wordsOf(text, number);
    const std::string& command = words[0];
    if (command == "viewbox") {
      expectArguments(words, 4, number);
      if (numberOf(words[1], number) != 0 || numberOf(words[2], number) != 0) {
        throw MvgError(number, "the view box starts at 0 0");
      }
      drawing.width = numberOf(words[3], number);
      drawing.height = numberOf(words[4], number);
      if (drawing.width <= 0 || drawing.height <= 0) throw MvgError(number, "an empty view box");
    } else if (command == "stroke" || command == "fill") {
      expectArguments(words, 1, number);
      (command == "stroke" ? pen.stroke : pen.fill) = colourOf(words[1], number);
    } else if (command == "stroke-width") {
      expectArguments(words, 1, number);
      pen.strokeWidth = nonNegative(words[1], number);
    } else if (command == "font") {
      expectArguments(words, 1, number);
      pen.font = faceOf(words[1]);
    } else if (command == "font-size") {
      expectArguments(words, 1, number);
      pen.fontSize = nonNegative(words[1], number);
    } else {
      const auto shape = std::find_if(kShapes.begin(), kShapes.end(),
                                      [&](const auto& known) { return known.first == command; });
      if (shape == kShapes.end()) throw MvgError(number, "\"" + command + "\" is not known");
      drawing.shapes.push_back(shapeOf(shape->second, words, pen, number));
    }
  }
  if (drawing.width <= 0) throw MvgError(number, "the drawing has no view box");
  return drawing;
}

double circleRadius(const Shape& circle) {
  return std::hypot(circle.points[1].x - circle.points[0].x,
                    circle.points[1].y - circle.points[0].y);
}
