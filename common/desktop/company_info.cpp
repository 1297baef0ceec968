#include "desktop/company_info.h"

#include <cctype>
#include <fstream>
#include <limits>
#include <sstream>

namespace desktop {
namespace {

bool isSpace(int c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

void skipSpace(std::istream& input) {
  while (input && isSpace(input.peek())) input.get();
}

// One word of at most kCompanyWordLimit characters; a longer word is cut there and its rest
// skipped, so it can never spill into the next item or grow without bound.
std::optional<std::string> readWord(std::istream& input) {
  skipSpace(input);
  std::string word;
  for (int c = input.peek(); c != std::char_traits<char>::eof() && !isSpace(c); c = input.peek()) {
    input.get();
    if (word.size() < kCompanyWordLimit) word.push_back(static_cast<char>(c));
  }
  if (word.empty()) return std::nullopt;
  return word;
}

// A signed decimal integer at the current position, as formatted input reads it: digits
// stop at the first non-digit, which stays for the next item.
std::optional<int32_t> readInteger(std::istream& input) {
  skipSpace(input);
  int64_t value = 0;
  bool negative = false;
  if (input.peek() == '+' || input.peek() == '-') negative = input.get() == '-';
  int digits = 0;
  while (std::isdigit(input.peek())) {
    value = value * 10 + (input.get() - '0');
    ++digits;
    if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
  }
  if (digits == 0) return std::nullopt;
  return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace

CompanyInfo parseCompanyInfo(std::istream& input) {
  CompanyInfo info;
  const std::optional<int32_t> flag = readInteger(input);
  if (!flag) return info;
  info.logoFlag = *flag;
  std::optional<std::string> brand = readWord(input);
  if (!brand) return info;
  info.brand = std::move(*brand);
  std::optional<std::string> link = readWord(input);
  if (link) info.webLink = std::move(*link);
  return info;
}

CompanyInfo parseCompanyInfo(std::string_view text) {
  std::istringstream input{std::string(text)};
  return parseCompanyInfo(input);
}

std::optional<CompanyInfo> readCompanyFile(const std::filesystem::path& folder) {
  std::ifstream input(folder / kCompanyFileName, std::ios::binary);
  if (!input) return std::nullopt;
  return parseCompanyInfo(input);
}

std::filesystem::path companyFolder(const std::filesystem::path& programFolder) {
  const std::filesystem::path installed = programFolder / ".." / "share" / "irdex";
  for (const std::filesystem::path& folder : {programFolder, installed}) {
    std::error_code error;
    if (std::filesystem::is_regular_file(folder / kCompanyFileName, error)) {
      return folder.lexically_normal();
    }
  }
  return programFolder;
}

}  // namespace desktop
