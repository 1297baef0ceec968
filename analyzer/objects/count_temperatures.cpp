#include "count_temperatures.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace solvane {

namespace {
std::array<uint32_t, 4> envBits(const EnvParams& env) {
  std::array<uint32_t, 4> bits{};
  std::memcpy(bits.data(), &env, sizeof env);
  bits[3] = 0;  // the fourth value is read by no conversion
  return bits;
}
}  // namespace

bool CountTemperatures::build(const MeasurementFrame& in, const EnvParams& env,
                              std::vector<float>& out) {
  const IRFrame& frame = *in.frame;
  const uint8_t version = IRFrameVersion(&frame);
  out.assign(kCounts, 0.0f);
  if (version >= 32) {
    if (version >= 33 && !frame.ksCalib) return false;
    for (size_t n = 0; n < kCounts; ++n)
      out[n] = ConvertRawToTempKS(&frame, env, static_cast<uint16_t>(n));
    return true;
  }
  if (!in.table) return false;
  // A 256 x 256 frame holding every count once, with the real frame's header: the
  // library's whole-frame conversion then yields the temperature of each count.
  std::vector<uint16_t> counts(kCounts);
  std::iota(counts.begin(), counts.end(), uint16_t{0});
  IRFrame every{};
  every.header = frame.header;
  every.pixels = counts.data();
  every.pixelCapacity = static_cast<uint32_t>(counts.size());
  return GetRawToTemp(&every, IrdexImageSize(256, 256), in.table, env, out.data()) == 1;
}

const float* CountTemperatures::lookup(const MeasurementFrame& in, const EnvParams& env) {
  if (!in.frame) return nullptr;
  Key key;
  std::memcpy(key.header.data(), in.frame->header.bytes, key.header.size());
  key.calibration =
      IRFrameVersion(in.frame) >= 33 ? static_cast<const void*>(in.frame->ksCalib) : nullptr;
  key.table = IRFrameVersion(in.frame) < 32 ? in.table : nullptr;
  key.tableRevision = key.table ? in.tableRevision : 0;
  key.env = envBits(env);
  ++uses_;
  for (auto& entry : entries_) {
    if (entry.key == key) {
      entry.lastUse = uses_;
      return entry.temperatures.data();
    }
  }
  Entry fresh;
  fresh.key = key;
  fresh.lastUse = uses_;
  if (!build(in, env, fresh.temperatures)) return nullptr;
  ++builds_;
  if (entries_.size() >= kCapacity) {
    const auto oldest =
        std::min_element(entries_.begin(), entries_.end(),
                         [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
    *oldest = std::move(fresh);
    return oldest->temperatures.data();
  }
  entries_.push_back(std::move(fresh));
  return entries_.back().temperatures.data();
}

void CountTemperatures::clear() { entries_.clear(); }

}  // namespace solvane
