// The list of objects: default names and colours, counts and limits, selection and lock.
#include "manager_roi.h"
#include "rect_roi.h"
#include "spot_roi.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace solvane {
namespace {

TEST(ManagerROI, NewObjectsTakeTheNextNumberAndColoursOfTheirClass) {
  CManagerROI manager;
  const auto spot1 = manager.makeObject(RoiKind::Spot);
  const auto rect1 = manager.makeObject(RoiKind::Rect);
  const auto spot2 = manager.makeObject(RoiKind::Spot);
  const auto rect2 = manager.makeObject(RoiKind::Rect);
  EXPECT_EQ(spot1->name(), "Spot 1");
  EXPECT_EQ(spot2->name(), "Spot 2");
  EXPECT_EQ(rect2->name(), "Rect 2");
  EXPECT_EQ(spot2->shortName(), "Sp2");
  EXPECT_EQ(rect2->shortName(), "Ar2");
  EXPECT_EQ(rect1->colour(RoiColour::Normal), areaColourTable(RoiKind::Rect)[0].normal);
  EXPECT_EQ(rect2->colour(RoiColour::Normal), areaColourTable(RoiKind::Rect)[1].normal);
  EXPECT_EQ(spot2->colour(RoiColour::Normal), spotColourTable()[1][0]);
  EXPECT_EQ(manager.makeObject(RoiKind::Circle)->name(), "Circ 1");
  EXPECT_EQ(manager.makeObject(RoiKind::Line)->name(), "Line 1");
  EXPECT_EQ(manager.makeObject(RoiKind::Polygon)->name(), "Poly 1");
}

TEST(ManagerROI, ColourTablesCycleAfterEightObjects) {
  CManagerROI manager;
  for (int i = 0; i < 8; ++i) manager.makeObject(RoiKind::Polygon);
  EXPECT_EQ(manager.makeObject(RoiKind::Polygon)->colour(RoiColour::Tracker),
            areaColourTable(RoiKind::Polygon)[0].tracker);
}

TEST(ManagerROI, ObjectsCarryTheDefaultsOfEveryField) {
  CManagerROI manager;
  const auto o = manager.makeObject(RoiKind::Rect);
  EXPECT_EQ(o->colour(RoiColour::ShadowText), 0x1E1E1Eu);
  EXPECT_EQ(o->colour(RoiColour::AlarmRect), 0x0000FFu);
  EXPECT_EQ(o->colour(RoiColour::AlarmText), 0xFFFFFFu);
  EXPECT_TRUE(o->showLabel());
  EXPECT_FALSE(o->localEnvironmentOn());
  EXPECT_EQ(o->localEnvironment().emissivity, 1.0f);
  EXPECT_EQ(o->localEnvironment().reserved, 1.0f);
  EXPECT_EQ(o->font().face, "Arial");
  EXPECT_EQ(o->alarm().id, o->id());
  EXPECT_EQ(o->alarm().value, 20.0f);
}

TEST(ManagerROI, IdsAreUniqueAcrossManagersAndClones) {
  CManagerROI a, b;
  std::set<int32_t> ids;
  for (int i = 0; i < 10; ++i) {
    ids.insert(a.makeObject(RoiKind::Spot)->id());
    ids.insert(b.makeObject(RoiKind::Spot)->id());
  }
  const auto original = a.makeObject(RoiKind::Rect);
  ids.insert(original->id());
  ids.insert(original->clone()->id());
  EXPECT_EQ(ids.size(), 22u);
}

struct LimitCase {
  const char* name;
  RoiKind kind;
  int32_t limit;
};
void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }
class ManagerLimits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(ManagerLimits, GroupIsFullAtItsLimitWhileTheOtherGroupStillTakesObjects) {
  CManagerROI manager;
  for (int32_t i = 0; i < GetParam().limit; ++i)
    ASSERT_TRUE(manager.add(manager.makeObject(GetParam().kind)));
  EXPECT_FALSE(manager.add(manager.makeObject(GetParam().kind)));
  const RoiKind other = GetParam().kind == RoiKind::Spot ? RoiKind::Rect : RoiKind::Spot;
  EXPECT_TRUE(manager.add(manager.makeObject(other)));
  EXPECT_EQ(manager.size(), GetParam().limit + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, ManagerLimits,
    ::testing::Values(LimitCase{"Spots", RoiKind::Spot, CManagerROI::kDefaultSpotLimit},
                      LimitCase{"Rectangles", RoiKind::Rect, CManagerROI::kDefaultAreaLimit},
                      LimitCase{"MixedAreasShareOneLimit", RoiKind::Line,
                                CManagerROI::kDefaultAreaLimit}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ManagerROI, RemovingAKindLowersItsCountAndKeepsTheOthersInOrder) {
  CManagerROI manager;
  std::vector<int32_t> kept;
  for (int i = 0; i < 3; ++i) {
    manager.add(manager.makeObject(RoiKind::Spot));
    auto rect = manager.makeObject(RoiKind::Rect);
    kept.push_back(rect->id());
    manager.add(std::move(rect));
  }
  manager.removeKind(RoiKind::Spot);
  EXPECT_EQ(manager.spotCount(), 0);
  EXPECT_EQ(manager.areaCount(), 3);
  std::vector<int32_t> order;
  manager.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& objects) {
    for (const auto& o : objects) order.push_back(o->id());
  });
  EXPECT_EQ(order, kept);
}

TEST(ManagerROI, SelectingOneObjectDeselectsTheOthers) {
  CManagerROI manager;
  auto a = manager.makeObject(RoiKind::Spot), b = manager.makeObject(RoiKind::Rect);
  const int32_t ida = a->id(), idb = b->id();
  manager.add(std::move(a));
  manager.add(std::move(b));
  ASSERT_TRUE(manager.select(ida));
  ASSERT_TRUE(manager.select(idb));
  EXPECT_EQ(manager.selectedId(), idb);
  manager.withObject(ida, [](CObjectROI& o) { EXPECT_EQ(o.editState(), EditState::Normal); });
  manager.withObject(idb, [](CObjectROI& o) { EXPECT_EQ(o.editState(), EditState::Selected); });
  EXPECT_FALSE(manager.select(987654));
}

TEST(ManagerROI, LockingDeselectsEverythingAndRefusesSelection) {
  CManagerROI manager;
  auto a = manager.makeObject(RoiKind::Circle);
  const int32_t id = a->id();
  manager.add(std::move(a));
  manager.select(id);
  manager.setLocked(true);
  EXPECT_EQ(manager.selectedId(), 0);
  manager.withObject(id, [](CObjectROI& o) {
    EXPECT_EQ(o.editState(), EditState::Normal);
    EXPECT_TRUE(o.locked());
  });
  EXPECT_FALSE(manager.select(id));
  manager.setLocked(false);
  EXPECT_TRUE(manager.select(id));
}

TEST(ManagerROI, RemovingTheSelectedObjectClearsTheSelection) {
  CManagerROI manager;
  auto a = manager.makeObject(RoiKind::Spot);
  const int32_t id = a->id();
  manager.add(std::move(a));
  manager.select(id);
  EXPECT_TRUE(manager.remove(id));
  EXPECT_EQ(manager.selectedId(), 0);
  EXPECT_EQ(manager.spotCount(), 0);
}

TEST(ManagerROI, LabelFontAppliesToNewAndPlacedObjects) {
  CManagerROI manager;
  ASSERT_TRUE(manager.add(manager.makeObject(RoiKind::Spot)));
  manager.setLabelFont(LabelFont{"DejaVu Sans", 14}, 0x00FF00, 0x102030);
  const auto fresh = manager.makeObject(RoiKind::Line);
  manager.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& objects) {
    ASSERT_EQ(objects.size(), 1u);
    for (const CObjectROI* o : {objects.front().get(), fresh.get()}) {
      EXPECT_EQ(o->font().face, "DejaVu Sans");
      EXPECT_EQ(o->font().size, 14);
      EXPECT_EQ(o->colour(RoiColour::NormalText), 0x00FF00u);
      EXPECT_EQ(o->colour(RoiColour::ShadowText), 0x102030u);
    }
  });
}

TEST(ManagerROI, ChangesFromAnotherThreadWaitForTheObjectLock) {
  CManagerROI manager;
  manager.add(manager.makeObject(RoiKind::Rect));
  std::atomic<bool> added{false};
  std::thread other;
  manager.withObjects([&](std::vector<std::unique_ptr<CObjectROI>>& objects) {
    other = std::thread([&] {
      manager.add(manager.makeObject(RoiKind::Spot));
      added = true;
    });
    // While the pass holds the list it stays as it was.
    EXPECT_EQ(objects.size(), 1u);
    EXPECT_FALSE(added.load());
  });
  other.join();
  EXPECT_TRUE(added.load());
  EXPECT_EQ(manager.size(), 2);
}

}  // namespace
}  // namespace solvane
