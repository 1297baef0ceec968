// The finder with the real client library (Avahi's) and a real daemon: run only by
// avahi_loopback_test.sh, which starts the daemon on loopback, announces one camera by hand
// and starts the simulator, which announces itself.
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

TEST(AvahiLoopback, AnnouncedCamerasAreListedAndOneIsSelected) {
  ASSERT_TRUE(discovery::processDnsSdLibrary().loaded())
      << discovery::processDnsSdLibrary().fileName();
  char pattern[] = "/tmp/discovery_e2e_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::filesystem::path dir = pattern;

  RecordingNotifier notifier;
  {
    CFindCamera dialog(nullptr, {nullptr, &notifier, dir / discovery::kNamesFileName});
    auto* model = dialog.cameraList()->model();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount() == 2; }, 30000))
        << "rows: " << model->rowCount();
    // The order of the rows is the order the answers came in.
    auto rowOf = [&](const QString& ip) {
      for (int row = 0; row < model->rowCount(); ++row) {
        if (model->data(model->index(row, 2)).toString() == ip) return row;
      }
      return -1;
    };
    auto cell = [&](int row, int column) {
      return model->data(model->index(row, column)).toString();
    };
    const int published = rowOf("127.0.0.2");
    ASSERT_GE(published, 0);
    EXPECT_EQ(cell(published, 0), "Loading dock");
    EXPECT_EQ(cell(published, 1), "KT4");
    EXPECT_EQ(cell(published, 3), "00:11:22:33:44:77");
    const int simulator = rowOf("127.0.0.1");
    ASSERT_GE(simulator, 0);
    EXPECT_EQ(cell(simulator, 0), "Boiler house");
    EXPECT_EQ(cell(simulator, 1), "KS3-384");
    EXPECT_EQ(cell(simulator, 3), "00:11:22:33:44:88");

    dialog.cameraList()->setCurrentIndex(model->index(simulator, 0));
    QTest::mouseClick(dialog.selectButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ipAddress(), "127.0.0.1");
    EXPECT_EQ(dialog.cameraName(), "Boiler house");
  }
  EXPECT_TRUE(notifier.messages.empty()) << notifier.messages.front();
  const auto stored = discovery::readNamesFile(dir / discovery::kNamesFileName);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->records.size(), 2u);
  std::filesystem::remove_all(dir);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
