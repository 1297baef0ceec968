// The colour-scheme file (".cip"): the gradient written field by field, little-endian,
// without a header.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "palette/gradient.h"

namespace tessor {

inline constexpr const char* kColourSchemeExtension = "cip";
inline constexpr const char* kColourSchemeDefaultName = "Untitled.cip";
inline constexpr const char* kColourSchemeFilter = "Colour Scheme (*.cip)";

struct SchemeOutcome {
  bool ok = true;
  std::string error;  // what went wrong, for the user
};

std::vector<uint8_t> writeColourScheme(const CGradient& gradient);
// Reads a scheme into `gradient`. Every peg gets a fresh id. A file that ends early fails,
// and the gradient keeps the fields (and pegs) read up to that point.
SchemeOutcome readColourScheme(std::span<const uint8_t> bytes, CGradient& gradient);

SchemeOutcome saveColourSchemeFile(const std::string& path, const CGradient& gradient);
SchemeOutcome loadColourSchemeFile(const std::string& path, CGradient& gradient);

}  // namespace tessor
