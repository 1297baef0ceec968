// Arbitrary bytes as a stream file on disk: headers, forward and backward walks of every
// reading export, then the same bytes as a signed container, opened and queried.
#include <irdex.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string& fileName() {
  static const std::string name = [] {
    std::string folder =
        (std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm")
                                             : std::filesystem::temp_directory_path())
            .append("irdex-fuzz-stream-XXXXXX")
            .string();
    if (!mkdtemp(folder.data())) abort();
    return folder + "/input.hxr";
  }();
  return name;
}

void writeFile(const uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(fileName().c_str(), "wb");
  if (!f) abort();
  if (size && std::fwrite(data, 1, size, f) != size) abort();
  std::fclose(f);
}

// Pixel counts stay small so a walk covers many frames; the widest extra row is 640.
constexpr uint32_t kMaxPixels = 1u << 16;
constexpr int kSteps = 24;

void walkStream(IRStreamHandle stream, int32_t length, uint8_t selector) {
  IRHeader header{};
  IRHeaderExt ext{};
  int32_t first = 0;
  GetIRHeader(stream, &header, &first);
  GetIRHeaders(stream, &header, &ext, &first);

  uint32_t pixelCount = static_cast<uint32_t>(header.width) * header.height;
  if (pixelCount > kMaxPixels) pixelCount %= kMaxPixels;
  const auto n = static_cast<int32_t>(pixelCount);
  std::vector<uint16_t> pixels(pixelCount + 640);
  const int32_t version = (selector & 1) ? 32 : header.version;
  const int32_t wrap = (selector >> 1) & 1;
  int32_t timing = 0;
  int64_t stamp = 0;

  int32_t offset = first;
  for (int i = 0; i < kSteps; ++i) {
    const SdkStatus s = GetIRImageFromStream_v2(stream, pixels.data(), n, length, &offset, &timing,
                                                &stamp, wrap, version);
    if (s != SDK_SUCCESS && s != SDK_ERR_END_OF_IR_IMAGE) break;
  }
  for (int i = 0; i < kSteps; ++i) {
    if (GetRevIRImageFromStream_v2(stream, pixels.data(), n, &offset, &timing, &stamp, version) !=
        SDK_SUCCESS) {
      break;
    }
  }
  const int32_t extension = (selector >> 2) & 1;
  offset = extension ? 1022 : 21;
  for (int i = 0; i < kSteps; ++i) {
    if (GetIRImageFromStream_n(stream, pixels.data(), n, length, &offset, &timing, wrap,
                               extension) != SDK_SUCCESS) {
      break;
    }
  }
  GetIRImageFromStream(stream, pixels.data(), n, length, &offset, &timing, wrap);
  for (int i = 0; i < kSteps; ++i) {
    if (GetRevIRImageFromStream_n(stream, pixels.data(), n, &offset, &timing, extension) !=
        SDK_SUCCESS) {
      break;
    }
  }
  GetRevIRImageFromStream(stream, pixels.data(), n, &offset, &timing);
  // Offsets the file never gave: past the end and before the first frame.
  offset = length + 3;
  GetIRImageFromStream_v2(stream, pixels.data(), n, length, &offset, &timing, &stamp, wrap,
                          version);
  offset = -7;
  GetRevIRImageFromStream_v2(stream, pixels.data(), n, &offset, &timing, &stamp, version);
}

void queryContainer(IRStreamHandle stream, HXRFileHeader header, uint8_t selector) {
  const uint64_t pixels = static_cast<uint64_t>(header.width) * header.height;
  if (pixels > kMaxPixels) {
    // A buffer the header's size is out of reach; ask with a small header instead.
    header.width = 16;
    header.height = 8;
  }
  const uint64_t bufferPixels = static_cast<uint64_t>(header.width) * header.height;
  std::vector<uint8_t> buffer(sizeof(HXRFrame) + 2 * bufferPixels);
  auto* frame = reinterpret_cast<HXRFrame*>(buffer.data());
  const int32_t wrap = selector & 1;
  QueryFrame(stream, header, frame, 0, 5, wrap);
  for (int i = 0; i < kSteps; ++i) {
    if (QueryFrame(stream, header, frame, 0, 3, wrap) != SDK_SUCCESS) break;
  }
  for (int i = 0; i < kSteps; ++i) {
    if (QueryFrame(stream, header, frame, 0, 4, wrap) != SDK_SUCCESS) break;
  }
  QueryFrame(stream, header, frame, 0, 0, wrap);
  frame->frameNumber = 0xFFFFFFFFu;
  QueryFrame(stream, header, frame, 0, 4, wrap);
  QueryFrame(stream, header, frame, 0, 3, wrap);
}

// Writes a well-formed file through the writing exports (header from the input, small
// frames of the input's bytes) and cuts it at a point the input names, so the walks meet
// real frame marks, torn tails and every layout, not only random bytes.
bool recordFromInput(const uint8_t* data, std::size_t size) {
  if (size < 8) return false;
  IRHeader header{};
  header.version = data[1];
  header.width = static_cast<uint16_t>(1 + data[2] % 32);
  header.height = static_cast<uint16_t>(1 + data[3] % 32);
  IRHeaderExt ext{};
  ext.camHeader[4] = data[4];
  ext.camHeader[5] = data[5];
  IRStreamHandle stream = nullptr;
  const bool extended = header.version > 16;
  if ((extended ? SaveIRHeader(&stream, fileName().c_str(), &header, &ext)
                : SaveIRImage(&stream, fileName().c_str(), &header)) != SDK_SUCCESS) {
    return false;
  }
  const int32_t n = header.width * header.height;
  std::vector<uint16_t> pixels(static_cast<std::size_t>(n) + 640);
  const int frames = 1 + data[6] % 6;
  uint32_t counter = 0;
  uint16_t counter16 = 0;
  for (int k = 0; k < frames; ++k) {
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = data[(i + k) % size];
    if (data[0] & 0x40) {
      SetIRImageToStream(stream, pixels.data(), n, data[7] - 100, &counter16);
    } else {
      SetIRImageToStream_v2(stream, pixels.data(), n, data[7] - 100, &counter, header.version);
    }
  }
  CloseIRStream(stream);
  const auto length = std::filesystem::file_size(fileName());
  // One input in four keeps the file whole; the others tear off up to 1785 bytes.
  const uint8_t last = data[size - 1];
  const std::uintmax_t torn = last % 4 == 0 ? 0 : last * 7u;
  const auto cut = length - std::min<std::uintmax_t>(length, torn);
  std::filesystem::resize_file(fileName(), cut);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (!(size && (data[0] & 0x80) && recordFromInput(data, size))) writeFile(data, size);
  const uint8_t selector = size ? data[size - 1] : 0;

  IRStreamHandle stream = nullptr;
  int32_t length = 0;
  if (LoadIRImage(&stream, fileName().c_str(), &length) == SDK_SUCCESS) {
    walkStream(stream, length, selector);
    CloseIRStream(stream);
  }

  HXRFileHeader header{};
  stream = nullptr;
  if (HXRFileOpen(&stream, fileName().c_str(), 0, &header) == SDK_SUCCESS) {
    queryContainer(stream, header, selector);
    CloseIRStream(stream);
  }
  return 0;
}
