#include "checklist.h"
#include "snapshot_files.h"
#include "testing/case_name.h"
#include "testing/temp_folder.h"

#include <gtest/gtest.h>

#include <ostream>

namespace pagana {
namespace {

using namespace pagana::testing;

class ChecklistTest : public ::testing::Test {
 protected:
  std::filesystem::path snapshotNamed(const std::string& fileName, SnapshotValues values = {}) {
    const auto path = folder_.path() / fileName;
    EXPECT_TRUE(writeSnapshot(path, values));
    return path;
  }
  std::vector<std::string> messages() const {
    std::vector<std::string> texts;
    for (const auto& m : notifier_.shown()) texts.push_back(m.title + ": " + m.text);
    return texts;
  }

  testsupport::TempFolder folder_;
  desktop::ScriptedNotifier notifier_{"Pagana"};
  Checklist list_{notifier_};
};

TEST_F(ChecklistTest, LoadingTheSameSnapshotTwiceAddsOneRow) {
  const auto path = snapshotNamed("Cam_IR_20261208010203.jpg");
  EXPECT_EQ(list_.load(path), LoadOutcome::Added);
  EXPECT_EQ(list_.load(path), LoadOutcome::AlreadyListed);
  ASSERT_EQ(list_.rows().size(), 1u);
  EXPECT_EQ(list_.rows()[0].name, "Cam_IR_20261208010203");
  EXPECT_TRUE(notifier_.shown().empty());
}

TEST_F(ChecklistTest, TitleThatStartsAnotherIsStillItsOwnRow) {
  list_.load(snapshotNamed("roof_east.jpg"));
  EXPECT_EQ(list_.load(snapshotNamed("roof.jpg")), LoadOutcome::Added);
  EXPECT_EQ(list_.rows().size(), 2u);
}

TEST_F(ChecklistTest, RowShowsTheSnapshotsValuesAndPath) {
  const auto path = snapshotNamed("a.jpg", {.levelTenths = 301,
                                            .spanTenths = 42,
                                            .atmTempThousandths = 19250,
                                            .transmissionThousandths = 900,
                                            .emissivityThousandths = 870});
  list_.load(path);
  const ChecklistRow& row = list_.rows().at(0);
  EXPECT_EQ(row.values, (ReportValues{"30.10\xC2\xB0"
                                      "C",
                                      "4.20\xC2\xB0"
                                      "C",
                                      "19.25\xC2\xB0"
                                      "C",
                                      "0.90", "0.87"}));
  EXPECT_EQ(row.path, std::filesystem::absolute(path));
  EXPECT_FALSE(row.checked);
}

struct ExtensionCase {
  const char* name;
  const char* fileName;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const ExtensionCase& c, std::ostream* out) { *out << c.name; }

const ExtensionCase kRefusedExtensions[] = {
    {.name = "capitals", .fileName = "shot.JPG"},
    {.name = "mixed case", .fileName = "shot.Jpg"},
    {.name = "jpeg", .fileName = "shot.jpeg"},
    {.name = "none", .fileName = "shot"},
};

class ChecklistExtension : public ChecklistTest,
                           public ::testing::WithParamInterface<ExtensionCase> {};

// A real snapshot behind the name, so only the extension decides.
TEST_P(ChecklistExtension, OtherThanLowerCaseJpgIsRefused) {
  const auto path = snapshotNamed(GetParam().fileName);
  EXPECT_EQ(list_.load(path), LoadOutcome::Refused);
  EXPECT_TRUE(list_.rows().empty());
  EXPECT_EQ(messages(), std::vector<std::string>{"Error Message: Failed to load IR file!!"});
}

INSTANTIATE_TEST_SUITE_P(Names, ChecklistExtension, ::testing::ValuesIn(kRefusedExtensions),
                         testsupport::ByName());

TEST_F(ChecklistTest, JpegWithoutInformationSegmentSaysNoIrInformation) {
  auto file = startOfImage();
  appendApp0(file);
  appendIrSegment(file, 1, 4000);
  appendEndOfImage(file);
  writeBytes(folder_.path() / "pixels_only.jpg", file);
  EXPECT_EQ(list_.load(folder_.path() / "pixels_only.jpg"), LoadOutcome::Refused);
  EXPECT_EQ(messages(), std::vector<std::string>{"Error Message: No IR information!!"});
  EXPECT_TRUE(list_.rows().empty());
}

TEST_F(ChecklistTest, NotAJpegIsRefusedSilently) {
  writeBytes(folder_.path() / "text.jpg", {'h', 'e', 'l', 'l', 'o'});
  EXPECT_EQ(list_.load(folder_.path() / "text.jpg"), LoadOutcome::Refused);
  EXPECT_TRUE(notifier_.shown().empty());
}

TEST_F(ChecklistTest, NoSelectionDisablesTheFields) {
  list_.load(snapshotNamed("a.jpg"));
  list_.select(std::nullopt);
  const EditorState state = list_.editor();
  EXPECT_FALSE(state.enabled);
  EXPECT_EQ(state.buttonLabel, "Add");
  EXPECT_EQ(state.texts, MeasureTexts{});
}

TEST_F(ChecklistTest, AddThenUpdateStoresOneInfoPerImage) {
  list_.load(snapshotNamed("a.jpg"));
  list_.select(0);
  EXPECT_EQ(list_.editor().buttonLabel, "Add");
  list_.addOrUpdate({"Acme", "Town Hall", "Roof", "Jo", "Wet insulation"});
  EXPECT_EQ(list_.editor().buttonLabel, "Update");
  list_.addOrUpdate({"Acme", "Town Hall", "Roof", "Jo", "Dry again"});
  ASSERT_EQ(list_.infos().all().size(), 1u);
  EXPECT_EQ(list_.infos().all()[0].description, "Dry again");
  EXPECT_EQ(messages(), (std::vector<std::string>{"Message: Added measurement information!",
                                                  "Message: Updated measurement information!"}));
}

TEST_F(ChecklistTest, SelectingARowFillsTheFieldsFromItsInfo) {
  list_.load(snapshotNamed("a.jpg"));
  list_.load(snapshotNamed("b.jpg"));
  list_.select(1);
  list_.addOrUpdate({"Acme", "Mill", "Hall 2", "Kim", "Bearing hot"});
  list_.select(0);
  EXPECT_EQ(list_.editor().texts, MeasureTexts{});
  list_.select(1);
  EXPECT_EQ(list_.editor().texts, (MeasureTexts{"Acme", "Mill", "Hall 2", "Kim", "Bearing hot"}));
  EXPECT_TRUE(list_.editor().enabled);
}

TEST_F(ChecklistTest, DeleteRowRemovesItsInfoAndSelection) {
  list_.load(snapshotNamed("a.jpg"));
  list_.load(snapshotNamed("b.jpg"));
  list_.select(0);
  list_.addOrUpdate({"Acme", "", "", "", ""});
  list_.deleteSelected();
  ASSERT_EQ(list_.rows().size(), 1u);
  EXPECT_EQ(list_.rows()[0].name, "b");
  EXPECT_EQ(list_.infos().find("a"), nullptr);
  EXPECT_FALSE(list_.editor().enabled);
}

TEST_F(ChecklistTest, ClearAllRemovesRowsAndInfos) {
  list_.load(snapshotNamed("a.jpg"));
  list_.select(0);
  list_.addOrUpdate({"Acme", "", "", "", ""});
  list_.clearAll();
  EXPECT_TRUE(list_.rows().empty());
  EXPECT_TRUE(list_.infos().all().empty());
  EXPECT_FALSE(list_.selected().has_value());
}

TEST_F(ChecklistTest, ReportWithNothingTickedAsksForTicks) {
  list_.load(snapshotNamed("a.jpg"));
  EXPECT_FALSE(list_.requireTicked());
  EXPECT_EQ(messages(), std::vector<std::string>{"Message: Please check items on the list!"});
}

TEST_F(ChecklistTest, PagesFollowTheTickedRowsInListOrder) {
  list_.load(snapshotNamed("a.jpg"));
  list_.load(snapshotNamed("b.jpg"));
  list_.load(snapshotNamed("c.jpg"));
  list_.setChecked(2, true);
  list_.setChecked(0, true);
  list_.select(2);
  list_.addOrUpdate({"Acme", "Mill", "Hall", "Kim", "Hot"});
  notifier_.clear();
  EXPECT_TRUE(list_.requireTicked());
  EXPECT_TRUE(notifier_.shown().empty());
  const auto pages = list_.pages();
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].row.name, "a");
  EXPECT_EQ(pages[1].row.name, "c");
  EXPECT_EQ(pages[1].texts.company, "Acme");
}

TEST_F(ChecklistTest, ImageWithoutTextsGetsEmptyValues) {
  list_.load(snapshotNamed("a.jpg"));
  list_.setChecked(0, true);
  EXPECT_EQ(list_.pages().at(0).texts, MeasureTexts{});
}

TEST_F(ChecklistTest, EveryChangeReachesTheListener) {
  int changes = 0;
  list_.setChangeListener([&] { ++changes; });
  list_.load(snapshotNamed("a.jpg"));
  list_.setChecked(0, true);
  list_.select(0);
  list_.addOrUpdate({"Acme", "", "", "", ""});
  list_.deleteSelected();
  list_.clearAll();
  EXPECT_EQ(changes, 5);
}

}  // namespace
}  // namespace pagana
