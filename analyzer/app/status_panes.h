// The texts of the status bar's five panes and of the view's status line.
#pragma once

#include <cstdint>
#include <string>

namespace solvane {

// The status bar's panes, left to right.
enum class StatusPane { FrameRate, Model, MousePosition, Intensity, Temperature };
inline constexpr int kStatusPaneCount = 5;
inline constexpr const char* kReceiveCameraData = "RECEIVE CAMERA DATA";

std::string frameRateText(double hertz);
// Model index 0..4 of the connected camera; empty for any other index.
std::string modelText(int32_t modelIndex);
std::string fileSizeText(int32_t width, int32_t height);
std::string mousePositionText(int32_t x, int32_t y);
std::string intensityText(int32_t value);
// Temperature in the display unit: 0 Celsius, 1 Fahrenheit, 2 Kelvin.
std::string temperatureText(double value, int32_t unit);
// The status line after a failed pull: "ERROR : ..." of the status code.
std::string pullErrorText(int32_t result);

}  // namespace solvane
