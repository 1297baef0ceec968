// The camera names file beside the programs: the names users gave their cameras, by MAC
// address. Binary, no header, 39-byte records; both programs read and write the same file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace discovery {

inline constexpr std::size_t kNameRecordSize = 39;
inline constexpr std::size_t kRecordMacBytes = 18;   // at offset 0, byte 17 always 0
inline constexpr std::size_t kRecordNameBytes = 21;  // at offset 18, byte 38 always 0
inline constexpr std::size_t kRecordMacChars = kRecordMacBytes - 1;
inline constexpr std::size_t kRecordNameChars = kRecordNameBytes - 1;
inline constexpr std::size_t kMaxNameRecords = 100;
inline constexpr const char* kNamesFileName = "cam_name.cnm";

struct NameRecord {
  std::string mac;
  std::string name;
  bool operator==(const NameRecord&) const = default;
};

struct NamesFileContents {
  std::vector<NameRecord> records;
  // The file ended inside a record; the broken tail was not used.
  bool partialRecord = false;
  // The file holds more than the 100 records that are read.
  bool recordsIgnored = false;
};

// Decodes a file's bytes. Texts end at their first NUL and never run past their field, even
// when a damaged file has no terminator there.
NamesFileContents parseNamesFile(std::span<const std::uint8_t> bytes);

// One record per entry, in order, the texts cut to 17 and 20 bytes.
std::vector<std::uint8_t> encodeNamesFile(std::span<const NameRecord> records);

// Nothing when the file cannot be opened (the table then stays empty).
std::optional<NamesFileContents> readNamesFile(const std::filesystem::path& path);

// Truncates and rewrites the file; false when it cannot be written.
bool writeNamesFile(const std::filesystem::path& path, std::span<const NameRecord> records);

// The names file in the directory of the running program's executable; for an installed
// program whose folder the user cannot write (/usr/bin), the one in the user's configuration
// folder instead, so the names typed in Find Camera are kept.
std::filesystem::path namesFileBesideExecutable();

// The rule above for a given program folder and configuration folder
// ($XDG_CONFIG_HOME, else ~/.config): beside the program when the file is there or the folder
// is writable, else `<config>/irdex/` (created on demand by the caller's write).
std::filesystem::path namesFileFor(const std::filesystem::path& programFolder,
                                   const std::filesystem::path& configFolder);

// The first record stored for this MAC address, if any. A camera that announced no MAC
// address has no stored name.
const NameRecord* findStoredName(std::span<const NameRecord> records, std::string_view mac);

}  // namespace discovery
