#include "page_layout.h"
#include "testing/case_name.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>

namespace pagana {
namespace {

// Every character of a font is as wide as its point size times a factor, lines as tall as
// twice the point size: numbers easy to follow by hand.
class FixedMeasure : public TextMeasure {
 public:
  int width(FontRole font, std::string_view text) const override {
    const int perChar = font == FontRole::Body ? 60 : fontFor(font).points * 5;
    return perChar * static_cast<int>(text.size());
  }
  int lineHeight(FontRole font) const override { return fontFor(font).points * 10; }
};

constexpr int kHorizontal = 4800;
constexpr int kVertical = 6600;

class PageLayoutTest : public ::testing::Test {
 protected:
  PageLayoutTest() {
    page_.row.name = "roof";
    page_.row.values = {
        "25.30\xC2\xB0"
        "C",
        "12.00\xC2\xB0"
        "C",
        "21.50\xC2\xB0"
        "C",
        "0.98", "0.95"};
    page_.texts = {"Acme", "Town Hall", "Roof", "Jo", "Wet insulation near the chimney"};
    setup_ = PageSetup::compute(measure_, kHorizontal, kVertical);
  }
  std::vector<DrawOp> layout(bool header = true) {
    return layoutPage(setup_, measure_, page_, header, PrintDate{8, 12, 2026});
  }
  const DrawText* textAt(const std::vector<DrawOp>& ops, const std::string& text) {
    for (const DrawOp& op : ops) {
      if (const auto* t = std::get_if<DrawText>(&op); t && t->text == text) return t;
    }
    return nullptr;
  }

  FixedMeasure measure_;
  ReportPage page_;
  PageSetup setup_;
};

TEST_F(PageLayoutTest, SetupCentresSixtyBodyColumns) {
  EXPECT_EQ(setup_.lineHeight, 120);
  EXPECT_EQ(setup_.textWidth, 3600);
  EXPECT_EQ(setup_.left, 600);
  EXPECT_EQ(setup_.linesPerPage, (6600 - 7 * 120) / 120);
}

TEST(PageSetup, FontWithoutHeightLeavesNoLines) {
  class Flat : public TextMeasure {
    int width(FontRole, std::string_view) const override { return 0; }
    int lineHeight(FontRole) const override { return 0; }
  } flat;
  EXPECT_EQ(PageSetup::compute(flat, 100, 100).linesPerPage, 0);
}

struct Placed {
  const char* name;
  const char* text;
  FontRole font;
  int x;  // from the left margin X = 600, with H = 120 and half = 1800
  int y;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const Placed& c, std::ostream* out) { *out << c.name; }

// Label widths: 9 pt bold labels are 45 units a character in the fixed measure.
const Placed kPlacedTexts[] = {
    {"title", "< Inspection Report >", FontRole::Title, 1200, 576},
    {"date label", "Report Date(Day/Month/Year): ", FontRole::Label, 100, 840},
    {"date", "08/12/2026", FontRole::Value, 100 + 29 * 45, 840},
    {"company", "Acme", FontRole::Value, 100 + 9 * 45, 1080},
    {"customer label", "Customer: ", FontRole::Label, 1800, 1080},
    {"customer", "Town Hall", FontRole::Value, 1800 + 10 * 45, 1080},
    {"thermographer", "Jo", FontRole::Value, 100 + 15 * 45, 1200},
    {"site", "Roof", FontRole::Value, 1800 + 6 * 45, 1200},
    {"parameters heading", "Object Parameters", FontRole::Heading, 100, 3840},
    {"image name", "roof", FontRole::Value, 12 * 45 + 150, 3960},
    {"level",
     "25.30\xC2\xB0"
     "C",
     FontRole::Value, 1800 + 7 * 45, 3960},
    {"span",
     "12.00\xC2\xB0"
     "C",
     FontRole::Value, 6 * 45 + 150, 4080},
    {"emissivity", "0.95", FontRole::Value, 1800 + 12 * 45, 4080},
    {"atm temp",
     "21.50\xC2\xB0"
     "C",
     FontRole::Value, 12 * 45 + 150, 4200},
    {"atm trans", "0.98", FontRole::Value, 1800 + 12 * 45, 4200},
    {"description heading", "Description", FontRole::Heading, 100, 4440},
};

class PageLayoutPlaces : public PageLayoutTest, public ::testing::WithParamInterface<Placed> {};

TEST_P(PageLayoutPlaces, DrawsTheTextAtItsPlace) {
  const Placed& p = GetParam();
  const auto ops = layout();
  const DrawText* text = textAt(ops, p.text);
  ASSERT_NE(text, nullptr) << p.text;
  EXPECT_EQ(text->font, p.font);
  EXPECT_EQ(text->x, 600 + p.x);
  EXPECT_EQ(text->y, p.y);
}

INSTANTIATE_TEST_SUITE_P(Texts, PageLayoutPlaces, ::testing::ValuesIn(kPlacedTexts),
                         testsupport::ByName());

TEST_F(PageLayoutTest, PicturesAreStretchedIntoTheirRectangles) {
  const auto ops = layout(true);
  std::vector<DrawPicture> pictures;
  for (const DrawOp& op : ops) {
    if (const auto* p = std::get_if<DrawPicture>(&op)) pictures.push_back(*p);
  }
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0], (DrawPicture{PictureKind::Header, Rect{700, 360, 1300, 600}}));
  EXPECT_EQ(pictures[1], (DrawPicture{PictureKind::Snapshot, Rect{1100, 1560, 3700, 3600}}));
}

TEST_F(PageLayoutTest, NoHeaderPictureDrawsNone) {
  const auto ops = layout(false);
  const bool header = std::any_of(ops.begin(), ops.end(), [](const DrawOp& op) {
    const auto* p = std::get_if<DrawPicture>(&op);
    return p && p->picture == PictureKind::Header;
  });
  EXPECT_FALSE(header);
}

TEST_F(PageLayoutTest, GreyBandsSpanTheTextWidthAtRows32And37) {
  std::vector<FillRect> bands;
  for (const DrawOp& op : layout()) {
    if (const auto* f = std::get_if<FillRect>(&op)) bands.push_back(*f);
  }
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_EQ(bands[0], (FillRect{Rect{670, 3840, 4270, 3960}, 0xC8C8C8}));
  EXPECT_EQ(bands[1], (FillRect{Rect{670, 4440, 4270, 4560}, 0xC8C8C8}));
}

TEST_F(PageLayoutTest, DescriptionIsWrappedDownToTheLastLine) {
  const auto ops = layout();
  const auto it = std::find_if(ops.begin(), ops.end(), [](const DrawOp& op) {
    return std::holds_alternative<DrawWrapped>(op);
  });
  ASSERT_NE(it, ops.end());
  const auto& wrapped = std::get<DrawWrapped>(*it);
  EXPECT_EQ(wrapped.text, "Wet insulation near the chimney");
  EXPECT_EQ(wrapped.rect, (Rect{750, 4560, 4200, (setup_.linesPerPage + 5) * 120}));
}

TEST_F(PageLayoutTest, ImageWithoutTextsPrintsEmptyValues) {
  page_.texts = {};
  const auto ops = layout();
  for (const char* label : {"Company: ", "Customer: ", "Thermographer: ", "Site: "}) {
    const auto it = std::find_if(ops.begin(), ops.end(), [&](const DrawOp& op) {
      const auto* t = std::get_if<DrawText>(&op);
      return t && t->text == label;
    });
    ASSERT_NE(it, ops.end()) << label;
    ASSERT_NE(it + 1, ops.end()) << label;
    const auto* value = std::get_if<DrawText>(&*(it + 1));
    ASSERT_NE(value, nullptr) << label;
    EXPECT_EQ(value->text, "") << label;
  }
  for (const DrawOp& op : ops) {
    if (const auto* w = std::get_if<DrawWrapped>(&op)) {
      EXPECT_EQ(w->text, "");
    }
  }
}

}  // namespace
}  // namespace pagana
