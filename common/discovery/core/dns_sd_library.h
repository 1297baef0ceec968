// The DNS-SD client library bound at run time: the programs must start, and simply find no
// cameras, on a machine without it.
#pragma once

#include <array>
#include <mutex>
#include <string>

#include "discovery/core/dns_sd_api.h"

namespace discovery {

// Avahi's Bonjour-compatible client library.
inline constexpr const char* kDefaultDnsSdLibrary = "libdns_sd.so.1";
// Names another library (a path or a soname) for the process-wide binding; tests use it.
inline constexpr const char* kDnsSdLibraryVariable = "IRDEX_DNSSD_LIBRARY";

class DnsSdLibrary final : public DnsSdApi {
 public:
  // Loads the library by name; failure is remembered, not thrown.
  explicit DnsSdLibrary(const std::string& fileName);
  ~DnsSdLibrary() override;
  DnsSdLibrary(const DnsSdLibrary&) = delete;
  DnsSdLibrary& operator=(const DnsSdLibrary&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  const std::string& fileName() const { return fileName_; }

  DNSServiceErrorType createConnection(DNSServiceRef* sdRef) override;
  DNSServiceErrorType browse(DNSServiceRef* sdRef, DNSServiceFlags flags,
                             std::uint32_t interfaceIndex, const char* regtype, const char* domain,
                             DNSServiceBrowseReply callBack, void* context) override;
  DNSServiceErrorType resolve(DNSServiceRef* sdRef, DNSServiceFlags flags,
                              std::uint32_t interfaceIndex, const char* name, const char* regtype,
                              const char* domain, DNSServiceResolveReply callBack,
                              void* context) override;
  int refSockFD(DNSServiceRef sdRef) override;
  DNSServiceErrorType processResult(DNSServiceRef sdRef) override;
  void refDeallocate(DNSServiceRef sdRef) override;

  enum Entry {
    kCreateConnection,
    kBrowse,
    kResolve,
    kRefSockFD,
    kProcessResult,
    kRefDeallocate,
    kEntryCount
  };
  // Null when the library or the entry point is missing. Looked up once, on first use.
  void* entry(Entry which);

 private:
  std::string fileName_;
  void* handle_ = nullptr;
  std::mutex cacheMutex_;  // guards cache_ and looked_
  std::array<void*, kEntryCount> cache_{};
  std::array<bool, kEntryCount> looked_{};
};

// The binding both programs share: loaded on first call (the name comes from
// IRDEX_DNSSD_LIBRARY when set, else the default), released when the program exits.
DnsSdLibrary& processDnsSdLibrary();

}  // namespace discovery
