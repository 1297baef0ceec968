#include "discovery/core/dns_sd_library.h"

#include <dlfcn.h>

#include <cstdlib>

namespace discovery {
namespace {

constexpr std::array<const char*, DnsSdLibrary::kEntryCount> kEntryNames = {
    "DNSServiceCreateConnection", "DNSServiceBrowse",        "DNSServiceResolve",
    "DNSServiceRefSockFD",        "DNSServiceProcessResult", "DNSServiceRefDeallocate",
};

using CreateConnectionFn = DNSServiceErrorType (*)(DNSServiceRef*);
using BrowseFn = DNSServiceErrorType (*)(DNSServiceRef*, DNSServiceFlags, std::uint32_t,
                                         const char*, const char*, DNSServiceBrowseReply, void*);
using ResolveFn = DNSServiceErrorType (*)(DNSServiceRef*, DNSServiceFlags, std::uint32_t,
                                          const char*, const char*, const char*,
                                          DNSServiceResolveReply, void*);
using RefSockFDFn = int (*)(DNSServiceRef);
using ProcessResultFn = DNSServiceErrorType (*)(DNSServiceRef);
using RefDeallocateFn = void (*)(DNSServiceRef);

template <typename Fn>
Fn as(void* symbol) {
  return reinterpret_cast<Fn>(symbol);
}

}  // namespace

DnsSdLibrary::DnsSdLibrary(const std::string& fileName) : fileName_(fileName) {
  if (!fileName_.empty()) handle_ = dlopen(fileName_.c_str(), RTLD_NOW | RTLD_LOCAL);
}

DnsSdLibrary::~DnsSdLibrary() {
  if (handle_ != nullptr) dlclose(handle_);
}

void* DnsSdLibrary::entry(Entry which) {
  std::lock_guard lock(cacheMutex_);
  if (!looked_[which]) {
    looked_[which] = true;
    cache_[which] = handle_ != nullptr ? dlsym(handle_, kEntryNames[which]) : nullptr;
  }
  return cache_[which];
}

DNSServiceErrorType DnsSdLibrary::createConnection(DNSServiceRef* sdRef) {
  auto fn = as<CreateConnectionFn>(entry(kCreateConnection));
  return fn != nullptr ? fn(sdRef) : kDNSServiceErr_Unknown;
}

DNSServiceErrorType DnsSdLibrary::browse(DNSServiceRef* sdRef, DNSServiceFlags flags,
                                         std::uint32_t interfaceIndex, const char* regtype,
                                         const char* domain, DNSServiceBrowseReply callBack,
                                         void* context) {
  auto fn = as<BrowseFn>(entry(kBrowse));
  return fn != nullptr ? fn(sdRef, flags, interfaceIndex, regtype, domain, callBack, context)
                       : kDNSServiceErr_Unknown;
}

DNSServiceErrorType DnsSdLibrary::resolve(DNSServiceRef* sdRef, DNSServiceFlags flags,
                                          std::uint32_t interfaceIndex, const char* name,
                                          const char* regtype, const char* domain,
                                          DNSServiceResolveReply callBack, void* context) {
  auto fn = as<ResolveFn>(entry(kResolve));
  return fn != nullptr ? fn(sdRef, flags, interfaceIndex, name, regtype, domain, callBack, context)
                       : kDNSServiceErr_Unknown;
}

int DnsSdLibrary::refSockFD(DNSServiceRef sdRef) {
  auto fn = as<RefSockFDFn>(entry(kRefSockFD));
  return fn != nullptr ? fn(sdRef) : -1;
}

DNSServiceErrorType DnsSdLibrary::processResult(DNSServiceRef sdRef) {
  auto fn = as<ProcessResultFn>(entry(kProcessResult));
  return fn != nullptr ? fn(sdRef) : kDNSServiceErr_Unknown;
}

void DnsSdLibrary::refDeallocate(DNSServiceRef sdRef) {
  auto fn = as<RefDeallocateFn>(entry(kRefDeallocate));
  if (fn != nullptr) fn(sdRef);
}

DnsSdLibrary& processDnsSdLibrary() {
  static DnsSdLibrary library([] {
    const char* chosen = std::getenv(kDnsSdLibraryVariable);
    return std::string(chosen != nullptr && *chosen != '\0' ? chosen : kDefaultDnsSdLibrary);
  }());
  return library;
}

}  // namespace discovery
