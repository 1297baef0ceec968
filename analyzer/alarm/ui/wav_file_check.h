// Whether a file can be handed to the sound output: it exists, it can be read, and it is a
// RIFF/WAVE file whose format chunk describes sound a player takes. The file is read
// within its own length only, so a short or lying file is refused rather than trusted.
#pragma once

#include <string>

namespace solvane::alarm {

enum class WavCheck { Playable, MissingFile, Unreadable, NotPlayable };

WavCheck checkWavFile(const std::string& path);

// The user's message for a refused file; empty for a playable one.
const char* wavCheckMessage(WavCheck check);
inline constexpr const char* kWavErrorTitle = "Error Message";

}  // namespace solvane::alarm
