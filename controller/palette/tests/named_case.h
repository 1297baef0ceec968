// Table-driven cases print as their name, so that CTest lists readable test names instead
// of the bytes of the case.
#pragma once

#include <ostream>
#include <string>

namespace tessor::testing {

template <typename Case>
concept NamedCase = requires(const Case& c) {
  std::string(c.name);
};

// Name generator for INSTANTIATE_TEST_SUITE_P.
struct CaseName {
  template <typename Info>
  std::string operator()(const Info& info) const {
    return std::string(info.param.name);
  }
};

}  // namespace tessor::testing

// Found by argument-dependent lookup for case structs declared in the test files' unnamed
// namespace inside tessor (one unnamed namespace per file, so this reopens that one).
namespace tessor {
namespace {
template <typename Case>
requires testing::NamedCase<Case>
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
}  // namespace
}  // namespace tessor
