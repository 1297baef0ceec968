#include "app/core/controller_core.h"

#include <type_traits>

#include "app/core/connection_rules.h"
#include "camera/camera_models.h"

namespace tessor {

namespace {

using camera::Page;

constexpr int kStatusClosedByCamera = -10;
constexpr int kStatusReceiveFailed = -11;
constexpr int kStatusRefused = -100;
constexpr int kStatusNoBuffer = -1000;
constexpr int kReasonUnsupported = 1;
// KT tabs "Analysis" and "Isotherm" came with header version 11.
constexpr uint8_t kFirstVersionWithAnalysis = 11;

}  // namespace

ControllerCore::ControllerCore(ConnectionPort& link, ConnectTimer& timer,
                               desktop::Notifier& notifier,
                               std::function<void(const std::string&)> rememberAddress)
    : link_(link),
      timer_(timer),
      notifier_(notifier),
      rememberAddress_(std::move(rememberAddress)) {
  pages::CommandPort& port = *this;
  for (Page page : {Page::KtVideo, Page::KtDisplay, Page::KtComm, Page::KtSystem})
    kt_.push_back(std::make_unique<pages::SettingsPageModel>(page, port, notifier));
  for (Page page :
       {Page::KsDisplay, Page::KsVideoSize, Page::KsVideo, Page::KsImage32, Page::KsImage33,
        Page::KsNuc, Page::KsNetwork, Page::KsAlarm, Page::KsCorrection, Page::KsSystem})
    ks_.push_back(std::make_unique<pages::SettingsPageModel>(page, port, notifier));
  // Until a camera speaks, the KT pages show an all-zero header; the KS pages their own
  // starting values (the Network page 192.168.0.100, 255.255.255.0, 192.168.0.1).
  const std::array<uint8_t, 512> zero{};
  for (auto& page : kt_) page->loadHeader(zero);
}

ControllerCore::~ControllerCore() = default;

pages::SettingsPageModel* ControllerCore::page(Page page) const {
  for (const auto* set : {&kt_, &ks_})
    for (const auto& model : *set)
      if (model->page() == page) return model.get();
  return nullptr;
}

bool ControllerCore::cameraIsKt() const {
  return state_.link == LinkState::Connected &&
         camera::familyOf(cameraVersion_) != camera::Family::KS;
}

bool ControllerCore::sendSetting(const camera::SettingCommand& command) {
  return link_.sendSetting(command);
}

void ControllerCore::requestHeader() { link_.sendCommand(camera::CommandIndex::RequestHeader); }

void ControllerCore::setStreaming(bool on) {
  link_.sendCommand(on ? camera::CommandIndex::StartStream : camera::CommandIndex::StopStream);
}

void ControllerCore::connectPressed(const std::string& address) {
  if (state_.link == LinkState::Connected)
    disconnect();
  else if (state_.link == LinkState::Idle)
    connect(address);
}

void ControllerCore::connect(const std::string& address) {
  if (rememberAddress_) rememberAddress_(address);
  if (!isValidCameraIp(address)) {
    notifier_.tell(text::kBadIp, text::kErrorCaption, desktop::Severity::Error);
    return;
  }
  state_.busy = true;
  timer_.start(std::chrono::milliseconds(kHeaderWaitMs));
  state_.connectEnabled = false;
  if (!link_.open(address)) {
    timer_.stop();
    link_.close();
    state_.connectIsDisconnect = false;
    state_.connectEnabled = true;
    state_.findEnabled = true;
    state_.initializeEnabled = false;
    state_.busy = false;
    notifier_.tell(text::kNoResponse, text::kErrorCaption, desktop::Severity::Error);
    return;
  }
  state_.link = LinkState::Connecting;
  firmwareVersion_.reset();  // the last camera's number must not stand for this one's
  state_.setEnabled = false;
  state_.shownSet = camera::Family::KS;
  state_.findEnabled = false;
  state_.initializeEnabled = true;
  link_.sendCommand(camera::CommandIndex::Hello);
  link_.sendCommand(camera::CommandIndex::RequestHeader);
}

void ControllerCore::connectTimerExpired() {
  timer_.stop();
  if (state_.link != LinkState::Connecting) return;
  state_.busy = false;
  link_.close();
  toIdle();
  notifier_.tell(text::kConnectionFailed, text::kNotificationCaption, desktop::Severity::Error);
}

void ControllerCore::toIdle() {
  state_.link = LinkState::Idle;
  state_.connectIsDisconnect = false;
  state_.shownSet = camera::Family::KS;
  state_.setEnabled = false;
  state_.connectEnabled = true;
  state_.findEnabled = true;
  state_.initializeEnabled = false;
}

void ControllerCore::disconnect() {
  link_.close();
  timer_.stop();
  ++state_.firstTabRequests;
  toIdle();
}

void ControllerCore::disconnectAfterError() {
  link_.close();
  // A connection that ends before its header must not also time out later.
  timer_.stop();
  toIdle();
}

void ControllerCore::initializePressed() {
  if (state_.link == LinkState::Idle) return;
  if (!notifier_.confirm(text::kInitialiseQuestion, text::kInformationCaption)) return;
  if (camera::familyOf(cameraVersion_) != camera::Family::KS) {
    // Video, Display, System, Comm: the catalogue's order.
    for (Page page : {Page::KtVideo, Page::KtDisplay, Page::KtSystem, Page::KtComm})
      this->page(page)->restoreDefaults();
    if (restoreOthers_) restoreOthers_();
  } else {
    link_.sendSetting(camera::SettingCommand{camera::SettingId::Initialise});
  }
}

void ControllerCore::onEvent(const ReceiverEvent& event) {
  std::visit(
      [this](const auto& e) {
        using E = std::decay_t<decltype(e)>;
        if constexpr (std::is_same_v<E, HeaderArrived>) {
          onHeader(e);
        } else if constexpr (std::is_same_v<E, ReceiveError>) {
          onError(e);
        } else if constexpr (std::is_same_v<E, GenerationKnown>) {
          onGeneration(e);
        } else if constexpr (std::is_same_v<E, SystemDataArrived>) {
          if (state_.link != LinkState::Idle) firmwareVersion_ = e.value;
        } else if constexpr (std::is_same_v<E, OperatedByHand>) {
          notifier_.tell(text::kOperatedByHand);
        } else if constexpr (std::is_same_v<E, ReceiverNotice>) {
          notifier_.tell(e.text, e.caption, desktop::Severity::Error);
        }
      },
      event);
}

void ControllerCore::onHeader(const HeaderArrived& header) {
  if (state_.link == LinkState::Idle) return;  // a header still on its way after a close
  if (!header.supported) {
    notifier_.tell(text::kNewerCamera, text::kNotificationCaption, desktop::Severity::Error);
    state_.busy = false;
    disconnectAfterError();
    return;
  }
  cameraVersion_ = header.header[4];
  if (header.systemData != 0) firmwareVersion_ = header.systemData;
  if (camera::familyOf(cameraVersion_) != camera::Family::KS) {
    state_.ktAnalysisTabs = cameraVersion_ >= kFirstVersionWithAnalysis;
    for (auto& page : kt_) page->loadHeader(header.header);
    state_.shownSet = camera::Family::KT;
  } else {
    for (auto& page : ks_) page->loadHeader(header.header, header.ranges);
    state_.shownSet = camera::Family::KS;
  }
  state_.setEnabled = true;
  state_.busy = false;
  timer_.stop();
  state_.connectIsDisconnect = true;
  state_.connectEnabled = true;
  state_.link = LinkState::Connected;
}

void ControllerCore::onError(const ReceiveError& error) {
  state_.busy = false;
  if (state_.link == LinkState::Idle) return;  // the end of a connection already closed
  switch (error.status) {
    case kStatusReceiveFailed:
      if (state_.link == LinkState::Connected)
        notifier_.tell(text::kDisconnected, text::kNotificationCaption, desktop::Severity::Error);
      disconnectAfterError();
      break;
    case kStatusClosedByCamera:
      notifier_.tell(text::kDisconnected, "Notification", desktop::Severity::Error);
      disconnectAfterError();
      break;
    case kStatusNoBuffer:
      notifier_.tell(text::kBufferFailed, text::kNotificationCaption, desktop::Severity::Error);
      disconnectAfterError();
      break;
    case kStatusRefused:
      if (error.reason == kReasonUnsupported) {
        notifier_.tell(text::kNotSupported, text::kNotificationCaption, desktop::Severity::Error);
        break;
      }
      disconnectAfterError();
      break;
    default: disconnectAfterError(); break;
  }
  state_.connectEnabled = true;
}

void ControllerCore::onGeneration(const GenerationKnown& generation) {
  if (state_.link == LinkState::Connected) return;
  state_.ksImagePage =
      generation.version >= camera::kFirstCalibratedKsVersion ? Page::KsImage33 : Page::KsImage32;
  if (generation.version >= camera::kFirstCalibratedKsVersion) {
    ++state_.firstTabRequests;
    state_.shownSet = camera::Family::KS;
  }
}

}  // namespace tessor
