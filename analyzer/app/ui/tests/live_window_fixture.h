// The analyzer's main window, offscreen, connected to an in-process simulated camera on a free
// loopback port: what the window tests share, so each of them says only what it does
// differently (another model, faults in the camera, a slower retry, a save folder).
#pragma once

#include "acquisition/ui/live_controller.h"
#include "app/notifier.h"
#include "app/ui/solvane_session.h"

#include "next_dialog.h"
#include "simulator.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace solvane::live_window {

// Generous: the machine running the suite may be busy with other builds.
constexpr int kLiveBoundMs = 30000;

// A quiet camera of `model` whose discs stay put, so a test can aim at them.
inline irsim::Options cameraOptions(const char* model = "vi640") {
  irsim::Options options;
  options.port = 0;  // a free loopback port of this process's own
  options.camera = irsim::CameraConfig{};
  irsim::parseModel(model, options.camera, nullptr);
  options.notice = [](const std::string&) {};
  options.scene.motionPeriod = 0;
  return options;
}

using window_test::onNextDialog;

// A session whose program folder, settings and pictures all live in `folder`, and which never
// opens a browser.
inline SessionOptions sessionOptions(const QTemporaryDir& folder) {
  SessionOptions options;
  options.programFolder = folder.path().toStdString();
  options.settingsFile = folder.filePath("settings.ini");
  options.picturesFolder = folder.filePath("Pictures").toStdString();
  options.openUrl = [](const QUrl&) { return true; };
  return options;
}

// What the tests vary in the window around the camera.
struct LiveWindowSetup {
  std::chrono::milliseconds retryDelay{100};
  // The settings' save folder becomes "out" in the test's folder, made ready to write.
  bool saveFolder = false;
};

// Mixed into a QObject test class; its init() calls reset() and its cleanup() calls stop().
// The members stay plain and protected so the test bodies reach them as their own.
class LiveWindowFixture {
 protected:
  std::unique_ptr<QTemporaryDir> folder_;
  ScriptedNotifier notifier_;
  std::unique_ptr<irsim::Simulator> sim_;
  std::unique_ptr<SolvaneSession> session_;
  LiveController* live_ = nullptr;  // owned by the session's frame

  void reset() {
    folder_ = std::make_unique<QTemporaryDir>();
    notifier_.clear();
  }

  void stop() {
    closeWindow();
    if (sim_) sim_->stop();
    sim_.reset();
  }

  void startSimulator(irsim::Options options) {
    sim_ = std::make_unique<irsim::Simulator>(std::move(options));
    std::string error;
    QVERIFY2(sim_->start(&error), error.c_str());
  }

  // The window with its live controller aimed at the running camera, not yet connected.
  void openSession(const LiveWindowSetup& setup = {}) {
    QVERIFY(sim_);
    session_ = std::make_unique<SolvaneSession>(sessionOptions(*folder_), notifier_);
    LiveOptions liveOptions;
    liveOptions.retryDelay = setup.retryDelay;
    liveOptions.port = std::to_string(sim_->port());
    liveOptions.namesFile = folder_->filePath("cam_name.cnm").toStdString();
    live_ = new LiveController(session_->mainFrame(), session_->document(), notifier_, liveOptions);
    session_->showMainWindow(false);
    AnalyzerSettings& settings = session_->document().settings();
    settings.camIp = "127.0.0.1";
    if (setup.saveFolder) {
      settings.savePath = folder_->filePath("out").toStdString();
      QVERIFY(QDir().mkpath(folder_->filePath("out")));
    }
  }

  // Ends the window but keeps the camera, so a test can open another window on it.
  void closeWindow() {
    if (live_) live_->disconnectCamera();
    session_.reset();
    live_ = nullptr;
  }

  void openWindow(irsim::Options options, const LiveWindowSetup& setup = {}) {
    startSimulator(std::move(options));
    if (QTest::currentTestFailed()) return;
    openSession(setup);
  }

  void openWindow(const char* model = "vi640", const LiveWindowSetup& setup = {}) {
    openWindow(cameraOptions(model), setup);
  }

  void connectCamera() { QVERIFY(live_ && live_->connectCamera()); }

  void goLive() {
    connectCamera();
    if (QTest::currentTestFailed()) return;
    QTRY_VERIFY_WITH_TIMEOUT(live_->isLive(), kLiveBoundMs);
  }

  // The window streaming from the camera.
  void start(irsim::Options options, const LiveWindowSetup& setup = {}) {
    openWindow(std::move(options), setup);
    if (QTest::currentTestFailed()) return;
    goLive();
  }

  void start(const char* model = "vi640", const LiveWindowSetup& setup = {}) {
    start(cameraOptions(model), setup);
  }

  // Waits until the pipeline has run `frames` more passes.
  void waitFrames(uint64_t frames) {
    const uint64_t until = live_->pipeline().frameCount() + frames;
    QTRY_VERIFY_WITH_TIMEOUT(live_->pipeline().frameCount() >= until, kLiveBoundMs);
  }
};

}  // namespace solvane::live_window
