#include "vector_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "window_pictures.h"

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

// The first shape of a kind whose first point is `at`.
const Shape& shapeAt(const Drawing& drawing, ShapeKind kind, DrawingPoint at) {
  const auto shape =
      std::find_if(drawing.shapes.begin(), drawing.shapes.end(),
                   [&](const Shape& s) { return s.kind == kind && s.points.front() == at; });
  if (shape == drawing.shapes.end()) throw std::out_of_range("no such shape");
  return *shape;
}

TEST(WindowPictureTest, TheSourcesGiveTheirSizesAndShapesWithTheirPens) {
  const Drawing& schematic = windowPicture("schematic");
  const Drawing& logo = windowPicture("logo");
  EXPECT_EQ(schematic.width, 343);
  EXPECT_EQ(schematic.height, 244);
  EXPECT_EQ(logo.width, 231);
  EXPECT_EQ(logo.height, 27);

  // The white ground under the schematic, first; the logo has none.
  const Shape& ground = schematic.shapes.front();
  EXPECT_EQ(ground.kind, ShapeKind::Rectangle);
  EXPECT_EQ(ground.points, (std::vector<DrawingPoint>{{0, 0}, {343, 244}}));
  EXPECT_EQ(ground.fill, kWhite);
  EXPECT_FALSE(ground.stroke);
  EXPECT_NE(logo.shapes.front().kind, ShapeKind::Rectangle);

  const Shape& groundWire = shapeAt(schematic, ShapeKind::Line, {32, 204});
  EXPECT_EQ(groundWire.points.back(), (DrawingPoint{56, 204}));
  EXPECT_EQ(groundWire.stroke, kBlack);
  EXPECT_EQ(groundWire.strokeWidth, 1.5);
  EXPECT_FALSE(groundWire.fill);
  EXPECT_EQ(shapeAt(schematic, ShapeKind::Rectangle, {150, 42}).strokeWidth, 2);
  const Shape& arrow = shapeAt(schematic, ShapeKind::Polygon, {116, 98});
  EXPECT_EQ(arrow.points.size(), 3u);
  EXPECT_EQ(arrow.fill, kBlack);
  EXPECT_DOUBLE_EQ(circleRadius(shapeAt(schematic, ShapeKind::Circle, {280, 115})), 2.5);

  const Shape& chip = shapeAt(schematic, ShapeKind::Text, {176, 128});
  EXPECT_EQ(chip.text, "QV6180");
  EXPECT_EQ(chip.font, (FontFace{"Nimbus Sans", true, false}));
  EXPECT_EQ(chip.fontSize, 14);
  EXPECT_FALSE(chip.stroke);
  const Shape& wordmark = shapeAt(logo, ShapeKind::Text, {42, 23});
  EXPECT_EQ(wordmark.text, "KESTRO");
  EXPECT_EQ(wordmark.font, (FontFace{"Nimbus Sans", true, true}));
  EXPECT_EQ(wordmark.fill, (Rgb{0x1b, 0x3f, 0x8b}));
  const Shape& tagline = shapeAt(logo, ShapeKind::Text, {146, 22});
  EXPECT_EQ(tagline.text, "Display Power ICs");
  EXPECT_EQ(tagline.font, (FontFace{"Nimbus Sans", false, false}));
  EXPECT_THROW(windowPicture("icon"), std::out_of_range);
}

TEST(ParseMvgTest, StartsWithImageMagicksPensAndReadsEveryColourForm) {
  const Drawing drawing = parseMvg(
      "viewbox 0 0 10 5\n"
      "  # indented comment, with an apostrophe's quote\n"
      "\n"
      "line 0,0 1.25,-2\n"
      "fill '#fa0'\n"
      "stroke \"#0A0B0C\"\n"
      "font Sans\n"
      "text 1,2 \"two  words\"\r\n"
      "fill none\n"
      "circle 0,0 3,4");
  ASSERT_EQ(drawing.shapes.size(), 3u);
  const Shape& line = drawing.shapes[0];
  EXPECT_EQ(line.points, (std::vector<DrawingPoint>{{0, 0}, {1.25, -2}}));
  EXPECT_EQ(line.fill, kBlack);
  EXPECT_FALSE(line.stroke);
  EXPECT_EQ(line.strokeWidth, 1);
  const Shape& text = drawing.shapes[1];
  EXPECT_EQ(text.fill, (Rgb{0xff, 0xaa, 0x00}));
  EXPECT_EQ(text.stroke, (Rgb{0x0a, 0x0b, 0x0c}));
  EXPECT_EQ(text.text, "two  words");
  EXPECT_EQ(text.font, (FontFace{"Sans", false, false}));
  EXPECT_EQ(text.fontSize, 12);
  EXPECT_FALSE(drawing.shapes[2].fill);
  EXPECT_EQ(circleRadius(drawing.shapes[2]), 5);
}

TEST(ParseMvgTest, RefusesWhatIsNotOfTheSubsetNamingTheLine) {
  struct Case {
    const char* line;
    const char* reason;
  };
  for (const Case& bad : std::initializer_list<Case>{
           {"ellipse 5,5 2,2 0,360", "not known"},
           {"line 0,0", "takes 2 arguments"},
           {"line 0,0 1,1 2,2", "takes 2 arguments"},
           {"polygon 0,0 1,1", "three corners"},
           {"rectangle 0,0 1;1", "not a point"},
           {"circle 0,0 1,1x", "not a number"},
           {"line 0,0 nan,1", "not a number"},
           {"fill red", "not a colour"},
           {"stroke #12345", "not a colour"},
           {"stroke #ggg", "not a colour"},
           {"stroke-width -1", "below 0"},
           {"font-size", "takes 1 argument"},
           {"text 1,1 'open", "not closed"},
           {"text 1,1", "takes 2 arguments"},
           {"viewbox 1 0 10 10", "starts at 0 0"},
           {"viewbox 0 0 0 10", "empty view box"},
       }) {
    SCOPED_TRACE(bad.line);
    try {
      parseMvg(std::string("viewbox 0 0 10 10\n# fine\n") + bad.line + "\nline 0,0 1,1\n");
      ADD_FAILURE() << "accepted";
    } catch (const MvgError& error) {
      EXPECT_EQ(error.line(), 3);
      EXPECT_NE(std::string(error.what()).find(bad.reason), std::string::npos) << error.what();
    }
  }
  EXPECT_THROW(parseMvg("line 0,0 1,1\n"), MvgError);
}

}  // namespace
