// A small JSON writer for `--json` output: objects, arrays, strings (escaped), numbers
// (non-finite numbers become null) and booleans, written straight to a stream.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace irdexcli {

std::string jsonString(std::string_view text);
std::string jsonNumber(double value);

class JsonObject {
 public:
  JsonObject& add(const std::string& key, const std::string& value);
  JsonObject& add(const std::string& key, const char* value) {
    return add(key, std::string(value));
  }
  JsonObject& add(const std::string& key, double value);
  JsonObject& add(const std::string& key, int64_t value);
  JsonObject& add(const std::string& key, int32_t value) { return add(key, int64_t{value}); }
  JsonObject& addBool(const std::string& key, bool value);
  JsonObject& addNull(const std::string& key);
  JsonObject& addRaw(const std::string& key, const std::string& json);
  std::string text(int indent = 0) const;

 private:
  std::vector<std::pair<std::string, std::string>> members_;
};

std::string jsonArray(const std::vector<std::string>& items, int indent = 0);

}  // namespace irdexcli
