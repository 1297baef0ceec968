#include "frame_builder.h"

#include <algorithm>

#include "wire.h"

namespace irsim {

namespace {
constexpr uint32_t kTrailerLayout1 = 0x56594E02;
constexpr uint32_t kTrailerLayout2 = 0x56594E03;
}  // namespace

std::vector<uint8_t> buildFramePacket(const CameraHeader& header, const Scene& scene,
                                      const RawMapper& mapper,
                                      std::span<const CameraRegion, 10> regions, int trailerLayout,
                                      uint64_t tick) {
  const size_t width = static_cast<size_t>(header.width());
  const size_t height = static_cast<size_t>(header.height());
  const bool ks = header.family() == Family::KS;
  // KT and KS frames carry one row more than the image; only KS cameras fill it.
  const size_t rows = height + (header.family() == Family::FirstGeneration ? 0 : 1);
  std::vector<uint16_t> image(width * height);
  scene.render(tick, mapper, image);
  std::vector<uint8_t> packet(kPacketHeadSize + 2 * width * rows, 0);
  putLe32(packet.data(), kPacketId);
  putLe32(packet.data() + 4, static_cast<uint32_t>(packet.size()));
  putLe16(packet.data() + 8, type::kFrame);
  uint8_t* pixels = packet.data() + kPacketHeadSize;
  for (size_t i = 0; i < image.size(); ++i) putLe16(pixels + 2 * i, image[i]);
  if (!ks) return packet;

  // The extra row: the camera's own measurements in raw counts, as sent (before the
  // suite's drift correction adds the offset back).
  uint8_t* row = pixels + 2 * width * height;
  int layout = trailerLayout;
  if (layout == 0) layout = header.version() >= 33 ? 2 : 1;
  const size_t shift = layout == 1 ? 0 : 44;
  putLe32(row, layout == 1 ? kTrailerLayout1 : kTrailerLayout2);
  putLe32(row + 4, static_cast<uint32_t>(tick));
  struct Measure {
    uint16_t low = 0, high = 0;
    int64_t sum = 0;
    int32_t count = 0;
  };
  auto measure = [&](int x, int y, int w, int h) {
    Measure m;
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min<int>(static_cast<int>(width), x + w);
    const int y1 = std::min<int>(static_cast<int>(height), y + h);
    m.low = 65535;
    for (int yy = y0; yy < y1; ++yy) {
      for (int xx = x0; xx < x1; ++xx) {
        const uint16_t v = image[static_cast<size_t>(yy) * width + static_cast<size_t>(xx)];
        m.low = std::min(m.low, v);
        m.high = std::max(m.high, v);
        m.sum += v;
        ++m.count;
      }
    }
    if (m.count == 0) m.low = 0;
    return m;
  };
  for (int j = 0; j < 10; ++j) {
    const CameraRegion& r = regions[static_cast<size_t>(j)];
    Measure m;
    if (r.mode == 1) m = measure(r.x, r.y, 1, 1);
    if (r.mode == 2) m = measure(r.x, r.y, r.w, r.h);
    putLe16(row + 108 + shift + 4 * j, m.low);
    putLe16(row + 110 + shift + 4 * j, m.high);
    putLe32(row + 152 + shift + 4 * j, static_cast<uint32_t>(m.sum));
    putLe32(row + 196 + shift + 4 * j, static_cast<uint32_t>(m.count));
  }
  const Measure whole = measure(0, 0, static_cast<int>(width), static_cast<int>(height));
  putLe16(row + 148 + shift, whole.low);
  putLe16(row + 150 + shift, whole.high);
  const int cx = static_cast<int>(width / 2), cy = static_cast<int>(height / 2);
  const Measure centre = measure(cx - 8, cy - 8, 16, 16);
  putLe32(row + 192 + shift, static_cast<uint32_t>(centre.sum));
  putLe32(row + 236 + shift, static_cast<uint32_t>(centre.count));
  putLe16(row + 240 + shift, image[static_cast<size_t>(cy) * width + static_cast<size_t>(cx)]);
  return packet;
}

}  // namespace irsim
