// The inspection texts the user types for one image, keyed by the image's name.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pagana {

struct CMeasureInfo {
  std::string imageName;  // the row key
  std::string company;
  std::string customer;
  std::string site;
  std::string thermographer;
  std::string description;

  bool operator==(const CMeasureInfo&) const = default;
};

// The five texts of an image as the editor shows them, without the key.
struct MeasureTexts {
  std::string company;
  std::string customer;
  std::string site;
  std::string thermographer;
  std::string description;

  bool operator==(const MeasureTexts&) const = default;
};

MeasureTexts textsOf(const CMeasureInfo& info);

// At most one entry per image name.
class MeasureInfoList {
 public:
  const CMeasureInfo* find(const std::string& imageName) const;
  // Returns true when a new entry was made, false when an existing one was changed.
  bool store(const std::string& imageName, const MeasureTexts& texts);
  void remove(const std::string& imageName);
  void clear() { infos_.clear(); }
  const std::vector<CMeasureInfo>& all() const { return infos_; }

 private:
  std::vector<CMeasureInfo> infos_;
};

}  // namespace pagana
