#include "app/save_path.h"
#include "testing/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace solvane {
namespace {

namespace fs = std::filesystem;

TEST(SavePath, PrefixesEndBeforeEachSeparator) {
  EXPECT_EQ(savePathPrefixes("/D/a/b/c"),
            (std::vector<std::string>{"/D", "/D/a", "/D/a/b", "/D/a/b/c"}));
  EXPECT_EQ(savePathPrefixes("rel/x"), (std::vector<std::string>{"rel", "rel/x"}));
  EXPECT_EQ(savePathPrefixes("/a//b/"), (std::vector<std::string>{"/a", "/a//b", "/a//b/"}));
  // A separator right after ":" does not end a folder of its own.
  EXPECT_EQ(savePathPrefixes("smb:/host/share"),
            (std::vector<std::string>{"smb:/host", "smb:/host/share"}));
  EXPECT_TRUE(savePathPrefixes("").empty());
}

TEST(SavePath, MakesEveryMissingFolderOutermostFirst) {
  testsupport::TempFolder folder;
  const std::string root = (folder.path() / "D").string();
  const std::vector<std::string> made = ensureSavePath(root + "/a/b/c");
  EXPECT_EQ(made, (std::vector<std::string>{root, root + "/a", root + "/a/b", root + "/a/b/c"}));
  EXPECT_TRUE(fs::is_directory(root + "/a/b/c"));
}

TEST(SavePath, LeavesExistingFoldersAndTheirFilesAlone) {
  testsupport::TempFolder folder;
  const fs::path existing = folder.path() / "a";
  fs::create_directory(existing);
  std::ofstream(existing / "keep.txt") << "x";
  const std::vector<std::string> made = ensureSavePath((existing / "b").string());
  EXPECT_EQ(made, (std::vector<std::string>{(existing / "b").string()}));
  EXPECT_TRUE(fs::exists(existing / "keep.txt"));
  EXPECT_TRUE(ensureSavePath(existing.string()).empty());
}

TEST(SavePath, FailuresAreIgnored) {
  testsupport::TempFolder folder;
  const fs::path file = folder.path() / "plain-file";
  std::ofstream(file) << "x";
  EXPECT_TRUE(ensureSavePath((file / "sub" / "dir").string()).empty());
  EXPECT_TRUE(ensureSavePath("").empty());
  EXPECT_TRUE(fs::is_regular_file(file));
}

}  // namespace
}  // namespace solvane
