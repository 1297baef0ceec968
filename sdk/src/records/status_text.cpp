#include "records/status_text.h"

#include <irdex.h>

#include <cstdio>

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

// Codes -20, -1001 and -1002 have no text of their own: they fall to the unknown form.
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

template <std::size_t N>
const char* find(const CodeText (&table)[N], int32_t code) {
  for (const CodeText& entry : table) {
    if (entry.code == code) return entry.text;
  }
  return nullptr;
}

}  // namespace

const char* libraryText(int32_t code) {
  const char* text = find(kLibraryTexts, code);
  return text ? text : "No code.";
}

std::string programMessage(int32_t result) {
  const int16_t code = codeOf(result);
  if (code == SDK_SUCCESS) return {};
  if (const char* text = find(kProgramTexts, code)) return text;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "ERROR : UNKNOWN %d", code);
  return buffer;
}

}  // namespace irdex::status
