// The rules of recording that need no file and no camera: texts, file names, the recording
// decimation, the time value between recorded frames and which record commands are enabled.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace solvane::record {

// Message texts and titles, as the user sees them (the misspellings are the system's own).
inline constexpr const char* kFileCloseError = "File close error!";
inline constexpr const char* kFileOpenError = "File open error!";
inline constexpr const char* kImageBufferError = "IR imabe buffer error!";
inline constexpr const char* kImageWriteError = "IR image write error!";
inline constexpr const char* kNoStream = "NO stream!";
inline constexpr const char* kNoCodec = "No selected codec!!";
inline constexpr const char* kUnsupportedCodec =
    "Selected codec does not supported: Check your CODEC options";
inline constexpr const char* kLoadRefused = "Failed to load IR file!!";
inline constexpr const char* kFileLoadError = "File load error!";
inline constexpr const char* kDataFileError =
    "The data file could not be opened because of this error: ";
inline constexpr const char* kErrorTitle = "Error Message";
inline constexpr const char* kWarningTitle = "Warning Message";
inline constexpr const char* kMovieErrorTitle = "Error Occured";

inline constexpr const char* kStreamExtension = "hxr";
inline constexpr const char* kMovieExtension = "avi";
inline constexpr const char* kSnapshotExtension = "jpg";
inline constexpr const char* kRecordingTag = "IRS";

// Values of the main frame's record notification.
inline constexpr int32_t kNoticeRecordingStarted = 3;
inline constexpr int32_t kNoticeRecordingEnded = 1;

// One stream file holds at most this much before a new one is started.
inline constexpr int64_t kStreamFileLimit = 629'145'600;

// What a recording writes: the values of "USE AVI", "ALARM_REC_SEL" and "SCHED_REC_SEL".
enum class RecordForm { Raw = 0, Avi = 1, Csv = 2 };
// Who started a recording; an alarm recording does not change the record buttons.
enum class RecordKind { User, Alarm, Schedule };

std::optional<RecordForm> recordFormOf(int32_t selection);

struct LocalTime {
  int32_t year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
LocalTime currentLocalTime();

// "<save path>/<camera>_IRS_YYYYMMDDhhmmss.<extension>".
std::string recordingFileName(const std::string& savePath, const std::string& cameraName,
                              const LocalTime& time, const std::string& extension);
// The name itself when no file has it, else the first free "<stem>_2.<ext>", "<stem>_3.<ext>"...
// Creating a stream file truncates: two recordings within one second (a roll-over of a
// small file, a quick stop and start) must not overwrite each other.
std::string freeFileName(const std::string& name);

// Recording and object-log decimation: every how many received frames one is kept, from the
// environment dialog's choice (0 full, 1 half, 2 user defined), the user's period and its
// unit (0 seconds, 1 minutes, 2 hours, 3 days). Never below 1: a period shorter than one
// displayed frame keeps every frame instead of none.
int32_t decimationFor(int32_t condition, int32_t period, int32_t unit, float cameraFrameRate,
                      int32_t displayDivisor);

// The time value stored with a recorded frame: the time since the previously recorded frame
// in units of 10 us. Measured on a monotonic clock, so intervals of minutes or hours are
// stored right (the wall clock's milliseconds within a minute would wrap every minute);
// intervals beyond what the 32-bit field holds are stored as its largest value.
class RecordTimer {
 public:
  using Clock = std::chrono::steady_clock;
  void start(Clock::time_point now) { last_ = now; }
  // The value for a frame recorded at `now`; the first frame without a start gets 0.
  int32_t next(Clock::time_point now);

 private:
  std::optional<Clock::time_point> last_;
};
int32_t timeValueOf(std::chrono::nanoseconds interval);

// The stream version a recording of a camera type gets: 32 for the KS family (types 2 and
// 3, frames with the extra row), 17 for the KT family and the first generation (types 0
// and 1): their frames have no extra row, so the file's layout matches its pixels.
int32_t streamVersionFor(int32_t cameraType);

struct RecordCommandState {
  bool record = false;  // "Record IR stream file"
  bool stop = false;    // "Stop to save IR stream file"
};
// Record is offered while live or while a stream file is open; stop only while a user
// recording runs (alarm and schedule recordings end by themselves).
RecordCommandState recordCommands(bool live, bool streamFileOpen, bool recording, RecordKind kind);

// "( W * H * 8b )" of status pane 2, and the window title of a loaded file.
std::string imageSizeText(int32_t width, int32_t height);
std::string fileWindowTitle(const std::string& fileTitle);
inline constexpr const char* kPlainWindowTitle = "Solvane";

}  // namespace solvane::record
