// The tests' handle on the stand-in DNS-SD library: the same loaded copy the finder binds,
// so scripted services reach the finder's reply handlers.
#pragma once

#include <dlfcn.h>

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "fake_dns_sd_control.h"

namespace discovery::testing {

// A TXT record made of these strings, each behind its length byte.
inline std::vector<std::uint8_t> txtRecord(std::initializer_list<std::string> strings) {
  std::vector<std::uint8_t> bytes;
  for (const std::string& text : strings) {
    bytes.push_back(static_cast<std::uint8_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
  }
  return bytes;
}

class FakeDnsSd {
 public:
  FakeDnsSd() : handle_(dlopen(FAKE_DNSSD_PATH, RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr) throw std::runtime_error(dlerror());
    reset_ = symbol<decltype(&fake_dnssd_reset)>("fake_dnssd_reset");
    add_ = symbol<decltype(&fake_dnssd_add_service)>("fake_dnssd_add_service");
    remove_ = symbol<decltype(&fake_dnssd_remove_service)>("fake_dnssd_remove_service");
    shared_ =
        symbol<decltype(&fake_dnssd_set_shared_connections)>("fake_dnssd_set_shared_connections");
    sockFdFails_ = symbol<decltype(&fake_dnssd_set_sockfd_fails)>("fake_dnssd_set_sockfd_fails");
    errors_ = symbol<decltype(&fake_dnssd_set_errors)>("fake_dnssd_set_errors");
    answerTwice_ = symbol<decltype(&fake_dnssd_set_answer_twice)>("fake_dnssd_set_answer_twice");
    badDeallocations_ =
        symbol<decltype(&fake_dnssd_bad_deallocations)>("fake_dnssd_bad_deallocations");
    liveRefs_ = symbol<decltype(&fake_dnssd_live_refs)>("fake_dnssd_live_refs");
    calls_ = symbol<decltype(&fake_dnssd_calls)>("fake_dnssd_calls");
    reset_();
  }
  ~FakeDnsSd() {
    reset_();
    dlclose(handle_);
  }
  FakeDnsSd(const FakeDnsSd&) = delete;
  FakeDnsSd& operator=(const FakeDnsSd&) = delete;

  void addService(const std::string& instance, const std::vector<std::uint8_t>& txt,
                  const char* fullName = nullptr) {
    add_(instance.c_str(), txt.data(), txt.size(), fullName);
  }
  void addCamera(const std::string& instance, const std::string& model, const std::string& name,
                 const std::string& ip, const std::string& mac) {
    addService(instance, txtRecord({"model=" + model, "name=" + name, "ip=" + ip, "mac=" + mac}));
  }
  void removeService(const std::string& instance) { remove_(instance.c_str()); }
  void setSharedConnections(bool on) { shared_(on ? 1 : 0); }
  void setSockFdFails(bool on) { sockFdFails_(on ? 1 : 0); }
  void setErrors(std::int32_t browse, std::int32_t resolve, std::int32_t process) {
    errors_(browse, resolve, process);
  }
  void setAnswerTwice(bool on) { answerTwice_(on ? 1 : 0); }
  int badDeallocations() const { return badDeallocations_(); }
  int liveRefs() const { return liveRefs_(); }
  int calls(int entry) const { return calls_(entry); }

 private:
  template <typename Fn>
  Fn symbol(const char* name) {
    void* found = dlsym(handle_, name);
    if (found == nullptr) throw std::runtime_error(name);
    return reinterpret_cast<Fn>(found);
  }

  void* handle_;
  decltype(&fake_dnssd_reset) reset_;
  decltype(&fake_dnssd_add_service) add_;
  decltype(&fake_dnssd_remove_service) remove_;
  decltype(&fake_dnssd_set_shared_connections) shared_;
  decltype(&fake_dnssd_set_sockfd_fails) sockFdFails_;
  decltype(&fake_dnssd_set_errors) errors_;
  decltype(&fake_dnssd_set_answer_twice) answerTwice_;
  decltype(&fake_dnssd_bad_deallocations) badDeallocations_;
  decltype(&fake_dnssd_live_refs) liveRefs_;
  decltype(&fake_dnssd_calls) calls_;
};

}  // namespace discovery::testing
