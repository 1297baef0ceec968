#include "page_layout.h"

#include <cstdio>

namespace pagana {

FontChoice fontFor(FontRole role) {
  switch (role) {
    case FontRole::Body: return {"FixedSys", 12, false};
    case FontRole::Title: return {"Times New Roman", 16, true};
    case FontRole::Label: return {"", 9, true};
    case FontRole::Value: return {"", 9, false};
    case FontRole::Heading: return {"", 10, true};
  }
  return {};
}

PageSetup PageSetup::compute(const TextMeasure& measure, int horizontalResolution,
                             int verticalResolution) {
  PageSetup setup;
  setup.lineHeight = measure.lineHeight(FontRole::Body);
  setup.textWidth = measure.width(FontRole::Body, kRuler.substr(0, kRulerColumns));
  setup.left = (horizontalResolution - setup.textWidth) / 2;
  // A font taller than the page (or no height at all) leaves no line rather than dividing by 0.
  setup.linesPerPage =
      setup.lineHeight > 0 ? (verticalResolution - 7 * setup.lineHeight) / setup.lineHeight : 0;
  return setup;
}

namespace {

std::string dateText(PrintDate date) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", date.day, date.month, date.year);
  return text;
}

class PageBuilder {
 public:
  PageBuilder(const PageSetup& setup, const TextMeasure& measure)
      : setup_(setup), measure_(measure) {}

  int row(int n) const { return n * setup_.lineHeight; }
  int x(int offset) const { return setup_.left + offset; }

  void text(FontRole font, int atX, int atY, std::string value) {
    ops_.emplace_back(DrawText{font, atX, atY, std::move(value)});
  }
  // A label with its value directly behind it.
  void labelled(int atX, int atY, const std::string& label, const std::string& value) {
    text(FontRole::Label, atX, atY, label);
    text(FontRole::Value, atX + measure_.width(FontRole::Label, label), atY, value);
  }
  void band(int rowNumber, const std::string& heading) {
    const Rect rect{x(70), row(rowNumber), x(70) + setup_.textWidth,
                    row(rowNumber) + setup_.lineHeight};
    ops_.emplace_back(FillRect{rect, kBandColour});
    text(FontRole::Heading, x(100), row(rowNumber), heading);
  }
  void add(DrawOp op) { ops_.push_back(std::move(op)); }
  int labelWidth(const std::string& label) const { return measure_.width(FontRole::Label, label); }
  std::vector<DrawOp> take() { return std::move(ops_); }

 private:
  const PageSetup& setup_;
  const TextMeasure& measure_;
  std::vector<DrawOp> ops_;
};

}  // namespace

std::vector<DrawOp> layoutPage(const PageSetup& setup, const TextMeasure& measure,
                               const ReportPage& page, bool hasHeaderPicture, PrintDate date) {
  PageBuilder b(setup, measure);
  const int H = setup.lineHeight;
  const int W = setup.textWidth;
  const int half = W / 2;

  if (hasHeaderPicture) {
    b.add(DrawPicture{PictureKind::Header, Rect{b.x(100), 3 * H, b.x(700), 5 * H}});
  }
  b.text(FontRole::Title, b.x(1200), static_cast<int>(4.8 * H), "< Inspection Report >");

  b.labelled(b.x(100), b.row(7), "Report Date(Day/Month/Year): ", dateText(date));
  const MeasureTexts& t = page.texts;
  b.labelled(b.x(100), b.row(9), "Company: ", t.company);
  b.labelled(b.x(half), b.row(9), "Customer: ", t.customer);
  b.labelled(b.x(100), b.row(10), "Thermographer: ", t.thermographer);
  b.labelled(b.x(half), b.row(10), "Site: ", t.site);

  b.add(DrawPicture{PictureKind::Snapshot, Rect{b.x(500), 13 * H, b.x(W - 500), 30 * H}});

  b.band(32, "Object Parameters");
  const ReportValues& v = page.row.values;
  struct Line {
    int row;
    const char* leftLabel;
    std::string leftValue;
    const char* rightLabel;
    std::string rightValue;
  };
  const Line lines[] = {
      {33, "Image Name: ", page.row.name, "Level: ", v.level},
      {34, "Span: ", v.span, "Emissivity: ", v.emissivity},
      {35, "Atm. Temp.: ", v.atmTemp, "Atm. Trans: ", v.atmTrans},
  };
  for (const Line& line : lines) {
    b.text(FontRole::Label, b.x(100), b.row(line.row), line.leftLabel);
    b.text(FontRole::Value, b.x(b.labelWidth(line.leftLabel) + 150), b.row(line.row),
           line.leftValue);
    b.labelled(b.x(half), b.row(line.row), line.rightLabel, line.rightValue);
  }

  b.band(37, "Description");
  b.add(DrawWrapped{FontRole::Value, Rect{b.x(150), 38 * H, b.x(W), (setup.linesPerPage + 5) * H},
                    t.description});
  return b.take();
}

}  // namespace pagana
