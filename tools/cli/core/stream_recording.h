// A stream file written by the analyzer's recorder under a name the user chose. The
// recorder names its files itself ("<camera>_IRS_<time>.hxr"), so it records into a private
// folder beside the target and the files move into place when the recording ends; a
// roll-over at the size limit continues in "<name>_2.hxr", "<name>_3.hxr", ...
#pragma once

#include "record/recorder.h"

#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace irdexcli {

class StreamRecording {
 public:
  // Throws a run error when the folder or the first file cannot be made.
  StreamRecording(std::string target, const solvane::record::CameraSnapshot& camera,
                  std::optional<std::array<int32_t, 6>> started = std::nullopt);
  ~StreamRecording();  // removes what was not put in place
  StreamRecording(const StreamRecording&) = delete;
  StreamRecording& operator=(const StreamRecording&) = delete;

  solvane::record::Recorder& recorder() { return *recorder_; }
  // The recorder's last complaint ("" while all is well); any thread.
  std::string failure() const;
  // Ends the recording and moves its files into place; returns their names.
  std::vector<std::string> finish();

 private:
  std::string target_;
  std::string folder_;
  mutable std::mutex failureMutex_;  // guards failure_ (the recorder reports from any thread)
  std::string failure_;
  std::unique_ptr<solvane::record::Recorder> recorder_;
};

}  // namespace irdexcli
