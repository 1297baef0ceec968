// `irdex convert` and `irdex info` against stream files made by the SDK's own writer.
#include "cli_error.h"
#include "cli_test_support.h"
#include "record/play_file.h"
#include "snapshot/snapshot.h"
#include "testing/case_name.h"

#ifdef IRDEX_CLI_HAVE_EXPORTS
#include "export/temperature_map.h"
#endif

#include <tiffio.h>

#include <cstring>
#include <fstream>

namespace irdexcli {
namespace {

using namespace irdexcli::testing;

struct FileCase {
  const char* name;
  StreamShape shape;
};

// What GetRawToTemp(KS) gives for frame k of a file made by writeStreamFile.
std::vector<float> expectedTemperatures(const StreamShape& shape, int32_t k, EnvParams env) {
  const std::size_t image = std::size_t{shape.width} * shape.height;
  std::vector<uint16_t> pixels(image + shape.width, 0);
  for (std::size_t i = 0; i < image; ++i) pixels[i] = rawValue(k, i);
  IRFrame frame{};
  frame.pixels = pixels.data();
  frame.pixelCapacity = static_cast<uint32_t>(pixels.size());
  frame.header.bytes[IRDEX_HEADER_VERSION] = static_cast<uint8_t>(shape.version >= 32 ? 32 : 17);
  frame.header.bytes[IRDEX_HEADER_MODEL] =
      static_cast<uint8_t>(shape.version >= 32 ? (shape.width == 640 ? 0x21 : 0x20) : 0);
  frame.header.bytes[IRDEX_HEADER_RANGE_INDEX] = shape.range;
  std::vector<float> out(image);
  const uint32_t size = IrdexImageSize(shape.width, shape.height);
  if (shape.version >= 32) {
    EXPECT_EQ(GetRawToTempKS(&frame, size, env, out.data()), SDK_SUCCESS);
  } else {
    std::vector<float> table(65536);
    EXPECT_EQ(GetTempMapTable(table.data(), shape.range), SDK_SUCCESS);
    EXPECT_EQ(GetRawToTemp(&frame, size, table.data(), env, out.data()), SDK_SUCCESS);
  }
  return out;
}

constexpr EnvParams kFileEnv{0.9f, 21.5f, 0.8f, 0.0f};

// Every page of a float TIFF, read back with libtiff.
std::vector<std::vector<float>> tiffPages(const std::string& path, uint32_t& width,
                                          uint32_t& height) {
  std::vector<std::vector<float>> pages;
  TIFF* tiff = TIFFOpen(path.c_str(), "r");
  if (!tiff) return pages;
  do {
    uint16_t bits = 0, format = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(tiff, TIFFTAG_SAMPLEFORMAT, &format);
    EXPECT_EQ(bits, 32);
    EXPECT_EQ(format, SAMPLEFORMAT_IEEEFP);
    std::vector<float> page(std::size_t{width} * height);
    for (uint32_t row = 0; row < height; ++row)
      EXPECT_EQ(TIFFReadScanline(tiff, page.data() + std::size_t{row} * width, row), 1);
    pages.push_back(std::move(page));
  } while (TIFFReadDirectory(tiff));
  TIFFClose(tiff);
  return pages;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

class ConvertToTiff : public ::testing::TestWithParam<FileCase> {};

TEST_P(ConvertToTiff, EveryPageHoldsTheSdksTemperaturesBitForBit) {
  const StreamShape shape = GetParam().shape;
  TempFolder folder;
  writeStreamFile(folder.file("in.hxr"), shape);
  const ToolRun run = runTool({"convert", folder.file("in.hxr"), folder.file("out.tiff")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  uint32_t width = 0, height = 0;
  const auto pages = tiffPages(folder.file("out.tiff"), width, height);
  ASSERT_EQ(pages.size(), static_cast<std::size_t>(shape.frames));
  EXPECT_EQ(width, shape.width);
  EXPECT_EQ(height, shape.height);
  for (int32_t k = 0; k < shape.frames; ++k)
    EXPECT_TRUE(sameBits(pages[k], expectedTemperatures(shape, k, kFileEnv))) << "page " << k;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ConvertToTiff,
    ::testing::Values(FileCase{"Kt320", {.version = 17, .width = 320, .height = 240, .frames = 3}},
                      FileCase{
                          "Kt640HighRange",
                          {.version = 17, .width = 640, .height = 480, .frames = 2, .range = 1}},
                      FileCase{"Ks384", {.version = 32, .width = 384, .height = 288, .frames = 3}},
                      FileCase{"Ks640", {.version = 32, .width = 640, .height = 480, .frames = 2}}),
    testsupport::ByName());

TEST(ConvertToTiff, OverriddenParametersAreTheOnesConverted) {
  const StreamShape shape{.frames = 1};
  TempFolder folder;
  writeStreamFile(folder.file("in.hxr"), shape);
  const ToolRun run = runTool({"convert", folder.file("in.hxr"), folder.file("out.tiff"),
                               "--emissivity", "0.5", "--atm-temp", "30", "--transmission", "0.7"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  uint32_t width = 0, height = 0;
  const auto pages = tiffPages(folder.file("out.tiff"), width, height);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(sameBits(pages[0], expectedTemperatures(shape, 0, {0.5f, 30.0f, 0.7f, 0.0f})));
}

TEST(ConvertToTiff, ANumberPatternGivesOneFilePerFrame) {
  const StreamShape shape{.frames = 4};
  TempFolder folder;
  writeStreamFile(folder.file("in.hxr"), shape);
  const ToolRun run =
      runTool({"convert", folder.file("in.hxr"), folder.file("f%03d.tiff"), "--frames", "1:3"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(folder.names(),
            (std::vector<std::string>{"f001.tiff", "f002.tiff", "f003.tiff", "in.hxr"}));
  uint32_t width = 0, height = 0;
  const auto pages = tiffPages(folder.file("f002.tiff"), width, height);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(sameBits(pages[0], expectedTemperatures(shape, 2, kFileEnv)));
}

// ---- stream files --------------------------------------------------------------------

// A cut's first frame follows no frame of its own: time value 0, which files store as 33.
constexpr int32_t kFirstTiming = 33;

struct CutCase {
  const char* name;
  std::vector<std::string> options;
  std::vector<int32_t> frames;   // source frames the cut holds
  std::vector<int32_t> timings;  // their time values in the cut
};

class CutStream : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutStream, HoldsTheChosenFramesAndTheTimeBetweenThem) {
  const auto& c = GetParam();
  const StreamShape shape{.version = 17, .frames = 6, .timing = 1000};
  TempFolder folder;
  writeStreamFile(folder.file("in.hxr"), shape);
  std::vector<std::string> words = {"convert", folder.file("in.hxr"), folder.file("cut.hxr")};
  words.insert(words.end(), c.options.begin(), c.options.end());
  const ToolRun run = runTool(words);
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(folder.names(), (std::vector<std::string>{"cut.hxr", "in.hxr"}));

  solvane::record::PlayFile cut;
  std::string error;
  ASSERT_TRUE(cut.open(folder.file("cut.hxr"), error)) << error;
  // Copied out first: the packed records' fields are not aligned for a reference.
  const float emissivity = cut.header().emissivity;
  const int32_t year = cut.headerExt().year;
  EXPECT_EQ(emissivity, 0.9f);
  EXPECT_EQ(year, 2026);
  ASSERT_EQ(cut.frameCount(), static_cast<int32_t>(c.frames.size()));
  for (int32_t k = 0; k < cut.frameCount(); ++k) {
    const auto read = cut.readForward(k, false);
    EXPECT_EQ(cut.pixels()[5], rawValue(c.frames[k], 5)) << k;
    EXPECT_EQ(read.timing, c.timings[k]) << k;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, CutStream,
    ::testing::Values(
        CutCase{"Range", {"--frames", "2:4"}, {2, 3, 4}, {kFirstTiming, 1003, 1004}},
        // Frames 0, 2, 4: each keeps the time of the frame it skipped as well.
        CutCase{
            "EverySecond", {"--every", "2"}, {0, 2, 4}, {kFirstTiming, 1001 + 1002, 1003 + 1004}},
        CutCase{"Whole", {}, {0, 1, 2, 3, 4, 5}, {kFirstTiming, 1001, 1002, 1003, 1004, 1005}}),
    testsupport::ByName());

// ---- snapshots and pictures ----------------------------------------------------------

TEST(ConvertToSnapshot, CarriesTheFramesRawCountsAndParameters) {
  const StreamShape shape{.version = 32, .width = 384, .height = 288, .frames = 3};
  TempFolder folder;
  writeStreamFile(folder.file("in.hxr"), shape);
  const ToolRun run = runTool({"convert", folder.file("in.hxr"), folder.file("shot.jpg"),
                               "--frames", "2", "--palette", "Iron"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const snapshot::ReadResult read = snapshot::readSnapshotFile(folder.file("shot.jpg"));
  ASSERT_TRUE(read.ok());
  const snapshot::InfoFields info = snapshot::decodeInfo(read.data.info);
  EXPECT_EQ(info.width, 384);
  EXPECT_EQ(info.height, 288);
  EXPECT_EQ(info.palette, 8);
  EXPECT_EQ(info.emissivityThousandths, 900);
  EXPECT_EQ(read.data.headerVersion(), 32);
  std::vector<uint16_t> expected(std::size_t{384} * 288);
  for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = rawValue(2, i);
  ASSERT_GE(read.data.pixels.size(), expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), read.data.pixels.begin()));
}

TEST(ConvertSnapshot, ItsFrameConvertsLikeAStreamFrame) {
  const StreamShape shape{.version = 17, .frames = 2};
  TempFolder folder;
  writeStreamFile(folder.file("in.hxr"), shape);
  ASSERT_EQ(
      runTool({"convert", folder.file("in.hxr"), folder.file("shot.jpg"), "--frames", "1"}).status,
      kExitOk);
  // The snapshot keeps the parameters in thousandths, restored times 0.001 as the analyzer
  // restores them.
  const ToolRun run = runTool({"convert", folder.file("shot.jpg"), folder.file("shot.tiff")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  uint32_t width = 0, height = 0;
  const auto pages = tiffPages(folder.file("shot.tiff"), width, height);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(
      sameBits(pages[0],
               expectedTemperatures(shape, 1, {900 * 0.001f, 21500 * 0.001f, 800 * 0.001f, 0.0f})));
}

// Width and height from a PNG's header chunk.
std::pair<uint32_t, uint32_t> pngSize(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  uint8_t head[24] = {};
  file.read(reinterpret_cast<char*>(head), sizeof head);
  const auto be32 = [&](int at) {
    return uint32_t{head[at]} << 24 | uint32_t{head[at + 1]} << 16 | uint32_t{head[at + 2]} << 8 |
           head[at + 3];
  };
  return {be32(16), be32(20)};
}

TEST(ConvertToPng, WritesOnePicturePerFrameOfTheImagesSize) {
  const StreamShape shape{.version = 17, .width = 320, .height = 240, .frames = 3};
  TempFolder folder;
  writeStreamFile(folder.file("in.hxr"), shape);
  const ToolRun run = runTool({"convert", folder.file("in.hxr"), folder.file("p%d.png"), "--level",
                               "40", "--span", "20", "--invert"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(folder.names(), (std::vector<std::string>{"in.hxr", "p0.png", "p1.png", "p2.png"}));
  EXPECT_EQ(pngSize(folder.file("p1.png")), std::make_pair(320u, 240u));
}

#ifdef IRDEX_CLI_HAVE_EXPORTS
TEST(ConvertToCsv, EqualsTheAnalyzersTemperatureMapOfTheFrame) {
  const StreamShape shape{.version = 17, .frames = 3};
  TempFolder folder;
  writeStreamFile(folder.file("in.hxr"), shape);
  const ToolRun run =
      runTool({"convert", folder.file("in.hxr"), folder.file("map.csv"), "--frames", "1"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  std::ifstream file(folder.file("map.csv"), std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
  EXPECT_EQ(written, solvane::exports::formatTemperatureMap(
                         expectedTemperatures(shape, 1, kFileEnv), shape.width, shape.height));
}

// The movie header's microseconds per frame ("avih" follows the RIFF and LIST heads).
uint32_t aviMicrosecondsPerFrame(const std::string& path, std::string& signature) {
  std::ifstream file(path, std::ios::binary);
  uint8_t head[36] = {};
  file.read(reinterpret_cast<char*>(head), sizeof head);
  signature = std::string(reinterpret_cast<char*>(head), 4) +
              std::string(reinterpret_cast<char*>(head + 8), 4);
  return uint32_t{head[32]} | uint32_t{head[33]} << 8 | uint32_t{head[34]} << 16 |
         uint32_t{head[35]} << 24;
}

struct MovieCase {
  const char* name;
  std::vector<std::string> options;
  uint32_t microsecondsPerFrame;
};

class ConvertToMovie : public ::testing::TestWithParam<MovieCase> {};

TEST_P(ConvertToMovie, PlaysAtThePaceOfTheRecording) {
  // Frames 100 ms apart (10,000 steps of 10 us): a 10 Hz recording.
  const StreamShape shape{.version = 17, .frames = 5, .timing = 10000};
  TempFolder folder;
  writeStreamFile(folder.file("in.hxr"), shape);
  std::vector<std::string> words = {"convert", folder.file("in.hxr"), folder.file("run.avi")};
  words.insert(words.end(), GetParam().options.begin(), GetParam().options.end());
  // The file's time values grow by one step a frame; the pace follows their mean.
  const ToolRun run = runTool(words);
  ASSERT_EQ(run.status, kExitOk) << run.err;
  std::string signature;
  const uint32_t perFrame = aviMicrosecondsPerFrame(folder.file("run.avi"), signature);
  EXPECT_EQ(signature, "RIFFAVI ");
  EXPECT_NEAR(perFrame, GetParam().microsecondsPerFrame, GetParam().microsecondsPerFrame / 100);
}

INSTANTIATE_TEST_SUITE_P(Paces, ConvertToMovie,
                         ::testing::Values(MovieCase{"RecordedPace", {}, 100'000},
                                           MovieCase{"EverySecondFrame", {"--every", "2"}, 200'000},
                                           MovieCase{"GivenRate", {"--fps", "25"}, 40'000}),
                         testsupport::ByName());
#endif

// ---- what goes wrong -----------------------------------------------------------------

struct BadInputCase {
  const char* name;
  std::vector<std::string> words;  // "IN" and "DIR/" stand for the test's file and folder
  const char* mentions;            // what the one line names
};

class BadConversion : public ::testing::TestWithParam<BadInputCase> {};

TEST_P(BadConversion, FailsWithOneLineNamingTheProblem) {
  TempFolder folder;
  writeStreamFile(folder.file("in.hxr"), StreamShape{.frames = 3});
  std::ofstream(folder.file("notes.hxr")) << "not a stream";
  std::ofstream(folder.file("notes.txt")) << "plain text";
  std::vector<std::string> words;
  for (std::string word : GetParam().words) {
    if (word.rfind("DIR/", 0) == 0) word = folder.file(word.substr(4));
    if (word == "IN") word = folder.file("in.hxr");
    words.push_back(word);
  }
  const ToolRun run = runTool(words);
  EXPECT_NE(run.status, kExitOk);
  EXPECT_TRUE(run.oneErrorLine()) << run.err;
  EXPECT_NE(run.err.find(GetParam().mentions), std::string::npos) << run.err;
  // Nothing half-made is left behind.
  for (const auto& name : folder.names())
    EXPECT_TRUE(name == "in.hxr" || name == "notes.hxr" || name == "notes.txt") << name;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadConversion,
    ::testing::Values(
        BadInputCase{"MissingFile", {"convert", "DIR/gone.hxr", "DIR/out.tiff"}, "no such file"},
        BadInputCase{
            "WrongInputKind", {"convert", "DIR/notes.txt", "DIR/out.tiff"}, "not a stream file"},
        BadInputCase{"DamagedStream", {"convert", "DIR/notes.hxr", "DIR/out.tiff"}, "notes.hxr"},
        BadInputCase{"UnknownOutputKind", {"convert", "IN", "DIR/out.bmp"}, "unknown output kind"},
        BadInputCase{"FramesOutOfRange",
                     {"convert", "IN", "DIR/out.tiff", "--frames", "2:5"},
                     "out of range"},
        BadInputCase{"UnknownPalette",
                     {"convert", "IN", "DIR/out.png", "--palette", "Lava"},
                     "unknown palette"},
        BadInputCase{"SeveralFramesNoPattern", {"convert", "IN", "DIR/out.png"}, "number pattern"},
        BadInputCase{"OutputIsInput", {"convert", "IN", "IN"}, "is the input file"},
        BadInputCase{
            "EmissivityZero", {"convert", "IN", "DIR/o.tiff", "--emissivity", "0"}, "--emissivity"},
        BadInputCase{"HalfAWindow",
                     {"convert", "IN", "DIR/o.png", "--frames", "0", "--level", "30"},
                     "--span"},
        BadInputCase{"MissingOutput", {"convert", "IN"}, "usage"},
        BadInputCase{"UnknownCommand", {"transmogrify", "IN"}, "unknown command"},
        BadInputCase{"InfoOfMissingFile", {"info", "DIR/gone.hxr"}, "no such file"}),
    testsupport::ByName());

TEST(InterruptedConversion, LeavesTheOutputAsItWas) {
  TempFolder folder;
  writeStreamFile(folder.file("in.hxr"), StreamShape{.frames = 3});
  std::ofstream(folder.file("out.tiff")) << "old";
  const std::atomic<bool> interrupted{true};
  const ToolRun run =
      runTool({"convert", folder.file("in.hxr"), folder.file("out.tiff")}, &interrupted);
  EXPECT_EQ(run.status, kExitInterrupted);
  EXPECT_TRUE(run.oneErrorLine()) << run.err;
  std::ifstream file(folder.file("out.tiff"));
  std::string kept;
  file >> kept;
  EXPECT_EQ(kept, "old");
  EXPECT_EQ(folder.names(), (std::vector<std::string>{"in.hxr", "out.tiff"}));
}

// ---- info ----------------------------------------------------------------------------

TEST(Info, DescribesAStreamFile) {
  TempFolder folder;
  writeStreamFile(
      folder.file("in.hxr"),
      StreamShape{.version = 32, .width = 384, .height = 288, .frames = 4, .timing = 2000});
  const ToolRun run = runTool({"info", "--json", folder.file("in.hxr")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  for (const char* field : {"\"kind\": \"stream\"", "\"version\": 32", "\"family\": \"KS\"",
                            "\"modelName\": \"VA320\"", "\"width\": 384", "\"height\": 288",
                            "\"frames\": 4", "\"started\": \"2026-03-04 05:06:07\"",
                            // 2001 + 2002 + 2003 steps of 10 us: the first frame has no gap.
                            "\"durationSeconds\": 0.06006,", "\"emissivity\": 0.899999976"})
    EXPECT_NE(run.out.find(field), std::string::npos) << field << "\n" << run.out;
}

TEST(Info, GivesTheFramesTimeStampsOfFilesThatHaveThem) {
  TempFolder folder;
  writeStreamFile(folder.file("new.hxr"),
                  StreamShape{.version = 32, .width = 384, .height = 288, .frames = 2});
  writeStreamFile(folder.file("old.hxr"), StreamShape{.version = 17, .frames = 2});
  const ToolRun stamped = runTool({"info", "--json", folder.file("new.hxr")});
  const ToolRun plain = runTool({"info", "--json", folder.file("old.hxr")});
  ASSERT_EQ(stamped.status, kExitOk) << stamped.err;
  ASSERT_EQ(plain.status, kExitOk) << plain.err;
  // Written just now: this year's date, in UTC.
  EXPECT_NE(stamped.out.find("\"firstFrameTime\": \"20"), std::string::npos) << stamped.out;
  EXPECT_NE(stamped.out.find(" UTC\""), std::string::npos) << stamped.out;
  EXPECT_EQ(plain.out.find("firstFrameTime"), std::string::npos) << plain.out;
}

TEST(Info, DescribesTheOtherFilesWhenOneFails) {
  TempFolder folder;
  writeStreamFile(folder.file("in.hxr"), StreamShape{.frames = 2});
  const ToolRun run = runTool({"info", folder.file("gone.hxr"), folder.file("in.hxr")});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_TRUE(run.oneErrorLine()) << run.err;
  EXPECT_NE(run.out.find("frames        2"), std::string::npos) << run.out;
}

TEST(Info, DescribesAContainerButDoesNotConvertIt) {
  TempFolder folder;
  const std::string path = folder.file("box.hxr");
  HXRFileHeader header{};
  header.width = 4;
  header.height = 2;
  IRStreamHandle stream = nullptr;
  ASSERT_EQ(HXRFileOpen(&stream, path.c_str(), 1, &header), SDK_SUCCESS);
  std::vector<uint8_t> record(sizeof(HXRFrame) + 4 * 2 * 2, 0);
  for (int k = 0; k < 3; ++k) {
    HXRFrame head{};
    std::memcpy(&head, record.data(), sizeof head);
    head.pixelCount = 8;
    head.frameNumber = static_cast<uint32_t>(k);
    std::memcpy(record.data(), &head, sizeof head);
    ASSERT_EQ(AppendNewFrame(stream, reinterpret_cast<HXRFrame*>(record.data()), 1), SDK_SUCCESS);
  }
  CloseIRStream(stream);
  const ToolRun info = runTool({"info", "--json", path});
  ASSERT_EQ(info.status, kExitOk) << info.err;
  EXPECT_NE(info.out.find("\"kind\": \"container\""), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("\"frames\": 3"), std::string::npos) << info.out;
  const ToolRun convert = runTool({"convert", path, folder.file("out.tiff")});
  EXPECT_EQ(convert.status, kExitFailure);
  EXPECT_NE(convert.err.find("container"), std::string::npos) << convert.err;
}

}  // namespace
}  // namespace irdexcli
