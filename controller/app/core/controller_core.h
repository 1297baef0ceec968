// The controller's main window without widgets: the connection's states, the buttons'
// enabling, the page sets, and every message of a connection's life. The window shows
// `state()` after each call and forwards the user's actions and the receiver's events.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/core/receiver_events.h"
#include "camera/settings_catalogue.h"
#include "desktop/notifier.h"
#include "pages/core/command_port.h"
#include "pages/core/motor_drive.h"
#include "pages/core/settings_page_model.h"

namespace tessor {

// The link to one camera: opening starts the receive thread, whose events reach the core
// through the window's thread.
class ConnectionPort {
 public:
  virtual ~ConnectionPort() = default;
  virtual bool open(const std::string& address) = 0;
  virtual void close() = 0;
  virtual void sendCommand(camera::CommandIndex index) = 0;
  virtual bool sendSetting(const camera::SettingCommand& command) = 0;
};

class ConnectTimer {
 public:
  virtual ~ConnectTimer() = default;
  virtual void start(std::chrono::milliseconds wait) = 0;
  virtual void stop() = 0;
};

enum class LinkState { Idle, Connecting, Connected };

struct WindowState {
  LinkState link = LinkState::Idle;
  bool busy = false;  // the wait cursor
  bool connectIsDisconnect = false;
  bool connectEnabled = true;
  bool findEnabled = true;
  bool initializeEnabled = false;
  camera::Family shownSet = camera::Family::KS;
  bool setEnabled = false;
  bool ktAnalysisTabs = true;  // "Analysis" and "Isotherm" shown
  camera::Page ksImagePage = camera::Page::KsImage32;
  int firstTabRequests = 0;  // grows whenever the sets go back to their first tab
};

class ControllerCore : private pages::CommandPort {
 public:
  ControllerCore(ConnectionPort& link, ConnectTimer& timer, desktop::Notifier& notifier,
                 std::function<void(const std::string&)> rememberAddress);
  ~ControllerCore() override;

  const WindowState& state() const { return state_; }
  // The KT pages in tab order (Video, Display, Comm, System), then the KS pages in tab order
  // with both "Image Adjustments" pages (version 32, then 33).
  const std::vector<std::unique_ptr<pages::SettingsPageModel>>& ktPages() const { return kt_; }
  const std::vector<std::unique_ptr<pages::SettingsPageModel>>& ksPages() const { return ks_; }
  pages::SettingsPageModel* page(camera::Page page) const;
  pages::MotorDrive& motorDrive() { return motorDrive_; }
  // The connected camera: a KT camera (its header said so), and its firmware number from
  // the system data it sends before each header; empty while unknown.
  bool cameraIsKt() const;
  std::optional<uint32_t> firmwareVersion() const { return firmwareVersion_; }
  // The hand-written pages send through the same port as the catalogue's pages.
  pages::CommandPort& commandPort() { return *this; }
  // KT "Initialized": the pages outside the catalogue restore theirs after the catalogue's.
  void setRestoreOtherPages(std::function<void()> restore) { restoreOthers_ = std::move(restore); }

  // "Connect" (or "Disconnect" while connected) with the address control's text.
  void connectPressed(const std::string& address);
  void connectTimerExpired();
  void initializePressed();
  void onEvent(const ReceiverEvent& event);

 private:
  bool sendSetting(const camera::SettingCommand& command) override;
  void requestHeader() override;
  void setStreaming(bool on) override;

  void connect(const std::string& address);
  void disconnect();
  void disconnectAfterError();
  void toIdle();
  void onHeader(const HeaderArrived& header);
  void onError(const ReceiveError& error);
  void onGeneration(const GenerationKnown& generation);

  ConnectionPort& link_;
  ConnectTimer& timer_;
  desktop::Notifier& notifier_;
  std::function<void(const std::string&)> rememberAddress_;
  std::vector<std::unique_ptr<pages::SettingsPageModel>> kt_;
  std::vector<std::unique_ptr<pages::SettingsPageModel>> ks_;
  pages::MotorDrive motorDrive_{*this};
  WindowState state_;
  uint8_t cameraVersion_ = 0;
  std::optional<uint32_t> firmwareVersion_;
  std::function<void()> restoreOthers_;
};

}  // namespace tessor
