#include "alarm/ui/set_sound_dlg.h"

#include "alarm/ui/wav_file_check.h"

#include <QAudioDevice>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPushButton>
#include <QSoundEffect>
#include <QUrl>
#include <QVBoxLayout>

namespace solvane::alarm {
namespace {

constexpr const char* kTestPlay = "Test Play";
constexpr const char* kStopPlay = "Stop Play";

}  // namespace

CSetSoundDlg::CSetSoundDlg(desktop::Notifier& notifier, QWidget* parent)
    : QDialog(parent), notifier_(notifier) {
  setWindowTitle(QStringLiteral("Alarm Sound"));
  setAccessibleName(QStringLiteral("Alarm Sound"));
  auto* layout = new QVBoxLayout(this);

  auto* fileRow = new QHBoxLayout;
  path_ = new QLineEdit(this);
  path_->setAccessibleName(QStringLiteral("Sound file"));
  browse_ = new QPushButton(QStringLiteral("..."), this);
  browse_->setAccessibleName(QStringLiteral("Browse sound file"));
  browse_->setAutoDefault(false);
  fileRow->addWidget(path_);
  fileRow->addWidget(browse_);
  layout->addLayout(fileRow);

  auto* playRow = new QHBoxLayout;
  play_ = new QPushButton(QString::fromLatin1(kTestPlay), this);
  play_->setAccessibleName(QStringLiteral("Test play"));
  play_->setAutoDefault(false);
  loop_ = new QCheckBox(QStringLiteral("Loop"), this);
  loop_->setAccessibleName(QStringLiteral("Loop"));
  playRow->addWidget(play_);
  playRow->addWidget(loop_);
  layout->addLayout(playRow);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
  layout->addWidget(buttons);

  audioProbe_ = [] { return !QMediaDevices::audioOutputs().isEmpty(); };

  connect(browse_, &QPushButton::clicked, this, &CSetSoundDlg::browse);
  connect(play_, &QPushButton::clicked, this, &CSetSoundDlg::togglePlay);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // A sound left running would outlive the dialog the user closed.
  connect(this, &QDialog::finished, this, [this] { stopPlay(); });
}

CSetSoundDlg::~CSetSoundDlg() = default;

void CSetSoundDlg::load(const AlarmSettings& settings) {
  path_->setText(QString::fromStdString(settings.playPath));
  loop_->setChecked(settings.playLoop);
}

void CSetSoundDlg::store(AlarmSettings& settings) const {
  settings.playPath = path_->text().toStdString();
  settings.playLoop = loop_->isChecked();
}

void CSetSoundDlg::browse() {
  const QString chosen = QFileDialog::getOpenFileName(
      this, QStringLiteral("Alarm Sound"), path_->text(), QStringLiteral("Wav Files (*.wav)"));
  if (!chosen.isEmpty()) path_->setText(chosen);
}

void CSetSoundDlg::togglePlay() {
  if (playing_) {
    stopPlay();
  } else {
    startPlay();
  }
}

void CSetSoundDlg::startPlay() {
  const WavCheck check = checkWavFile(path_->text().toStdString());
  if (check != WavCheck::Playable) {
    refuse(wavCheckMessage(check));
    return;
  }
  playing_ = true;
  play_->setText(QString::fromLatin1(kStopPlay));
  if (!audioProbe_ || !audioProbe_()) {
    if (!silenceReported_ && silenceReporter_) silenceReporter_(QString::fromLatin1(kSilenceNote));
    silenceReported_ = true;
    return;
  }
  effect_ = std::make_unique<QSoundEffect>();
  connect(effect_.get(), &QSoundEffect::statusChanged, this, [this] {
    if (effect_ && effect_->status() == QSoundEffect::Error) {
      stopPlay();
      refuse(wavCheckMessage(WavCheck::NotPlayable));
    }
  });
  connect(effect_.get(), &QSoundEffect::playingChanged, this, [this] {
    if (effect_ && !effect_->isPlaying() && effect_->status() == QSoundEffect::Ready) {
      playbackEnded();
    }
  });
  effect_->setSource(QUrl::fromLocalFile(path_->text()));
  effect_->setLoopCount(loop_->isChecked() ? QSoundEffect::Infinite : 1);
  effect_->play();
}

void CSetSoundDlg::stopPlay() {
  if (effect_) {
    effect_->disconnect(this);
    effect_->stop();
    // This may run inside one of the effect's own signals, so it goes when they return.
    effect_.release()->deleteLater();
  }
  playbackEnded();
}

void CSetSoundDlg::playbackEnded() {
  playing_ = false;
  play_->setText(QString::fromLatin1(kTestPlay));
}

void CSetSoundDlg::refuse(const char* text) {
  notifier_.tell(text, kWavErrorTitle, desktop::Severity::Error);
}

}  // namespace solvane::alarm
