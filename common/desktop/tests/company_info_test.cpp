#include "desktop/company_info.h"
#include "testing/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace desktop {
namespace {

struct CompanyCase {
  const char* name;
  std::string text;
  CompanyInfo expected;
};

class ParseCompanyInfo : public ::testing::TestWithParam<CompanyCase> {};

TEST_P(ParseCompanyInfo, ReadsFlagBrandAndLink) {
  EXPECT_EQ(parseCompanyInfo(GetParam().text), GetParam().expected);
}

const std::string kLongWord(300, 'b');

INSTANTIATE_TEST_SUITE_P(
    Inputs, ParseCompanyInfo,
    ::testing::Values(
        CompanyCase{"Complete", "1 QMR https://example.com/\n", {1, "QMR", "https://example.com/"}},
        CompanyCase{"AnyWhitespace", "\t0\r\n\n  Brand \t link", {0, "Brand", "link"}},
        CompanyCase{"ExtraWordsIgnored", "2 a b c d", {2, "a", "b"}},
        CompanyCase{"Empty", "", {0, "", ""}}, CompanyCase{"OnlyFlag", "1", {1, "", ""}},
        CompanyCase{"NoLink", "1 Brand", {1, "Brand", ""}},
        CompanyCase{"NoNumber", "QMR link", {0, "", ""}},
        CompanyCase{"NegativeFlag", "-3 a b", {-3, "a", "b"}},
        // Formatted input takes the digits and leaves the rest for the next item.
        CompanyCase{"DigitsThenLetters", "1QMR link", {1, "QMR", "link"}},
        CompanyCase{"FlagOverflow", "99999999999 a b", {0, "", ""}},
        CompanyCase{"SignOnly", "- a b", {0, "", ""}},
        CompanyCase{"NulInside", std::string("1 a\0b c", 7), {1, std::string("a\0b", 3), "c"}},
        // A word longer than the limit is cut and its rest skipped, never read as the link.
        CompanyCase{"LongBrand",
                    "1 " + kLongWord + " link",
                    {1, std::string(kCompanyWordLimit, 'b'), "link"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompanyFile, MissingFileGivesNothing) {
  testsupport::TempFolder folder;
  EXPECT_FALSE(readCompanyFile(folder.path()).has_value());
}

TEST(CompanyFile, ReadsTheFileBesideTheProgram) {
  testsupport::TempFolder folder;
  std::ofstream(folder.path() / kCompanyFileName) << "1 qmr http://localhost/\n";
  const std::optional<CompanyInfo> info = readCompanyFile(folder.path());
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(*info, (CompanyInfo{1, "qmr", "http://localhost/"}));
  EXPECT_TRUE(info->showsLogo());
}

// An installed program finds the company file in <prefix>/share/irdex; one beside the
// program (a build tree, or a branded copy) still wins.
TEST(CompanyFile, FolderIsBesideTheProgramElseTheInstalledDataFolder) {
  testsupport::TempFolder prefix;
  const std::filesystem::path bin = prefix.path() / "bin";
  const std::filesystem::path data = prefix.path() / "share" / "irdex";
  std::filesystem::create_directories(bin);
  std::filesystem::create_directories(data);
  EXPECT_EQ(companyFolder(bin), bin) << "neither holds one: the program's folder is named";
  std::ofstream(data / kCompanyFileName) << "1 installed http://localhost/\n";
  EXPECT_EQ(companyFolder(bin), data.lexically_normal());
  EXPECT_EQ(readCompanyFile(companyFolder(bin))->brand, "installed");
  std::ofstream(bin / kCompanyFileName) << "1 beside http://localhost/\n";
  EXPECT_EQ(companyFolder(bin), bin);
}

TEST(CompanyFile, OnlyFlagOneShowsTheLogo) {
  EXPECT_FALSE((CompanyInfo{0, "", ""}).showsLogo());
  EXPECT_FALSE((CompanyInfo{2, "", ""}).showsLogo());
  EXPECT_TRUE((CompanyInfo{1, "", ""}).showsLogo());
}

}  // namespace
}  // namespace desktop
