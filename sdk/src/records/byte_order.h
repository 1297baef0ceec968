// The library's names for the little-endian helpers: one header, common/bytes/byte_order.h,
// serves the library and the programs.
#pragma once

#include "bytes/byte_order.h"

namespace irdex {

using bytes::readLe16;
using bytes::readLe16s;
using bytes::readLe32;
using bytes::readLe32s;
using bytes::readLe64;
using bytes::readLeFloat;
using bytes::writeLe16;
using bytes::writeLe32;
using bytes::writeLe64;
using bytes::writeLeFloat;

}  // namespace irdex
