// The company file is read from beside the program, where anyone may have put anything.
#include "desktop/company_info.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const desktop::CompanyInfo info =
      desktop::parseCompanyInfo(std::string_view(reinterpret_cast<const char*>(data), size));
  if (info.brand.size() > desktop::kCompanyWordLimit ||
      info.webLink.size() > desktop::kCompanyWordLimit) {
    __builtin_trap();
  }
  return 0;
}
