#include "json_writer.h"

#include <cmath>
#include <cstdio>

namespace irdexcli {

std::string jsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string jsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char text[40];
  // Enough digits that a float read back is the same float.
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

JsonObject& JsonObject::add(const std::string& key, const std::string& value) {
  members_.emplace_back(key, jsonString(value));
  return *this;
}
JsonObject& JsonObject::add(const std::string& key, double value) {
  members_.emplace_back(key, jsonNumber(value));
  return *this;
}
JsonObject& JsonObject::add(const std::string& key, int64_t value) {
  members_.emplace_back(key, std::to_string(value));
  return *this;
}
JsonObject& JsonObject::addBool(const std::string& key, bool value) {
  members_.emplace_back(key, value ? "true" : "false");
  return *this;
}
JsonObject& JsonObject::addNull(const std::string& key) {
  members_.emplace_back(key, "null");
  return *this;
}
JsonObject& JsonObject::addRaw(const std::string& key, const std::string& json) {
  members_.emplace_back(key, json);
  return *this;
}

std::string JsonObject::text(int indent) const {
  const std::string inner(static_cast<std::size_t>(indent + 2), ' ');
  std::string out = "{";
  for (std::size_t i = 0; i < members_.size(); ++i) {
    out += (i ? ",\n" : "\n") + inner + jsonString(members_[i].first) + ": " + members_[i].second;
  }
  out += members_.empty() ? "}" : "\n" + std::string(static_cast<std::size_t>(indent), ' ') + "}";
  return out;
}

std::string jsonArray(const std::vector<std::string>& items, int indent) {
  const std::string inner(static_cast<std::size_t>(indent + 2), ' ');
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ",\n" : "\n") + inner + items[i];
  out += items.empty() ? "]" : "\n" + std::string(static_cast<std::size_t>(indent), ' ') + "]";
  return out;
}

}  // namespace irdexcli
