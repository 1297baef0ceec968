// Internal: putting a file in place through a temporary file beside it.
#pragma once

#include "snapshot/snapshot.h"

#include <filesystem>
#include <span>

namespace snapshot {

// Writes the pieces one after another to a temporary file beside `path`, then renames it
// over `path`; on failure the temporary file is removed and `path` is left as it was.
WriteError replaceFileWithPieces(const std::filesystem::path& path,
                                 std::span<const std::span<const uint8_t>> pieces);

}  // namespace snapshot
