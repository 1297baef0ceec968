// The sound dialog: each kind of bad file is answered with its message, a good one turns
// "Test Play" into "Stop Play", and without audio the dialog says so once and stays silent.
#include "alarm/ui/set_sound_dlg.h"
#include "alarm/ui/wav_file_check.h"
#include "testing/temp_folder.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace solvane::alarm;

namespace {

QByteArray le16(int v) {
  return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char((v >> 8) & 0xFF));
}
QByteArray le32(uint32_t v) { return le16(int(v & 0xFFFF)) + le16(int(v >> 16)); }

QByteArray formatChunk(int format, int channels, uint32_t rate, int bits) {
  return QByteArray("fmt ") + le32(16) + le16(format) + le16(channels) + le32(rate) +
         le32(rate * uint32_t(channels * bits / 8)) + le16(channels * bits / 8) + le16(bits);
}

QByteArray wav(const QByteArray& chunks) {
  return QByteArray("RIFF") + le32(uint32_t(4 + chunks.size())) + QByteArray("WAVE") + chunks;
}

QByteArray goodWav() {
  return wav(formatChunk(1, 1, 8000, 16) + QByteArray("data") + le32(4) + QByteArray(4, '\0'));
}

QString writeFile(const testsupport::TempFolder& folder, const char* name,
                  const QByteArray& bytes) {
  const QString path = QString::fromStdString(folder.file(name));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {};
  file.write(bytes);
  return path;
}

}  // namespace

class SetSoundDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void filesAreJudgedBeforePlaying_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");
    const int playable = int(WavCheck::Playable);
    const int refused = int(WavCheck::NotPlayable);
    QTest::newRow("pcm_16_bit") << goodWav() << playable;
    QTest::newRow("format_after_a_list_chunk")
        << wav(QByteArray("LIST") + le32(3) + QByteArray("abc") + QByteArray(1, '\0') +
               formatChunk(1, 2, 44100, 16))
        << playable;
    QTest::newRow("float_32_bit") << wav(formatChunk(3, 2, 48000, 32)) << playable;
    QTest::newRow("text_file") << QByteArray("not a sound at all") << refused;
    QTest::newRow("empty_file") << QByteArray() << refused;
    QTest::newRow("riff_without_wave")
        << QByteArray("RIFF") + le32(4) + QByteArray("AVI ") << refused;
    QTest::newRow("no_format_chunk")
        << wav(QByteArray("data") + le32(2) + QByteArray(2, '\0')) << refused;
    QTest::newRow("format_chunk_cut_short") << wav(formatChunk(1, 1, 8000, 16)).left(30) << refused;
    QTest::newRow("chunk_claims_more_than_file")
        << wav(QByteArray("LIST") + le32(0x7FFFFFF0) + formatChunk(1, 1, 8000, 16)) << refused;
    QTest::newRow("no_channels") << wav(formatChunk(1, 0, 8000, 16)) << refused;
    QTest::newRow("zero_sample_rate") << wav(formatChunk(1, 1, 0, 16)) << refused;
    QTest::newRow("compressed_format") << wav(formatChunk(2, 1, 8000, 4)) << refused;
  }

  void filesAreJudgedBeforePlaying() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    testsupport::TempFolder folder;
    const QString path = writeFile(folder, "sound.wav", bytes);
    QCOMPARE(int(checkWavFile(path.toStdString())), expected);
  }

  void refusedFilesAreAnswered_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing_file") << "" << QByteArray() << "wrong wav path!";
    QTest::newRow("a_folder") << "." << QByteArray() << "wrong wav path!";
    QTest::newRow("not_a_wav") << "text.wav" << QByteArray("hello") << "wrong wav file!";
  }

  void refusedFilesAreAnswered() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    testsupport::TempFolder folder;
    QString path = QString::fromStdString(folder.file("absent.wav"));
    if (name == ".") path = QString::fromStdString(folder.path().string());
    if (!bytes.isEmpty()) path = writeFile(folder, name.toLatin1().constData(), bytes);
    desktop::ScriptedNotifier notifier("Solvane");
    CSetSoundDlg dialog(notifier);
    dialog.setAudioProbe([] { return false; });
    dialog.pathEdit()->setText(path);
    dialog.playButton()->click();
    QCOMPARE(notifier.shown().size(), size_t{1});
    QCOMPARE(QString::fromStdString(notifier.shown()[0].text), message);
    QCOMPARE(notifier.shown()[0].title, std::string("Error Message"));
    QCOMPARE(dialog.playButton()->text(), QString("Test Play"));
    QVERIFY(!dialog.isPlaying());
  }

  void withoutAudioPlayTogglesSilentlyAndSaysSoOnce() {
    testsupport::TempFolder folder;
    desktop::ScriptedNotifier notifier("Solvane");
    CSetSoundDlg dialog(notifier);
    QStringList notes;
    dialog.setAudioProbe([] { return false; });
    dialog.setSilenceReporter([&notes](const QString& note) { notes << note; });
    dialog.pathEdit()->setText(writeFile(folder, "good.wav", goodWav()));
    dialog.playButton()->click();
    QCOMPARE(dialog.playButton()->text(), QString("Stop Play"));
    dialog.playButton()->click();
    QCOMPARE(dialog.playButton()->text(), QString("Test Play"));
    dialog.playButton()->click();
    QCOMPARE(notes, QStringList{CSetSoundDlg::kSilenceNote});
    QVERIFY(notifier.shown().empty());
  }

  void closingStopsThePlay() {
    testsupport::TempFolder folder;
    desktop::ScriptedNotifier notifier("Solvane");
    CSetSoundDlg dialog(notifier);
    dialog.setAudioProbe([] { return false; });
    dialog.pathEdit()->setText(writeFile(folder, "good.wav", goodWav()));
    dialog.playButton()->click();
    QVERIFY(dialog.isPlaying());
    dialog.reject();
    QVERIFY(!dialog.isPlaying());
  }

  void settingsRoundTrip() {
    AlarmSettings settings;
    settings.playPath = "/srv/sounds/siren.wav";
    settings.playLoop = true;
    settings.thresholdMs = 1234;
    desktop::ScriptedNotifier notifier("Solvane");
    CSetSoundDlg dialog(notifier);
    dialog.load(settings);
    AlarmSettings stored = settings;
    stored.playPath.clear();
    stored.playLoop = false;
    dialog.store(stored);
    QCOMPARE(stored, settings);
  }

  void everyControlCarriesAnAccessibleName() {
    desktop::ScriptedNotifier notifier("Solvane");
    CSetSoundDlg dialog(notifier);
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
      if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLineEdit*>(w)) continue;
      QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->metaObject()->className()));
    }
  }
};

QTEST_MAIN(SetSoundDlgTest)
#include "set_sound_dlg_test.moc"
