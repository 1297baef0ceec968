// `irdex discover` through the shared finder core, against the stand-in DNS-SD library the
// discovery tests script.
#include "cli_error.h"
#include "cli_test_support.h"
#include "discovery/core/dns_sd_library.h"
#include "discovery/tests/fake_dns_sd_client.h"

#include <stdlib.h>

namespace irdexcli {
namespace {

using namespace irdexcli::testing;

class Discover : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(setenv(discovery::kDnsSdLibraryVariable, FAKE_DNSSD_PATH, 1), 0);
    ASSERT_TRUE(discovery::processDnsSdLibrary().loaded());
  }
  discovery::testing::FakeDnsSd fake_;
};

TEST_F(Discover, ListsTheAnnouncedCamerasAsJson) {
  fake_.addCamera("Line3", "KS3-384", "Line3", "127.0.0.21", "00:11:22:33:44:55");
  fake_.addCamera("Dock", "KT4", "Dock", "127.0.0.22", "00:11:22:33:44:66");
  const ToolRun run = runTool({"discover", "--seconds", "1", "--json"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  for (const char* field : {"\"name\": \"Line3\"", "\"ip\": \"127.0.0.21\"",
                            "\"mac\": \"00:11:22:33:44:55\"", "\"ip\": \"127.0.0.22\""})
    EXPECT_NE(run.out.find(field), std::string::npos) << field << "\n" << run.out;
}

TEST_F(Discover, PrintsAHeadedTableWhenNothingAnswers) {
  const ToolRun run = runTool({"discover", "--seconds", "0.2"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out.rfind("NAME", 0), 0u) << run.out;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
}

}  // namespace
}  // namespace irdexcli
