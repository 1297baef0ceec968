#include "output_kind.h"

#include "cli_error.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace irdexcli {

std::optional<OutputKind> outputKindOf(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".csv") return OutputKind::Csv;
  if (extension == ".tif" || extension == ".tiff") return OutputKind::Tiff;
  if (extension == ".png") return OutputKind::Png;
  if (extension == ".jpg" || extension == ".jpeg") return OutputKind::Jpeg;
  if (extension == ".hxr") return OutputKind::Stream;
  if (extension == ".avi") return OutputKind::Movie;
  return std::nullopt;
}

std::string kindName(OutputKind kind) {
  switch (kind) {
    case OutputKind::Csv: return "CSV temperature map";
    case OutputKind::Tiff: return "float TIFF";
    case OutputKind::Png: return "PNG picture";
    case OutputKind::Jpeg: return "radiometric JPEG snapshot";
    case OutputKind::Stream: return "stream file";
    case OutputKind::Movie: return "AVI movie";
  }
  return "output";
}

std::optional<NamePattern> parseNamePattern(const std::string& path) {
  NamePattern pattern;
  bool found = false;
  std::string* part = &pattern.before;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] != '%') {
      *part += path[i];
      continue;
    }
    if (i + 1 < path.size() && path[i + 1] == '%') {
      *part += '%';
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    int width = 0;
    if (j < path.size() && path[j] == '0') {
      ++j;
      if (j >= path.size() || !std::isdigit(static_cast<unsigned char>(path[j])) || path[j] == '0')
        throw usageError("bad number pattern in '" + path + "': use %d or %0Nd, N from 1 to 9");
      width = path[j] - '0';
      ++j;
    }
    if (j >= path.size() || path[j] != 'd' || found)
      throw usageError("bad number pattern in '" + path +
                       "': use one %d or %0Nd (write %% for a percent sign)");
    found = true;
    pattern.width = width;
    part = &pattern.after;
    i = j;
  }
  if (!found) return std::nullopt;
  return pattern;
}

std::string expandNamePattern(const NamePattern& pattern, int64_t number) {
  std::string digits = std::to_string(number);
  if (static_cast<int>(digits.size()) < pattern.width)
    digits.insert(0, static_cast<std::size_t>(pattern.width) - digits.size(), '0');
  return pattern.before + digits + pattern.after;
}

std::string literalName(const std::string& path) {
  std::string name;
  for (std::size_t i = 0; i < path.size(); ++i) {
    name += path[i];
    if (path[i] == '%' && i + 1 < path.size() && path[i + 1] == '%') ++i;
  }
  return name;
}

}  // namespace irdexcli
