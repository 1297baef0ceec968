// `irdex discover`: the cameras announced on the network, through the finder core the
// programs' camera dialogs use, with stored names from the names file beside the programs
// (read, never written: listing cameras changes nothing).
#include "arguments.h"
#include "cli_error.h"
#include "commands.h"
#include "discovery/core/camera_finder.h"
#include "discovery/core/dns_sd_library.h"
#include "json_writer.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <set>

namespace irdexcli {
namespace {

// The finder's sockets, polled on this thread.
class PollWatcher final : public discovery::SocketWatcher {
 public:
  bool watch(int fd) override {
    fds_.insert(fd);
    return true;
  }
  void unwatch(int fd) override { fds_.erase(fd); }
  std::vector<int> ready(std::chrono::milliseconds wait) const {
    std::vector<pollfd> polled;
    for (const int fd : fds_) polled.push_back(pollfd{fd, POLLIN, 0});
    std::vector<int> readable;
    if (polled.empty()) return readable;
    if (::poll(polled.data(), polled.size(), static_cast<int>(wait.count())) <= 0) return readable;
    for (const auto& p : polled)
      if (p.revents & (POLLIN | POLLHUP | POLLERR)) readable.push_back(p.fd);
    return readable;
  }
  bool empty() const { return fds_.empty(); }

 private:
  std::set<int> fds_;
};

class Collector final : public discovery::MessageNotifier {
 public:
  void message(const std::string& text, const std::string&) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

void printTable(std::ostream& out, const std::vector<discovery::CameraRow>& rows) {
  const std::vector<std::string> titles = {"NAME", "MODEL", "IP", "MAC"};
  std::vector<std::size_t> widths;
  for (const auto& t : titles) widths.push_back(t.size());
  for (const auto& r : rows) {
    widths[0] = std::max(widths[0], r.name.size());
    widths[1] = std::max(widths[1], r.model.size());
    widths[2] = std::max(widths[2], r.ip.size());
  }
  const auto line = [&](const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      out << cells[i];
      if (i + 1 < cells.size()) out << std::string(widths[i] - cells[i].size() + 2, ' ');
    }
    out << "\n";
  };
  line(titles);
  for (const auto& r : rows) line({r.name, r.model, r.ip, r.mac});
}

}  // namespace

int runDiscover(const Words& words, Context& context) {
  const Arguments args = Arguments::parse(words, {{"seconds", true}, {"json", false}}, "discover");
  if (args.helpRequested()) {
    context.out << commandHelp("discover");
    return kExitOk;
  }
  args.expectPositional(0, "irdex discover [--seconds S] [--json]");
  const double seconds = args.number("seconds", 3, 0.1, 3600);

  discovery::DnsSdLibrary& library = discovery::processDnsSdLibrary();
  if (!library.loaded())
    throw CliError("camera discovery needs the DNS-SD library " + library.fileName() +
                   " (Debian: libavahi-compat-libdnssd1) and a running avahi-daemon");
  PollWatcher watcher;
  Collector notifier;
  discovery::CameraFinder finder(library, watcher, notifier,
                                 discovery::namesFileBesideExecutable());
  std::vector<std::string> notes;
  finder.setLog([&notes](const std::string& text) { notes.push_back(text); });
  finder.open();
  if (!notifier.messages.empty())
    throw CliError("camera discovery failed: " + notifier.messages.front());

  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
  while (std::chrono::steady_clock::now() < deadline && !context.stopRequested()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    for (const int fd : watcher.ready(std::min(left, std::chrono::milliseconds(100))))
      finder.socketReadable(fd);
    if (!notifier.messages.empty())
      throw CliError("camera discovery failed: " + notifier.messages.front());
  }
  const std::vector<discovery::CameraRow> rows = finder.list().rows();
  if (args.has("json")) {
    std::vector<std::string> items;
    for (const auto& r : rows) {
      JsonObject o;
      o.add("name", r.name).add("model", r.model).add("ip", r.ip).add("mac", r.mac);
      items.push_back(o.text(2));
    }
    context.out << jsonArray(items) << "\n";
  } else {
    printTable(context.out, rows);
  }
  if (context.stopRequested()) return kExitInterrupted;
  return kExitOk;
}

}  // namespace irdexcli
