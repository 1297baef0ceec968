// The "Update" page offscreen against a port that records what the page asks of the host
// and plays the camera's part in sending.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTest>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include "palette/tests/named_case.h"
#include "update/ui/tab_update_dlg.h"

namespace tessor {
namespace {

constexpr int kBoundMs = 20000;

struct Message {
  std::string text, caption;
  MessageIcon icon;
};

struct RecordingPort : UpdatePagePort {
  std::optional<std::string> file;
  std::optional<uint32_t> cameraVersion;
  bool answer = true;
  int refuseBlock = 0;      // the block number the camera refuses (0: none)
  bool holdBlocks = false;  // the camera never answers; only a stop ends the wait
  std::vector<Message> messages;
  std::vector<std::string> questions;
  std::mutex mutex;  // guards blocks: written on the worker thread
  std::vector<uint16_t> blocks;

  std::optional<std::string> chooseUpdateFile() override { return file; }
  void message(const std::string& text, const std::string& caption, MessageIcon icon) override {
    messages.push_back({text, caption, icon});
  }
  bool ask(const std::string& text, const std::string&) override {
    questions.push_back(text);
    return answer;
  }
  std::optional<uint32_t> cameraFirmwareVersion() const override { return cameraVersion; }
  bool sendFirmwareBlock(const FirmwareBlockRecord& record, std::stop_token stop) override {
    const auto number = static_cast<uint16_t>(record[10] | (record[11] << 8));
    {
      std::lock_guard lock(mutex);
      blocks.push_back(number);
    }
    if (holdBlocks) {
      std::mutex m;
      std::condition_variable_any cv;
      std::unique_lock lock(m);
      cv.wait_for(lock, stop, std::chrono::seconds(60), [] { return false; });
      return false;
    }
    return number != refuseBlock;
  }
  size_t blocksSeen() {
    std::lock_guard lock(mutex);
    return blocks.size();
  }
};

// Writes an update file of `size` bytes; `intact` false spoils one byte after the CRC.
std::string writeUpdateFile(const char* name, size_t size, uint32_t signature, bool intact = true) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 12; i < size; ++i) bytes[i] = static_cast<uint8_t>(i);
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put(0, signature);
  put(8, 20240101);
  put(4, crc32Ieee(std::span<const uint8_t>(bytes).subspan(8)));
  if (!intact) bytes[size - 1] ^= 0xFF;
  const auto path =
      std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + "-" + name + ".udf");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

class UpdatePageTest : public ::testing::Test {
 protected:
  ~UpdatePageTest() override {
    if (port.file) std::filesystem::remove(*port.file);
  }
  bool waitForMessages(size_t count) {
    return QTest::qWaitFor([&] { return port.messages.size() >= count; }, kBoundMs);
  }
  RecordingPort port;
  CTabUpdateDlg page{port};
};

TEST_F(UpdatePageTest, ChosenFileShowsItsNameAndVersion) {
  port.file = writeUpdateFile("cam_fw", 3000, kUpdateFileSignature);
  page.selectFile();
  EXPECT_EQ(page.pathText().toStdString(), *port.file);
  // The text box shows the text's Windows line breaks as plain ones.
  EXPECT_EQ(page.informationText().toStdString(),
            "+ File Name : " + std::to_string(::getpid()) +
                "-cam_fw.bin\n\n+ File Firmware Version : 20240101\n");
  EXPECT_TRUE(port.messages.empty());
}

TEST_F(UpdatePageTest, WrongSignatureLoadsAndShowsTheNumber) {
  port.file = writeUpdateFile("foreign", 3000, 0x00000102);
  page.selectFile();
  EXPECT_NE(page.informationText().indexOf("*****File ID (258) doesn't equal. *****"), -1);
  page.startUpdate();
  ASSERT_TRUE(waitForMessages(1));
  EXPECT_EQ(port.messages[0].text, "Completed to send a firmware file!");
}

TEST_F(UpdatePageTest, CrcMismatchWarnsButDoesNotPreventTheUpdate) {
  port.file = writeUpdateFile("spoilt", 3000, kUpdateFileSignature, false);
  page.selectFile();
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "File CRC error!!");
  EXPECT_EQ(port.messages[0].caption, "Warining");
  EXPECT_EQ(port.messages[0].icon, MessageIcon::Error);
  page.startUpdate();
  ASSERT_TRUE(waitForMessages(2));
  EXPECT_EQ(port.messages[1].text, "Completed to send a firmware file!");
}

TEST_F(UpdatePageTest, UnreadableFileSaysSoWithoutCaption) {
  port.file = "/nonexistent/folder/fw.udf";
  page.selectFile();
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "Failed to open a firmware file!");
  EXPECT_EQ(port.messages[0].caption, "");
  port.file.reset();
}

TEST_F(UpdatePageTest, UpdateWithoutAFileIsRefused) {
  page.startUpdate();
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "No firmware file information!!");
  EXPECT_EQ(port.messages[0].caption, "Warining");
  EXPECT_FALSE(page.updating());
}

TEST_F(UpdatePageTest, DecliningTheQuestionSendsNothing) {
  port.file = writeUpdateFile("declined", 3000, kUpdateFileSignature);
  port.answer = false;
  page.selectFile();
  page.startUpdate();
  EXPECT_EQ(port.questions, std::vector<std::string>{"Do you want to update a firmware?"});
  EXPECT_FALSE(page.updating());
  EXPECT_EQ(port.blocksSeen(), 0u);
}

TEST_F(UpdatePageTest, NewerCameraFirmwareAsksAboutTheDowngradeFirst) {
  port.file = writeUpdateFile("older", 3000, kUpdateFileSignature);
  port.cameraVersion = 20250101;
  port.answer = false;
  page.selectFile();
  page.startUpdate();
  ASSERT_EQ(port.questions.size(), 1u) << "declining the first question ends it";
  EXPECT_EQ(port.questions[0].rfind("Firmware version in a camera is less then", 0), 0u);
}

TEST_F(UpdatePageTest, CompletedUpdateSentEveryBlockAndFilledTheBar) {
  port.file = writeUpdateFile("whole", 5000, kUpdateFileSignature);
  page.selectFile();
  page.startUpdate();
  ASSERT_TRUE(waitForMessages(1));
  EXPECT_EQ(port.messages[0].text, "Completed to send a firmware file!");
  EXPECT_EQ(port.messages[0].caption, "Notification Message");
  EXPECT_EQ(port.blocks, (std::vector<uint16_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(page.progressValue(), 5);
}

TEST_F(UpdatePageTest, RefusedBlockEndsTheUpdateAsAFailure) {
  port.file = writeUpdateFile("refused", 5000, kUpdateFileSignature);
  port.refuseBlock = 2;
  page.selectFile();
  page.startUpdate();
  ASSERT_TRUE(waitForMessages(1));
  EXPECT_EQ(port.messages[0].text, "Failed to send firmware file!!!");
  EXPECT_EQ(port.messages[0].caption, "Warning Message");
  EXPECT_EQ(port.blocks, (std::vector<uint16_t>{1, 2}));
}

TEST_F(UpdatePageTest, CancelStopsAWaitingUpdate) {
  port.file = writeUpdateFile("cancelled", 5000, kUpdateFileSignature);
  port.holdBlocks = true;
  page.selectFile();
  page.startUpdate();
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.blocksSeen() == 1; }, kBoundMs));
  EXPECT_TRUE(page.updating());
  page.cancelUpdate();
  ASSERT_TRUE(waitForMessages(1));
  EXPECT_EQ(port.messages[0].text, "Failed to send firmware file!!!");
  EXPECT_FALSE(page.updating());
}

TEST_F(UpdatePageTest, EveryControlHasAnAccessibleName) {
  for (QWidget* w : page.findChildren<QWidget*>()) {
    if (w->focusPolicy() == Qt::NoFocus) continue;
    EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
  }
}

}  // namespace
}  // namespace tessor
