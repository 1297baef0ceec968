// A synthetic scene rendered through every input and output method of every rendering
// export and camera generation, compared with checksums of a reviewed run: an unintended
// change of any window rule, mapping or equalisation shows up here.
//
// After an intended change, look at the new pictures (IRDEX_GOLDEN_DUMP=<folder> writes each
// second frame there as a PGM file) and renew the table with
//   IRDEX_PRINT_GOLDEN=1 ./irdex_imaging_tests --gtest_filter='RenderGolden*'
#include <gtest/gtest.h>
#include <irdex.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "imaging/agc.h"
#include "imaging/tests/render_test_support.h"

namespace irdex::imaging {
namespace {

using test::agcRecord;
using test::makeFrame;

constexpr int kWidth = 384;
constexpr int kHeight = 288;
constexpr EnvParams kObject{0.9f, 25.0f, 0.95f, 0.0f};

uint64_t fnv1a(uint64_t hash, const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001b3ull;
  return hash;
}

// Two frames of APE and SAPE, so the carried plateau takes part.
void dumpPicture(const std::string& key, const std::vector<uint8_t>& grey) {
  const char* folder = std::getenv("IRDEX_GOLDEN_DUMP");
  if (folder == nullptr) return;
  std::string name = key;
  for (char& c : name) c = c == '/' ? '_' : c;
  if (std::FILE* file = std::fopen((std::string(folder) + "/" + name + ".pgm").c_str(), "wb")) {
    std::fprintf(file, "P5\n%d %d\n255\n", kWidth, kHeight);
    std::fwrite(grey.data(), 1, grey.size(), file);
    std::fclose(file);
  }
}

uint64_t renderChecksum(const std::string& key, const std::string& variant, const IRFrame& frame,
                        const float* table, int32_t input, int32_t output, bool manual) {
  AgcParams agc = agcRecord(input, output, manual);
  agc.intercept = 12;
  agc.gamma = 0.8f;
  std::vector<uint8_t> grey(static_cast<size_t>(kWidth) * kHeight);
  uint64_t hash = 0xcbf29ce484222325ull;
  for (int frameNo = 0; frameNo < 2; ++frameNo) {
    float level = 31.5f, span = 17.0f;
    SdkStatus status = 0;
    const int32_t count = kWidth * kHeight;
    if (variant == "image") {
      status = GetImage(grey.data(), &frame, count, table, &level, &span, &agc);
    } else if (variant == "imageKS") {
      status = GetImageKS(grey.data(), &frame, count, &level, &span, &agc);
    } else if (variant == "corrected") {
      status = GetCorrectedImage(grey.data(), &frame, count, table, kObject, &level, &span, &agc);
    } else {
      status = GetCorrectedImageKS(grey.data(), &frame, count, kObject, &level, &span, &agc);
    }
    EXPECT_EQ(status, SDK_SUCCESS);
    hash = fnv1a(hash, grey.data(), grey.size());
    hash = fnv1a(hash, &level, sizeof level);
    hash = fnv1a(hash, &span, sizeof span);
    const float prevPlateau = agc.prevPlateau;
    hash = fnv1a(hash, &prevPlateau, sizeof prevPlateau);
  }
  dumpPicture(key, grey);
  return hash;
}

struct Source {
  const char* name;
  const char* variant;
  uint8_t version;
  uint8_t model;
  uint8_t rangeIndex;
  uint16_t base;
  uint16_t range;
};

const Source kSources[] = {
    {"table", "image", 10, 0, 0, 5200, 4000},
    {"codes", "image", 20, 1, 0, 4600, 3000},
    {"builtin", "imageKS", 32, 0x20, 1, 2400, 1000},
    {"calibrated", "image", 33, 0x20, 0, 5000, 4000},
    {"table", "corrected", 10, 0, 0, 5200, 4000},
    {"codes", "corrected", 20, 1, 1, 500, 400},
    {"builtin", "correctedKS", 32, 0x20, 0, 6000, 4000},
    {"calibrated", "correctedKS", 33, 0x20, 0, 5000, 4000},
};

const std::map<std::string, uint64_t>& expectedChecksums() {
  static const std::map<std::string, uint64_t> table = {
#include "imaging/tests/render_golden_checksums.inc"
  };
  return table;
}

TEST(RenderGolden, EveryMethodOfEveryExportRendersAsReviewed) {
  const bool print = std::getenv("IRDEX_PRINT_GOLDEN") != nullptr;
  const std::vector<float> table = test::linearTable();
  int compared = 0;
  for (const Source& source : kSources) {
    std::vector<uint16_t> scene = test::syntheticScene(kWidth, kHeight, source.base, source.range);
    IRFrame frame = makeFrame(source.version, source.model, source.rangeIndex, &scene);
    if (source.version > 32) {
      irdex::test::writeKsCalibration(frame, 0b0001, {{-200, 1200, 2000, 14000}});
    }
    irdex::test::SlotHolder slot(frame);
    ASSERT_EQ(slot.status(), SDK_SUCCESS);
    ASSERT_EQ(LoadIRCamDataKS(&frame, scene.data(), static_cast<int32_t>(scene.size())),
              SDK_SUCCESS);
    const bool corrected = std::strncmp(source.variant, "corrected", 9) == 0;
    const int32_t lastInput = corrected ? 4 : 3;
    for (int32_t input = -1; input <= lastInput; ++input) {  // -1: the manual window
      for (int32_t output = 0; output <= 4; ++output) {
        const std::string key = std::string(source.variant) + "/" + source.name + "/" +
                                (input < 0 ? "manual" : "in" + std::to_string(input)) + "/out" +
                                std::to_string(output);
        const uint64_t sum = renderChecksum(key, source.variant, frame, table.data(),
                                            input < 0 ? kMinMax : input, output, input < 0);
        if (print) {
          std::printf("    {\"%s\", 0x%016" PRIx64 "ull},\n", key.c_str(), sum);
          continue;
        }
        const auto found = expectedChecksums().find(key);
        ASSERT_NE(found, expectedChecksums().end()) << key;
        EXPECT_EQ(sum, found->second) << key;
        ++compared;
      }
    }
  }
  if (!print) {
    EXPECT_EQ(compared, static_cast<int>(expectedChecksums().size()));
  }
}

}  // namespace
}  // namespace irdex::imaging
