// Playing files in the window, offscreen: a stream file made by the library's own writer is
// played, paused, stepped and scrubbed through the Play Control pane; snapshots open as still
// frames; files the analyzer cannot read are refused with their messages.
#include "acquisition/ui/live_controller.h"
#include "app/commands.h"
#include "app/status_panes.h"
#include "app/ui/solvane_session.h"
#include "app/ui/tests/live_window_fixture.h"
#include "export/ui/export_controller.h"
#include "record/ui/playback_controller.h"
#include "snapshot/snapshot.h"

#include <irdex.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace solvane;

namespace {

constexpr int kBoundMs = 30000;
constexpr int kFrames = 10;
constexpr uint16_t kWidth = 320;
constexpr uint16_t kHeight = 240;

// A KT stream file of kFrames frames; frame k is a left-to-right ramp raised by k.
bool writeStream(const std::string& path) {
  IRHeader header{};
  header.version = 17;
  header.width = kWidth;
  header.height = kHeight;
  header.emissivity = 0.95f;
  header.atmosphericTemp = 20.0f;
  header.transmission = 1.0f;
  IRHeaderExt ext{};
  ext.camHeader[IRDEX_HEADER_VERSION] = 20;
  ext.camHeader[IRDEX_HEADER_MODEL] = 1;
  IRStreamHandle stream = nullptr;
  if (SaveIRHeader(&stream, path.c_str(), &header, &ext) != SDK_SUCCESS) return false;
  uint32_t counter = 0;
  std::vector<uint16_t> pixels(size_t{kWidth} * kHeight);
  bool ok = true;
  for (int k = 0; k < kFrames; ++k) {
    for (size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = static_cast<uint16_t>(6000 + (i % kWidth) * 20 + k * 50);
    ok = ok && SetIRImageToStream_v2(stream, pixels.data(), kWidth * kHeight, 3333, &counter, 17) ==
                   SDK_SUCCESS;
  }
  return CloseIRStream(stream) == SDK_SUCCESS && ok;
}

struct Refusal {
  const char* name;
  const char* file;
  QByteArray content;
  const char* message;
};

}  // namespace

class PlaybackWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> folder_;
  ScriptedNotifier notifier_;
  std::unique_ptr<SolvaneSession> session_;
  LiveController* live_ = nullptr;

  void startWindow() {
    session_ = std::make_unique<SolvaneSession>(live_window::sessionOptions(*folder_), notifier_);
    live_ = new LiveController(session_->mainFrame(), session_->document(), notifier_, {});
    session_->showMainWindow(false);
    session_->document().settings().savePath = folder_->path().toStdString();
  }

  PlaybackController& playback() { return live_->playback(); }
  QPushButton* button(const char* name) { return playback().pane().button(name); }
  int32_t shown() { return playback().session().engine().shownFrame(); }
  record::PlayMode mode() { return playback().session().engine().mode(); }
  bool told(const std::string& text) {
    for (const Message& message : notifier_.shown())
      if (message.text == text) return true;
    return false;
  }

  std::string openStream() {
    const std::string path = folder_->filePath("Bench_IRS_20260101120000.hxr").toStdString();
    if (!writeStream(path)) return {};
    if (!playback().open(path)) return {};
    return path;
  }

 private slots:
  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    notifier_.clear();
    startWindow();
  }

  void cleanup() {
    session_.reset();
    live_ = nullptr;
  }

  void openingAStreamShowsItsSizeTitleAndFirstFrame() {
    QVERIFY(!openStream().empty());
    CMainFrame& frame = session_->mainFrame();
    QCOMPARE(frame.statusPane(StatusPane::Model)->text(), QString("( 320 * 240 * 8b )"));
    QCOMPARE(frame.windowTitle(), QString("Solvane - Bench_IRS_20260101120000"));
    QCOMPARE(playback().pane().slider()->maximum(), kFrames - 1);
    QTRY_VERIFY_WITH_TIMEOUT(live_->pipeline().frameSize() == std::make_pair(kWidth, kHeight),
                             kBoundMs);
    QVERIFY(frame.command(Command::CloseIrFile)->isEnabled());
    QVERIFY(button("playButton")->isEnabled());
    QVERIFY(!button("pauseButton")->isEnabled());
  }

  void playPauseAndStep() {
    QVERIFY(!openStream().empty());
    button("playButton")->click();
    QVERIFY(!button("playButton")->isEnabled());
    QVERIFY(!button("stepForwardButton")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(shown() >= 2, kBoundMs);
    button("pauseButton")->click();
    QTRY_COMPARE_WITH_TIMEOUT(mode(), record::PlayMode::Paused, kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(button("stepForwardButton")->isEnabled(), kBoundMs);
    QVERIFY(!button("pauseButton")->isEnabled());
    // Frames already read may still land; the step counts from where playback came to rest.
    const auto settled = [this] {
      const int32_t seen = shown();
      QTest::qWait(200);
      return shown() == seen;
    };
    QTRY_VERIFY_WITH_TIMEOUT(settled(), kBoundMs);
    const int32_t before = shown();
    const int32_t expected = before + 1 < kFrames ? before + 1 : 0;
    button("stepForwardButton")->click();
    QTRY_COMPARE_WITH_TIMEOUT(shown(), expected, kBoundMs);
    QTRY_COMPARE_WITH_TIMEOUT(playback().pane().frameNumber()->text(), QString::number(expected),
                              kBoundMs);
  }

  void scrubbingWhilePausedShowsThatFrame() {
    QVERIFY(!openStream().empty());
    playback().session().pause();
    const uint64_t composed = live_->pipeline().frameCount();
    playback().pane().slider()->setValue(6);
    QTRY_COMPARE_WITH_TIMEOUT(shown(), 6, kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(live_->pipeline().frameCount() > composed, kBoundMs);
    QCOMPARE(playback().pane().frameNumber()->text(), QString("6"));
  }

  void withoutLoopPlaybackPausesOnTheLastFrame() {
    QVERIFY(!openStream().empty());
    QAction* loop = session_->mainFrame().command(Command::PlayLoop);
    QVERIFY(loop->isChecked());
    loop->trigger();
    QVERIFY(!loop->isChecked());
    button("playButton")->click();
    QTRY_COMPARE_WITH_TIMEOUT(mode(), record::PlayMode::Paused, kBoundMs);
    QCOMPARE(shown(), kFrames - 1);
  }

  void closingReturnsToThePlainWindow() {
    QVERIFY(!openStream().empty());
    session_->mainFrame().command(Command::CloseIrFile)->trigger();
    QCOMPARE(session_->mainFrame().windowTitle(), QString("Solvane"));
    QVERIFY(!session_->mainFrame().command(Command::CloseIrFile)->isEnabled());
    QVERIFY(!button("playButton")->isEnabled());
    QVERIFY(!playback().session().streamOpen());
  }

  void snapshotOpensAsAStillFrameAndIsSavedOver() {
    snapshot::IrData ir;
    ir.info[0] = kWidth & 0xFF;
    ir.info[1] = kWidth >> 8;
    ir.info[2] = kHeight & 0xFF;
    ir.info[18] = 950 & 0xFF;  // emissivity x 1000
    ir.info[19] = 950 >> 8;
    ir.camHeader[IRDEX_HEADER_VERSION] = 20;
    ir.camHeader[IRDEX_HEADER_MODEL] = 1;
    ir.pixels.resize(size_t{kWidth} * kHeight);
    for (size_t i = 0; i < ir.pixels.size(); ++i) ir.pixels[i] = 7000 + (i % 97);
    std::vector<uint8_t> grey(size_t{kWidth} * kHeight, 128);
    const snapshot::Picture picture{kWidth, kHeight, kWidth, snapshot::PixelFormat::Gray, grey};
    const std::string path = folder_->filePath("Bench_IR_20260101120000.jpg").toStdString();
    QVERIFY(snapshot::writeSnapshotFile(path, picture, &ir).ok());

    QVERIFY(playback().open(path));
    QVERIFY(playback().session().stillImage());
    QTRY_VERIFY_WITH_TIMEOUT(live_->pipeline().frameSize() == std::make_pair(kWidth, kHeight),
                             kBoundMs);
    const auto saved = live_->exports().saveOneShot();
    QVERIFY(saved.has_value());
    QCOMPARE(*saved, path);
    const snapshot::ReadResult again = snapshot::readSnapshotFile(path);
    QVERIFY(again.ok());
    QVERIFY(std::equal(ir.pixels.begin(), ir.pixels.end(), again.data.pixels.begin()));
    QCOMPARE(playback().recentFiles().front(), QString::fromStdString(path));
  }

  void unreadableFilesAreRefused_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    for (const Refusal& r :
         {Refusal{"capitalExtension", "shot.JPG", QByteArray("\xFF\xD8", 2),
                  "Failed to load IR file!!"},
          Refusal{"otherExtension", "shot.png", QByteArray("x"), "Failed to load IR file!!"},
          Refusal{"jpegWithoutIrData", "plain.jpg",
                  QByteArray("\xFF\xD8\xFF\xE0\x00\x04\x00\x00\xFF\xE1\x00\x22KX", 14) +
                      QByteArray(30, '\0'),
                  "No IR data!"}})
      QTest::newRow(r.name) << QString(r.file) << r.content << QString(r.message);
  }
  void unreadableFilesAreRefused() {
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QFile out(folder_->filePath(file));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(content);
    out.close();
    QVERIFY(!playback().open(out.fileName().toStdString()));
    QVERIFY(told(message.toStdString()));
    QCOMPARE(session_->mainFrame().windowTitle(), QString("Solvane"));
  }

  void recentFilesKeepTheNewestFour_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("intoEmpty") << QStringList{} << "a" << QStringList{"a"};
    QTest::newRow("againMovesToTop")
        << QStringList{"a", "b", "c"} << "c" << QStringList{"c", "a", "b"};
    QTest::newRow("fifthDropsOldest")
        << QStringList{"a", "b", "c", "d"} << "e" << QStringList{"e", "a", "b", "c"};
  }
  void recentFilesKeepTheNewestFour() {
    QFETCH(QStringList, before);
    QFETCH(QString, added);
    QFETCH(QStringList, after);
    QCOMPARE(withRecentFile(before, added), after);
  }
};

QTEST_MAIN(PlaybackWindowTest)
#include "playback_window_test.moc"
