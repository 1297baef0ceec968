#include "discovery/core/txt_record.h"
#include "testing/case_name.h"

#include <gtest/gtest.h>

#include "fake_dns_sd_client.h"

namespace discovery {
namespace {

using testing::txtRecord;

struct TxtCase {
  const char* what;
  std::vector<std::uint8_t> txt;
  CameraTxt expected;
};

class TxtParsing : public ::testing::TestWithParam<TxtCase> {};

TEST_P(TxtParsing, FillsTheFourFields) {
  const auto result = parseCameraTxt(GetParam().txt);
  EXPECT_FALSE(result.malformed);
  EXPECT_EQ(result.fields, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Records, TxtParsing,
    ::testing::Values(
        TxtCase{"all",
                txtRecord({"model=KS4", "name=Dock", "ip=127.0.0.5", "mac=00:11:22:33:44:55"}),
                {"Dock", "KS4", "127.0.0.5", "00:11:22:33:44:55"}},
        TxtCase{"empty", {}, {}}, TxtCase{"empty string", {0}, {}},
        TxtCase{"missing keys", txtRecord({"ip=127.0.0.9"}), {"", "", "127.0.0.9", ""}},
        TxtCase{"later wins", txtRecord({"name=A", "name=B"}), {"B", "", "", ""}},
        TxtCase{"case sensitive", txtRecord({"Name=A", "IP=1"}), {}},
        TxtCase{"unknown ignored", txtRecord({"txtvers=1", "model=KT3"}), {"", "KT3", "", ""}},
        TxtCase{"escapes left out",
                txtRecord({"na\\me=\"Roof\"", "ip=127.0.0.\\1"}),
                {"Roof", "", "127.0.0.1", ""}},
        TxtCase{"NUL ends text", txtRecord({std::string("name=Ab\0cd", 10)}), {"Ab", "", "", ""}},
        TxtCase{"value cut at 19",
                txtRecord({"name=" + std::string(40, 'x')}),
                {std::string(19, 'x'), "", "", ""}},
        TxtCase{"long string",
                txtRecord({"mac=" + std::string(250, 'm')}),
                {"", "", "", std::string(19, 'm')}}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

TEST(TxtParsing, ReportsAValueThatWasCut) {
  EXPECT_TRUE(parseCameraTxt(txtRecord({"model=" + std::string(20, 'k')})).valueCut);
  EXPECT_FALSE(parseCameraTxt(txtRecord({"model=" + std::string(19, 'k')})).valueCut);
}

TEST(TxtParsing, LengthRunningPastTheEndIsMalformed) {
  auto txt = txtRecord({"ip=127.0.0.3"});
  txt.push_back(10);
  txt.push_back('x');
  EXPECT_TRUE(parseCameraTxt(txt).malformed);
}

struct LabelCase {
  std::string fullName;
  std::optional<std::string> label;
};

class InstanceLabel : public ::testing::TestWithParam<LabelCase> {};

TEST_P(InstanceLabel, IsTheTextBeforeTheFirstUnescapedDot) {
  EXPECT_EQ(firstInstanceLabel(GetParam().fullName), GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(
    Names, InstanceLabel,
    ::testing::Values(LabelCase{"Cam._vyn-cam._tcp.local.", "Cam"},
                      LabelCase{"Cam\\.One._vyn-cam._tcp.local.", "Cam\\.One"},
                      LabelCase{"A\\\\.rest", "A\\\\"}, LabelCase{".x", ""},
                      LabelCase{"NoDot", std::nullopt}, LabelCase{"", std::nullopt},
                      LabelCase{"Trailing\\", std::nullopt}, LabelCase{"Esc\\.only", std::nullopt},
                      LabelCase{std::string(1008, 'a') + ".local.", std::string(1008, 'a')},
                      LabelCase{std::string(1009, 'a') + ".local.", std::nullopt},
                      LabelCase{std::string(1007, 'a') + "\\..local.", std::nullopt},
                      LabelCase{std::string(1006, 'a') + "\\..local.",
                                std::string(1006, 'a') + "\\."}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName("Case", i, p.label ? *p.label : std::string("NoLabel"));
    });

TEST(CutText, NeverSplitsAUtf8Character) {
  EXPECT_EQ(cutText("abc", 5), "abc");
  EXPECT_EQ(cutText("abcdef", 3), "abc");
  // "é" is two bytes: cutting after its first byte drops it whole.
  EXPECT_EQ(cutText("ab\xC3\xA9", 3), "ab");
  EXPECT_EQ(cutText("ab\xC3\xA9x", 4), "ab\xC3\xA9");
}

}  // namespace
}  // namespace discovery
