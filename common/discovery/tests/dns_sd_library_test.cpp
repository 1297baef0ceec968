#include "discovery/core/dns_sd_library.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "fake_dns_sd_client.h"

namespace discovery {
namespace {

void expectMissingAnswers(DnsSdLibrary& library) {
  DNSServiceRef ref = nullptr;
  EXPECT_EQ(library.createConnection(&ref), kDNSServiceErr_Unknown);
  EXPECT_EQ(library.browse(&ref, 0, 0, "_vyn-cam._tcp", nullptr, nullptr, nullptr),
            kDNSServiceErr_Unknown);
  EXPECT_EQ(library.resolve(&ref, 0, 0, "x", "_vyn-cam._tcp", nullptr, nullptr, nullptr),
            kDNSServiceErr_Unknown);
  EXPECT_EQ(library.refSockFD(ref), -1);
  EXPECT_EQ(library.processResult(ref), kDNSServiceErr_Unknown);
  library.refDeallocate(ref);
  EXPECT_EQ(ref, nullptr);
}

TEST(DnsSdLibrary, MissingLibraryAnswersUnknown) {
  DnsSdLibrary library("libno_such_dns_sd_library.so.9");
  EXPECT_FALSE(library.loaded());
  expectMissingAnswers(library);
}

TEST(DnsSdLibrary, LibraryWithoutTheEntryPointsAnswersUnknown) {
  DnsSdLibrary library("libm.so.6");
  ASSERT_TRUE(library.loaded());
  expectMissingAnswers(library);
}

TEST(DnsSdLibrary, CallsTheLoadedLibraryAndCachesItsEntryPoints) {
  testing::FakeDnsSd fake;
  DnsSdLibrary library(FAKE_DNSSD_PATH);
  ASSERT_TRUE(library.loaded());
  void* first = library.entry(DnsSdLibrary::kCreateConnection);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(library.entry(DnsSdLibrary::kCreateConnection), first);

  DNSServiceRef connection = nullptr;
  ASSERT_EQ(library.createConnection(&connection), kDNSServiceErr_NoError);
  EXPECT_GE(library.refSockFD(connection), 0);
  EXPECT_EQ(fake.liveRefs(), 1);
  library.refDeallocate(connection);
  EXPECT_EQ(fake.liveRefs(), 0);
  EXPECT_EQ(fake.calls(0), 1);
  EXPECT_EQ(fake.calls(5), 1);
}

TEST(DnsSdLibrary, ProcessBindingHonoursTheOverride) {
  ASSERT_EQ(setenv(kDnsSdLibraryVariable, FAKE_DNSSD_PATH, 1), 0);
  DnsSdLibrary& library = processDnsSdLibrary();
  EXPECT_EQ(library.fileName(), FAKE_DNSSD_PATH);
  EXPECT_TRUE(library.loaded());
  EXPECT_EQ(&processDnsSdLibrary(), &library);
}

}  // namespace
}  // namespace discovery
