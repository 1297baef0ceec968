#include "discovery/core/camera_finder.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <span>

#include "discovery/core/txt_record.h"

namespace discovery {

CameraFinder::CameraFinder(DnsSdApi& api, SocketWatcher& watcher, MessageNotifier& notifier,
                           std::filesystem::path namesFile)
    : api_(api),
      watcher_(watcher),
      notifier_(notifier),
      namesFile_(std::move(namesFile)),
      log_([](const std::string& text) { std::cerr << "camera finder: " << text << '\n'; }) {}

CameraFinder::~CameraFinder() { stop(); }

void CameraFinder::report(const std::string& text) {
  if (log_) log_(text);
}

void CameraFinder::open() {
  if (auto contents = readNamesFile(namesFile_)) {
    storedNames_ = std::move(contents->records);
    if (contents->partialRecord) report("names file ends inside a record; the rest was not used");
    if (contents->recordsIgnored)
      report("names file holds more than 100 records; the rest was not used");
  }
  refresh();
}

void CameraFinder::refresh() {
  list_.clear();
  stop();
  startBrowsing();
}

void CameraFinder::startBrowsing() {
  DNSServiceRef connection = nullptr;
  if (api_.createConnection(&connection) == kDNSServiceErr_NoError) connection_ = connection;

  if (connection_ != nullptr) {
    browseRef_ = connection_;
    api_.browse(&browseRef_, kDNSServiceFlagsShareConnection, 0, kCameraServiceType, nullptr,
                &CameraFinder::browseReply, this);
    connectionFd_ = api_.refSockFD(connection_);
    if (connectionFd_ < 0 || !watcher_.watch(connectionFd_)) {
      api_.refDeallocate(connection_);
      connection_ = nullptr;
      connectionFd_ = -1;
      browseRef_ = nullptr;
    }
    return;
  }

  // Without a shared connection every operation gets a socket of its own.
  DNSServiceRef browse = nullptr;
  if (api_.browse(&browse, 0, 0, kCameraServiceType, nullptr, &CameraFinder::browseReply, this) ==
          kDNSServiceErr_NoError &&
      browse != nullptr) {
    watchOwnSocket(browse);
  }
}

bool CameraFinder::watchOwnSocket(DNSServiceRef ref) {
  const int fd = api_.refSockFD(ref);
  if (fd < 0 || !watcher_.watch(fd)) {
    api_.refDeallocate(ref);
    return false;
  }
  ownSockets_.push_back({ref, fd});
  return true;
}

void CameraFinder::releaseOwnSocket(DNSServiceRef ref) {
  auto found = std::find_if(ownSockets_.begin(), ownSockets_.end(),
                            [&](const OwnSocket& own) { return own.ref == ref; });
  if (found == ownSockets_.end()) return;
  watcher_.unwatch(found->fd);
  api_.refDeallocate(found->ref);
  ownSockets_.erase(found);
}

void CameraFinder::stop() {
  if (connection_ != nullptr) {
    watcher_.unwatch(connectionFd_);
    // Releasing the connection ends every operation made on it.
    api_.refDeallocate(connection_);
    connection_ = nullptr;
    connectionFd_ = -1;
    browseRef_ = nullptr;
    resolveRef_ = nullptr;
  }
  for (const OwnSocket& own : ownSockets_) {
    watcher_.unwatch(own.fd);
    api_.refDeallocate(own.ref);
  }
  ownSockets_.clear();
  finished_.clear();
}

bool CameraFinder::select(std::optional<std::size_t> selectedRow) {
  stop();
  if (!selectedRow || *selectedRow >= list_.size()) {
    notifier_.message(kNoCameraSelectedText, kWarningTitle);
    return false;
  }
  const CameraRow& row = list_.rows()[*selectedRow];
  result_ = {row.ip, row.name};
  return true;
}

void CameraFinder::close() {
  const auto records = list_.nameRecords();
  if (!writeNamesFile(namesFile_, records)) report("names file could not be written");
  stop();
}

void CameraFinder::socketReadable(int fd) {
  DNSServiceRef ref = nullptr;
  if (connection_ != nullptr && fd == connectionFd_) {
    ref = connection_;
  } else {
    auto found = std::find_if(ownSockets_.begin(), ownSockets_.end(),
                              [&](const OwnSocket& own) { return own.fd == fd; });
    if (found == ownSockets_.end()) return;
    ref = found->ref;
  }

  const DNSServiceErrorType result = api_.processResult(ref);
  releaseFinished();
  if (result != kDNSServiceErr_NoError) {
    // A broken socket stays readable for ever; leave it rather than spin on it.
    report("DNS-SD socket failed with error " + std::to_string(result));
    if (ref == connection_) {
      stop();
    } else {
      releaseOwnSocket(ref);
    }
  }
  deliverMessages();
}

void CameraFinder::releaseFinished() {
  for (DNSServiceRef ref : std::exchange(finished_, {})) {
    const bool own = std::any_of(ownSockets_.begin(), ownSockets_.end(),
                                 [&](const OwnSocket& o) { return o.ref == ref; });
    if (own) {
      releaseOwnSocket(ref);
    } else if (connection_ != nullptr && ref != connection_) {
      api_.refDeallocate(ref);
    }
  }
}

void CameraFinder::deliverMessages() {
  while (!pendingMessages_.empty()) {
    auto [text, title] = pendingMessages_.front();
    pendingMessages_.erase(pendingMessages_.begin());
    notifier_.message(text, title);
  }
}

void CameraFinder::browseReply(DNSServiceRef, DNSServiceFlags flags, std::uint32_t interfaceIndex,
                               DNSServiceErrorType errorCode, const char* serviceName,
                               const char* regtype, const char* replyDomain, void* context) {
  static_cast<CameraFinder*>(context)->onBrowse(flags, interfaceIndex, errorCode, serviceName,
                                                regtype, replyDomain);
}

void CameraFinder::resolveReply(DNSServiceRef sdRef, DNSServiceFlags, std::uint32_t,
                                DNSServiceErrorType errorCode, const char* fullname, const char*,
                                std::uint16_t, std::uint16_t txtLen, const unsigned char* txtRecord,
                                void* context) {
  static_cast<CameraFinder*>(context)->onResolve(sdRef, errorCode, fullname, txtLen, txtRecord);
}

void CameraFinder::onBrowse(DNSServiceFlags flags, std::uint32_t interfaceIndex,
                            DNSServiceErrorType errorCode, const char* serviceName,
                            const char* regtype, const char* replyDomain) {
  // Removals are not handled: a camera that leaves stays listed until the next refresh.
  if ((flags & kDNSServiceFlagsAdd) == 0) return;
  if (errorCode != kDNSServiceErr_NoError) {
    std::printf("Error code %d\n", static_cast<int>(errorCode));
    std::fflush(stdout);
    return;
  }
  if (serviceName == nullptr || regtype == nullptr) return;

  if (connection_ != nullptr) {
    resolveRef_ = connection_;
    api_.resolve(&resolveRef_, kDNSServiceFlagsShareConnection, interfaceIndex, serviceName,
                 regtype, replyDomain, &CameraFinder::resolveReply, this);
    return;
  }
  if (ownSockets_.empty()) return;  // discovery has stopped
  DNSServiceRef resolve = nullptr;
  if (api_.resolve(&resolve, 0, interfaceIndex, serviceName, regtype, replyDomain,
                   &CameraFinder::resolveReply, this) == kDNSServiceErr_NoError &&
      resolve != nullptr) {
    watchOwnSocket(resolve);
  }
}

void CameraFinder::onResolve(DNSServiceRef sdRef, DNSServiceErrorType errorCode,
                             const char* fullname, std::uint16_t txtLen,
                             const unsigned char* txtRecord) {
  // Each resolve ends after its first answer; a library may answer twice in one go.
  if (std::find(finished_.begin(), finished_.end(), sdRef) == finished_.end())
    finished_.push_back(sdRef);
  if (errorCode != kDNSServiceErr_NoError) {
    pendingMessages_.emplace_back("Error code " + std::to_string(errorCode), "");
    return;
  }
  if (!firstInstanceLabel(fullname != nullptr ? fullname : "")) {
    report("camera skipped: malformed instance name");
    return;
  }
  const std::span<const std::uint8_t> txt = txtRecord != nullptr
                                                ? std::span<const std::uint8_t>(txtRecord, txtLen)
                                                : std::span<const std::uint8_t>();
  const TxtParseResult parsed = parseCameraTxt(txt);
  if (parsed.malformed) {
    report("camera skipped: malformed TXT record");
    return;
  }
  if (parsed.valueCut) report("TXT value longer than 19 characters cut");
  list_.add(parsed.fields, storedNames_);
}

}  // namespace discovery
