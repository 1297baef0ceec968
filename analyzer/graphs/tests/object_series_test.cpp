#include "graphs/object_series.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace solvane::graphs {
namespace {

std::vector<ChartObject> pass(std::initializer_list<int32_t> ids) {
  std::vector<ChartObject> objects;
  for (int32_t id : ids) {
    ChartObject object;
    object.id = id;
    object.name = "Spot" + std::to_string(id);
    object.sample.objectId = id;
    objects.push_back(object);
  }
  return objects;
}

std::vector<int32_t> idsOf(const std::vector<AddedSeries>& added) {
  std::vector<int32_t> ids;
  for (const AddedSeries& series : added) ids.push_back(series.id);
  return ids;
}

struct FollowCase {
  const char* name;
  std::vector<std::vector<ChartObject>> earlier;
  std::vector<ChartObject> now;
  std::vector<int32_t> removed;
  std::vector<int32_t> added;
  std::vector<int32_t> shown;
};

class FollowingPasses : public testing::TestWithParam<FollowCase> {};

TEST_P(FollowingPasses, AddsNewIdsAndRemovesVanishedOnes) {
  const FollowCase& c = GetParam();
  ObjectSeriesFollower follower;
  for (const auto& earlier : c.earlier) follower.follow(earlier);
  const SeriesChanges changes = follower.follow(c.now);
  EXPECT_EQ(changes.removed, c.removed);
  EXPECT_EQ(idsOf(changes.added), c.added);
  EXPECT_EQ(follower.shown(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Passes, FollowingPasses,
                         testing::Values(FollowCase{.name = "firstPassAddsAllInOrder",
                                                    .earlier = {},
                                                    .now = pass({4, 2, 9}),
                                                    .removed = {},
                                                    .added = {4, 2, 9},
                                                    .shown = {4, 2, 9}},
                                         FollowCase{.name = "samePassChangesNothing",
                                                    .earlier = {pass({1, 2})},
                                                    .now = pass({1, 2}),
                                                    .removed = {},
                                                    .added = {},
                                                    .shown = {1, 2}},
                                         FollowCase{.name = "deletedObjectGoes",
                                                    .earlier = {pass({1, 2, 3})},
                                                    .now = pass({1, 3}),
                                                    .removed = {2},
                                                    .added = {},
                                                    .shown = {1, 3}},
                                         FollowCase{.name = "emptyPassRemovesAll",
                                                    .earlier = {pass({5, 6})},
                                                    .now = {},
                                                    .removed = {5, 6},
                                                    .added = {},
                                                    .shown = {}},
                                         FollowCase{.name = "replacedObjectSwapsSeries",
                                                    .earlier = {pass({1, 2})},
                                                    .now = pass({1, 7}),
                                                    .removed = {2},
                                                    .added = {7},
                                                    .shown = {1, 7}},
                                         FollowCase{.name = "returningIdIsAddedAgain",
                                                    .earlier = {pass({1, 2}), pass({1})},
                                                    .now = pass({1, 2}),
                                                    .removed = {},
                                                    .added = {2},
                                                    .shown = {1, 2}}),
                         [](const testing::TestParamInfo<FollowCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(ObjectSeries, NewSeriesTakeDifferentColoursInTurn) {
  ObjectSeriesFollower follower;
  const SeriesChanges first = follower.follow(pass({1}));
  const SeriesChanges second = follower.follow(pass({1, 2}));
  ASSERT_EQ(first.added.size(), 1u);
  ASSERT_EQ(second.added.size(), 1u);
  EXPECT_NE(first.added[0].colour, second.added[0].colour);
}

TEST(ObjectSeries, UnmeasuredObjectsGiveNoPoint) {
  std::vector<ChartObject> objects = pass({1, 2, 3});
  objects[1].valid = false;
  const std::vector<ObjectSample> samples = samplesOf(objects);
  ASSERT_EQ(samples.size(), 2u);
  EXPECT_EQ(samples[0].objectId, 1);
  EXPECT_EQ(samples[1].objectId, 3);
}

}  // namespace
}  // namespace solvane::graphs
