// Readable names for the cases of parametrized tests, so CTest lists "AtmTemp_21234" instead
// of the bytes of the case's record.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>
#include <string_view>

namespace testsupport {

// Letters and digits are kept; every other run of characters becomes one '_' ("-" before a
// number becomes "minus", so -20 and 20 stay apart).
inline std::string caseName(std::string_view text) {
  std::string name;
  bool gap = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (std::isalnum(c)) {
      if (gap && !name.empty()) name += '_';
      gap = false;
      name += static_cast<char>(c);
    } else if (c == '-' && i + 1 < text.size() &&
               std::isdigit(static_cast<unsigned char>(text[i + 1]))) {
      if (!name.empty()) name += '_';
      name += "minus";
      gap = true;
    } else {
      gap = true;
    }
  }
  // A long text (a 1,000-character label under test) names its case by its beginning.
  constexpr std::size_t kLongest = 48;
  if (name.size() > kLongest) name.resize(kLongest);
  return name.empty() ? std::string("unnamed") : name;
}

// Joins the parts of a name, each streamed as text: caseName("AtmTemp", 21234).
template <class First, class... Rest>
std::string caseName(const First& first, const Rest&... rest) {
  std::ostringstream text;
  text << first;
  ((text << '_' << rest), ...);
  return caseName(std::string_view(text.str()));
}

// A setting or command id as the camera documents it: 0x0109.
inline std::string hexId(unsigned value) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text = "0x0000";
  for (int i = 5; i >= 2; --i, value >>= 4) text[static_cast<std::size_t>(i)] = digits[value & 0xF];
  return text;
}

// For case records that carry a `name` field.
struct ByName {
  template <class T>
  std::string operator()(const ::testing::TestParamInfo<T>& info) const {
    return caseName(std::string_view(info.param.name));
  }
};

}  // namespace testsupport
