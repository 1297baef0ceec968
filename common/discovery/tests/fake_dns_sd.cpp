// A stand-in DNS-SD client library for the tests: the six entry points the finder binds at
// run time, answering from a scripted set of camera services instead of the network. Each
// connection's socket turns readable when it has a reply queued, as the real library's does.
// Controlled through the fake_dnssd_* functions (see fake_dns_sd_control.h).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "fake_dns_sd_control.h"

namespace {

constexpr int32_t kErrNoError = 0;
constexpr int32_t kErrUnknown = -65537;
constexpr int32_t kErrNoSuchName = -65538;
constexpr int32_t kErrBadParam = -65540;
constexpr int32_t kErrUnsupported = -65544;
constexpr uint32_t kFlagsAdd = 0x2;
constexpr uint32_t kFlagsShare = 0x4000;

using BrowseReply = void (*)(void*, uint32_t, uint32_t, int32_t, const char*, const char*,
                             const char*, void*);
using ResolveReply = void (*)(void*, uint32_t, uint32_t, int32_t, const char*, const char*,
                              uint16_t, uint16_t, const unsigned char*, void*);

struct Ref {
  Ref* primary = nullptr;  // null for a connection or an operation with its own socket
  int readFd = -1;
  int writeFd = -1;
  BrowseReply browse = nullptr;
  ResolveReply resolve = nullptr;
  void* context = nullptr;
  std::string type;
  std::string domain;
  std::string instance;
};

struct Event {
  Ref* target;
  bool isBrowse;
  uint32_t flags;
  int32_t error;
  std::string instance;
};

struct Service {
  std::string fullName;  // empty: built from the instance name
  std::vector<uint8_t> txt;
};

struct State {
  bool sharedConnections = true;
  bool sockFdFails = false;
  int32_t browseError = 0;
  int32_t resolveError = 0;
  int32_t processError = 0;
  std::map<std::string, Service> services;
  std::vector<Ref*> refs;
  std::deque<Event> events;
  bool answerResolvesTwice = false;
  int badDeallocations = 0;
  int calls[6] = {};
};

State& state() {
  static State s;
  return s;
}

Ref* owner(Ref* ref) { return ref->primary != nullptr ? ref->primary : ref; }

bool live(Ref* ref) {
  auto& refs = state().refs;
  return std::find(refs.begin(), refs.end(), ref) != refs.end();
}

Ref* newRef(Ref* primary) {
  auto* ref = new Ref;
  ref->primary = primary;
  if (primary == nullptr) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
      delete ref;
      return nullptr;
    }
    ref->readFd = fds[0];
    ref->writeFd = fds[1];
  }
  state().refs.push_back(ref);
  return ref;
}

void queue(Event event) {
  const char byte = 1;
  if (write(owner(event.target)->writeFd, &byte, 1) != 1) return;
  state().events.push_back(std::move(event));
}

void freeRef(Ref* ref) {
  auto& s = state();
  s.events.erase(std::remove_if(s.events.begin(), s.events.end(),
                                [&](const Event& e) { return e.target == ref; }),
                 s.events.end());
  s.refs.erase(std::remove(s.refs.begin(), s.refs.end(), ref), s.refs.end());
  if (ref->readFd >= 0) close(ref->readFd);
  if (ref->writeFd >= 0) close(ref->writeFd);
  delete ref;
}

// An operation on a shared connection, or one with a socket of its own.
int32_t makeOperation(void** sdRef, uint32_t flags, Ref** made) {
  if ((flags & kFlagsShare) != 0) {
    if (!state().sharedConnections) return kErrUnsupported;
    auto* primary = static_cast<Ref*>(*sdRef);
    if (primary == nullptr || !live(primary) || primary->primary != nullptr) return kErrBadParam;
    *made = newRef(primary);
  } else {
    *made = newRef(nullptr);
  }
  if (*made == nullptr) return kErrUnknown;
  *sdRef = *made;
  return kErrNoError;
}

std::string escaped(const std::string& label) {
  std::string out;
  for (char c : label) {
    if (c == '.' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

void announce(const std::string& instance, uint32_t flags) {
  for (Ref* ref : state().refs)
    if (ref->browse != nullptr) queue({ref, true, flags, 0, instance});
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int32_t DNSServiceCreateConnection(void** sdRef) {
  ++state().calls[0];
  if (!state().sharedConnections) return kErrUnsupported;
  Ref* ref = newRef(nullptr);
  if (ref == nullptr) return kErrUnknown;
  *sdRef = ref;
  return kErrNoError;
}

__attribute__((visibility("default"))) int32_t DNSServiceBrowse(void** sdRef, uint32_t flags,
                                                                uint32_t, const char* regtype,
                                                                const char* domain,
                                                                BrowseReply callBack,
                                                                void* context) {
  ++state().calls[1];
  Ref* ref = nullptr;
  if (int32_t error = makeOperation(sdRef, flags, &ref); error != kErrNoError) return error;
  ref->browse = callBack;
  ref->context = context;
  ref->type = regtype != nullptr ? regtype : "";
  ref->domain = domain != nullptr ? domain : "local.";
  if (state().browseError != 0) {
    queue({ref, true, kFlagsAdd, state().browseError, ""});
    return kErrNoError;
  }
  for (const auto& [instance, service] : state().services)
    queue({ref, true, kFlagsAdd, 0, instance});
  return kErrNoError;
}

__attribute__((visibility("default"))) int32_t DNSServiceResolve(
    void** sdRef, uint32_t flags, uint32_t, const char* name, const char* regtype,
    const char* domain, ResolveReply callBack, void* context) {
  ++state().calls[2];
  Ref* ref = nullptr;
  if (int32_t error = makeOperation(sdRef, flags, &ref); error != kErrNoError) return error;
  ref->resolve = callBack;
  ref->context = context;
  ref->instance = name != nullptr ? name : "";
  ref->type = regtype != nullptr ? regtype : "";
  ref->domain = domain != nullptr ? domain : "local.";
  queue({ref, false, 0, state().resolveError, ref->instance});
  return kErrNoError;
}

__attribute__((visibility("default"))) int DNSServiceRefSockFD(void* sdRef) {
  ++state().calls[3];
  auto* ref = static_cast<Ref*>(sdRef);
  if (state().sockFdFails || ref == nullptr || !live(ref)) return -1;
  return owner(ref)->readFd;
}

__attribute__((visibility("default"))) int32_t DNSServiceProcessResult(void* sdRef) {
  ++state().calls[4];
  auto* ref = static_cast<Ref*>(sdRef);
  if (ref == nullptr || !live(ref) || ref->primary != nullptr) return kErrBadParam;
  if (state().processError != 0) return state().processError;
  char byte;
  if (read(ref->readFd, &byte, 1) != 1) return kErrNoError;
  auto& events = state().events;
  auto found = std::find_if(events.begin(), events.end(),
                            [&](const Event& e) { return owner(e.target) == ref; });
  if (found == events.end()) return kErrNoError;
  const Event event = *found;
  events.erase(found);
  Ref* target = event.target;
  if (event.isBrowse) {
    target->browse(target, event.flags, 1, event.error, event.instance.c_str(),
                   target->type.c_str(), target->domain.c_str(), target->context);
    return kErrNoError;
  }
  auto service = state().services.find(event.instance);
  int32_t error = event.error;
  if (error == 0 && service == state().services.end()) error = kErrNoSuchName;
  std::string fullName;
  std::vector<uint8_t> txt;
  if (error == 0) {
    fullName = service->second.fullName.empty()
                   ? escaped(event.instance) + "." + target->type + "." + target->domain
                   : service->second.fullName;
    txt = service->second.txt;
  }
  const uint16_t port = static_cast<uint16_t>((15001 >> 8) | ((15001 & 0xFF) << 8));
  // Some libraries deliver more than one answer from a single read.
  const int answers = state().answerResolvesTwice ? 2 : 1;
  for (int i = 0; i < answers; ++i)
    target->resolve(target, 0, 1, error, fullName.c_str(), "camera.local.", port,
                    static_cast<uint16_t>(txt.size()), txt.empty() ? nullptr : txt.data(),
                    target->context);
  return kErrNoError;
}

__attribute__((visibility("default"))) void DNSServiceRefDeallocate(void* sdRef) {
  ++state().calls[5];
  auto* ref = static_cast<Ref*>(sdRef);
  if (ref == nullptr || !live(ref)) {
    // A real library would free the reference twice or touch freed memory here.
    ++state().badDeallocations;
    return;
  }
  if (ref->primary == nullptr) {
    std::vector<Ref*> subordinates;
    for (Ref* other : state().refs)
      if (other->primary == ref) subordinates.push_back(other);
    for (Ref* other : subordinates) freeRef(other);
  }
  freeRef(ref);
}

__attribute__((visibility("default"))) void fake_dnssd_reset(void) {
  auto& s = state();
  while (!s.refs.empty()) freeRef(s.refs.back());
  s = State{};
}

__attribute__((visibility("default"))) void fake_dnssd_add_service(const char* instance,
                                                                   const uint8_t* txt,
                                                                   size_t txtLength,
                                                                   const char* fullName) {
  Service service;
  service.txt.assign(txt, txt + txtLength);
  service.fullName = fullName != nullptr ? fullName : "";
  state().services[instance] = std::move(service);
  announce(instance, kFlagsAdd);
}

__attribute__((visibility("default"))) void fake_dnssd_remove_service(const char* instance) {
  state().services.erase(instance);
  announce(instance, 0);
}

__attribute__((visibility("default"))) void fake_dnssd_set_shared_connections(int on) {
  state().sharedConnections = on != 0;
}

__attribute__((visibility("default"))) void fake_dnssd_set_sockfd_fails(int on) {
  state().sockFdFails = on != 0;
}

__attribute__((visibility("default"))) void fake_dnssd_set_errors(int32_t browse, int32_t resolve,
                                                                  int32_t process) {
  state().browseError = browse;
  state().resolveError = resolve;
  state().processError = process;
}

__attribute__((visibility("default"))) void fake_dnssd_set_answer_twice(int on) {
  state().answerResolvesTwice = on != 0;
}

__attribute__((visibility("default"))) int fake_dnssd_bad_deallocations(void) {
  return state().badDeallocations;
}

__attribute__((visibility("default"))) int fake_dnssd_live_refs(void) {
  return static_cast<int>(state().refs.size());
}

__attribute__((visibility("default"))) int fake_dnssd_calls(int entry) {
  return entry >= 0 && entry < 6 ? state().calls[entry] : -1;
}

}  // extern "C"
