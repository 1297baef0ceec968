// Arbitrary bytes as the analyzer's XML object file. The first byte chooses whether the
// rest is the whole document or the inside of its object list (behind a valid resolution),
// so that the attribute readers are reached without first guessing the frame of the file.
// Whatever is read, every object must lie inside the image and the limits must hold.
#include "manager_roi.h"
#include "object_file.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  constexpr int kWidth = 640, kHeight = 480;
  const QByteArray rest(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  QByteArray document;
  if (data[0] & 1) {
    document = "<Parent><Camera><Resolution xSize=\"640\" ySize=\"480\"/></Camera><ROIs>" + rest +
               "</ROIs></Parent>";
  } else {
    document = rest;
  }
  solvane::CManagerROI manager;
  const auto outcome =
      solvane::parseObjects(document, manager, kWidth, kHeight, [](const QString&) {});
  if (!outcome.ok()) return 0;
  if (manager.spotCount() > manager.spotLimit() || manager.areaCount() > manager.areaLimit())
    abort();
  manager.withObjects([](const std::vector<std::unique_ptr<solvane::CObjectROI>>& objects) {
    for (const auto& object : objects) {
      if (object->clone()->clampTo(solvane::ImageBounds{kWidth, kHeight})) abort();
    }
  });
  // What was read is written again and read back without loss of objects.
  solvane::CManagerROI again;
  const auto reread = solvane::parseObjects(solvane::serializeObjects(manager, kWidth, kHeight),
                                            again, kWidth, kHeight, {});
  if (!reread.ok() || again.size() != manager.size()) abort();
  return 0;
}
