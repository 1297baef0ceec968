// The scripting side of the stand-in DNS-SD library.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {
// Forgets every service, reference and setting.
void fake_dnssd_reset(void);
// Announces (or re-announces) a camera service; `fullName` null builds the usual one.
void fake_dnssd_add_service(const char* instance, const uint8_t* txt, size_t txtLength,
                            const char* fullName);
// Announces the service's departure to every browse.
void fake_dnssd_remove_service(const char* instance);
// Off: behaves like Avahi's compatibility library, which has no shared connections.
void fake_dnssd_set_shared_connections(int on);
void fake_dnssd_set_sockfd_fails(int on);
// Error codes answered by browse, resolve and every ProcessResult call (0: none).
void fake_dnssd_set_errors(int32_t browse, int32_t resolve, int32_t process);
// Every resolve answer is delivered twice from one ProcessResult call.
void fake_dnssd_set_answer_twice(int on);
// Deallocations of references that were already released (or never made).
int fake_dnssd_bad_deallocations(void);
int fake_dnssd_live_refs(void);
// Calls made to entry point n (0 CreateConnection ... 5 RefDeallocate).
int fake_dnssd_calls(int entry);
}
