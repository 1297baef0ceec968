// One report page as a list of drawing operations in the printer's device units, so the
// layout is computed (and tested) without a printer or a painter.
#pragma once

#include "checklist.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pagana {

enum class FontRole { Body, Title, Label, Value, Heading };

struct FontChoice {
  std::string family;
  int points = 0;
  bool bold = false;
};
FontChoice fontFor(FontRole role);

// Text measurement on the device the page goes to.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual int width(FontRole font, std::string_view text) const = 0;
  // Text height plus the font's external leading.
  virtual int lineHeight(FontRole font) const = 0;
};

inline constexpr std::string_view kRuler =
    "---------1---------2---------3---------4---------5---------6---------7---------8---";
inline constexpr std::size_t kRulerColumns = 60;

struct PageSetup {
  int lineHeight = 0;  // H
  int textWidth = 0;   // W
  int left = 0;        // X
  int linesPerPage = 0;

  static PageSetup compute(const TextMeasure& measure, int horizontalResolution,
                           int verticalResolution);
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Rect&) const = default;
};

// Text whose top-left corner is at (x, y).
struct DrawText {
  FontRole font = FontRole::Value;
  int x = 0, y = 0;
  std::string text;
  bool operator==(const DrawText&) const = default;
};

struct FillRect {
  Rect rect;
  unsigned rgb = 0;
  bool operator==(const FillRect&) const = default;
};

enum class PictureKind { Header, Snapshot };

// A picture stretched into the rectangle.
struct DrawPicture {
  PictureKind picture = PictureKind::Snapshot;
  Rect rect;
  bool operator==(const DrawPicture&) const = default;
};

// Text broken between words to fit the rectangle's width.
struct DrawWrapped {
  FontRole font = FontRole::Value;
  Rect rect;
  std::string text;
  bool operator==(const DrawWrapped&) const = default;
};

using DrawOp = std::variant<DrawText, FillRect, DrawPicture, DrawWrapped>;

struct PrintDate {
  int day = 1, month = 1, year = 2000;
};

inline constexpr unsigned kBandColour = 0xC8C8C8;

std::vector<DrawOp> layoutPage(const PageSetup& setup, const TextMeasure& measure,
                               const ReportPage& page, bool hasHeaderPicture, PrintDate date);

}  // namespace pagana
