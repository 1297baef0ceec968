// What the camera answers to each command packet: the second half of Simulator, apart from
// the session's reading and writing.
#include <algorithm>
#include <cstring>

#include "connection.h"
#include "simulator.h"
#include "wire.h"

namespace irsim {

namespace {

using Clock = std::chrono::steady_clock;

// Command packet lengths the camera checks before it accepts a block.
constexpr uint32_t kPaletteLength = 9244;
constexpr uint32_t kFirmwareLength = 1052;
constexpr uint32_t kMacLength = 48;
constexpr uint32_t kOffsetTableLength = 2072;
constexpr uint32_t kUpdateLength = 2084;
constexpr uint32_t kFpgaLength = 24;
constexpr uint32_t kSettingLength = 48;

constexpr size_t kTableHalfSize = 2056;
constexpr uint32_t kTableSampleStep = 64;
constexpr uint32_t kDeviceSerial = 0x20260001;

bool callerChoosesIdentifier(uint16_t type) {
  return type == type::kHello || type == type::kFirmware || type == type::kMac ||
         type == type::kUpdate || type == type::kFpgaRegisters;
}

// Commands that change something and so can be refused; requests for data are always served.
bool refusable(uint16_t type) {
  switch (type) {
    case type::kStartStream:
    case type::kStopStream:
    case type::kSetting:
    case type::kPalette:
    case type::kHello:
    case type::kFirmware:
    case type::kMac:
    case type::kTempTableSecond:
    case type::kUpdate:
    case type::kFpgaRegisters: return true;
    default: return false;
  }
}

}  // namespace

bool Simulator::refuses(uint16_t packetType, uint16_t settingId, int16_t& reason) const {
  for (const Fault& fault : faultsNow()) {
    if (fault.kind != Fault::Kind::Nak) continue;
    const bool matches = fault.settingId == 0
                             ? refusable(packetType)
                             : packetType == type::kSetting && settingId == fault.settingId;
    if (matches) {
      reason = fault.reason;
      return true;
    }
  }
  return false;
}

std::vector<uint8_t> Simulator::tempTableHalf(int half) {
  std::lock_guard lock(cameraMutex_);
  std::vector<uint8_t> payload(kTableHalfSize, 0);
  putLe16(payload.data(), header_.rangeIndex());
  putLe16(payload.data() + 2, static_cast<uint16_t>(half));
  putLe32(payload.data() + 4, kTableSampleStep);
  for (uint32_t i = 0; i < 512; ++i) {
    const uint32_t count = (static_cast<uint32_t>(half) * 512 + i) * kTableSampleStep;
    const float value = mapper_->temperatureOf(static_cast<uint16_t>(count));
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    putLe32(payload.data() + 8 + 4 * i, bits);
  }
  return payload;
}

void Simulator::sendHeader(Connection& c) {
  std::vector<uint8_t> systemData(64, 0);
  HeaderBytes wire;
  {
    std::lock_guard lock(cameraMutex_);
    systemData[0] = header_.model();
    systemData[1] = header_.version();
    putLe32(systemData.data() + 10, firmwareNumber(options_.camera));
    const std::string& name = options_.camera.name;
    std::memcpy(systemData.data() + 32, name.data(), std::min<size_t>(name.size(), 19));
    wire = header_.wireBytes();
  }
  // The system data goes first, so that a program holds the firmware number by the time
  // it sees the header.
  if (!sendPacket(c, makePacket(type::kSystemData, systemData))) c.close = true;
  if (!c.close && !sendPacket(c, makePacket(type::kHeader, wire))) c.close = true;
  updateStats([](Stats& s) { ++s.headersSent; });
}

void Simulator::answer(Connection& c, uint16_t packetType, bool accept, int16_t reason,
                       int16_t code2, LogEntry& entry) {
  if (accept) {
    entry.note = "ack";
    if (!sendPacket(c, makeAnswer(type::kAck, static_cast<int16_t>(packetType), code2)))
      c.close = true;
  } else {
    entry.note = "nak " + std::to_string(reason);
    if (!sendPacket(c, makeAnswer(type::kNak, static_cast<int16_t>(packetType), reason)))
      c.close = true;
  }
}

void Simulator::handlePacket(Connection& c, const uint8_t* packet, uint32_t length) {
  const PacketHead head = parseHead(packet);
  const uint8_t* payload = packet + kPacketHeadSize;
  const size_t payloadSize = length - kPacketHeadSize;
  LogEntry entry;
  entry.connection = c.number;
  entry.seconds = std::chrono::duration<double>(Clock::now() - started_).count();
  entry.id = head.id;
  entry.length = head.length;
  entry.type = head.type;
  entry.payload.assign(payload, payload + payloadSize);
  if (head.type == type::kSetting && payloadSize >= 16) {
    const uint32_t first = getLe32(payload);
    entry.settingId = static_cast<uint16_t>(first & 0xFFFF);
    entry.value = static_cast<uint16_t>(first >> 16);
    for (int i = 0; i < 3; ++i) entry.words[i] = getLe32(payload + 4 + 4 * i);
  }

  int16_t reason = kReasonUnsupported;
  if (head.id != kPacketId && !callerChoosesIdentifier(head.type)) {
    answer(c, head.type, false, kReasonUnsupported, 0, entry);
    entry.note = "foreign identifier, " + entry.note;
    record(std::move(entry));
    return;
  }
  if (refuses(head.type, entry.settingId, reason)) {
    answer(c, head.type, false, reason, 0, entry);
    record(std::move(entry));
    return;
  }

  auto acceptIfLength = [&](uint32_t expected) {
    answer(c, head.type, head.length == expected, kReasonUnsupported, 0, entry);
  };
  switch (head.type) {
    case type::kAck: entry.note = "client ack"; break;
    case type::kNak: entry.note = "client nak"; break;
    case type::kKeepAlive: entry.note = "keep-alive"; break;
    case type::kStartStream:
      if (!c.streaming) {
        c.streaming = true;
        c.nextFrame = Clock::now();
      }
      updateStats([](Stats& s) { s.streaming = true; });
      answer(c, head.type, true, 0, 0, entry);
      break;
    case type::kStopStream:
      c.streaming = false;
      updateStats([](Stats& s) { s.streaming = false; });
      answer(c, head.type, true, 0, 0, entry);
      break;
    case type::kRequestHeader:
      entry.note = "header";
      sendHeader(c);
      break;
    case type::kSetting: {
      if (head.length != kSettingLength) {
        answer(c, head.type, false, kReasonUnsupported, 0, entry);
        break;
      }
      SettingOutcome outcome;
      uint32_t divisor = 0;
      {
        std::lock_guard lock(cameraMutex_);
        outcome = header_.apply(entry.settingId, entry.value, entry.words[0], entry.words[1],
                                entry.words[2]);
        if (outcome.accepted) {
          switch (entry.settingId) {
            case 0x0A01: divisor_ = entry.value; break;
            case 0x0F01:
              header_.resetToDefaults();
              divisor_ = 0;
              regions_.fill(CameraRegion{});
              regionAlarm_.set(RegionAlarmConfig{});
              break;
            case 0x0421:
              regionAlarm_.set(parseRegionAlarm(entry.value, entry.words[0], entry.words[1]));
              break;
            case 0x0422: {
              const int index = (entry.value >> 8) - 11;
              if (index >= 0 && index < 10) {
                regions_[static_cast<size_t>(index)] =
                    CameraRegion{static_cast<uint8_t>(entry.value & 0xFF),
                                 static_cast<int>(entry.words[0] >> 16),
                                 static_cast<int>(entry.words[0] & 0xFFFF),
                                 static_cast<int>(entry.words[1] >> 16),
                                 static_cast<int>(entry.words[1] & 0xFFFF)};
              }
              break;
            }
            default: break;
          }
          // Range, offset or reset: the camera recalibrates its counts.
          mapper_ = std::make_unique<RawMapper>(header_, tables_);
        }
        divisor = divisor_;
      }
      updateStats([&](Stats& s) { s.divisor = divisor; });
      answer(c, head.type, outcome.accepted, outcome.reason, static_cast<int16_t>(entry.settingId),
             entry);
      break;
    }
    case type::kRequestTempTable:
      entry.note = "temperature table";
      for (int half = 0; half < 2 && !c.close; ++half) {
        if (!sendPacket(c, makePacket(half == 0 ? type::kTempTableFirst : type::kTempTableSecond,
                                      tempTableHalf(half))))
          c.close = true;
      }
      break;
    case type::kRequestSystemData: {
      entry.note = "system data";
      std::vector<uint8_t> systemData(64, 0);
      {
        std::lock_guard lock(cameraMutex_);
        systemData[0] = header_.model();
        systemData[1] = header_.version();
      }
      putLe32(systemData.data() + 10, firmwareNumber(options_.camera));
      if (!sendPacket(c, makePacket(type::kSystemData, systemData))) c.close = true;
      break;
    }
    case type::kRequestDeviceInfo: {
      entry.note = "device information";
      uint8_t info[8];
      putLe32(info, kDeviceSerial);
      {
        std::lock_guard lock(cameraMutex_);
        putLe16(info + 4, static_cast<uint16_t>(header_.width()));
        putLe16(info + 6, static_cast<uint16_t>(header_.height()));
      }
      if (!sendPacket(c, makePacket(type::kDeviceInfo, info))) c.close = true;
      break;
    }
    case type::kHello: answer(c, head.type, true, 0, 0, entry); break;
    case type::kPalette:
    case type::kFirmware: {
      const bool palette = head.type == type::kPalette;
      if (head.length != (palette ? kPaletteLength : kFirmwareLength)) {
        answer(c, head.type, false, kReasonUnsupported, 0, entry);
        break;
      }
      const std::span<const uint8_t> block(payload, payloadSize);
      const UploadVerdict verdict =
          palette ? uploads_.acceptPalette(block) : uploads_.acceptFirmwareBlock(block);
      answer(c, head.type, verdict.accept, verdict.reason, 0, entry);
      entry.note += ", " + verdict.note;
      break;
    }
    case type::kMac: acceptIfLength(kMacLength); break;
    case type::kTempTableSecond: acceptIfLength(kOffsetTableLength); break;
    case type::kUpdate: {
      if (head.length != kUpdateLength) {
        answer(c, head.type, false, kReasonUnsupported, 0, entry);
        break;
      }
      entry.note = "update data";
      uint8_t data[16] = {};
      putLe32(data, ++c.updateBlocks);
      if (!sendPacket(c, makePacket(type::kUpdateAnswer, data))) c.close = true;
      break;
    }
    case type::kFpgaRegisters:
      if (head.length != kFpgaLength) {
        answer(c, head.type, false, kReasonUnsupported, 0, entry);
        break;
      }
      entry.note = "fpga registers";
      if (!sendPacket(
              c, makePacket(type::kFpgaRegisters, std::span<const uint8_t>(payload, payloadSize))))
        c.close = true;
      break;
    default: answer(c, head.type, false, kReasonUnsupported, 0, entry); break;
  }
  record(std::move(entry));
}

}  // namespace irsim
