// irsim: a software camera on loopback for running and testing the suite.
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "announce.h"
#include "simulator.h"

namespace {

constexpr const char* kHelp = R"(Usage: irsim [options]

A software thermal camera for the suite: it listens on loopback and speaks the camera link
like a real camera, so that the analyzer, the controller and the tests run without hardware.

Network
  --port N              TCP port (default 15001; 0 picks a free one and prints it)
  --bind ADDRESS        listening address (default 127.0.0.1); only loopback addresses
                        (127.0.0.0/8) are accepted unless --allow-any-address is given
  --allow-any-address   lift the loopback rule for --bind (deliberately, never in tests)
  One client at a time, like a camera: while a client is served, a second one is accepted
  and closed at once (it sees the connection end, not a refusal).
  --idle-timeout S      drop a client that sends nothing, not even a keep-alive, for S
                        seconds (default 30; the programs send a keep-alive every 7 s)

Camera
  --model M             gen1-320   first generation, 320 x 240 (model code 0)
                        gen1-384   first generation, 384 x 288 (model code 0)
                        kt640      KT family, 640 x 480, temperature codes (model code 1)
                        va320      KS family, 384 x 288 (model code 0x20)  [default]
                        vi640      KS family, 640 x 480 (model code 0x21)
  --version V           header version: 0..16 first generation (sent in the first-generation
                        header arrangement), 17..31 KT, 32 KS with the built-in tables,
                        33 and above KS with per-camera calibration in the header
                        (defaults: 16, 20, 33)
  --range R             starting temperature range (default 0)
  --ks-ranges MASK      KS version 33+: the calibrated ranges, one or two bits of 0..3
                        (default 0x3). Range 0: -20..120 C over counts 2000..14000;
                        1: 0..650 C over 1500..15500; 2: 100..1200 C over 3000..13000;
                        3: -40..60 C over 1000..16000. Names go in the header too.
  --reduced-rate        a 9 Hz camera (header byte 128 = 1) instead of 30 Hz
  --firmware N          firmware number of the system data (default 14061801 for the first
                        generation and KT, 0x01000300 for KS)
  --trailer 1|2         KS: layout of the extra measurement row (default 1 for version 32,
                        2 for 33 and above)
  --temp-offset T       KS: temperature offset in tenths of a degree at header byte 118;
                        the camera's counts then drift by that much and the suite's drift
                        correction (version 33 and above) takes it back out
  --name TEXT           camera name (default irsim); --mac TEXT its MAC address text
                        (default 02:00:00:00:00:01)
  --tables DIR          folder of TempMapTable_L.bin and TempMapTable_M.bin for first-
                        generation cameras (default: beside the executable). A missing table
                        is replaced by a built-in linear one (range 0: -40 + 0.005 x count,
                        range 1: -40 + 0.02 x count, degrees C), and stderr says so.

What it answers
  command 7 (type 36)    system data (type 48, firmware number at byte 10), then the
                         512-byte header (type 37)
  command 3 / 4          ACK; frames (type 35) start / stop: 30 Hz (9 Hz reduced-rate)
                         divided by the divisor: every (d+1)-th frame for setting 0x0A01 = d
  command 19 (type 54)   the temperature table halves, types 55 and 56: each holds u16
                         range, u16 half, u32 step 64, then 512 floats: the camera's own
                         temperature of counts 0, 64, 128, ... (first half) and on
  type 80 / type 161     system data / device information (type 162: u32 serial,
                         u16 width, u16 height)
  setting (index 10)     applied to the header at the offsets the setting pages read, so
                         the next header shows them; ACK codes (39, setting id). Unknown
                         settings get NAK reason 1. 0x0503 switches the range (refused with
                         NAK 1 for a range the camera lacks) and recalibrates; 0x0F01 resets
  palette, firmware, MAC, offset table, first command (12): ACK when the length is right
  update (type 129): answer type 130; FPGA registers (type 145): echoed back
  anything else: NAK with reason 1. KS frames carry the extra row with the camera's own
  measurements in raw counts (mark, frame counter, the regions of 0x0422, the whole image,
  a 16 x 16 centre box, the centre pixel); KT frames carry the row too, zeroed.
  ACK payload: the command's packet type and, for settings, the setting id; NAK payload:
  the packet type and the reason.

Scene (temperatures the suite should measure with its default parameters:
emissivity 0.95, atmosphere 20 C, transmission 1)
  --scene KIND          blobs (default): a background with a hot and a cold disc that circle
                        the centre; gradient: left to right; flat: one temperature
  --background T        blobs background (default 25)
  --hot T, --cold T     disc temperatures (default 80 and 5)
  --flat T              flat scene (default 30)
  --gradient LOW:HIGH   gradient scene, left and right column (default 0:100)
  --motion-period N     frames per turn of the discs (default 300; 0 keeps them still)

Faults (repeatable; the library API offers the same)
  --fault close-after:N      close the connection after N frames (0: right after accepting)
  --fault close-mid:N        after N frames send half of the next one, then close
  --fault foreign:N[:B]      B foreign bytes (default 16) before the N-th packet sent
  --fault nak:R[:ID]         refuse commands with NAK reason R (2: operated by hand);
                             with ID only that setting id
  --fault stall:N[:MS]       after N frames say nothing for MS ms (0 or none: for good)
  --fault slow:BPS           trickle everything out at BPS bytes per second
  --fault bad-model          a header with a model code no program supports (0x7E; first
                             generation: sensor size code 7)

Other
  --log FILE            append one line per packet received (the command log)
  --announce            publish the camera over DNS-SD as "_vyn-cam._tcp" with TXT model=,
                        name=, ip=, mac= (through libdns_sd.so.1; needs a running daemon
                        such as avahi-daemon; a failure is reported and irsim keeps running)
  --announce-interface IF   interface to announce on (default lo; "any" for all)
  --quiet               no connection notices on stderr
  --help                this text

irsim runs until interrupted (Ctrl-C or SIGTERM) and then shuts down cleanly.
)";

volatile std::sig_atomic_t gStop = 0;
void onSignal(int) { gStop = 1; }

bool toFloat(std::string_view text, float& value) {
  try {
    size_t used = 0;
    value = std::stof(std::string(text), &used);
    return used == text.size();
  } catch (...) {
    return false;
  }
}

bool toUnsigned(std::string_view text, unsigned long& value) {
  try {
    size_t used = 0;
    value = std::stoul(std::string(text), &used, 0);
    return used == text.size() && !text.starts_with('-');
  } catch (...) {
    return false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  irsim::Options options;
  bool announce = false;
  bool quiet = false;
  bool versionGiven = false;
  unsigned long version = 0;
  std::string announceInterface = "lo";
  auto usage = [](const std::string& text) {
    std::cerr << "irsim: " << text << "\n(see irsim --help)\n";
    return 2;
  };

  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto next = [&](std::string_view& value) {
      if (i + 1 >= argc) return false;
      value = argv[++i];
      return true;
    };
    std::string_view value;
    unsigned long number = 0;
    float real = 0;
    std::string error;
    if (arg == "--help" || arg == "-h") {
      std::cout << kHelp;
      return 0;
    } else if (arg == "--allow-any-address") {
      options.allowNonLoopback = true;
    } else if (arg == "--reduced-rate") {
      options.camera.reducedRate = true;
    } else if (arg == "--announce") {
      announce = true;
    } else if (arg == "--quiet") {
      quiet = true;
    } else if (!next(value)) {
      return usage("unknown option or missing value: " + std::string(arg));
    } else if (arg == "--port") {
      if (!toUnsigned(value, number) || number > 65535) return usage("bad port");
      options.port = static_cast<uint16_t>(number);
    } else if (arg == "--bind") {
      options.bindAddress = value;
    } else if (arg == "--idle-timeout") {
      if (!toUnsigned(value, number) || number == 0) return usage("bad idle timeout");
      options.idleTimeout = std::chrono::seconds(number);
    } else if (arg == "--model") {
      if (!irsim::parseModel(value, options.camera, &error)) return usage(error);
    } else if (arg == "--version") {
      if (!toUnsigned(value, version) || version > 255) return usage("bad header version");
      versionGiven = true;
    } else if (arg == "--range") {
      if (!toUnsigned(value, number) || number > 3) return usage("bad range");
      options.camera.initialRange = static_cast<uint8_t>(number);
    } else if (arg == "--ks-ranges") {
      if (!toUnsigned(value, number) || number > 0xF) return usage("bad range mask");
      options.camera.ksRangeMask = static_cast<uint16_t>(number);
    } else if (arg == "--firmware") {
      if (!toUnsigned(value, number) || number > 0xFFFFFFFFul) return usage("bad firmware");
      options.camera.firmware = static_cast<uint32_t>(number);
    } else if (arg == "--trailer") {
      if (value != "1" && value != "2") return usage("the trailer layout is 1 or 2");
      options.camera.trailerLayout = value == "1" ? 1 : 2;
    } else if (arg == "--temp-offset") {
      long offset = 0;
      try {
        size_t used = 0;
        offset = std::stol(std::string(value), &used);
        if (used != value.size()) throw 0;
      } catch (...) {
        return usage("bad temperature offset");
      }
      if (offset < -32768 || offset > 32767) return usage("bad temperature offset");
      options.camera.tempOffsetTenths = static_cast<int16_t>(offset);
    } else if (arg == "--name") {
      options.camera.name = value;
    } else if (arg == "--mac") {
      options.camera.mac = value;
    } else if (arg == "--tables") {
      options.tableDirectory = value;
    } else if (arg == "--scene") {
      if (!irsim::parseSceneKind(value, options.scene.kind)) return usage("unknown scene");
    } else if (arg == "--background" || arg == "--hot" || arg == "--cold" || arg == "--flat") {
      if (!toFloat(value, real)) return usage("bad temperature for " + std::string(arg));
      (arg == "--background" ? options.scene.background
       : arg == "--hot"      ? options.scene.hot
       : arg == "--cold"     ? options.scene.cold
                             : options.scene.flat) = real;
    } else if (arg == "--gradient") {
      const size_t colon = value.find(':');
      float high = 0;
      if (colon == std::string_view::npos || !toFloat(value.substr(0, colon), real) ||
          !toFloat(value.substr(colon + 1), high))
        return usage("--gradient takes LOW:HIGH");
      options.scene.gradientLow = real;
      options.scene.gradientHigh = high;
    } else if (arg == "--motion-period") {
      if (!toUnsigned(value, number) || number > 1000000) return usage("bad motion period");
      options.scene.motionPeriod = static_cast<int>(number);
    } else if (arg == "--fault") {
      irsim::Fault fault;
      if (!irsim::parseFault(value, fault, &error)) return usage(error);
      options.faults.push_back(fault);
    } else if (arg == "--log") {
      options.logPath = value;
    } else if (arg == "--announce-interface") {
      announceInterface = value;
    } else {
      return usage("unknown option: " + std::string(arg));
    }
  }
  if (versionGiven) options.camera.version = static_cast<uint8_t>(version);
  if (quiet)
    options.notice = [](const std::string& text) {
      if (text.find("built-in table") != std::string::npos ||
          text.find("slow") != std::string::npos)
        std::cerr << text << std::flush;
    };

  std::string error;
  if (!irsim::validateConfig(options.camera, &error)) return usage(error);
  irsim::Simulator simulator(options);
  if (!simulator.start(&error)) {
    std::cerr << "irsim: " << error << "\n";
    return 1;
  }
  std::cout << "irsim: " << irsim::modelText(options.camera) << " (model 0x" << std::hex
            << static_cast<int>(options.camera.model) << std::dec << ", version "
            << static_cast<int>(options.camera.version) << ") listening on " << options.bindAddress
            << ":" << simulator.port() << std::endl;

  irsim::Announcer announcer;
  if (announce) {
    irsim::Announcement a;
    a.instanceName = options.camera.name;
    a.model = irsim::modelText(options.camera);
    a.name = options.camera.name;
    a.ip = options.bindAddress;
    a.mac = options.camera.mac;
    a.port = simulator.port();
    a.interfaceName = announceInterface;
    if (const char* library = std::getenv("IRSIM_DNSSD_LIBRARY")) a.library = library;
    if (announcer.start(a, &error))
      std::cout << "irsim: announced as \"" << a.instanceName << "\" (" << irsim::kServiceType
                << ")" << std::endl;
    else
      std::cerr << "irsim: " << error << "\n";
  }

  struct sigaction action {};
  action.sa_handler = onSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  while (!gStop) {
    struct timespec pause {
      0, 100 * 1000 * 1000
    };
    nanosleep(&pause, nullptr);
  }
  announcer.stop();
  simulator.stop();
  std::cout << "irsim: stopped" << std::endl;
  return 0;
}
