#include "bytes/error_text.h"

#include <irdex.h>

#include <cstdio>

namespace bytes {
namespace {

struct CodeText {
  int32_t code;
  const char* text;
};

constexpr CodeText kProgramTexts[] = {
    {SDK_ERR_INVALID_HANDLE, "ERROR : INVALIDE HANDLE"},
    {SDK_ERR_OPEN_FILE, "ERROR : OPEN FILE"},
    {SDK_ERR_CLOSE_FILE, "ERROR : CLOSE FILE"},
    {SDK_ERR_READ_IR_IMAGE, "ERROR : READ IR IMAGE"},
    {SDK_ERR_STREAM_BUFFER, "ERROR : FILE STREAM BUFFER ALLOCATION"},
    {SDK_ERR_END_OF_IR_IMAGE, "ERROR : END OF IR IMAGE"},
    {SDK_ERR_START_OF_IR_IMAGE, "ERROR : START OF IR IMAGE"},
    {SDK_ERR_WRITE_IR_IMAGE, "ERROR : WRITE IR IMAGE"},
    {SDK_ERR_SOCKET_LIBRARY, "ERROR : NOT FOUND WINSOCK DLL"},
    {SDK_ERR_CONNECTION_CLOSED, "ERROR : CONNECT CAMERA"},
    {SDK_ERR_RECEIVE, "ERROR : DISCONNECT CAMERA"},
    {SDK_ERR_UNKNOWN_PACKET_ID, "ERROR : UNKNOWN PACKET ID"},
    {SDK_ERR_SEND_PACKET, "ERROR : SEND PACKET"},
    {SDK_ERR_FRAME_POSITION, "ERROR : START FRAME POSITION"},
    {SDK_ERR_FILTER_SIZE, "ERROR : IMAGE FILTER SIZE"},
    {SDK_ERR_FRAME_COUNT_OVER, "ERROR : IMAGE FRAME COUNT OVER"},
    {SDK_ERR_PALETTE_FILE, "ERROR : PALETTE FILE OPEN"},
    {SDK_ERR_HXR_SIGNATURE, "ERROR : HXR FILE SIGNATURE"},
    {SDK_ERR_UNSUPPORTED_FILTER, "ERROR : UNSUPPORT FILTER"},
    {SDK_ERR_NAK, "ERROR : RECEIVE NAK"},
    {SDK_ERR_BUFFER, "ERROR : BUFFER ALLOCATION"},
};

}  // namespace

std::string errorText(int32_t result) {
  const auto code = static_cast<int16_t>(result & 0xFFFF);
  if (code == SDK_SUCCESS) return {};
  for (const CodeText& entry : kProgramTexts)
    if (entry.code == code) return entry.text;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "ERROR : UNKNOWN %d", code);
  return buffer;
}

}  // namespace bytes
