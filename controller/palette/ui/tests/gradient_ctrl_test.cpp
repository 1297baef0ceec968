// The gradient control driven offscreen: every keyboard action, the mouse, and its drawing.
#include <gtest/gtest.h>

#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "palette/tests/named_case.h"
#include "palette/ui/gradient_ctrl.h"

namespace tessor {
namespace {

class GradientCtrlTest : public ::testing::Test {
 protected:
  GradientCtrlTest() : ctrl(gradient) { ctrl.resize(408, 60); }
  // One peg at `position`, selected.
  void selectOnePegAt(float position) {
    gradient.removeAllPegs();
    ctrl.setSelectedIndex(gradient.addPeg(makeColour(0, 200, 0), position));
  }
  QPoint pointAt(float position) const {
    return QPoint(ctrl.impl().xOf(position), ctrl.impl().barRect().center().y());
  }
  void mouse(QEvent::Type type, const QPoint& at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), ctrl.mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&ctrl, &event);
  }

  CGradient gradient;
  CGradientCtrl ctrl;
};

struct MoveCase {
  const char* name;
  Qt::Key key;
  float from;
  float to;
};

class GradientCtrlMoveKeys : public GradientCtrlTest,
                             public ::testing::WithParamInterface<MoveCase> {};

TEST_P(GradientCtrlMoveKeys, MoveTheSelectedPeg) {
  selectOnePegAt(GetParam().from);
  QSignalSpy moved(&ctrl, &CGradientCtrl::pegMoved);
  QTest::keyClick(&ctrl, GetParam().key);
  EXPECT_NEAR(gradient.peg(0).position, GetParam().to, 1e-6);
  EXPECT_EQ(moved.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GradientCtrlMoveKeys,
    ::testing::Values(MoveCase{"PageUp", Qt::Key_PageUp, 0.5f, 0.4f},
                      MoveCase{"PageDown", Qt::Key_PageDown, 0.5f, 0.6f},
                      MoveCase{"PageUpStopsAtZero", Qt::Key_PageUp, 0.05f, 0.0f},
                      MoveCase{"PageDownStopsAtOne", Qt::Key_PageDown, 0.95f, 1.0f},
                      MoveCase{"Home", Qt::Key_Home, 0.5f, 0.0f},
                      MoveCase{"End", Qt::Key_End, 0.5f, 1.0f},
                      MoveCase{"Left", Qt::Key_Left, 0.5f, 0.475f},
                      MoveCase{"Up", Qt::Key_Up, 0.5f, 0.475f},
                      MoveCase{"Right", Qt::Key_Right, 0.5f, 0.525f},
                      MoveCase{"Down", Qt::Key_Down, 0.5f, 0.525f},
                      MoveCase{"LeftStopsAtZero", Qt::Key_Left, 0.01f, 0.0f}),
    testing::CaseName());

struct KeyCase {
  const char* name;
  Qt::Key key;
};

class GradientCtrlDeleteKeys : public GradientCtrlTest,
                               public ::testing::WithParamInterface<KeyCase> {};

TEST_P(GradientCtrlDeleteKeys, RemoveTheSelectedPegAndSelectNone) {
  gradient.addPeg(makeColour(1, 1, 1), 0.2f);
  ctrl.setSelectedIndex(gradient.addPeg(makeColour(2, 2, 2), 0.6f));
  QSignalSpy selection(&ctrl, &CGradientCtrl::selectionChanged);
  QTest::keyClick(&ctrl, GetParam().key);
  ASSERT_EQ(gradient.pegCount(), 1);
  EXPECT_EQ(gradient.peg(0).colour, makeColour(1, 1, 1));
  ASSERT_EQ(selection.count(), 1);
  EXPECT_EQ(selection.at(0).at(0).toInt(), kPegNone);
}

INSTANTIATE_TEST_SUITE_P(Keys, GradientCtrlDeleteKeys,
                         ::testing::Values(KeyCase{"Delete", Qt::Key_Delete},
                                           KeyCase{"Backspace", Qt::Key_Backspace}),
                         testing::CaseName());

class GradientCtrlShowKeys : public GradientCtrlTest,
                             public ::testing::WithParamInterface<KeyCase> {};

TEST_P(GradientCtrlShowKeys, ActAsADoubleClickOnTheSelectedPeg) {
  gradient.addPeg(makeColour(1, 1, 1), 0.2f);
  ctrl.setSelectedIndex(gradient.addPeg(makeColour(2, 2, 2), 0.6f));
  QSignalSpy shown(&ctrl, &CGradientCtrl::pegDoubleClicked);
  QTest::keyClick(&ctrl, GetParam().key);
  ASSERT_EQ(shown.count(), 1);
  EXPECT_EQ(shown.at(0).at(0).toInt(), 1);
}

INSTANTIATE_TEST_SUITE_P(Keys, GradientCtrlShowKeys,
                         ::testing::Values(KeyCase{"Return", Qt::Key_Return},
                                           KeyCase{"Enter", Qt::Key_Enter},
                                           KeyCase{"Space", Qt::Key_Space}),
                         testing::CaseName());

TEST_F(GradientCtrlTest, TabSelectsTheNextPegAndWrapsAround) {
  gradient.addPeg(0, 0.2f);
  gradient.addPeg(0, 0.4f);
  ctrl.setSelectedIndex(0);
  QTest::keyClick(&ctrl, Qt::Key_Tab);
  EXPECT_EQ(ctrl.selectedIndex(), 1);
  QTest::keyClick(&ctrl, Qt::Key_Tab);
  EXPECT_EQ(ctrl.selectedIndex(), 0);
}

TEST_F(GradientCtrlTest, InsertAsksThePageForAPegAtTheSelectedPosition) {
  selectOnePegAt(0.3f);
  QSignalSpy add(&ctrl, &CGradientCtrl::addPegRequested);
  QTest::keyClick(&ctrl, Qt::Key_Insert);
  ASSERT_EQ(add.count(), 1);
  EXPECT_FLOAT_EQ(add.at(0).at(1).toFloat(), 0.3f);
  EXPECT_EQ(gradient.pegCount(), 1) << "the page adds it, not the control";
}

TEST_F(GradientCtrlTest, FixedPegsDoNotMoveOrGoAway) {
  ctrl.setSelectedIndex(kPegStart);
  QTest::keyClick(&ctrl, Qt::Key_End);
  QTest::keyClick(&ctrl, Qt::Key_Delete);
  EXPECT_EQ(ctrl.selectedIndex(), kPegStart);
  EXPECT_EQ(gradient.peg(kPegStart).position, 0.0f);
}

TEST_F(GradientCtrlTest, SelectionOfAPegRemovedBehindItsBackIsDropped) {
  selectOnePegAt(0.5f);
  gradient.removeAllPegs();
  QTest::keyClick(&ctrl, Qt::Key_Right);
  QTest::keyClick(&ctrl, Qt::Key_Delete);
  EXPECT_EQ(ctrl.selectedIndex(), kPegNone);
}

TEST_F(GradientCtrlTest, ClickSelectsAndDragMovesThePeg) {
  gradient.addPeg(makeColour(9, 9, 9), 0.5f);
  QSignalSpy selection(&ctrl, &CGradientCtrl::selectionChanged);
  QSignalSpy moving(&ctrl, &CGradientCtrl::pegMoving);
  QSignalSpy moved(&ctrl, &CGradientCtrl::pegMoved);
  mouse(QEvent::MouseButtonPress, pointAt(0.5f), Qt::LeftButton);
  EXPECT_EQ(ctrl.selectedIndex(), 0);
  EXPECT_EQ(selection.count(), 1);
  mouse(QEvent::MouseMove, pointAt(0.75f), Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, pointAt(0.75f), Qt::NoButton);
  EXPECT_NEAR(gradient.peg(0).position, 0.75f, 0.01f);
  EXPECT_EQ(moving.count(), 1);
  EXPECT_EQ(moved.count(), 1);
}

TEST_F(GradientCtrlTest, DoubleClickOnEmptySpaceAsksForAPegThere) {
  QSignalSpy add(&ctrl, &CGradientCtrl::addPegRequested);
  mouse(QEvent::MouseButtonDblClick, pointAt(0.25f), Qt::LeftButton);
  ASSERT_EQ(add.count(), 1);
  EXPECT_NEAR(add.at(0).at(1).toFloat(), 0.25f, 0.01f);
}

TEST_F(GradientCtrlTest, DoubleClickOnAPegShowsIt) {
  gradient.addPeg(makeColour(9, 9, 9), 0.5f);
  QSignalSpy shown(&ctrl, &CGradientCtrl::pegDoubleClicked);
  mouse(QEvent::MouseButtonDblClick, pointAt(0.5f), Qt::LeftButton);
  ASSERT_EQ(shown.count(), 1);
  EXPECT_EQ(shown.at(0).at(0).toInt(), 0);
}

struct SideCase {
  const char* name;
  PegSide side;
  bool barAtTheTop;
};

class GradientCtrlPegSide : public GradientCtrlTest,
                            public ::testing::WithParamInterface<SideCase> {};

TEST_P(GradientCtrlPegSide, LeavesRoomForTheMarkersOnThatSide) {
  ctrl.setPegSide(GetParam().side);
  const QRect bar = ctrl.impl().barRect();
  const int roomAbove = bar.top();
  const int roomBelow = ctrl.height() - 1 - bar.bottom();
  EXPECT_EQ(roomAbove < roomBelow, GetParam().barAtTheTop);
}

INSTANTIATE_TEST_SUITE_P(Sides, GradientCtrlPegSide,
                         ::testing::Values(SideCase{"RightTop", PegSide::RightTop, false},
                                           SideCase{"LeftBottom", PegSide::LeftBottom, true}),
                         testing::CaseName());

TEST_F(GradientCtrlTest, DrawsTheGradientAlongTheBar) {
  gradient.setMethod(InterpolationMethod::FlatStart);
  gradient.setStartColour(makeColour(200, 10, 10));
  gradient.addPeg(makeColour(10, 10, 200), 0.5f);
  const QImage image = ctrl.grab().toImage();
  const QRect bar = ctrl.impl().barRect();
  EXPECT_EQ(image.pixelColor(ctrl.impl().xOf(0.25f), bar.center().y()), QColor(200, 10, 10));
  EXPECT_EQ(image.pixelColor(ctrl.impl().xOf(0.75f), bar.center().y()), QColor(10, 10, 200));
}

}  // namespace
}  // namespace tessor
