// The image filters on a 640 x 480 frame, each beside its closest OpenCV operation measured in
// the same run: cv::filter2D for the 3x3 kernels, cv::blur for the box and stack blurs of the
// same radius, cv::GaussianBlur for the Gaussian-like blur, cv::bilateralFilter with d = 3.
// Our filters work in place on the frame; the peers write a second image.
#include <benchmark/benchmark.h>
#include <irdex.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#ifdef IRDEX_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

constexpr int kWidth = 640, kHeight = 480;
const std::string kSize = "640x480";

// A frame with structure at several scales, like a rendered thermal scene.
std::vector<uint8_t> testFrame(int channels = 1) {
  std::mt19937 gen(42);
  std::uniform_int_distribution<int> noise(-12, 12);
  std::vector<uint8_t> frame(static_cast<std::size_t>(kWidth) * kHeight * channels);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const int base = (x * 255 / kWidth + ((x / 40 + y / 40) % 2) * 60) % 256;
      for (int c = 0; c < channels; ++c) {
        const int v = base + noise(gen) + c * 20;
        frame[(static_cast<std::size_t>(y) * kWidth + x) * channels + c] =
            static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
      }
    }
  }
  return frame;
}

template <typename Work>
void runInPlace(benchmark::State& state, std::vector<uint8_t>& frame, const std::string& peer,
                Work work) {
  for (auto _ : state) {
    work(frame.data());
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
  if (!peer.empty()) state.SetLabel("vs:" + peer);
}

std::string name(const std::string& what, int radius = -1) {
  return "BM_" + what + (radius >= 0 ? "_r" + std::to_string(radius) : "") + "_" + kSize;
}

#ifdef IRDEX_HAVE_OPENCV
template <typename Work>
void runPeer(benchmark::State& state, int channels, Work work) {
  std::vector<uint8_t> frame = testFrame(channels);
  const cv::Mat src(kHeight, kWidth, CV_8UC(channels), frame.data());
  cv::Mat dst(kHeight, kWidth, CV_8UC(channels));
  for (auto _ : state) {
    work(src, dst);
    benchmark::DoNotOptimize(dst.data);
    benchmark::ClobberMemory();
  }
}

cv::Mat kernelFor(int type) {
  static const float kernels[4][10] = {
      {1, 1, 1, 1, 5, 1, 1, 1, 1, 13},
      {1, 1, 1, 1, 10, 1, 1, 1, 1, 18},
      {0, -1, 0, -1, 8, -1, 0, -1, 0, 4},
      {0, -1, 0, -1, 6, -1, 0, -1, 0, 2},
  };
  cv::Mat k(3, 3, CV_32F);
  for (int i = 0; i < 9; ++i)
    k.at<float>(i / 3, i % 3) = kernels[type - 2][i] / kernels[type - 2][9];
  return k;
}
#endif

std::string peerName(const std::string& what, int radius = -1) {
#ifdef IRDEX_HAVE_OPENCV
  return name(what, radius);
#else
  (void)what;
  (void)radius;
  return {};
#endif
}

void registerAll() {
  for (int type = 2; type <= 5; ++type) {
    const std::string peer = peerName("PeerCvFilter2D_type" + std::to_string(type));
    benchmark::RegisterBenchmark(name("ApplyImageFilter_type" + std::to_string(type)).c_str(),
                                 [type, peer](benchmark::State& state) {
                                   auto frame = testFrame();
                                   runInPlace(state, frame, peer, [type](uint8_t* image) {
                                     ApplyImageFilter(image, kWidth, kHeight, type);
                                   });
                                 });
#ifdef IRDEX_HAVE_OPENCV
    benchmark::RegisterBenchmark(peer.c_str(), [type](benchmark::State& state) {
      const cv::Mat kernel = kernelFor(type);
      runPeer(state, 1, [&](const cv::Mat& src, cv::Mat& dst) {
        cv::filter2D(src, dst, -1, kernel, cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
      });
    });
#endif
  }

  {
    const std::string peer = peerName("PeerCvFilter2D_rgb_type2");
    benchmark::RegisterBenchmark(
        name("ApplyColorImageFilter_rgb_type2").c_str(), [peer](benchmark::State& state) {
          auto frame = testFrame(3);
          runInPlace(state, frame, peer,
                     [](uint8_t* image) { ApplyColorImageFilter(image, kWidth, kHeight, 2, 24); });
        });
#ifdef IRDEX_HAVE_OPENCV
    benchmark::RegisterBenchmark(peer.c_str(), [](benchmark::State& state) {
      const cv::Mat kernel = kernelFor(2);
      runPeer(state, 3, [&](const cv::Mat& src, cv::Mat& dst) {
        cv::filter2D(src, dst, -1, kernel, cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
      });
    });
#endif
  }

  for (int radius : {1, 5, 20}) {
    const std::string peer = peerName("PeerCvBlur", radius);
    benchmark::RegisterBenchmark(
        name("BoxBlur", radius).c_str(), [radius, peer](benchmark::State& state) {
          auto frame = testFrame();
          runInPlace(state, frame, peer,
                     [radius](uint8_t* image) { BoxBlur(image, kWidth, kHeight, radius); });
        });
    benchmark::RegisterBenchmark(
        name("FastStackBlur", radius).c_str(), [radius, peer](benchmark::State& state) {
          auto frame = testFrame();
          runInPlace(state, frame, peer,
                     [radius](uint8_t* image) { FastStackBlur(image, kWidth, kHeight, radius); });
        });
#ifdef IRDEX_HAVE_OPENCV
    benchmark::RegisterBenchmark(peer.c_str(), [radius](benchmark::State& state) {
      runPeer(state, 1, [&](const cv::Mat& src, cv::Mat& dst) {
        cv::blur(src, dst, cv::Size(2 * radius + 1, 2 * radius + 1), cv::Point(-1, -1),
                 cv::BORDER_REPLICATE);
      });
    });
#endif
  }

  for (int radius : {2, 5, 10}) {
    const std::string peer = peerName("PeerCvGaussianBlur", radius);
    benchmark::RegisterBenchmark(
        name("FastGaussianBlur", radius).c_str(), [radius, peer](benchmark::State& state) {
          std::vector<int32_t> weights(static_cast<std::size_t>(2 * radius + 1));
          std::vector<int32_t> products(weights.size() * 256);
          GetGaussianKernel(weights.data(), products.data(), radius);
          auto frame = testFrame();
          runInPlace(state, frame, peer, [&](uint8_t* image) {
            FastGaussianBlur(image, kWidth, kHeight, weights.data(), products.data(), radius);
          });
        });
#ifdef IRDEX_HAVE_OPENCV
    benchmark::RegisterBenchmark(peer.c_str(), [radius](benchmark::State& state) {
      runPeer(state, 1, [&](const cv::Mat& src, cv::Mat& dst) {
        cv::GaussianBlur(src, dst, cv::Size(2 * radius + 1, 2 * radius + 1), 0, 0,
                         cv::BORDER_REPLICATE);
      });
    });
#endif
  }

  {
    const std::string peer = peerName("PeerCvBilateralFilter_d3");
    benchmark::RegisterBenchmark(name("BilateralFilter_r1").c_str(),
                                 [peer](benchmark::State& state) {
                                   auto frame = testFrame();
                                   runInPlace(state, frame, peer, [](uint8_t* image) {
                                     BilateralFilter(image, kWidth, kHeight, 1.0f, 20.0f, 1);
                                   });
                                 });
#ifdef IRDEX_HAVE_OPENCV
    benchmark::RegisterBenchmark(peer.c_str(), [](benchmark::State& state) {
      runPeer(state, 1, [&](const cv::Mat& src, cv::Mat& dst) {
        cv::bilateralFilter(src, dst, 3, 20.0, 1.0, cv::BORDER_REPLICATE);
      });
    });
#endif
  }
}

}  // namespace

int main(int argc, char** argv) {
#ifdef IRDEX_HAVE_OPENCV
  // Our filters run on the calling thread; so does the peer.
  cv::setNumThreads(1);
#endif
  registerAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
