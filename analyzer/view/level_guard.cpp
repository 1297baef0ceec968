#include "view/level_guard.h"

namespace solvane {

float guardLevel(float level, float span, float rangeMin, float rangeMax) {
  if (span != 6.0f) return level;
  if (level <= rangeMin + 3.0f) return rangeMin + 3.0f;
  if (level >= rangeMax - 3.0f) return rangeMax - 3.0f;
  return level;
}

}  // namespace solvane
