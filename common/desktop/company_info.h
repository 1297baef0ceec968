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

// The folder the company file and the logo are read from: beside the program (a build tree,
// or a copy the user branded), else the installed data folder `../share/irdex` next to the
// program's `bin/`. The program's own folder when neither holds a company file, so the
// missing-file message names the first place looked.
std::filesystem::path companyFolder(const std::filesystem::path& programFolder);

}  // namespace desktop
