#include "link/first_generation.h"

#include <array>
#include <cstring>

#include "records/byte_order.h"

namespace irdex::link {
namespace {

struct Move {
  int from;
  int to;
  int count;
  bool widen;  // each byte becomes an unsigned 16-bit value
};

// Bytes 0..4 (with the version) and 128..330 stay where they are; everything not listed
// keeps what was received.
constexpr std::array<Move, 9> kMoves{{
    {5, 8, 6, false},
    {11, 6, 1, false},  // sensor size code
    {12, 14, 16, false},
    {28, 31, 24, false},
    {52, 7, 1, false},  // range index
    {53, 55, 8, false},
    {61, 63, 4, true},
    {65, 71, 1, false},
    {66, 72, 4, true},
}};

constexpr int kModelByte = 5;
constexpr int kRangeIndexByte = 7;
constexpr int kOldestLayoutVersion = 10;
constexpr int kOldestLayoutWord = 128;

void apply(const Move& move, const uint8_t* received, uint8_t* header) {
  for (int i = 0; i < move.count; ++i) {
    if (move.widen) {
      writeLe16(header + move.to + 2 * i, received[move.from + i]);
    } else {
      header[move.to + i] = received[move.from + i];
    }
  }
}

}  // namespace

void rearrangeFirstGenerationHeader(uint8_t* header) {
  std::array<uint8_t, 512> received;
  std::memcpy(received.data(), header, received.size());
  for (const Move& move : kMoves) apply(move, received.data(), header);
  header[kModelByte] = 0;
  if (header[4] <= kOldestLayoutVersion) {
    writeLe16(header + kOldestLayoutWord, 256);
    header[kRangeIndexByte] = 0;
  }
}

}  // namespace irdex::link
