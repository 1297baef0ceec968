#include "app/analyzer_settings.h"
#include "app/settings_store.h"
#include "testing/case_name.h"
#include "testing/temp_folder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <variant>

namespace solvane {
namespace {

using testsupport::TempFolder;

SettingsContext contextWithBrand(const std::string& brand) { return {brand, "/pictures"}; }

TEST(AnalyzerSettings, EmptyStoreGivesEveryDefault) {
  TempFolder folder;
  SettingsStore store(folder.iniFile());
  const AnalyzerSettings loaded = loadSettings(store, contextWithBrand("Irdex"));
  EXPECT_EQ(loaded, defaultSettings(contextWithBrand("Irdex")));
  EXPECT_EQ(loaded.camIp, "");
  EXPECT_FLOAT_EQ(loaded.atmTemp, 20.0f);
  EXPECT_FLOAT_EQ(loaded.emissivity, 0.95f);
  EXPECT_EQ(loaded.palette, 11);
  EXPECT_FLOAT_EQ(loaded.zoom, 1.0f);
  EXPECT_EQ(loaded.fourcc, "MSVC");
  EXPECT_EQ(loaded.fourccNum, -1);
  EXPECT_EQ(loaded.savePath, "/pictures");
  EXPECT_EQ(loaded.fontColor1, 0xFFFFFF);
  EXPECT_FLOAT_EQ(loaded.bRate, 0.01f);
  EXPECT_TRUE(loaded.dlgInit);
  EXPECT_TRUE(loaded.timeStamp);
  EXPECT_EQ(loaded.objectFrame, 2);
  EXPECT_EQ(loaded.netMaxReconnectionAttempt, 99);
}

TEST(AnalyzerSettings, SavingDefaultsWritesTheDocumentedIntegers) {
  TempFolder folder;
  SettingsStore store(folder.iniFile());
  saveSettings(store, defaultSettings(contextWithBrand("")));
  SettingsStore reread(folder.iniFile());
  EXPECT_EQ(reread.readInt("ATM TEMP", 0), 20000);
  EXPECT_EQ(reread.readInt("ATM TRANS", 0), 1000);
  EXPECT_EQ(reread.readInt("EMISSIVITY", 0), 950);
  EXPECT_EQ(reread.readInt("ZOOM", 0), 10);
  EXPECT_EQ(reread.readInt("SD RATE", 0), 50);
  EXPECT_EQ(reread.readInt("B RATE", 0), 1);
  EXPECT_EQ(reread.readInt("GAMMA", 0), 10);
  EXPECT_EQ(reread.readInt("EPSILON", 0), 5);
  EXPECT_EQ(reread.readInt("PSI", 0), 3);
  EXPECT_EQ(reread.readInt("PREV PLATEAU", -1), 0);
  EXPECT_EQ(reread.readInt("SHOW TEMP", 0), 1);
  EXPECT_EQ(reread.readString("FONT_NAME", ""), "Arial");
}

TEST(AnalyzerSettings, KeyTableHasEveryKeyOnce) {
  std::set<std::string> names;
  for (const SettingKey& key : settingKeys()) names.insert(key.name);
  EXPECT_EQ(names.size(), settingKeys().size());
  EXPECT_EQ(names.size(), 72u);
  for (const char* name : {"CAM IP", "ATM TEMP", "B RATE", "DLG_INIT", "TIME_STAMP",
                           "SCHED_NWEEKLY", "NET_MAX_RECONNECTION_ATTEMPT", "RECORD_OTCOND"}) {
    EXPECT_TRUE(names.count(name)) << name;
  }
}

// A stored value for each key that differs from its default and survives the key's scale.
void writeDistinctValue(SettingsStore& store, const SettingKey& key, int index) {
  switch (key.storage) {
    case Storage::Text: store.writeString(key.name, "value " + std::to_string(index)); break;
    case Storage::Flag: store.writeInt(key.name, index % 2); break;
    case Storage::Byte: store.writeInt(key.name, 200); break;
    default: store.writeInt(key.name, 1000 + 37 * index); break;
  }
}

TEST(AnalyzerSettings, EveryKeySurvivesLoadAndSaveUnchanged) {
  TempFolder folder;
  const QString first = folder.iniFile();
  const QString second = QString::fromStdString(folder.file("second.ini"));
  {
    SettingsStore store(first);
    int index = 0;
    for (const SettingKey& key : settingKeys()) writeDistinctValue(store, key, index++);
    store.sync();
  }
  SettingsStore source(first);
  SettingsStore target(second);
  saveSettings(target, loadSettings(source, contextWithBrand("")));
  for (const SettingKey& key : settingKeys()) {
    if (key.storage == Storage::Text) {
      EXPECT_EQ(target.readString(key.name, "?"), source.readString(key.name, "!")) << key.name;
    } else {
      EXPECT_EQ(target.readInt(key.name, -77), source.readInt(key.name, -99)) << key.name;
    }
  }
}

TEST(AnalyzerSettings, ScaledKeysLoadAsFractions) {
  TempFolder folder;
  SettingsStore store(folder.iniFile());
  store.writeInt("ATM TEMP", 21234);
  store.writeInt("ATM TRANS", 875);
  store.writeInt("EMISSIVITY", 12);
  store.writeInt("ZOOM", 25);
  store.writeInt("B RATE", 7);
  store.writeInt("GAMMA", 22);
  store.writeInt("INVERT", 5);
  const AnalyzerSettings loaded = loadSettings(store, contextWithBrand(""));
  EXPECT_FLOAT_EQ(loaded.atmTemp, 21.234f);
  EXPECT_FLOAT_EQ(loaded.atmTrans, 0.875f);
  EXPECT_FLOAT_EQ(loaded.emissivity, 0.012f);
  EXPECT_FLOAT_EQ(loaded.zoom, 2.5f);
  EXPECT_FLOAT_EQ(loaded.bRate, 0.07f);
  EXPECT_FLOAT_EQ(loaded.gamma, 2.2f);
  EXPECT_TRUE(loaded.invert);
}

struct WriteCase {
  Storage storage;
  float value;
  int32_t stored;
};

class StoredFromValue : public ::testing::TestWithParam<WriteCase> {};

TEST_P(StoredFromValue, RoundsByTheKeysRule) {
  EXPECT_EQ(storedFromValue(GetParam().storage, GetParam().value), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Scales, StoredFromValue,
    ::testing::Values(
        WriteCase{Storage::Thousandths, 21.234f, 21234},
        WriteCase{Storage::Thousandths, 0.95f, 950}, WriteCase{Storage::Thousandths, 0.0005f, 1},
        WriteCase{Storage::Thousandths, 20.0004f, 20000},
        // Negative temperatures round to nearest, not one thousandth up.
        WriteCase{Storage::Thousandths, -5.5f, -5500}, WriteCase{Storage::Thousandths, -0.001f, -1},
        WriteCase{Storage::Hundredths, 0.01f, 1}, WriteCase{Storage::Hundredths, 0.014f, 1},
        WriteCase{Storage::Hundredths, 0.016f, 2}, WriteCase{Storage::Tenths, 1.5f, 15},
        WriteCase{Storage::Tenths, 1.59f, 15},  // truncated, not rounded
        WriteCase{Storage::Tenths, 0.0f, 0}, WriteCase{Storage::Thousandths, 1e30f, 2147483647}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName("Value", p.value, "Stored", p.stored, "Case", i);
    });

struct ScaleRange {
  Storage storage;
  int32_t from;
  int32_t to;
};

class StoredValueRoundTrip : public ::testing::TestWithParam<ScaleRange> {};

// Every integer a store may hold loads and saves back as itself, so settings never drift
// from one session to the next.
TEST_P(StoredValueRoundTrip, EveryStoredIntegerComesBack) {
  const ScaleRange range = GetParam();
  int32_t drifted = 0;
  int32_t firstDrift = 0;
  for (int32_t stored = range.from; stored <= range.to; ++stored) {
    if (storedFromValue(range.storage, valueFromStored(range.storage, stored)) != stored) {
      if (drifted++ == 0) firstDrift = stored;
    }
  }
  EXPECT_EQ(drifted, 0) << "first drifting value " << firstDrift;
}

INSTANTIATE_TEST_SUITE_P(Scales, StoredValueRoundTrip,
                         ::testing::Values(ScaleRange{Storage::Thousandths, -100000, 1000000},
                                           ScaleRange{Storage::Tenths, 0, 10000},
                                           ScaleRange{Storage::Hundredths, 0, 10000}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("From", p.from, "To", p.to, "Case", i);
                         });

struct BrandCase {
  const char* brand;
  float zoom;
};

class BrandZoom : public ::testing::TestWithParam<BrandCase> {};

TEST_P(BrandZoom, DefaultZoomFollowsTheBrandWord) {
  TempFolder folder;
  SettingsStore store(folder.iniFile());
  EXPECT_FLOAT_EQ(loadSettings(store, contextWithBrand(GetParam().brand)).zoom, GetParam().zoom);
}

INSTANTIATE_TEST_SUITE_P(Brands, BrandZoom,
                         ::testing::Values(BrandCase{"QMR", 2.0f}, BrandCase{"qmr", 2.0f},
                                           BrandCase{"QmR", 2.0f}, BrandCase{"QMRX", 1.0f},
                                           BrandCase{"QM", 1.0f}, BrandCase{"", 1.0f},
                                           BrandCase{" QMR", 1.0f}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Case", i, *p.brand ? p.brand : "Empty");
                         });

TEST(AnalyzerSettings, StoredZoomWinsOverTheBrandDefault) {
  TempFolder folder;
  SettingsStore store(folder.iniFile());
  store.writeInt("ZOOM", 30);
  EXPECT_FLOAT_EQ(loadSettings(store, contextWithBrand("QMR")).zoom, 3.0f);
}

TEST(AnalyzerSettings, UnreadableIntegersFallBackAndOthersAreNotValidated) {
  TempFolder folder;
  SettingsStore store(folder.iniFile());
  store.writeString("PALETTE", "not a number");
  store.writeString("FONT_SIZE", "99999999999");
  store.writeInt("TEMP UNIT", 17);
  store.writeInt("FILTER", -4);
  const AnalyzerSettings loaded = loadSettings(store, contextWithBrand(""));
  EXPECT_EQ(loaded.palette, 11);
  EXPECT_EQ(loaded.fontSize, 12);
  EXPECT_EQ(loaded.tempUnit, 17);
  EXPECT_EQ(loaded.filter, -4);
}

}  // namespace
}  // namespace solvane

namespace solvane {
namespace {

class TextRoundTrip : public ::testing::TestWithParam<std::string> {};

// Paths and names come from dialogs: separators, quotes and non-ASCII letters must come back
// as they were written.
TEST_P(TextRoundTrip, TextSurvivesTheStore) {
  testsupport::TempFolder folder;
  {
    SettingsStore store(folder.iniFile());
    store.writeString("SAVE PATH", GetParam());
    store.sync();
  }
  EXPECT_EQ(SettingsStore(folder.iniFile()).readString("SAVE PATH", "?"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Texts, TextRoundTrip,
                         ::testing::Values("/home/a, b/Pictures", "  leading and trailing  ",
                                           "quote \" and ; semicolon", "W\xC3\xA4rme/\xE7\x94\xBB",
                                           "back\\slash", "", "a=b", "#not a comment",
                                           "@ByteArray(x)", "line\nbreak"),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Case", i,
                                           p.empty() ? std::string("Empty") : p.substr(0, 24));
                         });

}  // namespace
}  // namespace solvane
