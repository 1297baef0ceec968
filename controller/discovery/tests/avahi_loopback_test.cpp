// The finder with the real client library (Avahi's) and a real daemon: run only by
// avahi_loopback_test.sh, which starts the daemon on loopback and the simulator, which
// announces itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "discovery/core/dns_sd_library.h"
#include "discovery/ui/find_camera_dlg.h"

namespace {

class RecordingNotifier : public discovery::MessageNotifier {
 public:
  void message(const std::string& text, const std::string& title) override {
    messages.push_back(title + ": " + text);
  }
  std::vector<std::string> messages;
};

TEST(AvahiLoopback, AnnouncedCameraIsListedAndSelected) {
  ASSERT_TRUE(discovery::processDnsSdLibrary().loaded())
      << discovery::processDnsSdLibrary().fileName();
  char pattern[] = "/tmp/discovery_e2e_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::filesystem::path dir = pattern;

  RecordingNotifier notifier;
  {
    CFindCamera dialog(nullptr, {nullptr, &notifier, dir / discovery::kNamesFileName});
    auto* model = dialog.cameraList()->model();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount() == 1; }, 30000));
    auto cell = [&](int column) { return model->data(model->index(0, column)).toString(); };
    EXPECT_EQ(cell(0), "Loading dock");
    EXPECT_EQ(cell(1), "KS3-384");
    EXPECT_EQ(cell(2), "127.0.0.1");
    EXPECT_EQ(cell(3), "00:11:22:33:44:77");

    dialog.cameraList()->setCurrentIndex(model->index(0, 0));
    QTest::mouseClick(dialog.selectButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ipAddress(), "127.0.0.1");
    EXPECT_EQ(dialog.cameraName(), "Loading dock");
  }
  EXPECT_TRUE(notifier.messages.empty()) << notifier.messages.front();
  const auto stored = discovery::readNamesFile(dir / discovery::kNamesFileName);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->records,
            (std::vector<discovery::NameRecord>{{"00:11:22:33:44:77", "Loading dock"}}));
  std::filesystem::remove_all(dir);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
