#include "discovery/core/camera_list.h"
#include "testing/case_name.h"

#include <gtest/gtest.h>

namespace discovery {
namespace {

struct ModelCase {
  const char* model;
  const char* shown;
};

class ModelName : public ::testing::TestWithParam<ModelCase> {};

TEST_P(ModelName, MapsModelCodesToProductNames) {
  EXPECT_EQ(modelDisplayName(GetParam().model), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Models, ModelName,
                         ::testing::Values(ModelCase{"KT3", "RO320"}, ModelCase{"KT4", "RU640"},
                                           ModelCase{"KT4X", "KT4X"}, ModelCase{"KT", "KT"},
                                           ModelCase{"KS3", "VA320"}, ModelCase{"KS3-B", "VA320"},
                                           ModelCase{"KS4plus", "VI640"},
                                           ModelCase{"VI640", "VI640"}, ModelCase{"kt3", "kt3"},
                                           ModelCase{"", ""}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName(*p.model ? p.model : "Empty");
                         });

TEST(CameraName, StoredNameWinsOverAnnouncedName) {
  const std::vector<NameRecord> stored = {{"00:11:22:33:44:55", "Stored"}};
  EXPECT_EQ(chooseCameraName({"Announced", "KT3", "127.0.0.1", "00:11:22:33:44:55"}, stored),
            "Stored");
  EXPECT_EQ(chooseCameraName({"Announced", "KT3", "127.0.0.1", "00:11:22:33:44:66"}, stored),
            "Announced");
  EXPECT_EQ(chooseCameraName({"", "KT4", "127.0.0.1", "00:11:22:33:44:66"}, stored), "RU640");
}

TEST(CameraName, CameraWithoutMacIgnoresStoredNames) {
  const std::vector<NameRecord> stored = {{"00:11:22:33:44:55", "Stored"}, {"", "Blank"}};
  EXPECT_EQ(chooseCameraName({"", "KS3", "127.0.0.1", ""}, stored), "VA320");
}

class RecordingObserver : public CameraListObserver {
 public:
  void rowAboutToBeAppended(std::size_t row) override { events += "+" + std::to_string(row); }
  void rowAppended(std::size_t row) override { events += "=" + std::to_string(row); }
  void rowsAboutToBeCleared() override { events += "c"; }
  void rowsCleared() override { events += "C"; }
  void rowChanged(std::size_t row) override { events += "~" + std::to_string(row); }
  std::string events;
};

TEST(CameraList, SameIpAddressGivesOneRow) {
  CameraList list;
  EXPECT_TRUE(list.add({"A", "KT3", "127.0.0.1", "m1"}, {}));
  EXPECT_FALSE(list.add({"B", "KT4", "127.0.0.1", "m2"}, {}));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.rows()[0], (CameraRow{"A", "KT3", "127.0.0.1", "m1"}));
}

TEST(CameraList, AddressThatIsAPrefixOfAListedOneIsAnotherCamera) {
  CameraList list;
  EXPECT_TRUE(list.add({"Ten", "KT3", "127.0.0.10", "m1"}, {}));
  EXPECT_TRUE(list.add({"One", "KT3", "127.0.0.1", "m2"}, {}));
  EXPECT_EQ(list.size(), 2u);
}

TEST(CameraList, RowsKeepTheModelAsReceived) {
  CameraList list;
  list.add({"", "KS4", "127.0.0.1", "m"}, {});
  EXPECT_EQ(list.rows()[0], (CameraRow{"VI640", "KS4", "127.0.0.1", "m"}));
}

TEST(CameraList, TellsItsObserverAboutEveryChange) {
  CameraList list;
  RecordingObserver observer;
  list.setObserver(&observer);
  list.add({"A", "", "1", ""}, {});
  list.add({"B", "", "1", ""}, {});
  list.add({"C", "", "2", ""}, {});
  list.rename(1, "Renamed");
  list.rename(7, "ignored");
  list.clear();
  EXPECT_EQ(observer.events, "+0=0+1=1~1cC");
}

TEST(CameraList, NameRecordsFollowListOrderAndEdits) {
  CameraList list;
  list.add({"A", "", "1", "ma"}, {});
  list.add({"B", "", "2", "mb"}, {});
  list.rename(0, "Typed name");
  EXPECT_EQ(list.nameRecords(), (std::vector<NameRecord>{{"ma", "Typed name"}, {"mb", "B"}}));
}

}  // namespace
}  // namespace discovery
