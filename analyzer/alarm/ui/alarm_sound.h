// Plays the alarm's ".wav" file, once or over and over, for the sound dialog's "Test Play"
// and for the alarm itself. A file that cannot be played is refused with its message; a
// machine without an audio output stays silent and says so once.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QSoundEffect;

namespace solvane::alarm {

class AlarmSoundPlayer : public QObject {
  Q_OBJECT
 public:
  using Reporter = std::function<void(const QString&)>;
  using AudioProbe = std::function<bool()>;

  explicit AlarmSoundPlayer(QObject* parent = nullptr);
  ~AlarmSoundPlayer() override;

  // Where a refused file's message goes, and where the one note about missing audio goes.
  void setErrorReporter(Reporter reporter) { errorReporter_ = std::move(reporter); }
  void setSilenceReporter(Reporter reporter) { silenceReporter_ = std::move(reporter); }
  // Whether an audio output exists; the machine's devices unless replaced.
  void setAudioProbe(AudioProbe probe) { audioProbe_ = std::move(probe); }

  // False when the file was refused. Without audio the sound counts as playing (silently)
  // until stop(), so that the caller's start and stop keep their pairs.
  bool start(const QString& path, bool loop);
  void stop();
  bool isPlaying() const { return playing_; }
  bool silenceReported() const { return silenceReported_; }

  static constexpr const char* kSilenceNote =
      "No audio output on this machine: alarm sounds stay silent.";

 signals:
  // The sound ended by itself, was refused while loading, or was stopped.
  void stopped();

 private:
  void ended();

  std::unique_ptr<QSoundEffect> effect_;
  Reporter errorReporter_;
  Reporter silenceReporter_;
  AudioProbe audioProbe_;
  bool playing_ = false;
  bool silenceReported_ = false;
};

}  // namespace solvane::alarm
