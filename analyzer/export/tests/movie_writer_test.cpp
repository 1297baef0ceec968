// The movie writer against a standard reader of AVI files (ffprobe): codec, frame count,
// size and rate; and its states and texts when something is wrong.
#include "export/movie_writer.h"
#include "export/video_codecs.h"
#include "export_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>

namespace solvane::exports {
namespace {

using testing::ScratchFolder;

// A moving gradient, 32-bit B, G, R, X.
std::vector<uint8_t> picture(int width, int height, int frame) {
  std::vector<uint8_t> bytes(static_cast<std::size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = bytes.data() + (static_cast<std::size_t>(y) * width + x) * 4;
      p[0] = static_cast<uint8_t>(x + frame * 3);
      p[1] = static_cast<uint8_t>(y * 2);
      p[2] = static_cast<uint8_t>((x ^ y) + frame);
      p[3] = 0xFF;
    }
  }
  return bytes;
}

bool appendPictures(MovieWriter& writer, int width, int height, int count) {
  for (int i = 0; i < count; ++i) {
    const auto bytes = picture(width, height, i);
    if (!writer.appendFrame(MovieFrame{width, height, width * 4, bytes})) return false;
  }
  return true;
}

// What ffprobe says about the first video stream, after decoding every frame.
std::map<std::string, std::string> probe(const std::string& path) {
  const std::string command =
      "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
      "stream=codec_name,width,height,r_frame_rate,nb_read_frames -of default=noprint_wrappers=1 "
      "'" +
      path + "' 2>&1";
  std::map<std::string, std::string> fields;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return fields;
  char line[512];
  while (std::fgets(line, sizeof line, pipe.get())) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const auto eq = text.find('=');
    if (eq != std::string::npos) fields[text.substr(0, eq)] = text.substr(eq + 1);
  }
  return fields;
}

struct CodecCase {
  std::string name;
  std::string fourcc;
  std::string ffprobeCodec;
  int width, height, step, rate;
  std::string frameRate;
};
void PrintTo(const CodecCase& c, std::ostream* os) { *os << c.name; }

class MovieFile : public ::testing::TestWithParam<CodecCase> {};

TEST_P(MovieFile, PlaysWithItsCodecFramesSizeAndRate) {
  const auto& c = GetParam();
  ScratchFolder folder;
  const std::string path = folder.file("movie.avi");
  MovieWriter writer;
  writer.open(path, c.fourcc, c.step, c.rate, 10000);
  ASSERT_TRUE(appendPictures(writer, c.width, c.height, 12)) << writer.lastError();
  EXPECT_EQ(writer.frameCounter(), 12);
  writer.close();
  const auto info = probe(path);
  EXPECT_EQ(info.count("codec_name") ? info.at("codec_name") : "", c.ffprobeCodec);
  EXPECT_EQ(info.count("width") ? info.at("width") : "", std::to_string(c.width));
  EXPECT_EQ(info.count("height") ? info.at("height") : "", std::to_string(c.height));
  EXPECT_EQ(info.count("r_frame_rate") ? info.at("r_frame_rate") : "", c.frameRate);
  EXPECT_EQ(info.count("nb_read_frames") ? info.at("nb_read_frames") : "", "12");
}

INSTANTIATE_TEST_SUITE_P(
    Export, MovieFile,
    ::testing::Values(CodecCase{"Xvid", "XVID", "mpeg4", 320, 240, 1, 30, "30/1"},
                      CodecCase{"Mpg4", "MPG4", "mpeg4", 384, 288, 2, 30, "15/1"},
                      CodecCase{"DivxLowerCase", "divx", "mpeg4", 320, 240, 1, 9, "9/1"},
                      CodecCase{"MicrosoftVideo1", "MSVC", "msvideo1", 640, 480, 1, 25, "25/1"},
                      CodecCase{"MotionJpeg", "MJPG", "mjpeg", 320, 240, 3, 30, "10/1"}),
    [](const auto& info) { return info.param.name; });

TEST(MovieWriter, StartsClosedWithTheDocumentsDefaults) {
  const MovieWriter writer;
  EXPECT_EQ(writer.state(), MovieState::Closed);
  EXPECT_EQ(writer.path(), "Output.avi");
  EXPECT_EQ(writer.fourcc(), "MPG4");
  EXPECT_EQ(writer.step(), 1);
  EXPECT_EQ(writer.rate(), 1);
  EXPECT_EQ(writer.quality(), 10000);
  EXPECT_EQ(writer.lastError(), "Method Succeeded");
}

TEST(MovieWriter, GoesFromOpenToWriting) {
  ScratchFolder folder;
  MovieWriter writer;
  writer.open(folder.file("m.avi"), "XVID", 1, 10, 5000);
  EXPECT_EQ(writer.state(), MovieState::Open);
  ASSERT_TRUE(appendPictures(writer, 64, 48, 1));
  EXPECT_EQ(writer.state(), MovieState::Writing);
  writer.close();
  EXPECT_EQ(writer.state(), MovieState::Closed);
}

struct FailureCase {
  std::string name;
  std::string fourcc;
  int rate;
  bool folderExists;
  std::string text;
};
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class MovieFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(MovieFailure, KeepsItsTextAndStops) {
  const auto& c = GetParam();
  ScratchFolder folder;
  const std::string path = c.folderExists ? folder.file("m.avi") : folder.file("missing/m.avi");
  MovieWriter writer;
  writer.open(path, c.fourcc, 1, c.rate, 10000);
  EXPECT_FALSE(appendPictures(writer, 64, 48, 1));
  EXPECT_EQ(writer.lastError(), c.text);
  EXPECT_EQ(writer.state(), MovieState::Closed);
  // Every later frame fails at once and leaves the text alone.
  EXPECT_FALSE(appendPictures(writer, 64, 48, 1));
  EXPECT_EQ(writer.lastError(), c.text);
  EXPECT_EQ(folder.entries(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Export, MovieFailure,
    ::testing::Values(FailureCase{"UnknownCode", "ZZZZ", 30, true,
                                  "Selected codec does not supported: Check your CODEC options"},
                      FailureCase{"EmptyCode", "", 30, true,
                                  "Selected codec does not supported: Check your CODEC options"},
                      FailureCase{"MissingFolder", "XVID", 30, false,
                                  "Unable to Create the Movie File"},
                      FailureCase{"ZeroRate", "XVID", 0, true,
                                  "Unable to Create Video Stream in the Movie File"}),
    [](const auto& info) { return info.param.name; });

TEST(MovieWriter, EmptyPictureIsRefused) {
  ScratchFolder folder;
  MovieWriter writer;
  writer.open(folder.file("m.avi"), "XVID", 1, 30, 10000);
  EXPECT_FALSE(writer.appendFrame(MovieFrame{0, 0, 0, {}}));
  EXPECT_EQ(writer.lastError(), "Unable to Create Compatible DC");
}

TEST(MovieWriter, PictureOfAnotherSizeIsScaledIntoTheMovie) {
  ScratchFolder folder;
  const std::string path = folder.file("m.avi");
  MovieWriter writer;
  writer.open(path, "XVID", 1, 30, 10000);
  ASSERT_TRUE(appendPictures(writer, 320, 240, 2));
  ASSERT_TRUE(appendPictures(writer, 160, 120, 2));
  writer.close();
  const auto info = probe(path);
  EXPECT_EQ(info.count("width") ? info.at("width") : "", "320");
  EXPECT_EQ(info.count("nb_read_frames") ? info.at("nb_read_frames") : "", "4");
}

TEST(VideoCodecList, OffersTheUsualCodecsAndNoneOfTheExcluded) {
  const auto codecs = availableVideoCodecs();
  std::vector<std::string> codes;
  for (const auto& codec : codecs) codes.push_back(codec.fourcc);
  EXPECT_NE(std::find(codes.begin(), codes.end(), "XVID"), codes.end());
  EXPECT_NE(std::find(codes.begin(), codes.end(), "MSVC"), codes.end());
  for (const auto& code : codes) EXPECT_FALSE(isExcludedFromCodecList(code)) << code;
}

TEST(VideoCodecList, EveryEntryWritesAMovie) {
  ScratchFolder folder;
  for (const auto& codec : availableVideoCodecs()) {
    MovieWriter writer;
    writer.open(folder.file(codec.fourcc + ".avi"), codec.fourcc, 1, 25, 10000);
    EXPECT_TRUE(appendPictures(writer, 320, 240, 2)) << codec.fourcc << ": " << writer.lastError();
  }
}

struct DefaultCase {
  std::string name;
  std::vector<std::string> codes;
  int stored;
  int expected;
};
void PrintTo(const DefaultCase& c, std::ostream* os) { *os << c.name; }

class DefaultCodec : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultCodec, IsTheStoredChoiceElseXvidElseMsvc) {
  std::vector<VideoCodec> codecs;
  for (const auto& code : GetParam().codes) codecs.push_back(VideoCodec{code, code});
  EXPECT_EQ(defaultCodecIndex(codecs, GetParam().stored), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Export, DefaultCodec,
    ::testing::Values(DefaultCase{"StoredChoice", {"MSVC", "XVID", "FFV1"}, 2, 2},
                      DefaultCase{"XvidWhenNoneStored", {"MSVC", "XVID", "FFV1"}, -1, 1},
                      DefaultCase{"MsvcWithoutXvid", {"FFV1", "MSVC"}, -1, 1},
                      DefaultCase{"StoredIndexPastTheList", {"MSVC", "XVID"}, 7, 1},
                      DefaultCase{"NeitherPresent", {"FFV1"}, -1, -1}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace solvane::exports
