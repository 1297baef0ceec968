// The "Palette" page offscreen against a port that records what the page asks of the host.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <vector>

#include "palette/colour_scheme_file.h"
#include "palette/tests/named_case.h"
#include "palette/ui/tab_palette_dlg.h"

namespace tessor {
namespace {

struct RecordingPort : PalettePagePort {
  int status = 1;
  bool kt = true;
  std::optional<ColourRef> colour;
  std::optional<std::string> loadPath, savePath;
  std::vector<PaletteRecord> sent;
  std::vector<std::pair<std::string, std::string>> messages;
  std::vector<int> videoPalettes;

  int sendPalette(const PaletteRecord& record) override {
    sent.push_back(record);
    return status;
  }
  void message(const std::string& text, const std::string& caption) override {
    messages.emplace_back(text, caption);
  }
  std::optional<ColourRef> chooseColour(ColourRef) override { return colour; }
  std::optional<std::string> chooseSchemeToLoad() override { return loadPath; }
  std::optional<std::string> chooseSchemeToSave() override { return savePath; }
  bool cameraIsKt() const override { return kt; }
  void selectVideoPalette(int listIndex) override { videoPalettes.push_back(listIndex); }
};

std::string scratchFile(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + "-" + name))
      .string();
}

class PalettePageTest : public ::testing::Test {
 protected:
  RecordingPort port;
  CTabPaletteDlg page{port};
  template <typename T>
  T* control(const char* accessibleName) {
    for (T* w : page.findChildren<T*>())
      if (w->accessibleName() == accessibleName) return w;
    ADD_FAILURE() << "no control " << accessibleName;
    return nullptr;
  }
};

TEST_F(PalettePageTest, StartsWithTheFactoryGradient) {
  const CGradient& g = page.gradient();
  ASSERT_EQ(g.pegCount(), 5);
  const float positions[5] = {0.113f, 0.3f, 0.4f, 0.585f, 0.765f};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(g.peg(i).position, positions[i]);
  EXPECT_EQ(g.peg(0).colour, makeColour(255, 255, 127));
  EXPECT_EQ(g.startColour(), makeColour(255, 255, 255));
  EXPECT_EQ(g.endColour(), makeColour(0, 0, 0));
  EXPECT_TRUE(g.useBackground());
  EXPECT_EQ(control<QComboBox>("Interpolation method")->currentText(), "Cosine");
  EXPECT_EQ(page.selectedPegTitle(), "Selected Peg - ID -1 [None]");
}

TEST_F(PalettePageTest, MethodListHoldsTheTenNamesInOrder) {
  QComboBox* list = control<QComboBox>("Interpolation method");
  ASSERT_EQ(list->count(), 10);
  EXPECT_EQ(list->itemText(0), "Linear");
  EXPECT_EQ(list->itemText(6), "HSL Anti-Clockwise");
  EXPECT_EQ(list->itemText(9), "Reverse");
}

struct TitleCase {
  const char* name;
  int index;
  const char* suffix;
};

class PalettePageTitle : public PalettePageTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(PalettePageTitle, NamesTheSelectedPegsIdAndKind) {
  QTest::keyClick(page.gradientCtrl(), Qt::Key_Tab);  // a notification refreshes the page
  page.gradientCtrl()->setSelectedIndex(GetParam().index);
  emit page.gradientCtrl()->selectionChanged(GetParam().index);
  const QString expected = QString("Selected Peg - ID %1%2")
                               .arg(page.gradient().peg(GetParam().index).id)
                               .arg(GetParam().suffix);
  EXPECT_EQ(page.selectedPegTitle(), expected);
}

INSTANTIATE_TEST_SUITE_P(Pegs, PalettePageTitle,
                         ::testing::Values(TitleCase{"Peg", 2, ""},
                                           TitleCase{"StartPeg", kPegStart, " [Start Peg]"},
                                           TitleCase{"EndPeg", kPegEnd, " [End Peg]"}),
                         testing::CaseName());

struct SendCase {
  const char* name;
  bool secondSlot;
  int status;
  bool kt;
  const char* text;
  const char* caption;
  std::vector<int> videoPalettes;
};

class PalettePageSend : public PalettePageTest, public ::testing::WithParamInterface<SendCase> {};

TEST_P(PalettePageSend, UploadsToTheChosenSlotAndSaysHowItWent) {
  port.status = GetParam().status;
  port.kt = GetParam().kt;
  if (GetParam().secondSlot) control<QRadioButton>("User palette 2")->setChecked(true);
  page.sendPalette();
  ASSERT_EQ(port.sent.size(), 1u);
  EXPECT_EQ(port.sent[0][kPaletteSlotOffset], GetParam().secondSlot ? 1 : 0);
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].first, GetParam().text);
  EXPECT_EQ(port.messages[0].second, GetParam().caption);
  EXPECT_EQ(port.videoPalettes, GetParam().videoPalettes);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, PalettePageSend,
    ::testing::Values(
        SendCase{"FirstSlotKt", false, 1, true, "Sended user palette!!!", "Message", {8}},
        SendCase{"SecondSlotKt", true, 1, true, "Sended user palette!!!", "Message", {9}},
        SendCase{"NotKt", true, 1, false, "Sended user palette!!!", "Message", {}},
        SendCase{
            "Failed", false, -2, true, "Failed to send user palette!!!", "Warning Message", {}}),
    testing::CaseName());

TEST_F(PalettePageTest, AddNewPegUsesTheChosenColourAndPosition) {
  port.colour = makeColour(1, 2, 3);
  control<QPushButton>("New peg colour")->click();
  control<QDoubleSpinBox>("New peg position")->setValue(0.9);
  control<QPushButton>("<= Add")->click();
  ASSERT_EQ(page.gradient().pegCount(), 6);
  EXPECT_EQ(page.gradient().peg(5).colour, makeColour(1, 2, 3));
  EXPECT_NEAR(page.gradient().peg(5).position, 0.9f, 1e-6);
  EXPECT_EQ(page.gradientCtrl()->selectedIndex(), 5);
}

TEST_F(PalettePageTest, QuantizationFollowsTheSwitchAndTheNumber) {
  control<QSpinBox>("Quantization")->setValue(6);
  control<QCheckBox>("Enable Quantization")->setChecked(true);
  EXPECT_EQ(page.gradient().quantization(), 6);
  control<QCheckBox>("Enable Quantization")->setChecked(false);
  EXPECT_EQ(page.gradient().quantization(), kQuantizationOff);
}

TEST_F(PalettePageTest, DoubleClickedPegShowsPositionAndColour) {
  emit page.gradientCtrl()->pegDoubleClicked(1);
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].first, "Position: 0.30\nColour: RGB(255, 255, 0)");
  EXPECT_EQ(port.messages[0].second, "You just double clicked on a peg!");
}

TEST_F(PalettePageTest, InsertKeyAddsAPegThroughThePage) {
  page.gradientCtrl()->setSelectedIndex(0);
  QTest::keyClick(page.gradientCtrl(), Qt::Key_Insert);
  EXPECT_EQ(page.gradient().pegCount(), 6);
}

TEST_F(PalettePageTest, SaveAndLoadRoundTripThroughTheFileDialogs) {
  port.savePath = port.loadPath = scratchFile("page.cip");
  control<QComboBox>("Interpolation method")->setCurrentIndex(7);
  page.saveScheme();
  control<QComboBox>("Interpolation method")->setCurrentIndex(0);
  page.deleteSelectedPeg();
  page.gradientCtrl()->setSelectedIndex(0);
  page.deleteSelectedPeg();
  ASSERT_EQ(page.gradient().pegCount(), 4);
  page.loadScheme();
  EXPECT_EQ(page.gradient().pegCount(), 5);
  EXPECT_EQ(control<QComboBox>("Interpolation method")->currentText(), "HSL Shortest");
  EXPECT_TRUE(port.messages.empty());
  std::filesystem::remove(*port.savePath);
}

TEST_F(PalettePageTest, TruncatedSchemeSaysSoAndShowsWhatWasRead) {
  CGradient g;
  g.setMethod(InterpolationMethod::Reverse);
  g.addPeg(makeColour(5, 5, 5), 0.5f);
  auto bytes = writeColourScheme(g);
  bytes.resize(bytes.size() - 2);
  port.loadPath = scratchFile("cut.cip");
  std::ofstream(*port.loadPath, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  page.loadScheme();
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_NE(port.messages[0].first.find("ends early"), std::string::npos);
  EXPECT_EQ(control<QComboBox>("Interpolation method")->currentText(), "Reverse");
  EXPECT_EQ(page.gradient().pegCount(), 0);
  std::filesystem::remove(*port.loadPath);
}

TEST_F(PalettePageTest, EveryControlHasAnAccessibleName) {
  // Whatever takes focus is acted on; the spin boxes' inner line edits speak for their box.
  for (QWidget* w : page.findChildren<QWidget*>()) {
    if (w->focusPolicy() == Qt::NoFocus || w->parentWidget()->inherits("QAbstractSpinBox"))
      continue;
    EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
  }
}

}  // namespace
}  // namespace tessor
