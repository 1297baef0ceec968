#include "export/frame_temperatures.h"

#include <algorithm>

namespace solvane::exports {

std::vector<float> temperaturesOf(const KtFrameCopy& frame) {
  const std::size_t count = std::size_t{frame.width} * frame.height;
  if (count == 0 || frame.pixels.size() < count || !frame.table || frame.table->size() < 65536) {
    return {};
  }
  IRFrame record{};
  // The record's pixel pointer is not const, but the conversion only reads through it.
  record.pixels = const_cast<uint16_t*>(frame.pixels.data());
  record.pixelCapacity = static_cast<uint32_t>(frame.pixels.size());
  std::copy(frame.header.begin(), frame.header.end(), record.header.bytes);
  std::vector<float> temperatures(count);
  const SdkStatus status = GetRawToTemp(&record, IrdexImageSize(frame.width, frame.height),
                                        frame.table->data(), frame.env, temperatures.data());
  if (status != SDK_SUCCESS) return {};
  return temperatures;
}

}  // namespace solvane::exports
