// Writes the fuzzers' seed corpora with the suite's own writers: stream files and containers
// through the library's writing exports, camera headers, packets and answers from the
// simulator, snapshots from the snapshot writer, names files, TXT records and a
// neighbour table for discovery, the analyzer's object files, the controller's colour
// schemes and update files, and the report program's session.
// A fuzzer that starts from real files reaches the deep paths (frames behind a valid header,
// IR segments behind the markers) in seconds instead of never. Every seed is read back by its
// reader before it is kept, so a writer that changes its format makes this program fail
// instead of leaving seeds that stop at the first check.
//
//   make_fuzz_seeds OUTPUT_FOLDER   (the repository's fuzz/corpus)
#include <irdex.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "announce.h"
#include "byte_session.h"
#include "bytes/byte_order.h"
#include "camera.h"
#include "circle_roi.h"
#include "discovery/core/names_file.h"
#include "discovery/core/neighbour_table.h"
#include "discovery/core/txt_record.h"
#include "line_roi.h"
#include "manager_roi.h"
#include "object_file.h"
#include "palette/colour_scheme_file.h"
#include "polygon_roi.h"
#include "rect_roi.h"
#include "session_store.h"
#include "simulator.h"
#include "snapshot/snapshot.h"
#include "spot_roi.h"
#include "update/update_file.h"
#include "wire.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

fs::path output;
// The camera models the simulator plays, in the order fuzz_irsim_commands picks them.
constexpr const char* kModels[] = {"gen1-320", "gen1-384", "kt640", "va320", "vi640"};

[[noreturn]] void fail(const std::string& why) {
  std::cerr << "make_fuzz_seeds: " << why << "\n";
  std::exit(1);
}

void keep(const std::string& target, const std::string& name, std::span<const uint8_t> bytes) {
  const fs::path folder = output / target;
  fs::create_directories(folder);
  std::ofstream file(folder / name, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file) fail("cannot write " + (folder / name).string());
}

Bytes readFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), {});
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::unique_ptr<irsim::Simulator> simulatorFor(const char* model) {
  irsim::Options options;
  options.notice = [](const std::string&) {};
  std::string error;
  if (!irsim::parseModel(model, options.camera, &error)) fail(error);
  return std::make_unique<irsim::Simulator>(options);
}

// --- packets the programs send --------------------------------------------------------------

Bytes command(uint16_t type, Bytes payload = {}) { return irsim::makePacket(type, payload); }

Bytes setting(uint16_t id, uint16_t value, uint32_t w1 = 0, uint32_t w2 = 0, uint32_t w3 = 0) {
  Bytes payload(32, 0);
  irsim::putLe32(payload.data(), static_cast<uint32_t>(id) | (static_cast<uint32_t>(value) << 16));
  irsim::putLe32(payload.data() + 4, w1);
  irsim::putLe32(payload.data() + 8, w2);
  irsim::putLe32(payload.data() + 12, w3);
  return command(irsim::type::kSetting, payload);
}

// What a program says to the camera in its usual conversations.
std::vector<std::pair<std::string, Bytes>> conversations() {
  using namespace irsim::type;
  // A packet cut after 9 bytes: the reader must wait for the rest.
  Bytes torn = command(kRequestHeader);
  torn.resize(9);
  return {
      {"connect", concat({command(kHello), command(kRequestSystemData), command(kRequestHeader),
                          command(kRequestDeviceInfo)})},
      // Streaming when the input ends: the fuzzer takes a frame with the region drawn in.
      {"stream-frame", concat({setting(0x0422, (11 << 8) | 2, (10u << 16) | 20, (60u << 16) | 70),
                               command(kRequestHeader), command(kStartStream)})},
      {"stream", concat({command(kRequestHeader), command(kStartStream), command(kKeepAlive),
                         command(kStopStream)})},
      {"settings", concat({setting(0x0A01, 1), setting(0x0301, 1),
                           // A camera region: number 11, placed at (10, 20) to (60, 70).
                           setting(0x0422, (11 << 8) | 1, (10u << 16) | 20, (60u << 16) | 70),
                           setting(0x0F01, 0), command(kRequestHeader)})},
      {"temperature-table",
       concat({command(kRequestTempTable), command(kTempTableSecond, Bytes(2072 - 16, 0))})},
      {"blocks", concat({command(kPalette, Bytes(9244 - 16, 0x11)),
                         command(kFirmware, Bytes(1052 - 16, 0x22)),
                         command(kMac, Bytes(48 - 16, 0x33)), command(kUpdate, Bytes(2084 - 16, 1)),
                         command(kFpgaRegisters, Bytes(24 - 16, 0x44))})},
      {"torn", torn},
  };
}

void irsimCommandSeeds() {
  for (uint8_t model = 0; model < std::size(kModels); ++model) {
    for (const auto& [name, bytes] : conversations()) {
      // Byte 0: model (modulo 5), how the bytes are cut, and (top three bits) a streamed frame
      // at the end; 225 is the first value with those bits that is 0 modulo 5.
      const uint8_t choice = static_cast<uint8_t>(name == "stream-frame" ? 225 + model
                                                  : name == "torn"       ? model + 5 * 3
                                                                         : model);
      keep("fuzz_irsim_commands", std::string(kModels[model]) + "-" + name,
           concat({Bytes{choice}, bytes}));
    }
  }
}

// --- what the camera sends ------------------------------------------------------------------

// The choice bytes fuzz_link reads before the stream: reader, header bytes 4..7, the drift
// flag, the pixel capacity, header bytes 118..119 and 339..362.
Bytes linkChoices(uint8_t reader, const irsim::HeaderBytes& header) {
  Bytes choice(31, 0);
  choice[0] = reader;
  choice[1] = header[4];
  choice[2] = header[5];
  choice[3] = header[6];
  choice[4] = static_cast<uint8_t>((6 << 3) | ((header[7] & 3) << 1));  // the largest buffer
  std::memcpy(choice.data() + 5, header.data() + 118, 2);
  std::memcpy(choice.data() + 7, header.data() + 339, 24);
  return choice;
}

void linkSeeds() {
  using namespace irsim::type;
  for (const char* model : {"gen1-320", "va320", "vi640"}) {
    auto simulator = simulatorFor(model);
    const irsim::HeaderBytes header = simulator->header();
    {
      irsim::ByteSession session(*simulator);
      const Bytes hello = session.feed(concat({command(kRequestHeader), command(kStartStream)}));
      // One frame of the smallest camera keeps the seed small; the others send the header.
      const Bytes frame = std::string(model) == "gen1-320" ? session.nextFrame() : Bytes{};
      keep("fuzz_link", std::string(model) + "-frames",
           concat({linkChoices(0, header), hello, frame}));
    }
    {
      irsim::ByteSession session(*simulator);
      keep("fuzz_link", std::string(model) + "-system-data",
           concat({linkChoices(2, header), session.feed(command(kRequestSystemData))}));
      keep("fuzz_link", std::string(model) + "-temperature-table",
           concat({linkChoices(3, header), session.feed(command(kRequestTempTable))}));
      keep("fuzz_link", std::string(model) + "-update",
           concat({linkChoices(4, header), session.feed(command(kFpgaRegisters, Bytes(8, 7))),
                   session.feed(command(kUpdate, Bytes(2084 - 16, 1)))}));
      keep("fuzz_link", std::string(model) + "-refused",
           concat({linkChoices(1, header), session.feed(command(0x7777))}));
    }
  }
}

void ksHeaderSeeds() {
  for (const char* model : {"kt640", "va320", "vi640"}) {
    auto simulator = simulatorFor(model);
    const irsim::HeaderBytes header = simulator->header();
    if (header[irsim::hdr::kVersion] < 32) continue;
    for (uint8_t range = 0; range < 3; ++range) {
      // The choice bytes restate the header's own version, model and the range asked for.
      Bytes seed{static_cast<uint8_t>(header[irsim::hdr::kVersion] - 32),
                 static_cast<uint8_t>(header[irsim::hdr::kModel] - 0x20), range, 0x31};
      seed.insert(seed.end(), header.begin(), header.end());
      keep("fuzz_ks_header", std::string(model) + "-range-" + std::to_string(range), seed);
    }
  }
}

// --- files ----------------------------------------------------------------------------------

fs::path scratchFile(const std::string& name) {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "irdex-seeds-XXXXXX").string();
    if (!mkdtemp(pattern.data())) fail("no scratch folder");
    return fs::path(pattern);
  }();
  return folder / name;
}

// A recording as the analyzer makes one: header (and extension), then frames.
Bytes recording(uint8_t version, uint16_t width, uint16_t height, int frames,
                const irsim::HeaderBytes* camHeader) {
  const fs::path path = scratchFile("seed.hxr");
  IRHeader header{};
  header.version = version;
  header.width = width;
  header.height = height;
  header.emissivity = 0.95f;
  header.atmosphericTemp = 23.0f;
  header.transmission = 1.0f;
  IRHeaderExt ext{};
  ext.recorder = 1;
  ext.year = 2026;
  ext.month = 12;
  ext.day = 8;
  if (camHeader) std::memcpy(ext.camHeader, camHeader->data(), sizeof ext.camHeader);
  ext.camHeader[4] = camHeader ? (*camHeader)[4] : version;
  IRStreamHandle stream = nullptr;
  const SdkStatus opened = version > 16 ? SaveIRHeader(&stream, path.c_str(), &header, &ext)
                                        : SaveIRImage(&stream, path.c_str(), &header);
  if (opened != SDK_SUCCESS) fail("cannot write a recording");
  const int32_t count = width * height;
  // The extra row of version 32 and above travels with the frame; the library takes its width
  // from the sensor the pixel count belongs to, at most 640.
  std::vector<uint16_t> pixels(static_cast<size_t>(count) + 640);
  uint32_t counter = 0;
  uint16_t counter16 = 0;
  for (int k = 0; k < frames; ++k) {
    for (size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = static_cast<uint16_t>(7000 + i * 3 + k * 100);
    const SdkStatus written =
        version >= 20 ? SetIRImageToStream_v2(stream, pixels.data(), count, 33, &counter, version)
                      : SetIRImageToStream(stream, pixels.data(), count, 33, &counter16);
    if (written != SDK_SUCCESS) fail("cannot write a frame");
  }
  CloseIRStream(stream);

  // Read back: the header and the first frame must come out as written.
  int32_t length = 0;
  if (LoadIRImage(&stream, path.c_str(), &length) != SDK_SUCCESS) fail("recording unreadable");
  IRHeader back{};
  IRHeaderExt backExt{};
  int32_t offset = 0;
  GetIRHeaders(stream, &back, &backExt, &offset);
  int32_t timing = 0;
  int64_t stamp = 0;
  std::vector<uint16_t> read(pixels.size());
  const SdkStatus first = GetIRImageFromStream_v2(stream, read.data(), count, length, &offset,
                                                  &timing, &stamp, 0, version);
  CloseIRStream(stream);
  // The last frame of a file comes with the end-of-file status.
  const bool frameRead =
      (first == SDK_SUCCESS || first == SDK_ERR_END_OF_IR_IMAGE) && read[0] == 7000;
  if (back.width != width || back.height != height || !frameRead)
    fail("recording of version " + std::to_string(version) + " does not read back (" +
         std::to_string(back.width) + " x " + std::to_string(back.height) + ", frame status " +
         std::to_string(first) + ")");
  return readFile(path);
}

Bytes container(uint16_t width, uint16_t height, int frames) {
  const fs::path path = scratchFile("seed-container.hxr");
  HXRFileHeader header{};
  header.width = width;
  header.height = height;
  header.frameRate = 9;
  IRStreamHandle stream = nullptr;
  if (HXRFileOpen(&stream, path.c_str(), 1, &header) != SDK_SUCCESS)
    fail("cannot make a container");
  const size_t pixels = static_cast<size_t>(width) * height;
  std::vector<uint8_t> buffer(sizeof(HXRFrame) + 2 * pixels);
  auto* frame = reinterpret_cast<HXRFrame*>(buffer.data());
  frame->pixelCount = static_cast<uint32_t>(pixels);
  for (int k = 0; k < frames; ++k) {
    for (size_t i = 0; i < pixels; ++i) {
      const uint16_t value = static_cast<uint16_t>(8000 + i + k);
      std::memcpy(buffer.data() + sizeof(HXRFrame) + 2 * i, &value, 2);
    }
    if (AppendNewFrame(stream, frame, 1) != SDK_SUCCESS) fail("cannot append a frame");
  }
  CloseIRStream(stream);
  HXRFileHeader back{};
  if (HXRFileOpen(&stream, path.c_str(), 0, &back) != SDK_SUCCESS || back.frameCount != frames)
    fail("container does not read back");
  CloseIRStream(stream);
  return readFile(path);
}

void streamSeeds() {
  const auto va320 = simulatorFor("va320");
  const irsim::HeaderBytes camera = va320->header();
  keep("fuzz_stream", "v33-va320-one-frame.hxr", recording(33, 320, 240, 1, &camera));
  keep("fuzz_stream", "v33-small.hxr", recording(33, 16, 12, 3, &camera));
  keep("fuzz_stream", "v32-small.hxr", recording(32, 16, 12, 3, nullptr));
  keep("fuzz_stream", "v20-small.hxr", recording(20, 16, 12, 3, nullptr));
  keep("fuzz_stream", "v17-small.hxr", recording(17, 12, 8, 2, nullptr));
  keep("fuzz_stream", "v16-small.hxr", recording(16, 12, 8, 3, nullptr));
  keep("fuzz_stream", "v0-small.hxr", recording(0, 8, 6, 2, nullptr));
  keep("fuzz_stream", "container-small.hxr", container(16, 12, 3));
}

Bytes snapshotFile(uint16_t width, uint16_t height, uint8_t version) {
  snapshot::IrData ir;
  ir.info[0] = width & 0xFF;
  ir.info[1] = width >> 8;
  ir.info[2] = height & 0xFF;
  ir.info[3] = height >> 8;
  ir.camHeader[snapshot::kCamHeaderVersionAt] = version;
  ir.pixels.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < ir.pixels.size(); ++i) ir.pixels[i] = static_cast<uint16_t>(6000 + i * 5);
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3, 0x60);
  const snapshot::Picture picture{width, height, width * 3, snapshot::PixelFormat::Rgb, rgb};
  Bytes file = snapshot::insertIrSegments(snapshot::encodeJpeg(picture), ir);
  if (file.empty() || !snapshot::readSnapshot(file).ok())
    fail("snapshot of version " + std::to_string(version) + " does not read back");
  return file;
}

void snapshotSeeds() {
  // Byte 0 even: the bytes are read as they are.
  keep("fuzz_snapshot", "v33-one-segment", concat({Bytes{0}, snapshotFile(32, 24, 33)}));
  keep("fuzz_snapshot", "v17-one-segment", concat({Bytes{0}, snapshotFile(24, 16, 17)}));
  // Larger than one pixel segment (61,440 bytes): two segments.
  keep("fuzz_snapshot", "v33-two-segments", concat({Bytes{0}, snapshotFile(200, 160, 33)}));
  // Byte 0 odd: damage done to the fuzzer's own snapshot; one byte overwritten, then cut.
  keep("fuzz_snapshot", "damage-one-byte", Bytes{1, 0x14, 0x00, 0x00, 0xFF});
  keep("fuzz_snapshot", "damage-and-cut", Bytes{1, 0x30, 0x00, 0x00, 0x00, 0x40, 0x00});
}

void discoverySeeds() {
  const std::vector<discovery::NameRecord> records = {{"00:1A:2B:3C:4D:5E", "Furnace door"},
                                                      {"00:1A:2B:3C:4D:5F", "Line 2"},
                                                      {"AA:BB:CC:DD:EE:FF", "Spare camera name!"}};
  const Bytes names = discovery::encodeNamesFile(records);
  if (discovery::parseNamesFile(names).records != records) fail("names file does not read back");
  keep("fuzz_discovery", "names-file", names);

  irsim::Announcement announcement;
  announcement.model = "VA320";
  announcement.name = "Furnace door";
  announcement.ip = "127.0.0.1";
  announcement.mac = "00:1A:2B:3C:4D:5E";
  const std::string txt = irsim::buildTxtRecord(announcement);
  const Bytes txtBytes(txt.begin(), txt.end());
  if (discovery::parseCameraTxt(txtBytes).fields.model != "VA320") fail("TXT does not read back");
  keep("fuzz_discovery", "txt-record", txtBytes);
  const std::string instance = "Furnace\\032door._vyn-cam._tcp.local.";
  keep("fuzz_discovery", "instance-name", Bytes(instance.begin(), instance.end()));
  // The kernel's neighbour table as /proc/net/arp prints it: a complete and an incomplete
  // entry.
  const std::string table =
      "IP address       HW type     Flags       HW address            Mask     Device\n"
      "127.0.0.1        0x1         0x2         00:1a:2b:3c:4d:5e     *        lo\n"
      "127.0.0.2        0x1         0x0         00:00:00:00:00:00     *        lo\n";
  if (discovery::macFromNeighbourTable(table, "127.0.0.1") != "00:1A:2B:3C:4D:5E")
    fail("neighbour table does not read back");
  keep("fuzz_discovery", "neighbour-table", Bytes(table.begin(), table.end()));
}

void companySeeds() {
  for (const auto& [name, text] : std::vector<std::pair<std::string, std::string>>{
           {"logo-and-link", "1 Acme https://acme.example/\n"},
           {"no-logo", "0 Brand www.brand.example\n"},
           {"only-flag", "1\n"}}) {
    keep("fuzz_company_file", name, Bytes(text.begin(), text.end()));
  }
}

// --- the programs' own files ------------------------------------------------------------------

void objectFileSeeds() {
  // One object of each kind on the 640 x 480 picture the fuzzer reads against.
  solvane::CManagerROI objects;
  objects.add(std::make_unique<solvane::CSpotROI>(320, 240));
  objects.add(std::make_unique<solvane::CRectROI>(solvane::BoxGeometry{10, 10, 120, 90}));
  objects.add(std::make_unique<solvane::CCircleROI>(solvane::BoxGeometry{200, 100, 260, 180}));
  objects.add(std::make_unique<solvane::CLineROI>(solvane::PixelPoint{5, 400},
                                                  solvane::PixelPoint{600, 420}));
  objects.add(std::make_unique<solvane::CPolygonROI>(
      std::vector<solvane::PixelPoint>{{300, 300}, {400, 310}, {380, 420}, {290, 400}}));
  const QByteArray document = solvane::serializeObjects(objects, 640, 480);
  solvane::CManagerROI reread;
  if (!solvane::parseObjects(document, reread, 640, 480, {}).ok() ||
      reread.size() != objects.size())
    fail("object file does not read back");
  // Byte 0 even: the whole document; odd: only the object list, behind a valid resolution.
  Bytes whole{0};
  whole.insert(whole.end(), document.begin(), document.end());
  keep("fuzz_object_file", "five-kinds", whole);
  const qsizetype list = document.indexOf("<ROIs");
  const qsizetype from = document.indexOf('>', list) + 1, to = document.indexOf("</ROIs>");
  if (list < 0 || from <= list || to < from) fail("object file has no object list");
  Bytes inside{1};
  inside.insert(inside.end(), document.begin() + from, document.begin() + to);
  keep("fuzz_object_file", "five-kinds-list", inside);
}

void colourSchemeSeeds() {
  tessor::CGradient gradient;
  keep("fuzz_colour_scheme", "default", tessor::writeColourScheme(gradient));
  gradient.addPeg(0x0000FF, 0.25f);
  gradient.addPeg(0x00FF00, 0.5f);
  gradient.addPeg(0xFF0000, 0.75f);
  const Bytes pegs = tessor::writeColourScheme(gradient);
  tessor::CGradient reread;
  if (!tessor::readColourScheme(pegs, reread).ok || reread.pegs().size() != 3)
    fail("colour scheme does not read back");
  keep("fuzz_colour_scheme", "three-pegs", pegs);
}

void updateFileSeeds() {
  // Signature, CRC of everything from the version on, version, then the image: two and a
  // half blocks.
  Bytes file(tessor::kUpdateHeaderSize + 2 * tessor::kUpdateBlockSize + 500);
  for (std::size_t i = tessor::kUpdateHeaderSize; i < file.size(); ++i)
    file[i] = static_cast<uint8_t>(i * 7);
  bytes::writeLe32(file.data(), tessor::kUpdateFileSignature);
  bytes::writeLe32(file.data() + 8, 3000);
  bytes::writeLe32(file.data() + 4, tessor::crc32Ieee(std::span<const uint8_t>(file).subspan(8)));
  const auto outcome = tessor::parseUpdateFile(file, "seed");
  if (!outcome.ok || !outcome.file.signatureMatches() || !outcome.file.crcMatches())
    fail("update file does not read back");
  keep("fuzz_update_file", "three-blocks", file);
}

void reportSessionSeeds() {
  pagana::Session session;
  session.rows = {{"/home/user/Pictures/Thermal_20261208_101010.jpg", true},
                  {"/home/user/Pictures/Thermal_20261208_101112.jpg", false}};
  session.infos = {{"Thermal_20261208_101010.jpg", "Acme", "Plant 2", "Line 4", "J. Doe",
                    "Hot joint on the left breaker"}};
  const std::string text = pagana::encodeSession(session);
  const pagana::SessionRead read = pagana::parseSession(text);
  if (read.error != pagana::SessionReadError::None || !(read.session == session))
    fail("session does not read back");
  keep("fuzz_report_session", "two-rows", Bytes(text.begin(), text.end()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_fuzz_seeds OUTPUT_FOLDER\n";
    return 2;
  }
  output = argv[1];
  irsimCommandSeeds();
  linkSeeds();
  ksHeaderSeeds();
  streamSeeds();
  snapshotSeeds();
  discoverySeeds();
  companySeeds();
  objectFileSeeds();
  colourSchemeSeeds();
  updateFileSeeds();
  reportSessionSeeds();
  std::error_code ignored;
  fs::remove_all(scratchFile("").parent_path(), ignored);
  std::cout << "seeds written to " << output.string() << "\n";
  return 0;
}
