// The `irdex` program: the subcommand table, its help texts and the one-line failures.
#include "cli_error.h"
#include "commands.h"

#include <exception>
#include <map>

namespace irdexcli {
namespace {

using Runner = int (*)(const Words&, Context&);

const std::map<std::string, Runner>& commandTable() {
  static const std::map<std::string, Runner> table = {
      {"info", runInfo},         {"convert", runConvert}, {"record", runRecord},
      {"snapshot", runSnapshot}, {"grab", runGrab},       {"discover", runDiscover}};
  return table;
}

const char* kMainHelp = R"(usage: irdex COMMAND [options] [arguments]

Batch conversion of thermal recordings and headless capture from cameras.

Commands:
  info FILE...                  what stream files (.hxr), containers and radiometric
                                snapshots (.jpg) hold
  convert IN OUT                frames of a stream file or snapshot to .csv, .tiff, .png,
                                .jpg, .hxr or .avi (chosen by OUT's extension)
  record ADDRESS OUT.hxr        record a camera's stream to a stream file
  snapshot ADDRESS OUT.jpg      one radiometric snapshot from a camera
  grab ADDRESS OUT              one frame from a camera as .csv, .tiff or .png
  discover                      cameras announced on the local network

'irdex COMMAND --help' explains each command and its options.

ADDRESS is the camera's IPv4 address, optionally with a port: 192.168.0.10 or
127.0.0.1:15001 (the camera port 15001 is the default).

Exit status: 0 on success; 1 when the work failed; 2 for a wrong command line; 130 when
interrupted (Ctrl-C) before the work was done. A failure prints one line on stderr,
"irdex: <what went wrong>". A progress bar is drawn on stderr when it is a terminal;
--quiet turns it off.
)";

const std::map<std::string, std::string>& helpTable() {
  static const std::map<std::string, std::string> table = {
      {"info", R"(usage: irdex info [--json] FILE...

Describes each file: kind (stream, container or snapshot), version, camera family and
model with the camera header's version, image size, frame count, duration (the sum of the
frames' time values), the recording's start time (local) and the wall-clock time stamps of
the first and last frame (UTC, stream version 20 and above), emissivity, atmospheric temperature,
transmission, and the measuring range with its limits in degrees Celsius.

  --json    one JSON object per file (an array for several files), for scripts

Every file is described even if one of them fails; the status is then 1.

Examples:
  irdex info run.hxr
  irdex info --json *.hxr > inventory.json
)"},
      {"convert", R"(usage: irdex convert [options] IN OUT

Converts frames of a stream file (.hxr) or a radiometric snapshot (.jpg). OUT's extension
chooses what is written:
  .csv         temperature map in degrees Celsius, the analyzer's format (one file per frame)
  .tif/.tiff   32-bit float temperatures in degrees Celsius, one page per frame in one file
               (ImageJ/FIJI open it as a stack), or one file per frame with a number pattern
  .png         false-colour picture (one file per frame)
  .jpg         radiometric snapshot of the frame, readable by the analyzer and the report
               program (one file per frame)
  .hxr         stream file with the chosen frames (a cut), through the analyzer's recorder;
               a file beyond the size limit continues in NAME_2.hxr, NAME_3.hxr, ...
  .avi         movie of the false-colour pictures

Several frames to a one-file-per-frame kind need a number pattern in OUT: %d or %0Nd is
replaced by the frame's number, e.g. 'frame%05d.png' gives frame00000.png, frame00001.png...
(write %% for a percent sign). Every output file appears whole or not at all; an existing
file of the same name is replaced.

Frames:
  --frames A:B        frames A to B, both included, counted from 0 (A: and :B leave one end
                      open; a single number takes one frame); default all
  --every N           every N-th frame of the range

Measurement parameters (default: those stored in the file):
  --emissivity E      0.01 to 1
  --atm-temp T        atmospheric temperature in degrees Celsius
  --transmission T    atmospheric transmission, 0.01 to 1

Pictures (.png, .jpg, .avi):
  --palette P         palette name or index 0-12: Yellow, Rainbow, Rain900, Rain10, Midgrey,
                      Midgreen, Medical, Iron10, Iron, Greyred, Grey10, Grey (default), Glowbow
  --invert            the palette reversed
  --agc               window chosen automatically from each frame (the default)
  --level L --span S  fixed window: centre L and width S in degrees Celsius

Movies (.avi):
  --fourcc CODE       encoder by its four-character code (default MJPG; e.g. XVID, MSVC)
  --fps F             frames per second of the movie (default: the pace the frames were
                      recorded at, from their time values; 30 for a snapshot)

  --quiet             no progress bar

Examples:
  irdex convert run.hxr 'f%03d.tiff'
  irdex convert run.hxr run.tiff --every 10
  irdex convert run.hxr 'map%04d.csv' --frames 100:199 --emissivity 0.98
  irdex convert run.hxr hot.png --frames 42 --palette Iron --level 60 --span 40
  irdex convert run.hxr cut.hxr --frames 300:
  irdex convert shot.jpg shot.tiff
)"},
      {"record", R"(usage: irdex record [options] ADDRESS OUT.hxr [--seconds S | --frames N]

Records the camera's stream to a stream file, the way the analyzer records: the same
connection handshake, a stream file of the camera's family, whole frames only. OUT.hxr is
replaced when the recording ends (until then it is written under a hidden name beside it);
a file beyond the stream size limit continues in NAME_2.hxr, NAME_3.hxr, ... Without
--seconds or --frames the recording runs until Ctrl-C. Ctrl-C ends a recording cleanly: the
file keeps every whole frame received (status 0). A dropped link is reconnected (see
--attempts) and the recording continues in the same file; when the camera stays away, the
recording ends with status 1 and keeps what it received.

  --seconds S         record for S seconds from the first frame
  --frames N          record N frames
  --emissivity E, --atm-temp T, --transmission T
                      measurement parameters stored in the file (default 0.95, 20, 1)
  --attempts N        connection attempts before giving up (default 3)
  --retry-delay S     seconds between attempts (default 2)
  --timeout S         seconds the first frame, and any later frame, may take (default 20);
                      a camera silent for longer ends the recording with status 1, and
                      the frames received so far stay in the file
  --quiet             no progress bar

Examples:
  irdex record 192.168.0.10 line3.hxr --seconds 60
  irdex record 127.0.0.1 run.hxr --frames 300
)"},
      {"snapshot", R"(usage: irdex snapshot [options] ADDRESS OUT.jpg

Takes one frame from the camera and saves it as a radiometric snapshot: the false-colour
picture with the raw frame and its parameters inside, readable by the analyzer, the report
program and 'irdex convert'.

  --palette P, --invert, --agc, --level L --span S     the picture (see 'irdex convert --help')
  --emissivity E, --atm-temp T, --transmission T       measurement parameters
  --attempts N, --retry-delay S, --timeout S           the connection (see 'irdex record --help')
  --quiet

Example:
  irdex snapshot 192.168.0.10 panel.jpg --palette Iron
)"},
      {"grab", R"(usage: irdex grab [options] ADDRESS OUT.csv|OUT.tiff|OUT.png

Takes one frame from the camera and writes it as a CSV temperature map, a float TIFF in
degrees Celsius or a false-colour PNG.

  --palette P, --invert, --agc, --level L --span S     PNG pictures (see 'irdex convert --help')
  --emissivity E, --atm-temp T, --transmission T       measurement parameters
  --attempts N, --retry-delay S, --timeout S           the connection (see 'irdex record --help')
  --quiet

Example:
  irdex grab 192.168.0.10 now.tiff --emissivity 0.98
)"},
      {"discover", R"(usage: irdex discover [--seconds S] [--json]

Lists the cameras announced on the local network (DNS-SD service "_vyn-cam._tcp") during S
seconds (default 3): name, model, IP address and MAC address. Names stored by the programs'
camera dialogs are shown for cameras they know. Needs avahi-daemon and its DNS-SD
compatibility library (Debian: libavahi-compat-libdnssd1).

  --seconds S   how long to listen
  --json        a JSON array of {name, model, ip, mac}
)"}};
  return table;
}

}  // namespace

std::string mainHelp() { return kMainHelp; }

std::string commandHelp(const std::string& command) {
  const auto found = helpTable().find(command);
  return found == helpTable().end() ? mainHelp() : found->second;
}

int runCli(const Words& words, Context& context) {
  if (words.empty()) {
    context.err << mainHelp();
    return kExitUsage;
  }
  const std::string& command = words.front();
  if (command == "--help" || command == "-h" || command == "help") {
    context.out << (words.size() > 1 ? commandHelp(words[1]) : mainHelp());
    return kExitOk;
  }
  const auto found = commandTable().find(command);
  if (found == commandTable().end()) {
    context.err << "irdex: unknown command '" << command << "' (see 'irdex --help')\n";
    return kExitUsage;
  }
  try {
    return found->second(Words(words.begin() + 1, words.end()), context);
  } catch (const CliError& error) {
    context.err << "irdex: " << error.what() << "\n";
    return error.status();
  } catch (const std::bad_alloc&) {
    context.err << "irdex: out of memory\n";
    return kExitFailure;
  } catch (const std::exception& error) {
    context.err << "irdex: " << error.what() << "\n";
    return kExitFailure;
  }
}

}  // namespace irdexcli
