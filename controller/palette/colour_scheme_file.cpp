#include "palette/colour_scheme_file.h"

#include <bit>
#include <cmath>
#include <fstream>
#include <iterator>

namespace tessor {

namespace {

void putLe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Hands out the file's 32-bit words in order and says which field ran short.
class WordReader {
 public:
  explicit WordReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool next(uint32_t& value) {
    if (bytes_.size() - offset_ < 4) return false;
    value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(bytes_[offset_ + i]) << (8 * i);
    offset_ += 4;
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t offset_ = 0;
};

SchemeOutcome failure(std::string text) { return SchemeOutcome{false, std::move(text)}; }

SchemeOutcome endsEarly(const char* field) {
  return failure(std::string("The colour scheme file ends early: the ") + field + " is missing.");
}

}  // namespace

std::vector<uint8_t> writeColourScheme(const CGradient& gradient) {
  std::vector<uint8_t> out;
  out.reserve(28 + 8 * gradient.pegs().size());
  putLe32(out, gradient.backgroundColour());
  putLe32(out, gradient.startColour());
  putLe32(out, gradient.endColour());
  putLe32(out, gradient.useBackground() ? 1u : 0u);
  putLe32(out, static_cast<uint32_t>(gradient.quantization()));
  putLe32(out, static_cast<uint32_t>(gradient.method()));
  putLe32(out, static_cast<uint32_t>(gradient.pegs().size()));
  for (const CPeg& peg : gradient.pegs()) {
    putLe32(out, peg.colour);
    putLe32(out, std::bit_cast<uint32_t>(peg.position));
  }
  return out;
}

SchemeOutcome readColourScheme(std::span<const uint8_t> bytes, CGradient& gradient) {
  WordReader reader(bytes);
  uint32_t word = 0;
  if (!reader.next(word)) return endsEarly("background colour");
  gradient.setBackgroundColour(word);
  if (!reader.next(word)) return endsEarly("start colour");
  gradient.setStartColour(word);
  if (!reader.next(word)) return endsEarly("end colour");
  gradient.setEndColour(word);
  if (!reader.next(word)) return endsEarly("background switch");
  gradient.setUseBackground(word != 0);
  if (!reader.next(word)) return endsEarly("quantization");
  gradient.setQuantization(static_cast<int32_t>(word));
  if (!reader.next(word)) return endsEarly("interpolation method");
  const int method = static_cast<int32_t>(word);
  if (!isInterpolationIndex(method))
    return failure("The colour scheme file names an unknown interpolation method (" +
                   std::to_string(method) + ").");
  gradient.setMethod(static_cast<InterpolationMethod>(method));
  if (!reader.next(word)) return endsEarly("number of pegs");
  const uint32_t count = word;
  gradient.removeAllPegs();
  // The count is not trusted for any allocation: pegs are read while the file holds them.
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t colour = 0, positionBits = 0;
    if (!reader.next(colour) || !reader.next(positionBits)) {
      return failure("The colour scheme file ends early: it promises " + std::to_string(count) +
                     " pegs but holds " + std::to_string(i) + ".");
    }
    const float position = std::bit_cast<float>(positionBits);
    if (std::isnan(position))
      return failure("Peg " + std::to_string(i + 1) +
                     " of the colour scheme file has no valid position.");
    gradient.addPeg(colour, position);
  }
  return {};
}

SchemeOutcome saveColourSchemeFile(const std::string& path, const CGradient& gradient) {
  const std::vector<uint8_t> bytes = writeColourScheme(gradient);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return failure("The colour scheme file " + path + " cannot be written.");
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return failure("The colour scheme file " + path + " could not be written whole.");
  return {};
}

SchemeOutcome loadColourSchemeFile(const std::string& path, CGradient& gradient) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return failure("The colour scheme file " + path + " cannot be opened.");
  // A scheme is a few hundred bytes; anything past a megabyte is not one.
  constexpr std::streamsize kMostBytes = 1 << 20;
  std::vector<uint8_t> bytes;
  char buffer[4096];
  while (in && static_cast<std::streamsize>(bytes.size()) <= kMostBytes) {
    in.read(buffer, sizeof buffer);
    bytes.insert(bytes.end(), buffer, buffer + in.gcount());
  }
  if (static_cast<std::streamsize>(bytes.size()) > kMostBytes)
    return failure("The file " + path + " is far too large to be a colour scheme.");
  return readColourScheme(bytes, gradient);
}

}  // namespace tessor
