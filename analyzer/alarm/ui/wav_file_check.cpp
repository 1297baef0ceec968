#include "alarm/ui/wav_file_check.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace solvane::alarm {
namespace {

constexpr size_t kRiffHeaderSize = 12;
constexpr size_t kChunkHeaderSize = 8;
constexpr uint32_t kMinimumFormatSize = 16;
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint16_t kMaximumChannels = 8;
// A file whose format chunk hides behind more chunks than this is not worth searching.
constexpr int kMaximumChunksBeforeFormat = 64;

uint32_t le32(const unsigned char* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool playableFormat(const unsigned char* fmt) {
  const uint16_t format = le16(fmt);
  const uint16_t channels = le16(fmt + 2);
  const uint32_t sampleRate = le32(fmt + 4);
  const uint16_t bits = le16(fmt + 14);
  const bool knownFormat =
      format == kFormatPcm || format == kFormatFloat || format == kFormatExtensible;
  const bool knownWidth = bits == 8 || bits == 16 || bits == 24 || bits == 32;
  return knownFormat && channels >= 1 && channels <= kMaximumChannels && sampleRate > 0 &&
         knownWidth;
}

}  // namespace

WavCheck checkWavFile(const std::string& path) {
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
    return WavCheck::MissingFile;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) return WavCheck::Unreadable;
  const auto length = std::filesystem::file_size(path, error);
  if (error) return WavCheck::Unreadable;

  std::array<unsigned char, kRiffHeaderSize> riff{};
  if (!file.read(reinterpret_cast<char*>(riff.data()), riff.size())) return WavCheck::NotPlayable;
  if (std::memcmp(riff.data(), "RIFF", 4) != 0 || std::memcmp(riff.data() + 8, "WAVE", 4) != 0) {
    return WavCheck::NotPlayable;
  }
  uint64_t position = kRiffHeaderSize;
  for (int chunk = 0; chunk < kMaximumChunksBeforeFormat; ++chunk) {
    std::array<unsigned char, kChunkHeaderSize> header{};
    if (!file.read(reinterpret_cast<char*>(header.data()), header.size())) break;
    const uint32_t size = le32(header.data() + 4);
    position += kChunkHeaderSize;
    if (position + size > length) break;
    if (std::memcmp(header.data(), "fmt ", 4) == 0) {
      if (size < kMinimumFormatSize) break;
      std::array<unsigned char, kMinimumFormatSize> fmt{};
      if (!file.read(reinterpret_cast<char*>(fmt.data()), fmt.size())) break;
      return playableFormat(fmt.data()) ? WavCheck::Playable : WavCheck::NotPlayable;
    }
    // Chunks are padded to an even length.
    position += size + (size & 1U);
    file.seekg(static_cast<std::streamoff>(position));
  }
  return WavCheck::NotPlayable;
}

const char* wavCheckMessage(WavCheck check) {
  switch (check) {
    case WavCheck::MissingFile: return "wrong wav path!";
    case WavCheck::Unreadable: return "Failed to load wav file!!";
    case WavCheck::NotPlayable: return "wrong wav file!";
    case WavCheck::Playable: break;
  }
  return "";
}

}  // namespace solvane::alarm
