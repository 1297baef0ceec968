// Thermal scenes with known temperatures, rendered into a camera's raw counts.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "conversion.h"

namespace irsim {

enum class SceneKind { Blobs, Gradient, Flat };

struct SceneConfig {
  SceneKind kind = SceneKind::Blobs;
  float background = 25.0f;  // degrees Celsius
  float hot = 80.0f;
  float cold = 5.0f;
  float flat = 30.0f;
  float gradientLow = 0.0f;     // left column
  float gradientHigh = 100.0f;  // right column
  int motionPeriod = 300;       // frames per turn of the blobs; 0 keeps them still
};

bool parseSceneKind(std::string_view text, SceneKind& kind);
const char* sceneKindName(SceneKind kind);

struct PixelPoint {
  int x = 0;
  int y = 0;
};

// Blobs: a background with a hot and a cold disc that circle the centre in opposite phase.
// Each disc is flat out to plateauRadius() and blends linearly into the background over
// the same distance again. Gradient: rising linearly from the left column to the right one.
// Flat: one temperature everywhere.
class Scene {
 public:
  Scene(const SceneConfig& config, int width, int height);

  const SceneConfig& config() const { return config_; }
  float temperatureAt(int x, int y, uint64_t tick) const;
  PixelPoint hotCentre(uint64_t tick) const;
  PixelPoint coldCentre(uint64_t tick) const;
  int plateauRadius() const { return radius_; }
  // Fills width x height counts for the camera frame at `tick`.
  void render(uint64_t tick, const RawMapper& mapper, std::span<uint16_t> image) const;

 private:
  PixelPoint blobCentre(uint64_t tick, double phase) const;
  float blobProfile(float peak, long long distanceSquared) const;
  float gradientAt(int x) const;

  SceneConfig config_;
  int width_;
  int height_;
  int radius_;
};

}  // namespace irsim
