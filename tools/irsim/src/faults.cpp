#include "faults.h"

#include <charconv>
#include <vector>

namespace irsim {

namespace {

std::vector<std::string_view> splitColons(std::string_view text) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    const size_t colon = text.find(':', start);
    parts.push_back(text.substr(start, colon - start));
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  return parts;
}

bool parseNumber(std::string_view text, uint32_t& value) {
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

bool parseFault(std::string_view text, Fault& fault, std::string* error) {
  const auto parts = splitColons(text);
  const std::string_view name = parts[0];
  std::vector<uint32_t> numbers;
  for (size_t i = 1; i < parts.size(); ++i) {
    uint32_t value = 0;
    if (!parseNumber(parts[i], value)) {
      if (error)
        *error =
            "fault '" + std::string(text) + "': '" + std::string(parts[i]) + "' is not a number";
      return false;
    }
    numbers.push_back(value);
  }
  auto arity = [&](size_t least, size_t most) {
    if (numbers.size() >= least && numbers.size() <= most) return true;
    if (error) *error = "fault '" + std::string(text) + "': wrong number of values";
    return false;
  };
  Fault parsed;
  if (name == "close-after") {
    if (!arity(1, 1)) return false;
    parsed.kind = Fault::Kind::CloseAfterFrames;
    parsed.count = numbers[0];
  } else if (name == "close-mid") {
    if (!arity(1, 1)) return false;
    parsed.kind = Fault::Kind::CloseMidPacket;
    parsed.count = numbers[0];
  } else if (name == "foreign") {
    if (!arity(1, 2)) return false;
    parsed.kind = Fault::Kind::ForeignBytes;
    parsed.count = numbers[0];
    if (numbers.size() > 1) parsed.bytes = numbers[1];
    if (parsed.count == 0 || parsed.bytes == 0 || parsed.bytes > 65536) {
      if (error) *error = "fault '" + std::string(text) + "': packet number from 1, 1..65536 bytes";
      return false;
    }
  } else if (name == "nak") {
    if (!arity(1, 2)) return false;
    parsed.kind = Fault::Kind::Nak;
    if (numbers[0] > 0xFFFF) {
      if (error) *error = "fault '" + std::string(text) + "': reason 0..0xFFFF";
      return false;
    }
    parsed.reason = static_cast<int16_t>(numbers[0]);
    if (numbers.size() > 1) parsed.settingId = static_cast<uint16_t>(numbers[1]);
  } else if (name == "stall") {
    if (!arity(1, 2)) return false;
    parsed.kind = Fault::Kind::Stall;
    parsed.count = numbers[0];
    if (numbers.size() > 1) parsed.durationMs = numbers[1];
  } else if (name == "slow") {
    if (!arity(1, 1)) return false;
    parsed.kind = Fault::Kind::SlowLink;
    parsed.bytesPerSecond = numbers[0];
    if (parsed.bytesPerSecond == 0) {
      if (error) *error = "fault '" + std::string(text) + "': the rate is at least 1 byte/s";
      return false;
    }
  } else if (name == "bad-model") {
    if (!arity(0, 0)) return false;
    parsed.kind = Fault::Kind::UnsupportedModel;
  } else {
    if (error) *error = "unknown fault '" + std::string(name) + "'";
    return false;
  }
  fault = parsed;
  return true;
}

std::string describeFault(const Fault& fault) {
  switch (fault.kind) {
    case Fault::Kind::CloseAfterFrames: return "close-after:" + std::to_string(fault.count);
    case Fault::Kind::CloseMidPacket: return "close-mid:" + std::to_string(fault.count);
    case Fault::Kind::ForeignBytes:
      return "foreign:" + std::to_string(fault.count) + ":" + std::to_string(fault.bytes);
    case Fault::Kind::Nak:
      return "nak:" + std::to_string(fault.reason) + ":" + std::to_string(fault.settingId);
    case Fault::Kind::Stall:
      return "stall:" + std::to_string(fault.count) + ":" + std::to_string(fault.durationMs);
    case Fault::Kind::SlowLink: return "slow:" + std::to_string(fault.bytesPerSecond);
    case Fault::Kind::UnsupportedModel: return "bad-model";
  }
  return "?";
}

}  // namespace irsim
