// The alarm sound dialog: picks the ".wav" file and lets the user hear it. On a machine
// without an audio output the dialog stays silent and says so once through its reporter.
#pragma once

#include "alarm/alarm_settings.h"
#include "desktop/notifier.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSoundEffect;

namespace solvane::alarm {

class CSetSoundDlg : public QDialog {
  Q_OBJECT
 public:
  using Reporter = std::function<void(const QString&)>;
  using AudioProbe = std::function<bool()>;

  explicit CSetSoundDlg(desktop::Notifier& notifier, QWidget* parent = nullptr);
  ~CSetSoundDlg() override;

  void load(const AlarmSettings& settings);
  void store(AlarmSettings& settings) const;

  // Where the one note about missing audio goes (later the Output pane).
  void setSilenceReporter(Reporter reporter) { silenceReporter_ = std::move(reporter); }
  // Whether an audio output exists; the machine's devices unless replaced.
  void setAudioProbe(AudioProbe probe) { audioProbe_ = std::move(probe); }

  bool isPlaying() const { return playing_; }
  QLineEdit* pathEdit() const { return path_; }
  QPushButton* browseButton() const { return browse_; }
  QPushButton* playButton() const { return play_; }
  QCheckBox* loopBox() const { return loop_; }

  static constexpr const char* kSilenceNote =
      "No audio output on this machine: alarm sounds stay silent.";

 private:
  void browse();
  void togglePlay();
  void startPlay();
  void stopPlay();
  void playbackEnded();
  void refuse(const char* text);

  desktop::Notifier& notifier_;
  QLineEdit* path_;
  QPushButton* browse_;
  QPushButton* play_;
  QCheckBox* loop_;
  std::unique_ptr<QSoundEffect> effect_;
  Reporter silenceReporter_;
  AudioProbe audioProbe_;
  bool playing_ = false;
  bool silenceReported_ = false;
};

}  // namespace solvane::alarm
