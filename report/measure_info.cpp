#include "measure_info.h"

#include <algorithm>

namespace pagana {

MeasureTexts textsOf(const CMeasureInfo& info) {
  return MeasureTexts{info.company, info.customer, info.site, info.thermographer, info.description};
}

const CMeasureInfo* MeasureInfoList::find(const std::string& imageName) const {
  auto it = std::find_if(infos_.begin(), infos_.end(),
                         [&](const CMeasureInfo& info) { return info.imageName == imageName; });
  return it == infos_.end() ? nullptr : &*it;
}

bool MeasureInfoList::store(const std::string& imageName, const MeasureTexts& texts) {
  CMeasureInfo entry{imageName,  texts.company,       texts.customer,
                     texts.site, texts.thermographer, texts.description};
  auto it = std::find_if(infos_.begin(), infos_.end(),
                         [&](const CMeasureInfo& info) { return info.imageName == imageName; });
  if (it != infos_.end()) {
    *it = std::move(entry);
    return false;
  }
  infos_.push_back(std::move(entry));
  return true;
}

void MeasureInfoList::remove(const std::string& imageName) {
  std::erase_if(infos_, [&](const CMeasureInfo& info) { return info.imageName == imageName; });
}

}  // namespace pagana
