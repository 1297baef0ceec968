#include "stream_recording.h"

#include "cli_error.h"

#include <stdlib.h>

#include <filesystem>

namespace irdexcli {

namespace fs = std::filesystem;

StreamRecording::StreamRecording(std::string target, const solvane::record::CameraSnapshot& camera,
                                 std::optional<std::array<int32_t, 6>> started)
    : target_(std::move(target)) {
  std::error_code error;
  if (fs::is_directory(target_, error)) throw CliError(target_ + ": is a folder");
  const fs::path parent =
      fs::path(target_).has_parent_path() ? fs::path(target_).parent_path() : fs::path(".");
  std::string pattern = (parent / ".irdex-record-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw CliError(target_ + ": cannot be created");
  folder_ = pattern;

  solvane::record::Recorder::Hooks hooks;
  if (started) {
    const auto s = *started;
    hooks.localTime = [s] {
      return solvane::record::LocalTime{s[0], s[1], s[2], s[3], s[4], s[5]};
    };
  }
  recorder_ = std::make_unique<solvane::record::Recorder>(
      [this](const solvane::record::RecorderEvent& event) {
        if (event.kind != solvane::record::RecorderEvent::Kind::Message) return;
        std::lock_guard lock(failureMutex_);
        failure_ = event.text;
      },
      nullptr, nullptr, hooks);
  solvane::record::RecordSettings settings;
  settings.savePath = folder_;
  settings.cameraName = "irdex";
  recorder_->setSettings(settings);
  recorder_->setCamera(camera);
  if (!recorder_->recordCommand()) {
    const std::string why = failure();
    recorder_.reset();
    fs::remove_all(folder_, error);
    throw CliError(target_ + ": " + (why.empty() ? std::string("cannot be created") : why));
  }
}

StreamRecording::~StreamRecording() {
  recorder_.reset();
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

std::string StreamRecording::failure() const {
  std::lock_guard lock(failureMutex_);
  return failure_;
}

std::vector<std::string> StreamRecording::finish() {
  const std::vector<std::string> made = recorder_->state().files;
  recorder_->stopCommand();
  if (const std::string why = failure(); !why.empty()) throw CliError(target_ + ": " + why);
  std::vector<std::string> placed;
  const fs::path target(target_);
  for (std::size_t i = 0; i < made.size(); ++i) {
    const fs::path place =
        i == 0 ? target
               : target.parent_path() / (target.stem().string() + "_" + std::to_string(i + 1) +
                                         target.extension().string());
    std::error_code error;
    fs::rename(made[i], place, error);
    if (error)
      throw CliError(place.string() + ": cannot be put in place (" + error.message() + ")");
    placed.push_back(place.string());
  }
  return placed;
}

}  // namespace irdexcli
