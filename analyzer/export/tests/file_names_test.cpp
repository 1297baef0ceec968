// Names of the automatically named files.
#include "export/file_names.h"
#include "export_test_support.h"

#include <gtest/gtest.h>

#include <ostream>

namespace solvane::exports {
namespace {

struct NameCase {
  std::string name;
  std::string savePath;
  std::string camera;
  ExportKind kind;
  std::string expected;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class ExportFileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(ExportFileName, IsFolderCameraTagAndLocalTime) {
  const auto& c = GetParam();
  EXPECT_EQ(exportFileName(c.savePath, c.camera, c.kind, testing::sampleTime()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Export, ExportFileName,
    ::testing::Values(NameCase{"Snapshot", "/pics", "Cam", ExportKind::Snapshot,
                               "/pics/Cam_IR_20260307080910.jpg"},
                      NameCase{"TemperatureMap", "/pics", "Cam", ExportKind::TemperatureMap,
                               "/pics/Cam_TM_20260307080910.csv"},
                      NameCase{"ObjectLog", "/pics", "Cam", ExportKind::ObjectLog,
                               "/pics/Cam_Object_20260307080910.csv"},
                      NameCase{"AlarmObjectLog", "/pics", "Cam", ExportKind::AlarmObjectLog,
                               "/pics/Cam_AlarmObj_20260307080910.csv"},
                      NameCase{"ScheduleObjectLog", "/pics", "Cam", ExportKind::ScheduleObjectLog,
                               "/pics/Cam_ShedObj_20260307080910.csv"},
                      NameCase{"RawStream", "/pics", "Cam", ExportKind::StreamRaw,
                               "/pics/Cam_IRS_20260307080910.hxr"},
                      NameCase{"Movie", "/pics", "Cam", ExportKind::StreamMovie,
                               "/pics/Cam_IRS_20260307080910.avi"},
                      NameCase{"SavePathEndingInSlash", "/pics/", "Cam", ExportKind::Snapshot,
                               "/pics/Cam_IR_20260307080910.jpg"},
                      NameCase{"SlashInCameraNameStaysInTheFolder", "/pics", "../etc/x",
                               ExportKind::Snapshot, "/pics/.._etc_x_IR_20260307080910.jpg"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace solvane::exports
