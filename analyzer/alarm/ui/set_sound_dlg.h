// The alarm sound dialog: picks the ".wav" file and lets the user hear it. On a machine
// without an audio output the dialog stays silent and says so once through its reporter.
#pragma once

#include "alarm/alarm_settings.h"
#include "alarm/ui/alarm_sound.h"
#include "desktop/notifier.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace solvane::alarm {

class CSetSoundDlg : public QDialog {
  Q_OBJECT
 public:
  using Reporter = AlarmSoundPlayer::Reporter;
  using AudioProbe = AlarmSoundPlayer::AudioProbe;

  explicit CSetSoundDlg(desktop::Notifier& notifier, QWidget* parent = nullptr);
  ~CSetSoundDlg() override;

  void load(const AlarmSettings& settings);
  void store(AlarmSettings& settings) const;

  // Where the one note about missing audio goes (later the Output pane).
  void setSilenceReporter(Reporter reporter) { player_.setSilenceReporter(std::move(reporter)); }
  // Whether an audio output exists; the machine's devices unless replaced.
  void setAudioProbe(AudioProbe probe) { player_.setAudioProbe(std::move(probe)); }

  bool isPlaying() const { return player_.isPlaying(); }
  QLineEdit* pathEdit() const { return path_; }
  QPushButton* browseButton() const { return browse_; }
  QPushButton* playButton() const { return play_; }
  QCheckBox* loopBox() const { return loop_; }

  static constexpr const char* kSilenceNote = AlarmSoundPlayer::kSilenceNote;

 private:
  void browse();
  void togglePlay();

  desktop::Notifier& notifier_;
  QLineEdit* path_;
  QPushButton* browse_;
  QPushButton* play_;
  QCheckBox* loop_;
  AlarmSoundPlayer player_;
};

}  // namespace solvane::alarm
