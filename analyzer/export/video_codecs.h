// Which encoder a four-character code stands for, and the codec list the environment
// dialog offers: the video encoders this FFmpeg has that an AVI file can hold.
#pragma once

#include <string>
#include <vector>

namespace solvane::exports {

struct VideoCodec {
  std::string fourcc;        // upper case
  std::string friendlyName;  // the encoder's long name, else the code
};

// Codes left out of the list (raw and planar formats, and a few the list never offered).
bool isExcludedFromCodecList(const std::string& fourcc);

// Every usable encoder once, by code, in a stable order.
std::vector<VideoCodec> availableVideoCodecs();

// The index the dialog preselects: the stored index when it is valid, else XVID if present,
// else MSVC; -1 when neither exists.
int defaultCodecIndex(const std::vector<VideoCodec>& codecs, int storedIndex);

// Upper-cases a code as the list shows it.
std::string normalisedFourcc(const std::string& fourcc);

}  // namespace solvane::exports
