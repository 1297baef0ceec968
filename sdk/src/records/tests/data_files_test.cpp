// The data-file lookup: the program's own folder first, the installed data folder second,
// and never a path that leaves those folders.
#include <gtest/gtest.h>

#include "records/data_files.h"
#include "testing/case_name.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace irdex::records {
namespace {

namespace fs = std::filesystem;

// Two fresh folders standing for "beside the program" and "installed", removed at the end.
class TwoFolders {
 public:
  TwoFolders() {
    std::string pattern = (fs::temp_directory_path() / "irdex-data-XXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
    fs::create_directory(root_ / "beside");
    fs::create_directory(root_ / "installed");
  }
  ~TwoFolders() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  fs::path beside() const { return root_ / "beside"; }
  fs::path installed() const { return root_ / "installed"; }
  std::vector<fs::path> folders() const { return {beside(), installed()}; }

 private:
  fs::path root_;
};

void touch(const fs::path& file) { std::ofstream(file) << "x"; }

enum class Where { Nowhere, Beside, Installed };

struct LookupCase {
  const char* name;
  const char* request;
  bool inBeside;
  bool inInstalled;
  Where expected;
};

class DataFileLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(DataFileLookup, PicksTheFirstFolderHoldingTheFile) {
  const LookupCase& c = GetParam();
  const TwoFolders folders;
  if (c.inBeside) touch(folders.beside() / "colormap.bin");
  if (c.inInstalled) touch(folders.installed() / "colormap.bin");
  const fs::path expected = c.expected == Where::Beside      ? folders.beside() / "colormap.bin"
                            : c.expected == Where::Installed ? folders.installed() / "colormap.bin"
                                                             : fs::path();
  EXPECT_EQ(findDataFile(c.request, folders.folders()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, DataFileLookup,
    ::testing::Values(
        LookupCase{"BesideWinsOverInstalled", "colormap.bin", true, true, Where::Beside},
        LookupCase{"OnlyBeside", "colormap.bin", true, false, Where::Beside},
        LookupCase{"InstalledWhenNotBeside", "colormap.bin", false, true, Where::Installed},
        LookupCase{"MissingEverywhere", "colormap.bin", false, false, Where::Nowhere},
        LookupCase{"EmptyName", "", true, true, Where::Nowhere},
        LookupCase{"NameWithFolderPart", "../installed/colormap.bin", false, true, Where::Nowhere},
        LookupCase{"AbsoluteName", "/etc/passwd", true, true, Where::Nowhere}),
    [](const ::testing::TestParamInfo<LookupCase>& info) {
      return testsupport::caseName(info.param.name);
    });

TEST(DataFileLookup, AFolderInPlaceOfTheFileIsNotTaken) {
  const TwoFolders folders;
  fs::create_directory(folders.beside() / "colormap.bin");
  touch(folders.installed() / "colormap.bin");
  EXPECT_EQ(findDataFile("colormap.bin", folders.folders()), folders.installed() / "colormap.bin");
}

TEST(DataFileFolders, AskBesideTheProgramFirstThenTheInstalledFolder) {
  ::unsetenv("IRDEX_DATA_DIR");
  const std::vector<fs::path> folders = dataFolders();
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[0], fs::read_symlink("/proc/self/exe").parent_path());
  EXPECT_EQ(folders[1].filename(), "irdex");
  EXPECT_EQ(folders[1].parent_path().filename(), "share");
}

TEST(DataFileFolders, AChosenFolderComesBetweenTheProgramAndTheInstalledFolder) {
  ::setenv("IRDEX_DATA_DIR", "/chosen/data", 1);
  const std::vector<fs::path> folders = dataFolders();
  ::unsetenv("IRDEX_DATA_DIR");
  ASSERT_EQ(folders.size(), 3u);
  EXPECT_EQ(folders[1], fs::path("/chosen/data"));
  EXPECT_EQ(folders[2].filename(), "irdex");
}

}  // namespace
}  // namespace irdex::records
