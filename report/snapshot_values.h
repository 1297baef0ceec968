// What the report program takes from a snapshot: the outcome of reading its IR information
// (with the report program's own messages) and the five values as the checklist shows them.
#pragma once

#include "snapshot/snapshot.h"

#include <filesystem>
#include <string>

namespace pagana {

inline constexpr const char* kErrorTitle = "Error Message";
inline constexpr const char* kNoIrInformation = "No IR information!!";

enum class ParseResult {
  Refused,        // the reader has said why (or the file is no JPEG at all)
  NoInformation,  // a JPEG without the information segment
  InformationRead,
};

struct SnapshotParse {
  ParseResult result = ParseResult::Refused;
  std::string message;  // the reader's message for a refusal; empty for a silent one
  snapshot::InfoFields fields;
};

// Maps the shared reader's errors to what this program tells the user.
SnapshotParse interpretRead(const snapshot::ReadResult& read);
SnapshotParse parseSnapshotFile(const std::filesystem::path& path);

// The texts of the checklist's value columns.
struct ReportValues {
  std::string level;
  std::string span;
  std::string atmTemp;
  std::string atmTrans;
  std::string emissivity;

  bool operator==(const ReportValues&) const = default;
};

// Every temperature in degrees Celsius with the degree sign, the rest with two decimals.
ReportValues formatValues(const snapshot::InfoFields& fields);

}  // namespace pagana
