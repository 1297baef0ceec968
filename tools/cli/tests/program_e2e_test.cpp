// The built `irdex` program from start to end, as a shell user runs it: record a simulated
// camera, end the recording with a real SIGINT, describe the file and convert it.
#include "cli_error.h"
#include "cli_test_support.h"
#include "record/play_file.h"
#include "simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

extern char** environ;

namespace irdexcli {
namespace {

using namespace irdexcli::testing;
using namespace std::chrono_literals;

// One run of the program, its output in files of the test's folder.
class Program {
 public:
  Program(const std::vector<std::string>& words, const TempFolder& folder, const std::string& tag)
      : outPath_(folder.file(tag + ".out")), errPath_(folder.file(tag + ".err")) {
    std::vector<std::string> all = {IRDEX_CLI_EXECUTABLE};
    all.insert(all.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (auto& word : all) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    spawned_ = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Program() {
    if (spawned_ && !waited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool spawned() const { return spawned_; }
  void interrupt() { kill(pid_, SIGINT); }
  // The exit status, or -1 when the program did not end within `bound` (waited for through
  // a process descriptor, so the wait ends the moment the program does).
  int wait(std::chrono::milliseconds bound) {
    const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
    if (fd >= 0) {
      pollfd p{fd, POLLIN, 0};
      const int ready = poll(&p, 1, static_cast<int>(bound.count()));
      close(fd);
      if (ready <= 0) return -1;
    }
    int status = 0;
    if (waitpid(pid_, &status, 0) != pid_) return -1;
    waited_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  std::string err() const { return contents(errPath_); }
  std::string out() const { return contents(outPath_); }

 private:
  static std::string contents(const std::string& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  std::string outPath_, errPath_;
  pid_t pid_ = -1;
  bool spawned_ = false;
  bool waited_ = false;
};

TEST(Program, RecordsUntilInterruptedThenDescribesAndConvertsTheFile) {
  irsim::Options options;
  options.port = 0;
  options.notice = [](const std::string&) {};
  options.scene.motionPeriod = 40;
  irsim::Simulator sim(options);
  std::string error;
  ASSERT_TRUE(sim.start(&error)) << error;
  TempFolder folder;
  const std::string run = folder.file("run.hxr");

  Program record({"record", "127.0.0.1:" + std::to_string(sim.port()), run, "--seconds", "600"},
                 folder, "record");
  ASSERT_TRUE(record.spawned());
  ASSERT_TRUE(sim.waitFor([](const irsim::Stats& s) { return s.framesSent >= 15; }, 60s));
  record.interrupt();
  ASSERT_EQ(record.wait(60s), kExitOk) << record.err();
  sim.stop();

  solvane::record::PlayFile file;
  ASSERT_TRUE(file.open(run, error)) << error;
  const int32_t frames = file.frameCount();
  ASSERT_GT(frames, 0);
  EXPECT_EQ(file.fileLength(), file.geometry().firstFrame + frames * file.geometry().frameBytes);
  file.close();

  Program info({"info", run}, folder, "info");
  ASSERT_EQ(info.wait(60s), kExitOk) << info.err();
  EXPECT_NE(info.out().find("frames        " + std::to_string(frames) + "\n"), std::string::npos)
      << info.out();

  Program convert({"convert", run, folder.file("f%03d.tiff"), "--quiet"}, folder, "convert");
  ASSERT_EQ(convert.wait(120s), kExitOk) << convert.err();
  EXPECT_TRUE(convert.err().empty()) << convert.err();
  int tiffs = 0;
  for (const auto& name : folder.names()) tiffs += name.size() == 9 && name.ends_with(".tiff");
  EXPECT_EQ(tiffs, frames);
}

TEST(Program, HelpOfEveryCommandNamesItsUsage) {
  TempFolder folder;
  for (const char* command : {"info", "convert", "record", "snapshot", "grab", "discover"}) {
    Program help({command, "--help"}, folder, command);
    ASSERT_EQ(help.wait(30s), kExitOk) << command;
    EXPECT_EQ(help.out().rfind(std::string("usage: irdex ") + command, 0), 0u) << help.out();
  }
}

}  // namespace
}  // namespace irdexcli
