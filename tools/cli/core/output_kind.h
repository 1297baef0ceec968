// What a conversion writes, chosen by the output name's extension, and the names of
// one-file-per-frame outputs ("f%03d.tiff": a printf-style number pattern in the name).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace irdexcli {

enum class OutputKind { Csv, Tiff, Png, Jpeg, Stream, Movie };

// By extension, without regard to case: .csv, .tif/.tiff, .png, .jpg/.jpeg, .hxr, .avi.
std::optional<OutputKind> outputKindOf(const std::string& path);
std::string kindName(OutputKind kind);

// A name pattern holds exactly one "%d" or "%0Nd" (N up to 9); "%%" stands for "%".
// Nothing when the name has no pattern; throws a usage error for any other '%' use.
struct NamePattern {
  std::string before;
  std::string after;
  int width = 0;  // 0: no padding
};
std::optional<NamePattern> parseNamePattern(const std::string& path);
std::string expandNamePattern(const NamePattern& pattern, int64_t number);
// The name with "%%" turned into "%" (for names without a number pattern).
std::string literalName(const std::string& path);

}  // namespace irdexcli
