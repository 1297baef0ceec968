#include "discovery/core/names_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>

#include <unistd.h>

#include "discovery/core/txt_record.h"

namespace discovery {
namespace {

std::string fieldText(std::span<const std::uint8_t> field, std::size_t maxChars) {
  const auto usable = field.first(std::min(field.size(), maxChars));
  const auto end = std::find(usable.begin(), usable.end(), std::uint8_t{0});
  return std::string(usable.begin(), end);
}

void putField(std::span<std::uint8_t> field, std::string_view text, std::size_t maxChars) {
  const std::string stored = cutText(text, maxChars);
  std::memcpy(field.data(), stored.data(), stored.size());
}

}  // namespace

NamesFileContents parseNamesFile(std::span<const std::uint8_t> bytes) {
  NamesFileContents contents;
  const std::size_t wholeRecords = bytes.size() / kNameRecordSize;
  const std::size_t used = std::min(wholeRecords, kMaxNameRecords);
  contents.records.reserve(used);
  for (std::size_t i = 0; i < used; ++i) {
    const auto record = bytes.subspan(i * kNameRecordSize, kNameRecordSize);
    contents.records.push_back({fieldText(record.first(kRecordMacBytes), kRecordMacChars),
                                fieldText(record.subspan(kRecordMacBytes), kRecordNameChars)});
  }
  if (bytes.size() > kMaxNameRecords * kNameRecordSize) {
    contents.recordsIgnored = true;
  } else if (bytes.size() % kNameRecordSize != 0) {
    contents.partialRecord = true;
  }
  return contents;
}

std::vector<std::uint8_t> encodeNamesFile(std::span<const NameRecord> records) {
  std::vector<std::uint8_t> bytes(records.size() * kNameRecordSize, 0);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto record = std::span(bytes).subspan(i * kNameRecordSize, kNameRecordSize);
    putField(record.first(kRecordMacBytes), records[i].mac, kRecordMacChars);
    putField(record.subspan(kRecordMacBytes), records[i].name, kRecordNameChars);
  }
  return bytes;
}

std::optional<NamesFileContents> readNamesFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  // One byte more than the table holds tells whether records were left unread.
  std::vector<std::uint8_t> bytes(kMaxNameRecords * kNameRecordSize + 1);
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  return parseNamesFile(bytes);
}

bool writeNamesFile(const std::filesystem::path& path, std::span<const NameRecord> records) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  const auto bytes = encodeNamesFile(records);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  return !file.fail();
}

std::filesystem::path namesFileFor(const std::filesystem::path& programFolder,
                                   const std::filesystem::path& configFolder) {
  const std::filesystem::path beside = programFolder / kNamesFileName;
  std::error_code error;
  if (std::filesystem::exists(beside, error) || configFolder.empty() ||
      ::access(programFolder.c_str(), W_OK) == 0) {
    return beside;
  }
  const std::filesystem::path folder = configFolder / "irdex";
  std::filesystem::create_directories(folder, error);
  return folder / kNamesFileName;
}

std::filesystem::path namesFileBesideExecutable() {
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return kNamesFileName;
  std::filesystem::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    config = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
    config = std::filesystem::path(home) / ".config";
  }
  return namesFileFor(executable.parent_path(), config);
}

const NameRecord* findStoredName(std::span<const NameRecord> records, std::string_view mac) {
  if (mac.empty()) return nullptr;
  // Stored MAC texts are cut to the record's field, so compare what the record could hold.
  const std::string key = cutText(mac, kRecordMacChars);
  const auto found = std::find_if(records.begin(), records.end(),
                                  [&](const NameRecord& record) { return record.mac == key; });
  return found != records.end() ? &*found : nullptr;
}

}  // namespace discovery
