#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <ctime>
#include <filesystem>
#include <thread>

#include "link/message_log.h"
#include "link_peer.h"

namespace irdex::link::testing {
namespace {

TEST(MessageLog, DailyFileNamedByDateWithOneLinePerEntry) {
  LogCapture log;
  logEntry("recv", "text without a break");
  logEntry("send", "text with its own break\n");
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char name[32];
  std::snprintf(name, sizeof name, "msg%04d%02d%02d.log", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday);
  // The day may turn between the two reads of the clock; the file is one of the two days.
  const std::string path = currentLogPath();
  EXPECT_TRUE(path == log.folder() + "/" + name || std::filesystem::exists(path));
  const auto entries = log.entries();
  ASSERT_EQ(entries.size(), 2u);
  // "[YYYY/MM/DD hh:mm:ss]" then a tab: digits where the format puts them.
  const std::string stamp = entries[0].substr(0, 22);
  const std::string shape = "[dddd/dd/dd dd:dd:dd]\t";
  ASSERT_EQ(stamp.size(), shape.size());
  for (std::size_t i = 0; i < shape.size(); ++i) {
    if (shape[i] == 'd') {
      EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(stamp[i]))) << entries[0];
    } else {
      EXPECT_EQ(stamp[i], shape[i]) << entries[0];
    }
  }
  EXPECT_NE(entries[0].find("\trecv\ttext without a break"), std::string::npos);
  EXPECT_NE(entries[1].find("\tsend\ttext with its own break"), std::string::npos);
}

TEST(MessageLog, ByDefaultBesideTheCallingProgram) {
  const std::string program = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  EXPECT_EQ(std::filesystem::path(currentLogPath()).parent_path().string(), program);
}

TEST(MessageLog, UnwritableFolderLosesEntriesSilently) {
  LogCapture log;
  setLogFolder(log.folder() + "/missing/folder");
  logEntry("send", "lost");
  setLogFolder(log.folder());
  EXPECT_TRUE(log.entries().empty());
}

TEST(MessageLog, EntriesOfManyThreadsStayWhole) {
  LogCapture log;
  const std::string text(300, 'x');
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([&] {
      for (int i = 0; i < 50; ++i) logEntry("send", text);
    });
  }
  for (auto& writer : writers) writer.join();
  const auto entries = log.entries();
  ASSERT_EQ(entries.size(), 200u);
  for (const auto& entry : entries) EXPECT_EQ(entry.substr(entry.size() - 300), text);
}

TEST(MessageLog, SystemTextsAreTheSystemsOwn) {
  EXPECT_EQ(systemErrorText(ECONNREFUSED), "Connection refused");
}

}  // namespace
}  // namespace irdex::link::testing
