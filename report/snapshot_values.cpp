#include "snapshot_values.h"

#include <cstdio>

namespace pagana {
namespace {

std::string celsius(double value) {
  char text[64];
  std::snprintf(text, sizeof text,
                "%.2f\xC2\xB0"
                "C",
                value);
  return text;
}

std::string plain(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

std::string refusalText(snapshot::ReadError error) {
  using snapshot::ReadError;
  switch (error) {
    case ReadError::None:
    case ReadError::NotJpeg:
    case ReadError::NoInformation: return "";
    case ReadError::CannotOpen: return "Failed to load IR file!!";
    case ReadError::InvalidJpeg: return "Invalid jpeg file";
    case ReadError::MarkerHeader: return "Failed to read marker header!";
    case ReadError::PrematureEnd: return "Premature end of file?";
    // An information segment too short for its block, or for a size no camera has, carries
    // no values worth printing: it is refused like a segment of someone else's.
    case ReadError::NoIrData:
    case ReadError::DamagedIrData: return "No IR data!";
  }
  return "";
}

}  // namespace

SnapshotParse interpretRead(const snapshot::ReadResult& read) {
  SnapshotParse parse;
  if (read.ok()) {
    parse.result = ParseResult::InformationRead;
    parse.fields = snapshot::decodeInfo(read.data.info);
  } else if (read.error == snapshot::ReadError::NoInformation) {
    parse.result = ParseResult::NoInformation;
  } else {
    parse.result = ParseResult::Refused;
    parse.message = refusalText(read.error);
  }
  return parse;
}

SnapshotParse parseSnapshotFile(const std::filesystem::path& path) {
  return interpretRead(snapshot::readSnapshotFile(path, snapshot::ReadMode::InformationOnly));
}

ReportValues formatValues(const snapshot::InfoFields& fields) {
  // The analyzer's writer keeps the values at their naturally aligned places, which
  // decodeInfo reads, so reports of our own snapshots show the analyzer's numbers.
  return ReportValues{
      celsius(fields.levelTenths / 10.0),           celsius(fields.spanTenths / 10.0),
      celsius(fields.atmTempThousandths / 1000.0),  plain(fields.transmissionThousandths / 1000.0),
      plain(fields.emissivityThousandths / 1000.0),
  };
}

}  // namespace pagana
