#include "discovery/core/neighbour_table.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace discovery {
namespace {

constexpr const char* kTitles =
    "IP address       HW type     Flags       HW address            Mask     Device\n";

struct EntryCase {
  const char* entries;
  const char* ip;
  std::optional<std::string> mac;
};

TEST(NeighbourTable, OnlyACompleteEntryOfTheAddressGivesItsMac) {
  const EntryCase cases[] = {
      {"10.0.0.7 0x1 0x2 00:1a:2b:3c:4d:5e * eth0\n", "10.0.0.7", "00:1A:2B:3C:4D:5E"},
      // Single-digit groups are how some tools print bytes below 0x10.
      {"10.0.0.7 0x1 0x2 0:1a:2:3c:4:e * eth0", "10.0.0.7", "00:1A:02:3C:04:0E"},
      {"10.0.0.6 0x1 0x2 00:00:00:00:00:01 * eth0\n10.0.0.7 0x1 0x2 aa:bb:cc:dd:ee:ff * eth0\n",
       "10.0.0.7", "AA:BB:CC:DD:EE:FF"},
      // An incomplete entry (flags 0x0) has no address yet.
      {"10.0.0.7 0x1 0x0 00:00:00:00:00:00 * eth0\n", "10.0.0.7", std::nullopt},
      // The address must match as a whole, not as a prefix.
      {"10.0.0.70 0x1 0x2 00:1a:2b:3c:4d:5e * eth0\n", "10.0.0.7", std::nullopt},
      {"10.0.0.7 0x1 0x2 00:1a:2b:3c:4d * eth0\n", "10.0.0.7", std::nullopt},
      {"10.0.0.7 0x1 0x2 00:1a:2b:3c:4d:5e:6f * eth0\n", "10.0.0.7", std::nullopt},
      {"10.0.0.7 0x1 0x2 00:1a:2b:3c:4d:5e: * eth0\n", "10.0.0.7", std::nullopt},
      {"10.0.0.7 0x1 0x2 000:1a:2b:3c:4d:5e * eth0\n", "10.0.0.7", std::nullopt},
      {"10.0.0.7 0x1 0x2 0g:1a:2b:3c:4d:5e * eth0\n", "10.0.0.7", std::nullopt},
      {"10.0.0.7 0x1 0x2 -1:1a:2b:3c:4d:5e * eth0\n", "10.0.0.7", std::nullopt},
      {"10.0.0.7 0x1 0x2\n", "10.0.0.7", std::nullopt},
      {"", "10.0.0.7", std::nullopt},
  };
  for (const EntryCase& c : cases) {
    SCOPED_TRACE(c.entries);
    EXPECT_EQ(macFromNeighbourTable(std::string(kTitles) + c.entries, c.ip), c.mac);
  }
}

TEST(NeighbourTable, TheTitleLineIsNeverAnEntry) {
  EXPECT_FALSE(macFromNeighbourTable("10.0.0.7 0x1 0x2 00:1a:2b:3c:4d:5e * eth0\n", "10.0.0.7"));
}

}  // namespace
}  // namespace discovery
