// What the window tests share: a simulated camera on a loopback address of its own (the
// camera port is fixed, so each test process takes another address), and a window whose
// messages, settings and program folder belong to the test.
#pragma once

#include <QCoreApplication>
#include <QTest>

#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/core/connection_rules.h"
#include "app/ui/vyn_cam_user_control_dlg.h"
#include "desktop/notifier.h"
#include "desktop/settings_store.h"
#include "simulator.h"
#include "testing/temp_folder.h"

namespace tessor_test {

// 127.x.y.1 with x, y from the process id: tests running side by side never share the
// camera's fixed port on one address.
inline std::string loopbackAddressForThisProcess(int salt = 0) {
  const unsigned id = static_cast<unsigned>(::getpid()) + static_cast<unsigned>(salt) * 7919u;
  return "127." + std::to_string(20 + id % 200) + "." + std::to_string((id / 200) % 250) + "." +
         std::to_string(1 + salt % 250);
}

inline std::unique_ptr<irsim::Simulator> startCamera(const std::string& address, const char* model,
                                                     int version,
                                                     std::vector<irsim::Fault> faults = {}) {
  irsim::Options options;
  options.bindAddress = address;
  options.port = irsim::kDefaultPort;
  if (!irsim::parseModel(model, options.camera, nullptr)) return nullptr;
  options.camera.version = static_cast<uint8_t>(version);
  options.faults = std::move(faults);
  options.notice = [](const std::string&) {};
  options.scene.motionPeriod = 0;
  auto sim = std::make_unique<irsim::Simulator>(options);
  std::string error;
  if (!sim->start(&error)) {
    qWarning("camera did not start: %s", error.c_str());
    return nullptr;
  }
  return sim;
}

struct WindowUnderTest {
  testsupport::TempFolder folder;
  desktop::ScriptedNotifier notifier{"Tessor", desktop::Answer::Yes};
  std::unique_ptr<desktop::SettingsStore> settings;
  std::unique_ptr<CVynCamUserControlDlg> window;

  WindowUnderTest() {
    std::ofstream(folder.file("company.txt")) << "0 Irdex http://localhost/\n";
    settings = std::make_unique<desktop::SettingsStore>(folder.iniFile());
    CVynCamUserControlDlg::Setup setup;
    setup.notifier = &notifier;
    setup.settings = settings.get();
    setup.programFolder = folder.path();
    window = std::make_unique<CVynCamUserControlDlg>(setup);
  }

  tessor::LinkState link() { return window->core().state().link; }

  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& message : notifier.shown()) out.push_back(message.text);
    return out;
  }
};

// Generous bound for anything the camera answers.
inline constexpr int kEventBoundMs = 15000;

}  // namespace tessor_test
