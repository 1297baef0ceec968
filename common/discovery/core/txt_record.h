// What a camera's DNS-SD answer says about it. Everything here comes from the network, so
// every copy is bounded by the fixed buffer sizes the camera finder has always used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace discovery {

// One TXT string is looked at through a 64-byte buffer: at most 63 characters.
inline constexpr std::size_t kTxtStringChars = 63;
// Each camera field has 20 bytes: at most 19 characters.
inline constexpr std::size_t kCameraFieldChars = 19;
// The first label of an instance's full name must fit 1,009 bytes with its terminator.
inline constexpr std::size_t kInstanceLabelChars = 1008;

inline constexpr std::string_view kModelKey = "model=";
inline constexpr std::string_view kNameKey = "name=";
inline constexpr std::string_view kIpKey = "ip=";
inline constexpr std::string_view kMacKey = "mac=";

struct CameraTxt {
  std::string name;
  std::string model;
  std::string ip;
  std::string mac;
  bool operator==(const CameraTxt&) const = default;
};

struct TxtParseResult {
  CameraTxt fields;
  // A length byte ran past the end of the record: the record is not to be trusted.
  bool malformed = false;
  // Some value was longer than a field holds and was cut.
  bool valueCut = false;
};

// Walks the TXT record's length-prefixed strings. Backslashes and double quotes are left
// out, each string is cut at 63 characters before its key is compared, a NUL byte ends it,
// and a later string with the same key overwrites the earlier value.
TxtParseResult parseCameraTxt(std::span<const std::uint8_t> txt);

// The instance name's first label (up to the first '.' not escaped by a backslash), or
// nothing when the name ends before such a '.' or the label does not fit its buffer.
std::optional<std::string> firstInstanceLabel(std::string_view fullName);

// The longest start of `text` of at most `maxBytes` bytes that does not split a UTF-8
// character: names typed by the user are cut to fixed fields without leaving half a letter.
std::string cutText(std::string_view text, std::size_t maxBytes);

}  // namespace discovery
