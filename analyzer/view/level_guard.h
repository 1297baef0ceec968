// Where the automatic level may sit in the camera's range.
#pragma once

namespace solvane {

// With the span at exactly 6, keeps the level 3 degrees inside the range limits.
float guardLevel(float level, float span, float rangeMin, float rangeMax);

}  // namespace solvane
