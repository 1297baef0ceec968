#include "alarm/ui/alarm_sound.h"

#include "alarm/ui/wav_file_check.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace solvane::alarm {

AlarmSoundPlayer::AlarmSoundPlayer(QObject* parent) : QObject(parent) {
  audioProbe_ = [] { return !QMediaDevices::audioOutputs().isEmpty(); };
}

AlarmSoundPlayer::~AlarmSoundPlayer() {
  if (effect_) {
    effect_->disconnect(this);
    effect_->stop();
  }
}

bool AlarmSoundPlayer::start(const QString& path, bool loop) {
  stop();
  const WavCheck check = checkWavFile(path.toStdString());
  if (check != WavCheck::Playable) {
    if (errorReporter_) errorReporter_(QString::fromLatin1(wavCheckMessage(check)));
    return false;
  }
  playing_ = true;
  if (!audioProbe_ || !audioProbe_()) {
    if (!silenceReported_ && silenceReporter_) silenceReporter_(QString::fromLatin1(kSilenceNote));
    silenceReported_ = true;
    return true;
  }
  effect_ = std::make_unique<QSoundEffect>();
  connect(effect_.get(), &QSoundEffect::statusChanged, this, [this] {
    if (effect_ && effect_->status() == QSoundEffect::Error) {
      stop();
      if (errorReporter_)
        errorReporter_(QString::fromLatin1(wavCheckMessage(WavCheck::NotPlayable)));
    }
  });
  connect(effect_.get(), &QSoundEffect::playingChanged, this, [this] {
    if (effect_ && !effect_->isPlaying() && effect_->status() == QSoundEffect::Ready) ended();
  });
  effect_->setSource(QUrl::fromLocalFile(path));
  effect_->setLoopCount(loop ? QSoundEffect::Infinite : 1);
  effect_->play();
  return true;
}

void AlarmSoundPlayer::stop() {
  if (effect_) {
    effect_->disconnect(this);
    effect_->stop();
    // This may run inside one of the effect's own signals, so it goes when they return.
    effect_.release()->deleteLater();
  }
  ended();
}

void AlarmSoundPlayer::ended() {
  if (!playing_) return;
  playing_ = false;
  Q_EMIT stopped();
}

}  // namespace solvane::alarm
