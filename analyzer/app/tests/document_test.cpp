#include "app/notifier.h"
#include "app/settings_store.h"
#include "app/vyn_cam_sdk_app.h"
#include "app/vyn_cam_sdk_doc.h"
#include "testing/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace solvane {
namespace {

using testsupport::TempFolder;

class DocumentTest : public ::testing::Test {
 protected:
  SettingsContext context(const std::string& brand = "") const {
    return {brand, folder.file("Pictures")};
  }
  TempFolder folder;
  SettingsStore store{folder.iniFile()};
};

TEST_F(DocumentTest, MakesTheSaveFolderWhenItIsMade) {
  store.writeString("SAVE PATH", folder.file("D/a/b/c"));
  CVynCamSDKDoc document(store, context());
  EXPECT_TRUE(std::filesystem::is_directory(folder.file("D/a/b/c")));
  EXPECT_EQ(document.irInfoBlock()[0] | document.irInfoBlock()[1] << 8, 320);
}

TEST_F(DocumentTest, DefaultSaveFolderIsThePicturesFolder) {
  CVynCamSDKDoc document(store, context());
  EXPECT_EQ(document.settings().savePath, folder.file("Pictures"));
  EXPECT_TRUE(std::filesystem::is_directory(folder.file("Pictures")));
}

TEST_F(DocumentTest, SettingsAreReadOnceAndWrittenOnSave) {
  store.writeInt("PALETTE", 3);
  store.sync();
  CVynCamSDKDoc document(store, context());
  store.writeInt("PALETTE", 9);  // another copy of the program writing meanwhile
  EXPECT_EQ(document.settings().palette, 3);
  document.settings().atmTemp = 21.234f;
  document.saveSettings();
  SettingsStore reread(folder.iniFile());
  EXPECT_EQ(reread.readInt("PALETTE", 0), 3);  // the last to close wins
  EXPECT_EQ(reread.readInt("ATM TEMP", 0), 21234);
}

TEST_F(DocumentTest, CameraAddressIsWrittenAtOnce) {
  CVynCamSDKDoc document(store, context());
  document.settings().palette = 5;
  document.setCameraIp("127.0.0.1");
  SettingsStore reread(folder.iniFile());
  EXPECT_EQ(reread.readString("CAM IP", ""), "127.0.0.1");
  EXPECT_FALSE(reread.contains("PALETTE"));  // nothing else is written before the close
}

TEST_F(DocumentTest, AgcRecordChangesReachTheSettingsAndTheBlock) {
  CVynCamSDKDoc document(store, context());
  AgcParams params = document.agcParams();
  params.manual = 1;
  params.gamma = 2.0f;
  document.setAgcParams(params);
  EXPECT_EQ(document.settings().agcMode, 1);
  EXPECT_EQ(document.settings().gamma, 2.0f);
  EXPECT_EQ(document.irInfoBlock()[4], 1);
}

TEST_F(DocumentTest, CancelledInitializationChangesNothing) {
  CVynCamSDKDoc document(store, context());
  document.settings().palette = 4;
  ScriptedNotifier notifier(Answer::Cancel);
  bool stopped = false;
  EXPECT_FALSE(document.initializeParameters(notifier, [&] { stopped = true; }));
  ASSERT_EQ(notifier.shown().size(), 1u);
  EXPECT_EQ(notifier.shown()[0].text, "Do you want to initialize parameters.");
  EXPECT_EQ(notifier.shown()[0].title, "Information");
  EXPECT_EQ(notifier.shown()[0].buttons, Buttons::OkCancel);
  EXPECT_FALSE(stopped);
  EXPECT_EQ(document.settings().palette, 4);
  EXPECT_FALSE(SettingsStore(folder.iniFile()).contains("PALETTE"));
}

TEST_F(DocumentTest, InitializationResetsParametersAndKeepsTheRest) {
  store.writeString("SAVE PATH", folder.file("elsewhere"));
  CVynCamSDKDoc document(store, context("qmr"));
  AnalyzerSettings& s = document.settings();
  s.camIp = "127.0.0.2";
  s.camName = "Bench";
  s.fontName = "Serif";
  s.fontSize = 20;
  s.alarmPlay = true;
  s.alarmPlayPath = "/tmp/a.wav";
  s.netMaxReconnectionAttempt = 3;
  s.tempUnit = 1;
  s.palette = 2;
  s.zoom = 3.0f;
  s.showTemp = true;
  s.gamma = 2.5f;
  s.plateau = 7;
  s.alarmThresholdMs = 10;
  s.schedWeekDays = 1010101;
  s.useAvi = 2;
  s.updateCond = 2;
  document.setLevelSpan(40.0f, 8.0f);

  ScriptedNotifier notifier(Answer::Ok);
  bool stopped = false;
  ASSERT_TRUE(document.initializeParameters(notifier, [&] { stopped = true; }));
  EXPECT_TRUE(stopped);

  EXPECT_EQ(s.palette, 11);
  EXPECT_FLOAT_EQ(s.zoom, 2.0f);  // the brand's zoom
  EXPECT_FALSE(s.showTemp);
  EXPECT_TRUE(s.showMouseTemp);
  EXPECT_FALSE(s.timeStamp);  // reset off although a new store starts with it on
  EXPECT_EQ(s.gamma, 1.0f);
  EXPECT_EQ(s.plateau, 100);
  EXPECT_EQ(s.alarmThresholdMs, 2000);
  EXPECT_EQ(s.schedWeekDays, 0);
  EXPECT_EQ(s.useAvi, 0);
  EXPECT_EQ(s.updateCond, 1);
  EXPECT_EQ(s.savePath, folder.file("Pictures"));
  EXPECT_FLOAT_EQ(document.image().level, 19.5f);
  EXPECT_FLOAT_EQ(document.image().span, 2.0f);

  EXPECT_EQ(s.camIp, "127.0.0.2");
  EXPECT_EQ(s.camName, "Bench");
  EXPECT_EQ(s.fontName, "Serif");
  EXPECT_EQ(s.fontSize, 20);
  EXPECT_TRUE(s.alarmPlay);
  EXPECT_EQ(s.alarmPlayPath, "/tmp/a.wav");
  EXPECT_EQ(s.netMaxReconnectionAttempt, 3);
  EXPECT_EQ(s.tempUnit, 1);

  const IrInfoBlock& block = document.irInfoBlock();
  EXPECT_EQ(block[6] | block[7] << 8, 195);
  EXPECT_EQ(block[8] | block[9] << 8, 20);
  EXPECT_EQ(block[21], 11);
  EXPECT_EQ(block[22], 20);

  SettingsStore reread(folder.iniFile());
  EXPECT_EQ(reread.readInt("TIME_STAMP", 1), 0);
  EXPECT_EQ(reread.readInt("ZOOM", 0), 20);
  EXPECT_EQ(reread.readString("SAVE PATH", ""), folder.file("Pictures"));
}

TEST_F(DocumentTest, LayoutIsResetOnceAndTheFlagSavedCleared) {
  store.writeLayout("State", QByteArray("docks"));
  store.sync();
  CVynCamSDKApp app(folder.path(), "1.2.3");
  EXPECT_TRUE(app.resetLayoutIfAsked(store));
  EXPECT_FALSE(store.readLayout("State").has_value());
  CVynCamSDKDoc document(store, context());
  app.attachDocument(&document);
  EXPECT_FALSE(app.layoutResetFlag());
  document.saveSettings();
  EXPECT_EQ(SettingsStore(folder.iniFile()).readInt("DLG_INIT", 1), 0);

  store.writeLayout("State", QByteArray("docks"));
  EXPECT_FALSE(app.resetLayoutIfAsked(store));
  EXPECT_TRUE(store.readLayout("State").has_value());
}

TEST_F(DocumentTest, ResetWindowLayoutCommandMarksTheNextStart) {
  CVynCamSDKApp app(folder.path(), "1.2.3");
  app.resetLayoutIfAsked(store);
  CVynCamSDKDoc document(store, context());
  app.attachDocument(&document);

  ScriptedNotifier cancel(Answer::Cancel);
  EXPECT_FALSE(app.resetWindowLayout(cancel));
  EXPECT_FALSE(app.layoutResetFlag());
  ASSERT_EQ(cancel.shown().size(), 1u);

  ScriptedNotifier ok(Answer::Ok);
  EXPECT_TRUE(app.resetWindowLayout(ok));
  ASSERT_EQ(ok.shown().size(), 2u);
  EXPECT_EQ(ok.shown()[0].text, "Do you want to reset window layout.");
  EXPECT_EQ(ok.shown()[0].title, "Information");
  EXPECT_EQ(ok.shown()[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(ok.shown()[1].text, "Please re-execute to initialize the docking dialog!");
  EXPECT_EQ(ok.shown()[1].title, "Notify Message");
  // A parameter reset saves everything; the layout request must survive it.
  ScriptedNotifier yes(Answer::Ok);
  document.initializeParameters(yes);
  EXPECT_EQ(SettingsStore(folder.iniFile()).readInt("DLG_INIT", 0), 1);
}

TEST_F(DocumentTest, CompanyFileBrandsTheApplication) {
  std::ofstream(folder.path() / "company.txt") << "1 QMR http://localhost/";
  CVynCamSDKApp app(folder.path(), "1.2.3");
  ScriptedNotifier notifier;
  app.loadCompanyInfo(notifier);
  EXPECT_TRUE(notifier.shown().empty());
  EXPECT_EQ(app.brand(), "QMR");
  EXPECT_EQ(app.webLink(), "http://localhost/");
  EXPECT_EQ(app.logoFlag(), 1);
  EXPECT_EQ(app.aboutCaption(), "Solvane, (Version : 1.2.3)");
}

TEST_F(DocumentTest, MissingCompanyFileIsToldAndLeavesTheProgramUnbranded) {
  CVynCamSDKApp app(folder.path(), "1.2.3");
  ScriptedNotifier notifier;
  app.loadCompanyInfo(notifier);
  ASSERT_EQ(notifier.shown().size(), 1u);
  EXPECT_EQ(notifier.shown()[0].text, "Failed to load Company information!!");
  EXPECT_EQ(notifier.shown()[0].title, kDefaultTitle);
  EXPECT_EQ(app.brand(), "");
  EXPECT_EQ(app.webLink(), "");
  EXPECT_EQ(app.logoFlag(), 0);
}

TEST(ApplicationTexts, CaptionTitleAndFiles) {
  EXPECT_EQ(aboutCaption("0.1.0"), "Solvane, (Version : 0.1.0)");
  EXPECT_EQ(windowTitle(""), "Solvane");
  EXPECT_EQ(windowTitle("Thermal"), "Solvane - Thermal");
  EXPECT_STRNE(buildVersionText(), "");
  CVynCamSDKApp app("/opt/solvane", "1");
  EXPECT_EQ(app.manualPath(), std::filesystem::path("/opt/solvane/vyncamsdk.html"));
  EXPECT_EQ(app.logoPath(), std::filesystem::path("/opt/solvane/logo.png"));
}

}  // namespace
}  // namespace solvane
