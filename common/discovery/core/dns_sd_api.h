// The slice of the DNS-SD client interface the camera finder uses, and the seam that lets
// tests put a stand-in behind it. The types mirror the client library's C ABI, because the
// library is loaded at run time and never linked.
#pragma once

#include <cstdint>

namespace discovery {

struct DnsSdOpaqueRef;
using DNSServiceRef = DnsSdOpaqueRef*;
using DNSServiceFlags = std::uint32_t;
using DNSServiceErrorType = std::int32_t;

using DNSServiceBrowseReply = void (*)(DNSServiceRef sdRef, DNSServiceFlags flags,
                                       std::uint32_t interfaceIndex, DNSServiceErrorType errorCode,
                                       const char* serviceName, const char* regtype,
                                       const char* replyDomain, void* context);

// `port` is in network byte order; the TXT record is a run of length-prefixed strings.
using DNSServiceResolveReply = void (*)(DNSServiceRef sdRef, DNSServiceFlags flags,
                                        std::uint32_t interfaceIndex, DNSServiceErrorType errorCode,
                                        const char* fullname, const char* hosttarget,
                                        std::uint16_t port, std::uint16_t txtLen,
                                        const unsigned char* txtRecord, void* context);

inline constexpr DNSServiceErrorType kDNSServiceErr_NoError = 0;
inline constexpr DNSServiceErrorType kDNSServiceErr_Unknown = -65537;
inline constexpr DNSServiceFlags kDNSServiceFlagsAdd = 0x2;
inline constexpr DNSServiceFlags kDNSServiceFlagsShareConnection = 0x4000;

// The six calls, as the finder makes them. A missing library or entry point answers
// kDNSServiceErr_Unknown (socket: -1; deallocation: nothing), so callers need no special path.
class DnsSdApi {
 public:
  virtual ~DnsSdApi() = default;
  virtual DNSServiceErrorType createConnection(DNSServiceRef* sdRef) = 0;
  virtual DNSServiceErrorType browse(DNSServiceRef* sdRef, DNSServiceFlags flags,
                                     std::uint32_t interfaceIndex, const char* regtype,
                                     const char* domain, DNSServiceBrowseReply callBack,
                                     void* context) = 0;
  virtual DNSServiceErrorType resolve(DNSServiceRef* sdRef, DNSServiceFlags flags,
                                      std::uint32_t interfaceIndex, const char* name,
                                      const char* regtype, const char* domain,
                                      DNSServiceResolveReply callBack, void* context) = 0;
  virtual int refSockFD(DNSServiceRef sdRef) = 0;
  virtual DNSServiceErrorType processResult(DNSServiceRef sdRef) = 0;
  virtual void refDeallocate(DNSServiceRef sdRef) = 0;
};

}  // namespace discovery
