#include "app/vyn_cam_sdk_app.h"
#include "testing/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace solvane {
namespace {

struct HelpCase {
  const char* label;
  std::vector<const char*> present;  // manuals that exist, relative to the folder above "bin"
  const char* opened;                // relative to the same folder
};

class HelpCommand : public testing::TestWithParam<HelpCase> {};

TEST_P(HelpCommand, OpensTheFirstManualThatExists) {
  testsupport::TempFolder root;
  const std::filesystem::path top = root.path() / "tree" / "build";
  std::filesystem::create_directories(top / "bin");
  for (const char* file : GetParam().present) {
    const std::filesystem::path path = top / file;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << "<html></html>";
  }
  CVynCamSDKApp app(top / "bin", "1");
  EXPECT_EQ(app.helpPath(), (top / GetParam().opened).lexically_normal());
}

INSTANTIATE_TEST_SUITE_P(
    App, HelpCommand,
    testing::Values(HelpCase{"nothing_installed", {}, "bin/vyncamsdk.html"},
                    HelpCase{"installed_manual",
                             {"share/irdex/manual/index.html"},
                             "share/irdex/manual/index.html"},
                    HelpCase{"documentation_folder",
                             {"share/doc/irdex/manual/index.html"},
                             "share/doc/irdex/manual/index.html"},
                    HelpCase{"source_tree_beside_the_build",
                             {"../packaging/manual/index.html"},
                             "../packaging/manual/index.html"},
                    HelpCase{"installed_before_source_tree",
                             {"../packaging/manual/index.html", "share/irdex/manual/index.html"},
                             "share/irdex/manual/index.html"},
                    HelpCase{"a_folder_is_not_a_manual",
                             {"share/irdex/manual/index.html/x"},
                             "bin/vyncamsdk.html"}),
    [](const testing::TestParamInfo<HelpCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace solvane
