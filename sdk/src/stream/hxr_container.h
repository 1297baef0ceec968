// The signed HXR container: a 1028-byte header signed "HXR", then fixed-size frames (a
// 260-byte frame head and W x H pixels) addressed by frame number.
#pragma once

#include <irdex.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "stream/ir_stream.h"
#include "stream/stream_file.h"

namespace irdex::stream {

inline constexpr int64_t kContainerHeaderBytes = 1028;
inline constexpr int64_t kContainerFrameHeadBytes = 260;
inline constexpr uint16_t kContainerVersion = 1024;
inline constexpr uint8_t kContainerFormat = 20;
inline constexpr int32_t kDefaultFrameRate = 30;
inline constexpr uint8_t kContainerFrameMark = 'X';
inline constexpr uint32_t kMaxContainerFrameNumber = 9600;  // so at most 9601 frames
inline constexpr int64_t kFrameCountPosition = 52;

enum class QueryMode : int32_t { Next = 3, Previous = 4, First = 5 };  // anything else: last

// Creates (truncating) the container and writes the caller's header with the library's own
// fields set; `localTime` is the creation time, none when the local time is not available.
Status createContainer(const std::string& name, HXRFileHeader& header,
                       const std::optional<std::tm>& localTime, std::unique_ptr<IRStream>& out);
// Opens an existing container for reading and reads its header into `header`.
Status openContainer(const std::string& name, HXRFileHeader& header,
                     std::unique_ptr<IRStream>& out);
// Appends the frame whose pixels follow `frame` in the caller's buffer, numbering it after
// the record's frame number, and then records it in the header's frame count.
Status appendContainerFrame(IRStream& stream, HXRFrame& frame, int64_t now);
// Reads the frame the mode chooses into `frame` and the pixel buffer behind it, which holds
// the header's W x H pixels.
Status queryContainerFrame(IRStream& stream, const HXRFileHeader& header, HXRFrame& frame,
                           int32_t mode, bool wrap);

}  // namespace irdex::stream
