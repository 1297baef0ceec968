#include "discovery/core/camera_finder.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <fstream>
#include <set>

#include "discovery/core/dns_sd_library.h"
#include "fake_dns_sd_client.h"

namespace discovery {
namespace {

using testing::FakeDnsSd;
using testing::txtRecord;

class PollingWatcher : public SocketWatcher {
 public:
  bool watch(int fd) override {
    if (refuse) return false;
    fds.insert(fd);
    return true;
  }
  void unwatch(int fd) override { fds.erase(fd); }

  // Services every readable socket until none is left (the stand-in answers synchronously).
  void pump(CameraFinder& finder) {
    for (int rounds = 0; rounds < 10000; ++rounds) {
      bool any = false;
      for (int fd : std::set<int>(fds)) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 0) == 1 && fds.count(fd) != 0) {
          finder.socketReadable(fd);
          any = true;
        }
      }
      if (!any) return;
    }
    ADD_FAILURE() << "sockets never went quiet";
  }

  std::set<int> fds;
  bool refuse = false;
};

class RecordingNotifier : public MessageNotifier {
 public:
  void message(const std::string& text, const std::string& title) override {
    messages.emplace_back(text, title);
  }
  std::vector<std::pair<std::string, std::string>> messages;
};

// Every case runs twice: with one shared connection (Bonjour) and with a socket per
// operation (Avahi's compatibility library, which cannot share).
class Finder : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/discovery_finder_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    fake_.setSharedConnections(GetParam());
  }
  void TearDown() override {
    finder_.reset();
    EXPECT_EQ(fake_.liveRefs(), 0) << "references leaked";
    EXPECT_EQ(fake_.badDeallocations(), 0) << "references released twice";
    std::filesystem::remove_all(dir_);
  }

  CameraFinder& open() {
    finder_ = std::make_unique<CameraFinder>(library_, watcher_, notifier_, namesPath());
    finder_->setLog([this](const std::string& text) { log_.push_back(text); });
    finder_->open();
    watcher_.pump(*finder_);
    return *finder_;
  }
  std::filesystem::path namesPath() const { return dir_ / kNamesFileName; }
  const std::vector<CameraRow>& rows() const { return finder_->list().rows(); }

  FakeDnsSd fake_;
  DnsSdLibrary library_{FAKE_DNSSD_PATH};
  PollingWatcher watcher_;
  RecordingNotifier notifier_;
  std::filesystem::path dir_;
  std::unique_ptr<CameraFinder> finder_;
  std::vector<std::string> log_;
};

TEST_P(Finder, ListsAnnouncedCameras) {
  fake_.addCamera("Cam A", "KT3", "Line 1", "127.0.0.21", "00:11:22:33:44:01");
  fake_.addCamera("Cam B", "KS4", "", "127.0.0.22", "00:11:22:33:44:02");
  auto& finder = open();
  ASSERT_EQ(rows().size(), 2u);
  EXPECT_EQ(rows()[0], (CameraRow{"Line 1", "KT3", "127.0.0.21", "00:11:22:33:44:01"}));
  EXPECT_EQ(rows()[1], (CameraRow{"VI640", "KS4", "127.0.0.22", "00:11:22:33:44:02"}));
  EXPECT_TRUE(finder.discovering());
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_P(Finder, CameraAnnouncedLaterIsAdded) {
  auto& finder = open();
  EXPECT_TRUE(rows().empty());
  fake_.addCamera("Late", "KT4", "", "127.0.0.23", "m");
  watcher_.pump(finder);
  ASSERT_EQ(rows().size(), 1u);
  EXPECT_EQ(rows()[0].name, "RU640");
}

TEST_P(Finder, TwoAnnouncementsWithOneAddressGiveOneRow) {
  fake_.addCamera("First", "KT3", "One", "127.0.0.24", "m1");
  fake_.addCamera("Second", "KT3", "Two", "127.0.0.24", "m2");
  open();
  ASSERT_EQ(rows().size(), 1u);
}

TEST_P(Finder, DepartedCameraStaysUntilRefresh) {
  fake_.addCamera("Gone", "KT3", "Gone", "127.0.0.25", "m");
  auto& finder = open();
  fake_.removeService("Gone");
  watcher_.pump(finder);
  EXPECT_EQ(rows().size(), 1u);
  finder.refresh();
  watcher_.pump(finder);
  EXPECT_TRUE(rows().empty());
}

TEST_P(Finder, ResolveAnsweredTwiceIsReleasedOnce) {
  fake_.setAnswerTwice(true);
  fake_.addCamera("A", "KT3", "Alpha", "127.0.0.40", "m1");
  fake_.addCamera("B", "KT3", "Beta", "127.0.0.41", "m2");
  auto& finder = open();
  EXPECT_EQ(rows().size(), 2u);
  EXPECT_TRUE(finder.discovering());
}

TEST_P(Finder, StoredNameWinsOverAnnouncedName) {
  const std::vector<NameRecord> stored = {{"00:11:22:33:44:07", "Kiln"}};
  ASSERT_TRUE(writeNamesFile(namesPath(), stored));
  fake_.addCamera("Cam", "KT3", "Announced", "127.0.0.26", "00:11:22:33:44:07");
  open();
  ASSERT_EQ(rows().size(), 1u);
  EXPECT_EQ(rows()[0].name, "Kiln");
}

TEST_P(Finder, NamesFileEndingInsideARecordKeepsItsWholeRecords) {
  auto bytes = encodeNamesFile(std::vector<NameRecord>{{"00:11:22:33:44:09", "Silo"}});
  bytes.insert(bytes.end(), {'0', '0', ':', '1', '1'});
  std::ofstream(namesPath(), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  fake_.addCamera("Cam", "KT3", "Announced", "127.0.0.39", "00:11:22:33:44:09");
  auto& finder = open();
  EXPECT_EQ(finder.storedNames().size(), 1u);
  ASSERT_EQ(rows().size(), 1u);
  EXPECT_EQ(rows()[0].name, "Silo");
  EXPECT_EQ(log_.size(), 1u);
}

TEST_P(Finder, RenamedCameraKeepsItsNameAfterReopening) {
  fake_.addCamera("Cam", "KS3", "", "127.0.0.27", "00:11:22:33:44:08");
  auto& finder = open();
  finder.list().rename(0, "Press hall");
  finder.close();
  EXPECT_FALSE(finder.discovering());

  auto& again = open();
  ASSERT_EQ(again.list().size(), 1u);
  EXPECT_EQ(rows()[0].name, "Press hall");
}

TEST_P(Finder, ClosingWithAnEmptyListLeavesAnEmptyFile) {
  ASSERT_TRUE(writeNamesFile(namesPath(), std::vector<NameRecord>{{"m", "Old"}}));
  open().close();
  ASSERT_TRUE(std::filesystem::exists(namesPath()));
  EXPECT_EQ(std::filesystem::file_size(namesPath()), 0u);
}

TEST_P(Finder, ClosingDropsRecordsOfCamerasNotListed) {
  ASSERT_TRUE(writeNamesFile(namesPath(), std::vector<NameRecord>{{"gone", "Old"}}));
  fake_.addCamera("Cam", "KT3", "Here", "127.0.0.28", "here");
  open().close();
  EXPECT_EQ(readNamesFile(namesPath())->records, (std::vector<NameRecord>{{"here", "Here"}}));
}

TEST_P(Finder, SelectWithoutARowWarnsAndStopsDiscovery) {
  auto& finder = open();
  EXPECT_FALSE(finder.select(std::nullopt));
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0],
            std::make_pair(std::string("Please must be selected a camera on the list!"),
                           std::string("Warning")));
  EXPECT_FALSE(finder.discovering());
  EXPECT_EQ(fake_.liveRefs(), 0);

  fake_.addCamera("Late", "KT3", "Late", "127.0.0.29", "m");
  watcher_.pump(finder);
  EXPECT_TRUE(rows().empty());
  finder.refresh();
  watcher_.pump(finder);
  EXPECT_EQ(rows().size(), 1u);
}

TEST_P(Finder, SelectingARowGivesItsAddressAndName) {
  fake_.addCamera("A", "KT3", "Alpha", "127.0.0.30", "m1");
  fake_.addCamera("B", "KT3", "Beta", "127.0.0.31", "m2");
  auto& finder = open();
  ASSERT_EQ(rows().size(), 2u);
  const std::size_t beta = rows()[0].name == "Beta" ? 0 : 1;
  EXPECT_TRUE(finder.select(beta));
  EXPECT_EQ(finder.result().ip, "127.0.0.31");
  EXPECT_EQ(finder.result().name, "Beta");
  EXPECT_FALSE(finder.discovering());
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_P(Finder, BrowseErrorGoesToStandardOutputOnly) {
  fake_.setErrors(-65540, 0, 0);
  ::testing::internal::CaptureStdout();
  open();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error code -65540\n");
  EXPECT_TRUE(notifier_.messages.empty());
  EXPECT_TRUE(rows().empty());
}

TEST_P(Finder, ResolveErrorShowsItsCode) {
  fake_.setErrors(0, -65538, 0);
  fake_.addCamera("A", "KT3", "Alpha", "127.0.0.32", "m1");
  open();
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].first, "Error code -65538");
  EXPECT_TRUE(rows().empty());
}

TEST_P(Finder, MalformedAnswersAreSkipped) {
  auto broken = txtRecord({"ip=127.0.0.33", "name=Broken"});
  broken.push_back(200);
  fake_.addService("BadTxt", broken);
  fake_.addService("BadName", txtRecord({"ip=127.0.0.34"}), "NoDotAtAll");
  fake_.addService("Good", txtRecord({"ip=127.0.0.35", "name=Good"}));
  open();
  ASSERT_EQ(rows().size(), 1u);
  EXPECT_EQ(rows()[0].name, "Good");
  EXPECT_EQ(log_.size(), 2u);
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_P(Finder, EscapedInstanceNamesAreAccepted) {
  fake_.addService("Dock.North", txtRecord({"ip=127.0.0.36", "name=Dock"}));
  open();
  ASSERT_EQ(rows().size(), 1u);
}

TEST_P(Finder, UnwatchableSocketStopsDiscovery) {
  watcher_.refuse = true;
  fake_.addCamera("A", "KT3", "Alpha", "127.0.0.37", "m1");
  auto& finder = open();
  EXPECT_FALSE(finder.discovering());
  EXPECT_EQ(fake_.liveRefs(), 0);
}

TEST_P(Finder, SocketWithoutDescriptorStopsDiscovery) {
  fake_.setSockFdFails(true);
  auto& finder = open();
  EXPECT_FALSE(finder.discovering());
  EXPECT_EQ(fake_.liveRefs(), 0);
}

TEST_P(Finder, FailingSocketIsLeftInsteadOfSpinning) {
  fake_.addCamera("A", "KT3", "Alpha", "127.0.0.38", "m1");
  fake_.setErrors(0, 0, -65563);
  auto& finder = open();
  EXPECT_FALSE(finder.discovering());
  EXPECT_TRUE(watcher_.fds.empty());
  EXPECT_EQ(fake_.liveRefs(), 0);
}

INSTANTIATE_TEST_SUITE_P(Connections, Finder, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "SharedConnection" : "SocketPerOperation");
});

TEST(FinderWithoutLibrary, ListsNothingAndSaysNothing) {
  DnsSdLibrary missing("libno_such_dns_sd_library.so.9");
  PollingWatcher watcher;
  RecordingNotifier notifier;
  char pattern[] = "/tmp/discovery_missing_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::filesystem::path dir = pattern;
  {
    CameraFinder finder(missing, watcher, notifier, dir / kNamesFileName);
    ::testing::internal::CaptureStdout();
    finder.open();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(finder.discovering());
    EXPECT_EQ(finder.list().size(), 0u);
    EXPECT_TRUE(watcher.fds.empty());
  }
  EXPECT_TRUE(notifier.messages.empty());
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace discovery
