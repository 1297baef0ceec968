// "Record IR stream file" and "Stop to save IR stream file" in the running analyzer: the
// recorder fed at the pipeline's recording place, with the movie writer and the
// temperature-map exporter behind its sinks, and the record buttons following its state.
#pragma once

#include "export/movie_writer.h"
#include "export/temperature_map.h"
#include "export/ui/frame_keeper.h"
#include "record/recorder.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <span>

namespace desktop {
class Notifier;
}

namespace solvane {

class CMainFrame;
class CVynCamSDKDoc;

// The movie writer behind the recorder's movie interface.
class MovieWriterSink final : public record::MovieSink {
 public:
  bool open(const record::MovieSettings& settings) override;
  bool append(const record::MovieFrame& frame) override;
  std::string errorText() const override { return writer_.lastError(); }
  bool isOpen() const override { return writer_.state() != exports::MovieState::Closed; }
  void close() override { writer_.close(); }

 private:
  exports::MovieWriter writer_;
};

// CSV series: each recorded frame's temperatures, the ones the pipeline just converted for
// it (the camera's own calibration for KS frames), written on an export thread of its own.
class TempMapSeriesSink final : public record::TempMapSink {
 public:
  TempMapSeriesSink(std::function<std::string()> name, exports::TemperatureMapExporter& exporter)
      : name_(std::move(name)), exporter_(exporter) {}
  // The temperatures of the frame being handed to the recorder; valid during that call.
  void setCurrent(std::span<const float> temperatures) { current_ = temperatures; }
  void exportFrame(const record::RawFrame& frame) override;

 private:
  std::function<std::string()> name_;
  exports::TemperatureMapExporter& exporter_;
  std::span<const float> current_;
};

class RecordController : public QObject {
  Q_OBJECT
 public:
  RecordController(CMainFrame& frame, CVynCamSDKDoc& document, desktop::Notifier& notifier,
                   FrameKeeper& frames, std::function<float()> cameraRate);
  ~RecordController() override;

  record::Recorder& recorder() { return *recorder_; }
  // The recording commands' work. With "Manual Name" a user recording first asks for its
  // file (not a CSV series: its maps are named by the time); no answer records nothing.
  bool startRecording();
  using PathQuestion = std::function<QString(const QString& folder, const QString& filter)>;
  void setPathQuestion(PathQuestion ask) { askPath_ = std::move(ask); }
  // "SAVE FRAME" and "OBJECT FRAME" follow the conditions, the camera's rate and the
  // display divisor; called whenever one of them may have changed.
  void refreshSettings();
  void stopRecording();
  // An alarm's or the schedule's recording, in the form its own setting selects; stopping
  // ends only a recording that `kind` started, never the user's.
  bool startAutomatic(record::RecordKind kind);
  void stopAutomatic(record::RecordKind kind);
  // A frame read from a file being played: appended with its own time value.
  void onPlaybackFrame(std::span<const uint16_t> pixels, int32_t timeValue);
  void setPlaying(bool playing) { playing_ = playing; }

 signals:
  // 3 a recording started, 1 it ended; on the window's thread.
  void recordingChanged(int value);
  // "OBJECT FRAME" changed: object logs and periodic snapshots follow.
  void objectFrameChanged(int objectFrame);

 private:
  void onFrame(FrameContext& context);
  void handle(const record::RecorderEvent& event);
  void refreshButtons();

  CMainFrame& frame_;
  CVynCamSDKDoc& document_;
  desktop::Notifier& notifier_;
  std::function<float()> cameraRate_;
  exports::TemperatureMapExporter tempMaps_;
  MovieWriterSink movie_;
  TempMapSeriesSink series_;
  std::unique_ptr<record::Recorder> recorder_;
  std::atomic<float> rate_{30.0f};
  std::atomic<int32_t> divisor_{0};
  // While a file plays, its frames reach the recorder with their own time values.
  std::atomic<bool> playing_{false};
  bool wasLive_ = false;
  PathQuestion askPath_;
};

}  // namespace solvane
