// The command-line report as a user gets it: two snapshots of our own writer and their
// typed texts in, a PDF out, read back with poppler's tools.
#include "session_store.h"
#include "snapshot_files.h"
#include "testing/case_name.h"
#include "testing/temp_folder.h"

#include <gtest/gtest.h>

#include <ostream>

#include <QDate>

#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace pagana {
namespace {

using namespace pagana::testing;

struct CommandRun {
  int status = -1;
  std::string output;
};

std::string shellQuoted(const std::string& text) { return "'" + text + "'"; }

CommandRun run(const std::string& command) {
  CommandRun result;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer;
  std::size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    result.output.append(buffer.data(), n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  std::string part;
  while (std::getline(stream, part, separator)) parts.push_back(part);
  return parts;
}

class PdfReport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new testsupport::TempFolder;
    const auto a = folder_->path() / "Cam_IR_20261208010203.jpg";
    const auto b = folder_->path() / "Cam_IR_20261208020304.jpg";
    ASSERT_TRUE(writeSnapshot(a, {.levelTenths = 253,
                                  .spanTenths = 120,
                                  .atmTempThousandths = 21500,
                                  .transmissionThousandths = 980,
                                  .emissivityThousandths = 950}));
    ASSERT_TRUE(writeSnapshot(b, {.levelTenths = -55,
                                  .spanTenths = 300,
                                  .atmTempThousandths = 4250,
                                  .transmissionThousandths = 1000,
                                  .emissivityThousandths = 870}));
    Session session;
    session.infos.push_back({"Cam_IR_20261208010203", "Acme Survey", "Town Hall", "North roof",
                             "Jo Smith",
                             "Warm patch beside the chimney, likely wet insulation under the "
                             "tiles; check again after a dry week."});
    const auto sessionFile = folder_->path() / "session.json";
    ASSERT_TRUE(writeSession(sessionFile, session));
    pdf_ = new std::string((folder_->path() / "report.pdf").string());
    const CommandRun report =
        run(shellQuoted(PAGANA_EXECUTABLE) + " --texts " + shellQuoted(sessionFile.string()) +
            " --pdf " + shellQuoted(*pdf_) + " " + shellQuoted(a.string()) + " " +
            shellQuoted(b.string()));
    ASSERT_EQ(report.status, 0) << report.output;
    const CommandRun text = run("pdftotext -layout " + shellQuoted(*pdf_) + " -");
    ASSERT_EQ(text.status, 0) << text.output;
    pages_ = new std::vector<std::string>(split(text.output, '\f'));
  }
  static void TearDownTestSuite() {
    delete pages_;
    delete pdf_;
    delete folder_;
  }

  static testsupport::TempFolder* folder_;
  static std::string* pdf_;
  static std::vector<std::string>* pages_;
};

testsupport::TempFolder* PdfReport::folder_ = nullptr;
std::string* PdfReport::pdf_ = nullptr;
std::vector<std::string>* PdfReport::pages_ = nullptr;

TEST_F(PdfReport, RendersOnePagePerSnapshot) {
  const auto pngs = folder_->path() / "pages";
  std::filesystem::create_directories(pngs);
  const CommandRun render =
      run("pdftoppm -r 20 -png " + shellQuoted(*pdf_) + " " + shellQuoted((pngs / "p").string()));
  ASSERT_EQ(render.status, 0) << render.output;
  std::size_t pictures = 0;
  for (const auto& entry : std::filesystem::directory_iterator(pngs)) {
    if (entry.path().extension() == ".png" && entry.file_size() > 0) ++pictures;
  }
  EXPECT_EQ(pictures, 2u);
}

struct PageCase {
  const char* name;
  std::size_t page;
  // Pieces that must appear on the page in this order, top to bottom and left to right.
  std::vector<std::string> inReadingOrder;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const PageCase& c, std::ostream* out) { *out << c.name; }

std::string reportDate() { return QDate::currentDate().toString("dd/MM/yyyy").toStdString(); }

const std::vector<PageCase>& pageCases() {
  static const std::vector<PageCase> cases = {
      {.name = "first page",
       .page = 0,
       .inReadingOrder = {"< Inspection Report >", "Report Date(Day/Month/Year): " + reportDate(),
                          "Company: Acme Survey", "Customer: Town Hall", "Thermographer: Jo Smith",
                          "Site: North roof", "Object Parameters",
                          "Image Name:", "Cam_IR_20261208010203",
                          "Level: 25.30\xC2\xB0"
                          "C",
                          "Span:",
                          "12.00\xC2\xB0"
                          "C",
                          "Emissivity: 0.95", "Atm. Temp.:",
                          "21.50\xC2\xB0"
                          "C",
                          "Atm. Trans: 0.98", "Description", "Warm patch beside the chimney",
                          "check again after a dry week."}},
      {.name = "second page without texts",
       .page = 1,
       .inReadingOrder = {"< Inspection Report >", "Company:", "Customer:", "Thermographer:",
                          "Site:", "Object Parameters", "Image Name:", "Cam_IR_20261208020304",
                          "Level: -5.50\xC2\xB0"
                          "C",
                          "Span:",
                          "30.00\xC2\xB0"
                          "C",
                          "Emissivity: 0.87", "Atm. Temp.:",
                          "4.25\xC2\xB0"
                          "C",
                          "Atm. Trans: 1.00", "Description"}},
  };
  return cases;
}

class PdfReportPage : public PdfReport, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PdfReportPage, ShowsItsTextsInReadingOrder) {
  const PageCase& c = GetParam();
  ASSERT_GT(pages_->size(), c.page);
  const std::string& page = (*pages_)[c.page];
  std::size_t at = 0;
  for (const std::string& piece : c.inReadingOrder) {
    const std::size_t found = page.find(piece, at);
    ASSERT_NE(found, std::string::npos)
        << "\"" << piece << "\" missing after offset " << at << " of:\n"
        << page;
    at = found + piece.size();
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, PdfReportPage, ::testing::ValuesIn(pageCases()),
                         testsupport::ByName());

TEST_F(PdfReport, SecondPageShowsNoTextsOfTheFirst) {
  ASSERT_GT(pages_->size(), 1u);
  EXPECT_EQ((*pages_)[1].find("Acme"), std::string::npos);
  EXPECT_EQ((*pages_)[1].find("chimney"), std::string::npos);
}

TEST_F(PdfReport, LabelsAndTheirValuesShareALine) {
  ASSERT_FALSE(pages_->empty());
  for (const std::string& line : split((*pages_)[0], '\n')) {
    if (line.find("Company:") != std::string::npos) {
      EXPECT_NE(line.find("Customer: Town Hall"), std::string::npos) << line;
    }
    if (line.find("Image Name:") != std::string::npos) {
      EXPECT_NE(line.find("Level:"), std::string::npos) << line;
    }
  }
}

struct RefusalCase {
  const char* name;
  std::string arguments;  // after the program, with FOLDER standing for the test's folder
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }

class PdfBatchRefusal : public ::testing::TestWithParam<RefusalCase> {};

// No half report: the file is not written when a snapshot or the arguments are wrong.
TEST_P(PdfBatchRefusal, WritesNoFileAndFails) {
  testsupport::TempFolder folder;
  ASSERT_TRUE(writeSnapshot(folder.path() / "good.jpg"));
  writeBytes(folder.path() / "plain.jpg", {0xFF, 0xD8, 0xFF, 0xD9});
  std::string arguments = GetParam().arguments;
  for (std::size_t at; (at = arguments.find("FOLDER")) != std::string::npos;) {
    arguments.replace(at, 6, folder.path().string());
  }
  const CommandRun report = run(shellQuoted(PAGANA_EXECUTABLE) + " --texts " +
                                shellQuoted((folder.path() / "s.json").string()) + " " + arguments);
  EXPECT_NE(report.status, 0) << report.output;
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "out.pdf"));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, PdfBatchRefusal,
    ::testing::Values(RefusalCase{"snapshot without information",
                                  "--pdf FOLDER/out.pdf FOLDER/good.jpg FOLDER/plain.jpg"},
                      RefusalCase{"capital extension", "--pdf FOLDER/out.pdf FOLDER/good.JPG"},
                      RefusalCase{"missing snapshot", "--pdf FOLDER/out.pdf FOLDER/absent.jpg"},
                      RefusalCase{"no snapshot", "--pdf FOLDER/out.pdf"},
                      RefusalCase{"unknown option", "--pdf FOLDER/out.pdf --fast FOLDER/good.jpg"}),
    testsupport::ByName());

TEST(PdfBatch, SaysWhyASnapshotWasRefused) {
  testsupport::TempFolder folder;
  writeBytes(folder.path() / "plain.jpg", {0xFF, 0xD8, 0xFF, 0xD9});
  const CommandRun report = run(shellQuoted(PAGANA_EXECUTABLE) + " --texts " +
                                shellQuoted((folder.path() / "s.json").string()) + " --pdf " +
                                shellQuoted((folder.path() / "out.pdf").string()) + " " +
                                shellQuoted((folder.path() / "plain.jpg").string()));
  EXPECT_NE(report.output.find("Error Message: No IR information!!"), std::string::npos)
      << report.output;
}

}  // namespace
}  // namespace pagana
