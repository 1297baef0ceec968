// GetTempMapTable: the delivered raw-to-temperature tables, read from beside the running
// program (not the library), as the programs ship them, else from the installed data folder.
#include <irdex.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "records/boundary.h"
#include "records/byte_order.h"
#include "records/data_files.h"
#include "temperature/conversion.h"

namespace irdex::temperature {

namespace {

constexpr const char* kLowRangeFile = "TempMapTable_L.bin";
constexpr const char* kHighRangeFile = "TempMapTable_M.bin";

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

SdkStatus loadTableFile(float* table, int range) {
  const char* name = range == 0 ? kLowRangeFile : range == 1 ? kHighRangeFile : nullptr;
  if (!name) return SDK_ERR_OPEN_FILE;
  const std::filesystem::path path = irdex::records::findDataFile(name);
  if (path.empty()) return SDK_ERR_OPEN_FILE;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return SDK_ERR_OPEN_FILE;

  // Read in blocks and decode each little-endian float, so the layout on disk never
  // depends on the host.
  constexpr int kBlockEntries = 4096;
  std::array<uint8_t, kBlockEntries * 4> block;
  for (int done = 0; done < kTableEntries; done += kBlockEntries) {
    if (std::fread(block.data(), 4, kBlockEntries, file.get()) != kBlockEntries)
      return SDK_ERR_BUFFER;
    for (int i = 0; i < kBlockEntries; ++i) table[done + i] = readLeFloat(block.data() + 4 * i);
  }
  return SDK_SUCCESS;
}

}  // namespace irdex::temperature

extern "C" {

IRDEX_API SdkStatus GetTempMapTable(float* table, int32_t range) {
  if (!table) return SDK_ERR_BUFFER;
  return irdex::guarded([&] { return irdex::temperature::loadTableFile(table, range); },
                        SDK_ERR_OPEN_FILE);
}

}  // extern "C"
