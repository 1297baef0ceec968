// The XML object file: a round trip of every kind with every attribute, the layout of the
// saved document, the resolution check, and outside input that is wrong in every way we
// could think of.
#include "object_file.h"
#include "circle_roi.h"
#include "line_roi.h"
#include "polygon_roi.h"
#include "rect_roi.h"
#include "spot_roi.h"

#include <gtest/gtest.h>

#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

namespace solvane {
namespace {

constexpr int kWidth = 640, kHeight = 480;

struct Output {
  QStringList lines;
  OutputSink sink() {
    return [this](const QString& line) { lines << line; };
  }
  bool mentions(const QString& text) const {
    for (const auto& l : lines)
      if (l.contains(text)) return true;
    return false;
  }
};

// Every field of an object set to a value other than its default.
void fillEveryField(CObjectROI& o, int seed) {
  o.setName(QString("Object \"%1\" <&>").arg(seed));
  for (int c = 0; c < kRoiColourCount; ++c)
    o.setColour(static_cast<RoiColour>(c), static_cast<uint32_t>(0x010203 * (seed + c + 1)));
  o.setShowLabel(seed % 2 == 0);
  o.setShowHot(true);
  o.setShowCold(seed % 3 == 0);
  o.setShowTemperature(true);
  o.setPlotFunction(seed % 4);
  o.setAlarm({0, 0, 2, 1, 1, 55.25f + seed, 1});
  o.setGeneration({1, 17 + seed});
  o.setGenerationAlarm(true);
  o.setLocalEnvironmentOn(true);
  o.setLocalEnvironment({0.85f, 31.5f, 0.75f, 1.0f});
}

void fillList(CManagerROI& manager) {
  auto spot = std::make_unique<CSpotROI>(17, 400);
  auto rect = std::make_unique<CRectROI>(BoxGeometry{10, 20, 300, 220});
  auto circle = std::make_unique<CCircleROI>(BoxGeometry{100, 120, 639, 480});
  auto line = std::make_unique<CLineROI>(PixelPoint{0, 479}, PixelPoint{639, 3});
  auto polygon =
      std::make_unique<CPolygonROI>(std::vector<PixelPoint>{{5, 6}, {600, 7}, {320, 470}});
  std::unique_ptr<CObjectROI> all[] = {std::move(spot), std::move(rect), std::move(circle),
                                       std::move(line), std::move(polygon)};
  int seed = 0;
  for (auto& o : all) {
    fillEveryField(*o, seed++);
    ASSERT_TRUE(manager.add(std::move(o)));
  }
}

// Everything an object file keeps, as text: equal texts mean nothing was lost.
QString describe(const CObjectROI& o) {
  QString text = QString("%1|%2|%3|").arg(int(o.kind())).arg(o.name()).arg(o.coordinateText());
  for (int c = 0; c < kRoiColourCount; ++c) text += QString::number(o.colour(RoiColour(c))) + ",";
  const AlarmRecord& a = o.alarm();
  const EnvParams& e = o.localEnvironment();
  text += QString("|%1%2%3%4|%5|%6,%7,%8,%9,%10|%11,%12|%13|%14|%15,%16,%17")
              .arg(o.showLabel())
              .arg(o.showHot())
              .arg(o.showCold())
              .arg(o.showTemperature())
              .arg(o.plotFunction())
              .arg(a.result)
              .arg(a.condition)
              .arg(a.output)
              .arg(a.value)
              .arg(a.selected)
              .arg(o.generation().condition)
              .arg(o.generation().count)
              .arg(o.generationAlarm())
              .arg(o.localEnvironmentOn())
              .arg(e.emissivity)
              .arg(e.atmosphericTemp)
              .arg(e.transmission);
  if (o.kind() == RoiKind::Polygon)
    for (const auto& v : static_cast<const CPolygonROI&>(o).vertices())
      text += QString(" %1,%2").arg(v.x).arg(v.y);
  if (o.kind() == RoiKind::Line) {
    const auto& l = static_cast<const CLineROI&>(o);
    text += QString(" %1,%2").arg(l.start().x).arg(l.start().y);
  }
  return text;
}

QStringList describeAll(const CManagerROI& manager) {
  QStringList all;
  manager.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& objects) {
    for (const auto& o : objects) all << describe(*o);
  });
  return all;
}

std::vector<int32_t> ids(const CManagerROI& manager) {
  std::vector<int32_t> all;
  manager.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& objects) {
    for (const auto& o : objects) all.push_back(o->id());
  });
  return all;
}

TEST(ObjectFile, RoundTripKeepsEveryAttributeOfAllFiveKinds) {
  CManagerROI saved, loaded;
  fillList(saved);
  Output output;
  const auto outcome = parseObjects(serializeObjects(saved, kWidth, kHeight), loaded, kWidth,
                                    kHeight, output.sink());
  ASSERT_TRUE(outcome.ok()) << outcome.message.toStdString();
  EXPECT_EQ(outcome.loaded, 5);
  EXPECT_EQ(describeAll(loaded), describeAll(saved));
  EXPECT_TRUE(output.lines.isEmpty()) << output.lines.join("\n").toStdString();
}

TEST(ObjectFile, LoadingAssignsNewIdsAndAlarmIds) {
  CManagerROI saved, loaded;
  fillList(saved);
  parseObjects(serializeObjects(saved, kWidth, kHeight), loaded, kWidth, kHeight, {});
  const auto before = ids(saved), after = ids(loaded);
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) EXPECT_NE(after[i], before[i]);
  loaded.withObjects([](const std::vector<std::unique_ptr<CObjectROI>>& objects) {
    for (const auto& o : objects) EXPECT_EQ(o->alarm().id, o->id());
  });
}

TEST(ObjectFile, LoadingReplacesEveryCurrentObject) {
  CManagerROI saved, loaded;
  fillList(saved);
  for (int i = 0; i < 3; ++i) loaded.add(loaded.makeObject(RoiKind::Spot));
  parseObjects(serializeObjects(saved, kWidth, kHeight), loaded, kWidth, kHeight, {});
  EXPECT_EQ(loaded.spotCount(), 1);
  EXPECT_EQ(loaded.areaCount(), 4);
}

TEST(ObjectFile, DocumentListsResolutionDepthAndAttributesInTheirOrder) {
  CManagerROI saved;
  auto polygon = std::make_unique<CPolygonROI>(std::vector<PixelPoint>{{1, 2}, {30, 4}, {5, 60}});
  polygon->setName("P");
  saved.add(std::move(polygon));
  const QString text = QString::fromUtf8(serializeObjects(saved, 320, 240));
  EXPECT_TRUE(
      text.startsWith("<?xml version='1.0' encoding='UTF-8'?><Parent><Camera>"
                      "<Resolution xSize=\"320\" ySize=\"240\"/></Camera>"
                      "<ROIs Depth=\"1\"><ROI poly_cnt=\"3\" poly_0_x=\"1\" "
                      "poly_0_y=\"2\" poly_1_x=\"30\" poly_1_y=\"4\" poly_2_x=\"5\" "
                      "poly_2_y=\"60\" color_normal="))
      << text.toStdString();
  const QStringList order = {"color_normal",
                             "color_select",
                             "color_resize",
                             "color_tracker",
                             "color_normal_text",
                             "color_shadow_text",
                             "color_alarm_rect",
                             "color_alarm_text",
                             "name=",
                             "type=",
                             "label_view",
                             "hot_view",
                             "cold_view",
                             "temp_view",
                             "plot_func",
                             "alarm_id",
                             "alarm_result",
                             "alarm_cond",
                             "alarm_port",
                             "alarm_val",
                             "alarm_sel",
                             "gen_cond",
                             "gen_cnt",
                             "gen_alarm",
                             "local_emi_status",
                             "emissivity",
                             "atmTrans",
                             "atmTemp"};
  qsizetype at = 0;
  for (const auto& name : order) {
    const qsizetype next = text.indexOf(name, at);
    EXPECT_GT(next, at) << name.toStdString();
    at = next;
  }
  EXPECT_TRUE(text.contains("alarm_val=\"20.000000\"")) << "floats as %f";
  EXPECT_FALSE(text.contains("poly_3_x"));
}

TEST(ObjectFile, ResolutionOfAnotherCameraIsRefusedAndTheObjectsStay) {
  CManagerROI saved, current;
  fillList(saved);
  current.add(current.makeObject(RoiKind::Spot));
  const auto outcome = parseObjects(serializeObjects(saved, 320, 240), current, 640, 480, {});
  EXPECT_EQ(outcome.status, ObjectFileOutcome::Status::ResolutionMismatch);
  EXPECT_EQ(outcome.message,
            "Roi Size error!\nSaved Resolution: 320 * 240\nCurrent Resolution: 640 * 480");
  EXPECT_EQ(current.size(), 1);
}

QByteArray document(const QString& rois, int w = kWidth, int h = kHeight) {
  return QString(
             "<?xml version='1.0' encoding='UTF-8'?><Parent><Camera><Resolution "
             "xSize=\"%1\" ySize=\"%2\"/></Camera><ROIs Depth=\"9\">%3</ROIs></Parent>")
      .arg(w)
      .arg(h)
      .arg(rois)
      .toUtf8();
}

TEST(ObjectFile, UnknownTypeIsSkippedAndTheOthersLoad) {
  CManagerROI manager;
  Output output;
  const auto outcome = parseObjects(
      document("<ROI type=\"1\" spot_x=\"5\" spot_y=\"6\"/><ROI type=\"7\" spot_x=\"1\"/>"
               "<ROI type=\"2\" left=\"1\" right=\"9\" top=\"2\" bottom=\"8\"/>"),
      manager, kWidth, kHeight, output.sink());
  EXPECT_TRUE(outcome.ok());
  EXPECT_EQ(outcome.loaded, 2);
  EXPECT_EQ(manager.spotCount(), 1);
  EXPECT_EQ(manager.areaCount(), 1);
  EXPECT_TRUE(output.mentions("ROI 1: unknown type \"7\""));
}

TEST(ObjectFile, ParserErrorNamesReasonSourceAndLine) {
  CManagerROI manager;
  manager.add(manager.makeObject(RoiKind::Spot));
  Output output;
  const auto outcome = parseObjects("<Parent>\n<Camera>\n<ROI type=\"1\" </Parent>", manager,
                                    kWidth, kHeight, output.sink());
  EXPECT_EQ(outcome.status, ObjectFileOutcome::Status::CannotOpen);
  EXPECT_EQ(outcome.message, "Can't open this file!");
  EXPECT_EQ(outcome.title, "Error");
  ASSERT_EQ(output.lines.size(), 1);
  EXPECT_TRUE(output.lines[0].startsWith("\nReason: "));
  EXPECT_TRUE(output.lines[0].contains("\nSource: <ROI type=\"1\" </Parent>"));
  EXPECT_TRUE(output.lines[0].endsWith("\nLine: 3"));
  EXPECT_EQ(manager.size(), 1);
}

// --- bad input -----------------------------------------------------------------------------

struct BadInputCase {
  const char* name;
  QString rois;
  int loaded;
  QString outputMentions;  // empty: no line expected
  std::function<void(const CObjectROI&)> check;
};
void PrintTo(const BadInputCase& c, std::ostream* os) { *os << c.name; }

class BadObjectFile : public ::testing::TestWithParam<BadInputCase> {};

TEST_P(BadObjectFile, IsRefusedOrRepairedWithALineInTheOutputPane) {
  const BadInputCase& c = GetParam();
  CManagerROI manager;
  Output output;
  const auto outcome = parseObjects(document(c.rois), manager, kWidth, kHeight, output.sink());
  EXPECT_TRUE(outcome.ok());
  EXPECT_EQ(outcome.loaded, c.loaded);
  if (c.outputMentions.isEmpty()) {
    EXPECT_TRUE(output.lines.isEmpty()) << output.lines.join("\n").toStdString();
  } else {
    EXPECT_TRUE(output.mentions(c.outputMentions)) << output.lines.join("\n").toStdString();
  }
  manager.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& objects) {
    for (const auto& o : objects) {
      EXPECT_FALSE(o->clone()->clampTo(ImageBounds{kWidth, kHeight})) << "outside the image";
      if (c.check) c.check(*o);
    }
  });
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadObjectFile,
    ::testing::Values(
        BadInputCase{"MissingAttributesTakeTheirDefaults", "<ROI type=\"2\"/>", 1,
                     "geometry was pulled inside",
                     [](const CObjectROI& o) {
                       EXPECT_EQ(o.name(), "Rect 1");
                       EXPECT_EQ(o.colour(RoiColour::ShadowText), 0x1E1E1Eu);
                       EXPECT_EQ(static_cast<const CRectROI&>(o).box().width(), 1);
                     }},
        BadInputCase{"NegativePolygonCount",
                     "<ROI type=\"5\" poly_cnt=\"-3\"/>",
                     0,
                     "polygon vertex count -3 is not between 3 and 4096",
                     {}},
        BadInputCase{"AbsurdPolygonCount",
                     "<ROI type=\"5\" poly_cnt=\"2000000000\"/>",
                     0,
                     "polygon vertex count 2000000000",
                     {}},
        BadInputCase{"PolygonCountBeyondAnyInteger",
                     "<ROI type=\"5\" poly_cnt=\"99999999999999999999999\"/>",
                     0,
                     "attribute \"poly_cnt\" is not a valid number",
                     {}},
        BadInputCase{"PolygonMissingAVertex",
                     "<ROI type=\"5\" poly_cnt=\"3\" poly_0_x=\"1\" poly_0_y=\"1\" poly_1_x=\"9\" "
                     "poly_1_y=\"1\" poly_2_x=\"5\"/>",
                     0,
                     "polygon vertex 2 of 3 is missing",
                     {}},
        BadInputCase{"PolygonWithMoreVerticesThanItsCount",
                     "<ROI type=\"5\" poly_cnt=\"3\" poly_0_x=\"1\" poly_0_y=\"1\" poly_1_x=\"9\" "
                     "poly_1_y=\"1\" poly_2_x=\"5\" poly_2_y=\"9\" poly_3_x=\"0\" poly_3_y=\"0\"/>",
                     0,
                     "more vertices than its count 3",
                     {}},
        BadInputCase{"PolygonVertexOutsideIsPulledIn",
                     "<ROI type=\"5\" poly_cnt=\"3\" poly_0_x=\"-50\" poly_0_y=\"1\" "
                     "poly_1_x=\"90000\" poly_1_y=\"1\" poly_2_x=\"5\" poly_2_y=\"2147483647\"/>",
                     1, "pulled inside",
                     [](const CObjectROI& o) {
                       const auto& v = static_cast<const CPolygonROI&>(o).vertices();
                       EXPECT_EQ(v[0], (PixelPoint{0, 1}));
                       EXPECT_EQ(v[1], (PixelPoint{640, 1}));
                       EXPECT_EQ(v[2], (PixelPoint{5, 480}));
                     }},
        BadInputCase{"SpotOutsideIsPulledIn", "<ROI type=\"1\" spot_x=\"640\" spot_y=\"-1\"/>", 1,
                     "ROI 0: geometry was pulled inside the 640 x 480 image",
                     [](const CObjectROI& o) { EXPECT_EQ(o.coordinateText(), "[639,  0]"); }},
        BadInputCase{
            "RectangleInsideOutIsTurnedRound",
            "<ROI type=\"2\" left=\"700\" right=\"-5\" top=\"30\" bottom=\"10\"/>", 1,
            "pulled inside",
            [](const CObjectROI& o) { EXPECT_EQ(o.coordinateText(), "[  0, 10,640, 30]"); }},
        BadInputCase{
            "LineFarOutsideIsPulledInBeforeSampling",
            "<ROI type=\"4\" line_start_x=\"-2147483648\" line_start_y=\"0\" "
            "line_end_x=\"2147483647\" line_end_y=\"2147483647\"/>",
            1, "pulled inside",
            [](const CObjectROI& o) { EXPECT_EQ(o.coordinateText(), "[  0,  0] [639,479]"); }},
        BadInputCase{"TextWhereANumberBelongs",
                     "<ROI type=\"3\" left=\"ten\" right=\"40\" top=\"1\" bottom=\"30\" "
                     "alarm_val=\"hot\" emissivity=\"nan\" color_normal=\"-1\"/>",
                     1, "attribute \"left\" is not a valid number",
                     [](const CObjectROI& o) {
                       EXPECT_EQ(o.coordinateText(), "[  0,  1, 40, 30]");
                       EXPECT_EQ(o.alarm().value, 20.0f);
                       EXPECT_EQ(o.localEnvironment().emissivity, 1.0f);
                     }},
        BadInputCase{"TypeThatIsNoNumber", "<ROI type=\"rect\"/><ROI/>", 0, "unknown type", {}},
        BadInputCase{"MoreSpotsThanTheLimit",
                     QString("<ROI type=\"1\"/>").repeated(CManagerROI::kDefaultSpotLimit + 2),
                     CManagerROI::kDefaultSpotLimit,
                     "no more than 30 spots",
                     {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ObjectFile, MissingResolutionIsAMismatch) {
  CManagerROI manager;
  const auto outcome = parseObjects("<Parent><ROIs/></Parent>", manager, kWidth, kHeight, {});
  EXPECT_EQ(outcome.status, ObjectFileOutcome::Status::ResolutionMismatch);
  EXPECT_EQ(outcome.message,
            "Roi Size error!\nSaved Resolution: 0 * 0\nCurrent Resolution: 640 * 480");
}

// --- files ---------------------------------------------------------------------------------

TEST(ObjectFile, SavedFileLoadsBackAndReportsItsText) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  CManagerROI saved, loaded;
  fillList(saved);
  const std::filesystem::path path = dir.filePath("objects.xml").toStdString();
  const auto outcome = saveObjects(path, saved, kWidth, kHeight, {}, dir.path().toStdString());
  EXPECT_EQ(outcome.message, "Created a file to save object position!");
  ASSERT_TRUE(loadObjects(path, loaded, kWidth, kHeight, {}).ok());
  EXPECT_EQ(describeAll(loaded), describeAll(saved));
}

TEST(ObjectFile, StyleSheetBesideTheProgramIndentsTheSavedDocument) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ASSERT_TRUE(QFile::copy(QStringLiteral(IRDEX_STYLESHEET_PATH), dir.filePath("StyleSheet.xsl")));
  CManagerROI saved, loaded;
  fillList(saved);
  const std::filesystem::path path = dir.filePath("objects.xml").toStdString();
  Output output;
  ASSERT_TRUE(
      saveObjects(path, saved, kWidth, kHeight, output.sink(), dir.path().toStdString()).ok());
  EXPECT_TRUE(output.lines.isEmpty()) << output.lines.join("\n").toStdString();
  QFile file(QString::fromStdString(path.string()));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.contains("\n  <Camera>")) << text.left(300).toStdString();
  EXPECT_TRUE(text.contains("encoding=\"UTF-8\""));
  ASSERT_TRUE(parseObjects(text, loaded, kWidth, kHeight, {}).ok());
  EXPECT_EQ(describeAll(loaded), describeAll(saved));
}

TEST(ObjectFile, BrokenStyleSheetStillSavesTheDocumentAndSaysWhy) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile sheet(dir.filePath("StyleSheet.xsl"));
  ASSERT_TRUE(sheet.open(QIODevice::WriteOnly));
  sheet.write("this is no stylesheet");
  sheet.close();
  CManagerROI saved, loaded;
  fillList(saved);
  const std::filesystem::path path = dir.filePath("objects.xml").toStdString();
  Output output;
  ASSERT_TRUE(
      saveObjects(path, saved, kWidth, kHeight, output.sink(), dir.path().toStdString()).ok());
  EXPECT_TRUE(output.mentions("StyleSheet.xsl"));
  ASSERT_TRUE(loadObjects(path, loaded, kWidth, kHeight, {}).ok());
  EXPECT_EQ(loaded.size(), 5);
}

TEST(ObjectFile, UnwritablePathIsReportedNotCelebrated) {
  CManagerROI saved;
  fillList(saved);
  Output output;
  const auto outcome = saveObjects("/nonexistent-folder/for/objects.xml", saved, kWidth, kHeight,
                                   output.sink(), "/nonexistent-folder");
  EXPECT_EQ(outcome.status, ObjectFileOutcome::Status::CannotSave);
  EXPECT_NE(outcome.message, "Created a file to save object position!");
  EXPECT_FALSE(output.lines.isEmpty());
}

TEST(ObjectFile, MissingFileCannotBeOpened) {
  CManagerROI manager;
  Output output;
  const auto outcome =
      loadObjects("/nonexistent-folder/objects.xml", manager, kWidth, kHeight, output.sink());
  EXPECT_EQ(outcome.message, "Can't open this file!");
  EXPECT_FALSE(output.lines.isEmpty());
}

}  // namespace
}  // namespace solvane
