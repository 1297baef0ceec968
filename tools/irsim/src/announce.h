// Announcing the camera over DNS-SD ("_vyn-cam._tcp" with the TXT keys model=, name=, ip=,
// mac=) through the DNS-SD compatibility library, loaded at run time so that the simulator
// runs where no such library or daemon exists.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace irsim {

inline constexpr const char* kServiceType = "_vyn-cam._tcp";
inline constexpr const char* kDnsSdLibrary = "libdns_sd.so.1";

struct Announcement {
  std::string instanceName;  // the service instance, usually the camera name
  std::string model;
  std::string name;
  std::string ip;
  std::string mac;
  uint16_t port = 0;
  std::string interfaceName = "lo";  // "" or "any": every interface
  std::string library = kDnsSdLibrary;
};

// The TXT record: length-prefixed strings "model=...", "name=...", "ip=...", "mac=...".
std::string buildTxtRecord(const Announcement& announcement);

class Announcer {
 public:
  Announcer() = default;
  ~Announcer();
  Announcer(const Announcer&) = delete;
  Announcer& operator=(const Announcer&) = delete;

  // Registers the service; false with a readable reason (no library, no daemon, refused).
  bool start(const Announcement& announcement, std::string* error);
  void stop();
  // True once the daemon confirmed the registration.
  bool registered() const { return registered_; }

 private:
  void pump();

  void* library_ = nullptr;
  void* service_ = nullptr;
  int fd_ = -1;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> registered_{false};
  std::thread thread_;
  void* processResult_ = nullptr;
  void* deallocate_ = nullptr;
};

}  // namespace irsim
