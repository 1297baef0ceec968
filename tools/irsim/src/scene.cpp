#include "scene.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace irsim {

bool parseSceneKind(std::string_view text, SceneKind& kind) {
  if (text == "blobs")
    kind = SceneKind::Blobs;
  else if (text == "gradient")
    kind = SceneKind::Gradient;
  else if (text == "flat")
    kind = SceneKind::Flat;
  else
    return false;
  return true;
}

const char* sceneKindName(SceneKind kind) {
  switch (kind) {
    case SceneKind::Blobs: return "blobs";
    case SceneKind::Gradient: return "gradient";
    case SceneKind::Flat: return "flat";
  }
  return "?";
}

Scene::Scene(const SceneConfig& config, int width, int height)
    : config_(config), width_(width), height_(height), radius_(std::max(2, height / 8)) {}

PixelPoint Scene::blobCentre(uint64_t tick, double phase) const {
  double angle = phase;
  if (config_.motionPeriod > 0) {
    const uint64_t step = tick % static_cast<uint64_t>(config_.motionPeriod);
    angle += 2.0 * std::numbers::pi * static_cast<double>(step) / config_.motionPeriod;
  }
  // Whole pixels, so that a disc's centre and plateau are exact in every frame.
  return PixelPoint{static_cast<int>(std::lround(width_ / 2.0 + width_ / 4.0 * std::cos(angle))),
                    static_cast<int>(std::lround(height_ / 2.0 + height_ / 4.0 * std::sin(angle)))};
}

PixelPoint Scene::hotCentre(uint64_t tick) const { return blobCentre(tick, 0.0); }
PixelPoint Scene::coldCentre(uint64_t tick) const { return blobCentre(tick, std::numbers::pi); }

float Scene::blobProfile(float peak, long long distanceSquared) const {
  const double d = std::sqrt(static_cast<double>(distanceSquared));
  if (d <= radius_) return peak;
  if (d >= 2.0 * radius_) return config_.background;
  const double blend = (d - radius_) / radius_;
  return static_cast<float>(peak + (config_.background - peak) * blend);
}

float Scene::gradientAt(int x) const {
  const float fraction = width_ > 1 ? static_cast<float>(x) / static_cast<float>(width_ - 1) : 0;
  return config_.gradientLow + (config_.gradientHigh - config_.gradientLow) * fraction;
}

float Scene::temperatureAt(int x, int y, uint64_t tick) const {
  switch (config_.kind) {
    case SceneKind::Flat: return config_.flat;
    case SceneKind::Gradient: return gradientAt(x);
    case SceneKind::Blobs: break;
  }
  // The cold disc is drawn last, so it wins where the two discs' edges meet.
  for (const auto& [centre, peak] :
       {std::pair{coldCentre(tick), config_.cold}, std::pair{hotCentre(tick), config_.hot}}) {
    const long long dx = x - centre.x;
    const long long dy = y - centre.y;
    const long long d2 = dx * dx + dy * dy;
    if (d2 < 4LL * radius_ * radius_) return blobProfile(peak, d2);
  }
  return config_.background;
}

void Scene::render(uint64_t tick, const RawMapper& mapper, std::span<uint16_t> image) const {
  const size_t pixels = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  if (image.size() < pixels) return;
  switch (config_.kind) {
    case SceneKind::Flat: std::fill_n(image.begin(), pixels, mapper.countFor(config_.flat)); return;
    case SceneKind::Gradient: {
      std::vector<uint16_t> columns(static_cast<size_t>(width_));
      for (int x = 0; x < width_; ++x)
        columns[static_cast<size_t>(x)] = mapper.countFor(gradientAt(x));
      for (int y = 0; y < height_; ++y)
        std::copy(columns.begin(), columns.end(),
                  image.begin() + static_cast<ptrdiff_t>(y) * width_);
      return;
    }
    case SceneKind::Blobs: break;
  }
  std::fill_n(image.begin(), pixels, mapper.countFor(config_.background));
  // A disc's counts depend only on the squared distance to its centre: convert each once.
  const long long outer = 2LL * radius_;
  const long long reach = outer * outer;
  for (const auto& [centre, peak] :
       {std::pair{hotCentre(tick), config_.hot}, std::pair{coldCentre(tick), config_.cold}}) {
    std::vector<uint16_t> byDistance(static_cast<size_t>(reach));
    for (long long d2 = 0; d2 < reach; ++d2)
      byDistance[static_cast<size_t>(d2)] = mapper.countFor(blobProfile(peak, d2));
    for (long long y = std::max<long long>(0, centre.y - outer);
         y <= std::min<long long>(height_ - 1, centre.y + outer); ++y) {
      for (long long x = std::max<long long>(0, centre.x - outer);
           x <= std::min<long long>(width_ - 1, centre.x + outer); ++x) {
        const long long d2 = (x - centre.x) * (x - centre.x) + (y - centre.y) * (y - centre.y);
        if (d2 < reach)
          image[static_cast<size_t>(y * width_ + x)] = byDistance[static_cast<size_t>(d2)];
      }
    }
  }
}

}  // namespace irsim
