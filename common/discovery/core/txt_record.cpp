#include "discovery/core/txt_record.h"

namespace discovery {
namespace {

bool isUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The string as the finder's 64-byte buffer sees it.
std::string bufferedTxtString(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (std::uint8_t byte : bytes) {
    if (text.size() == kTxtStringChars) break;
    if (byte == '\\' || byte == '"') continue;
    text.push_back(static_cast<char>(byte));
  }
  // The buffer is read as a C string.
  if (auto end = text.find('\0'); end != std::string::npos) text.resize(end);
  return text;
}

}  // namespace

std::string cutText(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  std::size_t length = maxBytes;
  while (length > 0 && isUtf8Continuation(text[length])) --length;
  return std::string(text.substr(0, length));
}

TxtParseResult parseCameraTxt(std::span<const std::uint8_t> txt) {
  TxtParseResult result;
  std::size_t position = 0;
  while (position < txt.size()) {
    const std::size_t length = txt[position];
    ++position;
    if (length > txt.size() - position) {
      result.malformed = true;
      return result;
    }
    const std::string text = bufferedTxtString(txt.subspan(position, length));
    position += length;

    struct KeyField {
      std::string_view key;
      std::string CameraTxt::*field;
    };
    static constexpr KeyField kKeys[] = {{kModelKey, &CameraTxt::model},
                                         {kNameKey, &CameraTxt::name},
                                         {kIpKey, &CameraTxt::ip},
                                         {kMacKey, &CameraTxt::mac}};
    for (const auto& [key, field] : kKeys) {
      if (!text.starts_with(key)) continue;
      const std::string_view value = std::string_view(text).substr(key.size());
      if (value.size() > kCameraFieldChars) result.valueCut = true;
      result.fields.*field = cutText(value, kCameraFieldChars);
      break;
    }
  }
  return result;
}

std::optional<std::string> firstInstanceLabel(std::string_view fullName) {
  std::string label;
  for (std::size_t i = 0; i < fullName.size(); ++i) {
    const char c = fullName[i];
    if (c == '\0') break;
    if (c == '.') return label;
    if (c == '\\') {
      // An escaped pair is copied whole; a trailing backslash escapes nothing.
      if (i + 1 >= fullName.size() || fullName[i + 1] == '\0') break;
      if (label.size() + 2 > kInstanceLabelChars) return std::nullopt;
      label.push_back(c);
      label.push_back(fullName[++i]);
      continue;
    }
    if (label.size() + 1 > kInstanceLabelChars) return std::nullopt;
    label.push_back(c);
  }
  return std::nullopt;
}

}  // namespace discovery
