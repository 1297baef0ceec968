// The company file beside the executable: the logo flag, the brand word and the web link
// that brand the programs' windows.
#pragma once

#include <cstddef>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace desktop {

inline constexpr const char* kCompanyFileName = "company.txt";
inline constexpr const char* kLogoFileName = "logo.png";
inline constexpr const char* kCompanyFileMissing = "Failed to load Company information!!";
// Longest brand or link word kept; the rest of a longer word is skipped.
inline constexpr std::size_t kCompanyWordLimit = 259;

struct CompanyInfo {
  int32_t logoFlag = 0;
  std::string brand;
  std::string webLink;

  bool showsLogo() const { return logoFlag == 1; }
  bool operator==(const CompanyInfo&) const = default;
};

// Formatted input: an integer, then two whitespace-delimited words. Reading stops at the
// first item that is not there or not readable; what was not read keeps its empty value.
CompanyInfo parseCompanyInfo(std::istream& input);
CompanyInfo parseCompanyInfo(std::string_view text);

// The company file of a folder; nothing when it cannot be opened.
std::optional<CompanyInfo> readCompanyFile(const std::filesystem::path& folder);

}  // namespace desktop
