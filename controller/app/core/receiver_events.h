// What the receive thread tells the window, in the order it happens: one small record per
// kind, handed over by value to the window's thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "pages/core/range_list.h"

namespace tessor {

// A receive error or the camera's refusal; the thread ends unless it was a refusal with
// reason 1.
struct ReceiveError {
  int status = 0;
  int reason = 0;
};
// A frame header was processed; not `supported` when the camera is newer than this program.
struct HeaderArrived {
  bool supported = true;
  std::array<uint8_t, 512> header{};
  std::vector<pages::MeasurementRange> ranges;
  uint32_t systemData = 0;
};
struct SystemDataArrived {
  uint32_t value = 0;
};
struct ImageReady {};
// A KS camera's header version: it chooses the "Image Adjustments" page.
struct GenerationKnown {
  int version = 0;
};
struct OperatedByHand {};
// A message of the receive thread itself (missing tables).
struct ReceiverNotice {
  std::string text;
  std::string caption;
};

using ReceiverEvent = std::variant<ReceiveError, HeaderArrived, SystemDataArrived, ImageReady,
                                   GenerationKnown, OperatedByHand, ReceiverNotice>;

}  // namespace tessor
