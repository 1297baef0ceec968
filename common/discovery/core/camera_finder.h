// The camera finder without its window: DNS-SD browse and resolve for the cameras' service
// type, the camera list, the stored names and the selection. The dialogs of both programs
// are thin views over it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "discovery/core/camera_list.h"
#include "discovery/core/dns_sd_api.h"
#include "discovery/core/finder_ports.h"
#include "discovery/core/names_file.h"

namespace discovery {

inline constexpr const char* kCameraServiceType = "_vyn-cam._tcp";
inline constexpr const char* kNoCameraSelectedText =
    "Please must be selected a camera on the list!";
inline constexpr const char* kWarningTitle = "Warning";

struct FinderResult {
  std::string ip;
  std::string name;  // the "Name" text of the selected row
};

class CameraFinder {
 public:
  CameraFinder(DnsSdApi& api, SocketWatcher& watcher, MessageNotifier& notifier,
               std::filesystem::path namesFile);
  ~CameraFinder();
  CameraFinder(const CameraFinder&) = delete;
  CameraFinder& operator=(const CameraFinder&) = delete;

  // Where damaged input that was mended or skipped is reported (stderr unless set).
  void setLog(std::function<void(const std::string&)> log) { log_ = std::move(log); }

  // Dialog initialisation: read the stored names, then start discovery.
  void open();
  // "Refresh camera list": an empty list and a new DNS-SD session.
  void refresh();
  // "Select" or a double-click. Discovery stops either way; true when a row was selected
  // and the result is set (the dialog then closes with OK).
  bool select(std::optional<std::size_t> selectedRow);
  // The window goes away: the list is written to the names file and discovery stops.
  void close();

  // A watched DNS-SD socket has something to read.
  void socketReadable(int fd);

  bool discovering() const { return connection_ != nullptr || !ownSockets_.empty(); }
  CameraList& list() { return list_; }
  const CameraList& list() const { return list_; }
  const std::vector<NameRecord>& storedNames() const { return storedNames_; }
  const FinderResult& result() const { return result_; }
  const std::filesystem::path& namesFile() const { return namesFile_; }

 private:
  // A reference with its own socket: used when the client library cannot share one
  // connection between operations (Avahi's compatibility library cannot).
  struct OwnSocket {
    DNSServiceRef ref;
    int fd;
  };

  static void browseReply(DNSServiceRef sdRef, DNSServiceFlags flags, std::uint32_t interfaceIndex,
                          DNSServiceErrorType errorCode, const char* serviceName,
                          const char* regtype, const char* replyDomain, void* context);
  static void resolveReply(DNSServiceRef sdRef, DNSServiceFlags flags, std::uint32_t interfaceIndex,
                           DNSServiceErrorType errorCode, const char* fullname,
                           const char* hosttarget, std::uint16_t port, std::uint16_t txtLen,
                           const unsigned char* txtRecord, void* context);
  void onBrowse(DNSServiceFlags flags, std::uint32_t interfaceIndex, DNSServiceErrorType errorCode,
                const char* serviceName, const char* regtype, const char* replyDomain);
  void onResolve(DNSServiceRef sdRef, DNSServiceErrorType errorCode, const char* fullname,
                 std::uint16_t txtLen, const unsigned char* txtRecord);

  void startBrowsing();
  void stop();
  bool watchOwnSocket(DNSServiceRef ref);
  void releaseOwnSocket(DNSServiceRef ref);
  void releaseFinished();
  void deliverMessages();
  void report(const std::string& text);

  DnsSdApi& api_;
  SocketWatcher& watcher_;
  MessageNotifier& notifier_;
  std::filesystem::path namesFile_;
  std::function<void(const std::string&)> log_;

  CameraList list_;
  std::vector<NameRecord> storedNames_;
  FinderResult result_;

  // The shared connection and the operations made on it (the operation variables are
  // copies of it, as the client interface wants for shared connections).
  DNSServiceRef connection_ = nullptr;
  int connectionFd_ = -1;
  DNSServiceRef browseRef_ = nullptr;
  DNSServiceRef resolveRef_ = nullptr;
  std::vector<OwnSocket> ownSockets_;

  // Resolves answer once; their references are released when the reply handler has
  // returned, not inside it.
  std::vector<DNSServiceRef> finished_;
  // Messages raised inside a reply handler wait until the client library has returned, so
  // no modal loop runs inside it.
  std::vector<std::pair<std::string, std::string>> pendingMessages_;
};

}  // namespace discovery
