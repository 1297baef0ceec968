#include "records/status_text.h"

#include <irdex.h>

namespace irdex::status {
namespace {

struct CodeText {
  int32_t code;
  const char* text;
};

constexpr CodeText kLibraryTexts[] = {
    {SDK_ERR_INVALID_HANDLE, "Handle error."},
    {SDK_ERR_OPEN_FILE, "File open error."},
    {SDK_ERR_CLOSE_FILE, "File close error."},
    {SDK_ERR_READ_IR_IMAGE, "IR image read error."},
    {SDK_ERR_STREAM_BUFFER, "File stream buffer allocation error."},
    {SDK_ERR_END_OF_IR_IMAGE, "End of IR image stream."},
    {SDK_ERR_START_OF_IR_IMAGE, "Start of IR image stream."},
    {SDK_ERR_WRITE_IR_IMAGE, "Writing error of IR image stream."},
    {SDK_ERR_SOCKET_LIBRARY, "Incorrect version of WS2_32.dll"},
    {SDK_ERR_CONNECTION_CLOSED, "Connection error from a camera."},
    {SDK_ERR_UNKNOWN_PACKET_ID, "Unknown packet ID."},
    {SDK_ERR_SEND_PACKET, "Message sending error."},
    {SDK_ERR_FRAME_POSITION, "First frame position error."},
    {SDK_ERR_FILTER_SIZE, "Window size error of image filter."},
    {SDK_ERR_FRAME_COUNT_OVER, "Count error of image frame."},
    {SDK_ERR_BUFFER, "Buffer allocation error."},
};

}  // namespace

const char* libraryText(int32_t code) {
  for (const CodeText& entry : kLibraryTexts)
    if (entry.code == code) return entry.text;
  return "No code.";
}

}  // namespace irdex::status
