#include "uploads.h"

#include "wire.h"

namespace irsim {

namespace {

constexpr size_t kPaletteSlotAt = 7;
constexpr size_t kPictureLengthAt = 1032;
constexpr size_t kPictureAt = 1036;
constexpr size_t kPictureCapacity = 8192;

UploadVerdict refuse(int16_t reason, std::string note) {
  return UploadVerdict{false, reason, std::move(note)};
}

}  // namespace

uint32_t crc32(std::span<const uint8_t> bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (uint8_t b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return ~crc;
}

UploadVerdict Uploads::acceptPalette(std::span<const uint8_t> block) {
  if (block.size() != kPaletteBlockSize) return refuse(kReasonBadUpload, "palette of wrong size");
  const uint8_t slot = block[kPaletteSlotAt];
  if (slot > 1)
    return refuse(kReasonBadUpload, "palette slot " + std::to_string(slot) + " unknown");
  const uint32_t pictureLength = getLe32(block.data() + kPictureLengthAt);
  if (pictureLength > kPictureCapacity)
    return refuse(kReasonBadUpload,
                  "palette picture length " + std::to_string(pictureLength) + " beyond its field");
  StoredPalette stored;
  stored.slot = slot;
  stored.block.assign(block.begin(), block.end());
  stored.picture.assign(block.begin() + kPictureAt, block.begin() + kPictureAt + pictureLength);
  std::lock_guard lock(mutex_);
  palettes_[slot] = std::move(stored);
  return UploadVerdict{true, 0,
                       "user palette " + std::to_string(slot + 1) + " stored, picture " +
                           std::to_string(pictureLength) + " bytes"};
}

UploadVerdict Uploads::acceptFirmwareBlock(std::span<const uint8_t> record) {
  if (record.size() != kFirmwareBlockSize)
    return refuse(kReasonBadUpload, "firmware block of wrong size");
  const auto version = static_cast<int32_t>(getLe32(record.data()));
  const uint32_t size = getLe32(record.data() + 4);
  const uint16_t count = getLe16(record.data() + 8);
  const uint16_t number = getLe16(record.data() + 10);
  std::lock_guard lock(mutex_);
  if (number == 1) {
    // Block 1 always starts a new image, whatever came before.
    if (count == 0 || size == 0 || (size + kFirmwareChunk - 1) / kFirmwareChunk != count) {
      assembly_.reset();
      return refuse(kReasonBadUpload, "firmware block count " + std::to_string(count) +
                                          " does not fit a size of " + std::to_string(size));
    }
    assembly_ = Assembly{version, size, count, 0, {}};
    assembly_->bytes.reserve(static_cast<size_t>(count) * kFirmwareChunk);
  }
  if (!assembly_ || number != assembly_->received + 1 || version != assembly_->version ||
      size != assembly_->size || count != assembly_->blockCount) {
    const std::string expected = assembly_ ? std::to_string(assembly_->received + 1) : "1";
    assembly_.reset();
    return refuse(kReasonBlockOutOfOrder, "firmware block " + std::to_string(number) +
                                              " out of order (expected " + expected +
                                              "), image dropped");
  }
  assembly_->bytes.insert(assembly_->bytes.end(), record.begin() + 12, record.end());
  ++assembly_->received;
  if (assembly_->received < assembly_->blockCount) {
    return UploadVerdict{
        true, 0,
        "firmware block " + std::to_string(number) + "/" + std::to_string(assembly_->blockCount)};
  }
  return finishImage();
}

UploadVerdict Uploads::finishImage() {
  FirmwareImage image;
  image.version = assembly_->version;
  image.size = assembly_->size;
  image.blockCount = assembly_->blockCount;
  image.bytes = std::move(assembly_->bytes);
  image.bytes.resize(image.size);
  assembly_.reset();
  const std::string head = "firmware block " + std::to_string(image.blockCount) + "/" +
                           std::to_string(image.blockCount) + ", image of " +
                           std::to_string(image.size) + " bytes";
  image.signatureMatched = image.size >= 12 && getLe32(image.bytes.data()) == kFirmwareSignature;
  image.crcMatched =
      image.size >= 12 &&
      getLe32(image.bytes.data() + 4) == crc32(std::span<const uint8_t>(image.bytes).subspan(8));
  const bool good = image.signatureMatched && image.crcMatched;
  firmware_ = std::move(image);
  if (!firmware_->signatureMatched) return refuse(kReasonImageRejected, head + ", signature wrong");
  if (!good) return refuse(kReasonImageRejected, head + ", CRC mismatch");
  return UploadVerdict{true, 0,
                       head + ", CRC matched, version " + std::to_string(firmware_->version)};
}

std::optional<StoredPalette> Uploads::palette(int slot) const {
  std::lock_guard lock(mutex_);
  if (slot < 0 || slot > 1) return std::nullopt;
  return palettes_[static_cast<size_t>(slot)];
}

std::optional<FirmwareImage> Uploads::firmware() const {
  std::lock_guard lock(mutex_);
  return firmware_;
}

uint16_t Uploads::firmwareBlocksPending() const {
  std::lock_guard lock(mutex_);
  return assembly_ ? assembly_->received : 0;
}

}  // namespace irsim
