#include "alarm/ui/set_sound_dlg.h"

#include "alarm/ui/wav_file_check.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
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

  player_.setErrorReporter([this](const QString& text) {
    notifier_.tell(text.toStdString(), kWavErrorTitle, desktop::Severity::Error);
  });
  connect(&player_, &AlarmSoundPlayer::stopped, this,
          [this] { play_->setText(QString::fromLatin1(kTestPlay)); });

  connect(browse_, &QPushButton::clicked, this, &CSetSoundDlg::browse);
  connect(play_, &QPushButton::clicked, this, &CSetSoundDlg::togglePlay);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // A sound left running would outlive the dialog the user closed.
  connect(this, &QDialog::finished, this, [this] { player_.stop(); });
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
  if (player_.isPlaying()) {
    player_.stop();
  } else if (player_.start(path_->text(), loop_->isChecked())) {
    play_->setText(QString::fromLatin1(kStopPlay));
  }
}

}  // namespace solvane::alarm
