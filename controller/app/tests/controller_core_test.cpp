// The main window's rules without widgets or a camera: states, buttons, page sets and every
// message of a connection's life, driven by a fake link and the receiver's events.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/core/connection_rules.h"
#include "app/core/controller_core.h"

namespace {

using camera::CommandIndex;
using camera::Family;
using tessor::LinkState;

struct FakeLink : tessor::ConnectionPort {
  bool opens = true;
  int openCount = 0;
  int closeCount = 0;
  std::vector<CommandIndex> commands;
  std::vector<camera::SettingCommand> settings;
  bool open(const std::string&) override {
    ++openCount;
    return opens;
  }
  void close() override { ++closeCount; }
  void sendCommand(CommandIndex index) override { commands.push_back(index); }
  bool sendSetting(const camera::SettingCommand& command) override {
    settings.push_back(command);
    return true;
  }
};

struct FakeTimer : tessor::ConnectTimer {
  bool running = false;
  void start(std::chrono::milliseconds) override { running = true; }
  void stop() override { running = false; }
};

tessor::HeaderArrived header(uint8_t version, uint8_t model) {
  tessor::HeaderArrived arrived;
  arrived.header[4] = version;
  arrived.header[5] = model;
  arrived.supported = version < 34;
  return arrived;
}

class Controller : public ::testing::Test {
 protected:
  FakeLink link;
  FakeTimer timer;
  desktop::ScriptedNotifier notifier{"Tessor"};
  std::vector<std::string> remembered;
  tessor::ControllerCore core{link, timer, notifier,
                              [this](const std::string& ip) { remembered.push_back(ip); }};

  void connect() {
    core.connectPressed("127.0.0.1");
    ASSERT_EQ(core.state().link, LinkState::Connecting);
  }
  std::string lastText() const {
    return notifier.shown().empty() ? std::string() : notifier.shown().back().text;
  }
};

TEST_F(Controller, StartsIdleWithTheKsSetGreyed) {
  const auto& s = core.state();
  EXPECT_EQ(s.link, LinkState::Idle);
  EXPECT_EQ(s.shownSet, Family::KS);
  EXPECT_FALSE(s.setEnabled);
  EXPECT_TRUE(s.findEnabled);
  EXPECT_FALSE(s.initializeEnabled);
}

TEST_F(Controller, KsNetworkPageStartsWithTheFactoryAddresses) {
  auto* network = core.page(camera::Page::KsNetwork);
  EXPECT_EQ(network->value("ks_network.ip"), 0xC0A80064);
  EXPECT_EQ(network->value("ks_network.mask"), 0xFFFFFF00);
  EXPECT_EQ(network->value("ks_network.gateway"), 0xC0A80001);
}

TEST_F(Controller, InvalidAddressIsRefusedButRemembered) {
  core.connectPressed("1.2.3");
  EXPECT_EQ(lastText(), tessor::text::kBadIp);
  EXPECT_EQ(notifier.shown().back().title, "Error Message");
  EXPECT_EQ(link.openCount, 0);
  EXPECT_FALSE(timer.running);
  EXPECT_EQ(remembered, std::vector<std::string>{"1.2.3"});
}

TEST_F(Controller, UnansweredHostIsReported) {
  link.opens = false;
  core.connectPressed("127.0.0.1");
  EXPECT_EQ(lastText(), tessor::text::kNoResponse);
  EXPECT_EQ(core.state().link, LinkState::Idle);
  EXPECT_TRUE(core.state().connectEnabled);
  EXPECT_FALSE(timer.running);
}

TEST_F(Controller, ConnectingGreetsAndAsksForTheHeader) {
  connect();
  EXPECT_EQ(link.commands,
            (std::vector<CommandIndex>{CommandIndex::Hello, CommandIndex::RequestHeader}));
  EXPECT_TRUE(timer.running);
  EXPECT_TRUE(core.state().busy);
  EXPECT_FALSE(core.state().connectEnabled);
  EXPECT_FALSE(core.state().findEnabled);
  EXPECT_TRUE(core.state().initializeEnabled);
}

TEST_F(Controller, HeaderWaitExpiryFailsTheConnection) {
  connect();
  core.connectTimerExpired();
  EXPECT_EQ(lastText(), tessor::text::kConnectionFailed);
  EXPECT_EQ(notifier.shown().back().title, "Error Notification");
  EXPECT_EQ(core.state().link, LinkState::Idle);
  EXPECT_TRUE(core.state().findEnabled);
  EXPECT_FALSE(core.state().initializeEnabled);
  EXPECT_EQ(link.closeCount, 1);
}

struct HeaderCase {
  const char* name;
  uint8_t version;
  uint8_t model;
  Family shown;
  bool analysisTabs;
};

void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }

class ControllerHeader : public Controller, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(ControllerHeader, ConnectsAndShowsThePageSetOfTheCamera) {
  connect();
  core.onEvent(header(GetParam().version, GetParam().model));
  const auto& s = core.state();
  EXPECT_EQ(s.link, LinkState::Connected);
  EXPECT_EQ(s.shownSet, GetParam().shown);
  EXPECT_TRUE(s.setEnabled);
  EXPECT_TRUE(s.connectIsDisconnect);
  EXPECT_FALSE(s.busy);
  EXPECT_FALSE(timer.running);
  if (GetParam().shown == Family::KT) {
    EXPECT_EQ(s.ktAnalysisTabs, GetParam().analysisTabs);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cameras, ControllerHeader,
    ::testing::Values(HeaderCase{"kt_version_10_without_analysis", 10, 0, Family::KT, false},
                      HeaderCase{"kt_version_11_with_analysis", 11, 0, Family::KT, true},
                      HeaderCase{"kt_version_20", 20, 1, Family::KT, true},
                      HeaderCase{"ks_version_32", 32, 0x20, Family::KS, true},
                      HeaderCase{"ks_version_33", 33, 0x21, Family::KS, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Controller, NewerCameraIsRefused) {
  connect();
  core.onEvent(header(34, 0x21));
  EXPECT_EQ(lastText(), tessor::text::kNewerCamera);
  EXPECT_EQ(core.state().link, LinkState::Idle);
  EXPECT_FALSE(timer.running);
  EXPECT_EQ(link.closeCount, 1);
}

struct ErrorCase {
  const char* name;
  bool connected;
  int status;
  int reason;
  const char* text;  // empty: no message
  const char* caption;
  LinkState after;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class ControllerError : public Controller, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ControllerError, ReportsAndEndsTheConnectionAsTheStatusSays) {
  const ErrorCase& c = GetParam();
  connect();
  if (c.connected) core.onEvent(header(20, 1));
  notifier.clear();
  core.onEvent(tessor::ReceiveError{c.status, c.reason});
  if (*c.text) {
    ASSERT_EQ(notifier.shown().size(), 1u);
    EXPECT_EQ(notifier.shown()[0].text, c.text);
    EXPECT_EQ(notifier.shown()[0].title, c.caption);
  } else {
    EXPECT_TRUE(notifier.shown().empty());
  }
  EXPECT_EQ(core.state().link, c.after);
  EXPECT_TRUE(core.state().connectEnabled);
  EXPECT_FALSE(timer.running && c.after == LinkState::Idle);
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, ControllerError,
    ::testing::Values(
        ErrorCase{"receive_failed_while_connected", true, -11, 0, tessor::text::kDisconnected,
                  "Error Notification", LinkState::Idle},
        ErrorCase{"receive_failed_while_connecting", false, -11, 0, "", "", LinkState::Idle},
        ErrorCase{"unknown_ks_model", false, -10, 0, tessor::text::kDisconnected, "Notification",
                  LinkState::Idle},
        ErrorCase{"camera_closed", true, -10, 0, tessor::text::kDisconnected, "Notification",
                  LinkState::Idle},
        ErrorCase{"no_buffer", true, -1000, 0, tessor::text::kBufferFailed, "Error Notification",
                  LinkState::Idle},
        ErrorCase{"unsupported_function_keeps_the_link", true, -100, 1, tessor::text::kNotSupported,
                  "Error Notification", LinkState::Connected},
        ErrorCase{"other_refusal_disconnects", true, -100, 5, "", "", LinkState::Idle},
        ErrorCase{"foreign_bytes_disconnect", true, -12, 0, "", "", LinkState::Idle}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Controller, DisconnectReturnsToIdleOnTheFirstTabs) {
  connect();
  core.onEvent(header(20, 1));
  const int before = core.state().firstTabRequests;
  core.connectPressed("127.0.0.1");
  EXPECT_EQ(core.state().link, LinkState::Idle);
  EXPECT_EQ(core.state().shownSet, Family::KS);
  EXPECT_FALSE(core.state().connectIsDisconnect);
  EXPECT_TRUE(core.state().findEnabled);
  EXPECT_FALSE(core.state().initializeEnabled);
  EXPECT_EQ(core.state().firstTabRequests, before + 1);
}

TEST_F(Controller, GenerationChoosesTheImagePageWhileConnecting) {
  connect();
  core.onEvent(tessor::GenerationKnown{33});
  EXPECT_EQ(core.state().ksImagePage, camera::Page::KsImage33);
  core.onEvent(tessor::GenerationKnown{32});
  EXPECT_EQ(core.state().ksImagePage, camera::Page::KsImage32);
}

TEST_F(Controller, GenerationIsIgnoredWhileConnected) {
  connect();
  core.onEvent(tessor::GenerationKnown{33});
  core.onEvent(header(33, 0x21));
  core.onEvent(tessor::GenerationKnown{32});
  EXPECT_EQ(core.state().ksImagePage, camera::Page::KsImage33);
}

TEST_F(Controller, InitialisingAKsCameraSendsTheResetCommand) {
  connect();
  core.onEvent(header(33, 0x20));
  notifier.answerNext(desktop::Answer::Ok);
  core.initializePressed();
  ASSERT_EQ(link.settings.size(), 1u);
  EXPECT_EQ(link.settings[0], camera::SettingCommand{camera::SettingId::Initialise});
  EXPECT_EQ(notifier.shown().back().text, tessor::text::kInitialiseQuestion);
}

TEST_F(Controller, InitialisingAKtCameraSendsEveryPagesDefaults) {
  connect();
  core.onEvent(header(20, 1));
  notifier.answerNext(desktop::Answer::Ok);
  core.initializePressed();
  std::vector<uint16_t> ids;
  for (const auto& sent : link.settings) ids.push_back(camera::toWire(sent.id));
  EXPECT_EQ(ids, (std::vector<uint16_t>{0x0101, 0x0105, 0x0106, 0x0107, 0x0108, 0x0109, 0x010A,
                                        0x0201, 0x0202, 0x0203, 0x0204, 0x0205, 0x0206, 0x0207,
                                        0x0208, 0x0502, 0x0503, 0x0301, 0x0306, 0x0307}));
}

TEST_F(Controller, InitialisingCancelledSendsNothing) {
  connect();
  core.onEvent(header(33, 0x20));
  notifier.answerNext(desktop::Answer::Cancel);
  core.initializePressed();
  EXPECT_TRUE(link.settings.empty());
}

TEST_F(Controller, EventsAfterTheConnectionEndedAreIgnored) {
  connect();
  core.onEvent(header(20, 1));
  core.connectPressed("127.0.0.1");
  notifier.clear();
  core.onEvent(tessor::ReceiveError{-10, 0});
  core.onEvent(header(20, 1));
  EXPECT_TRUE(notifier.shown().empty());
  EXPECT_EQ(core.state().link, LinkState::Idle);
}

}  // namespace

TEST_F(Controller, FirmwareNumberComesWithTheHeaderAndIsForgottenOnReconnect) {
  connect();
  auto arrived = header(20, 0);
  arrived.systemData = 20261208;
  core.onEvent(arrived);
  EXPECT_EQ(core.firmwareVersion(), 20261208u);
  EXPECT_TRUE(core.cameraIsKt());
  core.connectPressed("127.0.0.1");  // Disconnect
  connect();
  EXPECT_FALSE(core.firmwareVersion().has_value());
  core.onEvent(tessor::SystemDataArrived{77});
  EXPECT_EQ(core.firmwareVersion(), 77u);
}

TEST_F(Controller, KsCameraIsNoKtCameraForThePalettePage) {
  connect();
  core.onEvent(header(33, 0x20));
  EXPECT_FALSE(core.cameraIsKt());
}
