// The company file is read from beside the program, where anyone may have put anything.
#include "app/company_info.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const solvane::CompanyInfo info =
      solvane::parseCompanyInfo(std::string_view(reinterpret_cast<const char*>(data), size));
  if (info.brand.size() > solvane::kCompanyWordLimit ||
      info.webLink.size() > solvane::kCompanyWordLimit) {
    __builtin_trap();
  }
  return 0;
}
