// The AVI movie of the rendered view: opened with a four-character code that picks the
// encoder, fed one composed picture per recorded frame.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace solvane::exports {

enum class MovieState {
  Closed = 0,  // failed or closed
  Open = 1,    // waiting for the first frame
  Writing = 2,
};

namespace movie_text {
inline constexpr const char* kSucceeded = "Method Succeeded";
inline constexpr const char* kNoDrawingContext = "Unable to Create Compatible DC";
inline constexpr const char* kNoHeap = "Unable to Create Heap";
inline constexpr const char* kNoMemory = "Unable to Allocate Memory on Heap";
inline constexpr const char* kNoFile = "Unable to Create the Movie File";
inline constexpr const char* kNoStream = "Unable to Create Video Stream in the Movie File";
inline constexpr const char* kBadCodec =
    "Selected codec does not supported: Check your CODEC options";
inline constexpr const char* kWriteFailed = "Unable to Write Video Stream to the output Movie File";
}  // namespace movie_text

// A 32-bit picture, bytes B, G, R, X per pixel, rows top to bottom `stride` bytes apart.
struct MovieFrame {
  int width = 0;
  int height = 0;
  int stride = 0;
  std::span<const uint8_t> pixels;
};

inline constexpr int kMaxMovieQuality = 10000;

class MovieWriter {
 public:
  // The document's writer before any recording opens it.
  MovieWriter();
  ~MovieWriter();
  MovieWriter(const MovieWriter&) = delete;
  MovieWriter& operator=(const MovieWriter&) = delete;

  // Keeps the parameters; the file is made with the first frame. Frames per second =
  // rate / step; quality 0..10000.
  void open(std::string path, std::string fourcc, int step, int rate, int quality);
  // Appends one picture (the first one also creates the file). False on failure: the writer
  // is then closed, keeps the error text, and every later append fails at once.
  bool appendFrame(const MovieFrame& frame);
  // Finishes the file; safe to call in any state.
  void close();

  MovieState state() const { return state_; }
  const std::string& lastError() const { return lastError_; }
  int64_t frameCounter() const { return frameCounter_; }
  const std::string& path() const { return path_; }
  const std::string& fourcc() const { return fourcc_; }
  int step() const { return step_; }
  int rate() const { return rate_; }
  int quality() const { return quality_; }

 private:
  struct Encoder;
  bool startFile(const MovieFrame& first);
  bool encode(const MovieFrame& frame);
  void fail(const char* text);

  MovieState state_ = MovieState::Closed;
  std::string path_ = "Output.avi";
  std::string fourcc_ = "MPG4";
  int step_ = 1;
  int rate_ = 1;
  int quality_ = kMaxMovieQuality;
  int64_t frameCounter_ = 0;
  std::string lastError_ = movie_text::kSucceeded;
  std::unique_ptr<Encoder> encoder_;
};

}  // namespace solvane::exports
