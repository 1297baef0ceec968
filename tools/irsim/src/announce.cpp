#include "announce.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <net/if.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>

namespace irsim {

namespace {

// The few DNS-SD types and entry points used, declared here so that nothing is linked.
using ServiceRef = void*;
using ErrorType = int32_t;
using RegisterReply = void (*)(ServiceRef, uint32_t flags, ErrorType error, const char* name,
                               const char* type, const char* domain, void* context);
using RegisterFn = ErrorType (*)(ServiceRef*, uint32_t flags, uint32_t interfaceIndex,
                                 const char* name, const char* type, const char* domain,
                                 const char* host, uint16_t portNetworkOrder, uint16_t txtLength,
                                 const void* txt, RegisterReply reply, void* context);
using SockFdFn = int (*)(ServiceRef);
using ProcessResultFn = ErrorType (*)(ServiceRef);
using DeallocateFn = void (*)(ServiceRef);

constexpr ErrorType kNoError = 0;

void onRegistered(ServiceRef, uint32_t, ErrorType error, const char*, const char*, const char*,
                  void* context) {
  if (error == kNoError) static_cast<std::atomic<bool>*>(context)->store(true);
}

}  // namespace

std::string buildTxtRecord(const Announcement& a) {
  std::string txt;
  for (const std::string& item :
       {"model=" + a.model, "name=" + a.name, "ip=" + a.ip, "mac=" + a.mac}) {
    const std::string cut = item.substr(0, 255);
    txt.push_back(static_cast<char>(cut.size()));
    txt += cut;
  }
  return txt;
}

Announcer::~Announcer() { stop(); }

bool Announcer::start(const Announcement& a, std::string* error) {
  auto fail = [&](const std::string& text) {
    if (error) *error = text;
    stop();
    return false;
  };
  stop();
  // Avahi's compatibility layer otherwise warns on stderr that it is being used.
  ::setenv("AVAHI_COMPAT_NOWARN", "1", 0);
  library_ = ::dlopen(a.library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library_)
    return fail("cannot announce: the DNS-SD library " + a.library + " is not available (" +
                std::string(::dlerror()) + ")");
  auto registerFn = reinterpret_cast<RegisterFn>(::dlsym(library_, "DNSServiceRegister"));
  auto sockFd = reinterpret_cast<SockFdFn>(::dlsym(library_, "DNSServiceRefSockFD"));
  processResult_ = ::dlsym(library_, "DNSServiceProcessResult");
  deallocate_ = ::dlsym(library_, "DNSServiceRefDeallocate");
  if (!registerFn || !sockFd || !processResult_ || !deallocate_)
    return fail("cannot announce: " + a.library + " lacks the DNS-SD entry points");
  uint32_t interfaceIndex = 0;
  if (!a.interfaceName.empty() && a.interfaceName != "any") {
    interfaceIndex = ::if_nametoindex(a.interfaceName.c_str());
    if (interfaceIndex == 0) return fail("cannot announce: no interface " + a.interfaceName);
  }
  const std::string txt = buildTxtRecord(a);
  ServiceRef service = nullptr;
  const ErrorType result = registerFn(
      &service, 0, interfaceIndex, a.instanceName.c_str(), kServiceType, nullptr, nullptr,
      htons(a.port), static_cast<uint16_t>(txt.size()), txt.data(), &onRegistered, &registered_);
  if (result != kNoError || !service)
    return fail("cannot announce: DNS-SD registration failed with error " + std::to_string(result) +
                " (is a DNS-SD daemon such as avahi-daemon running?)");
  service_ = service;
  fd_ = sockFd(service_);
  stopping_ = false;
  if (fd_ >= 0) thread_ = std::thread([this] { pump(); });
  return true;
}

void Announcer::pump() {
  auto process = reinterpret_cast<ProcessResultFn>(processResult_);
  while (!stopping_) {
    pollfd fd{fd_, POLLIN, 0};
    const int ready = ::poll(&fd, 1, 100);
    if (ready > 0 && (fd.revents & POLLIN)) {
      if (process(service_) != kNoError) break;
    }
    if (ready > 0 && (fd.revents & (POLLHUP | POLLERR))) break;
  }
}

void Announcer::stop() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();  // the pump polls in 100 ms slices
  if (service_ && deallocate_) reinterpret_cast<DeallocateFn>(deallocate_)(service_);
  service_ = nullptr;
  fd_ = -1;
  registered_ = false;
  if (library_) ::dlclose(library_);
  library_ = nullptr;
  processResult_ = nullptr;
  deallocate_ = nullptr;
}

}  // namespace irsim
