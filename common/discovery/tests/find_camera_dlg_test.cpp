// The finder dialogs driven offscreen, with the stand-in DNS-SD library bound through the
// program's own run-time binding (IRDEX_DNSSD_LIBRARY).
#include "discovery/ui/find_camera_dlg.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <cstdlib>

#include "discovery/core/dns_sd_library.h"
#include "fake_dns_sd_client.h"

namespace {

using discovery::testing::FakeDnsSd;

class RecordingNotifier : public discovery::MessageNotifier {
 public:
  void message(const std::string& text, const std::string& title) override {
    messages.emplace_back(text, title);
  }
  std::vector<std::pair<std::string, std::string>> messages;
};

constexpr int kWaitMs = 10000;

class FindCameraDialog : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/discovery_dialog_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    fake_.setSharedConnections(GetParam());
  }
  void TearDown() override {
    EXPECT_EQ(fake_.badDeallocations(), 0) << "references released twice";
    std::filesystem::remove_all(dir_);
  }

  template <typename Dialog = CFindCameraDlg>
  std::unique_ptr<Dialog> openDialog() {
    return std::make_unique<Dialog>(nullptr,
                                    discovery::FinderSetup{nullptr, &notifier_, namesPath()});
  }
  std::filesystem::path namesPath() const { return dir_ / discovery::kNamesFileName; }

  static bool waitForRows(CFindCameraDlg& dialog, int rows) {
    return QTest::qWaitFor([&] { return dialog.cameraList()->model()->rowCount() == rows; },
                           kWaitMs);
  }
  static QString cell(CFindCameraDlg& dialog, int row, int column) {
    auto* model = dialog.cameraList()->model();
    return model->data(model->index(row, column)).toString();
  }
  static int rowNamed(CFindCameraDlg& dialog, const QString& name) {
    for (int row = 0; row < dialog.cameraList()->model()->rowCount(); ++row)
      if (cell(dialog, row, 0) == name) return row;
    return -1;
  }
  static void selectRow(CFindCameraDlg& dialog, int row) {
    dialog.cameraList()->setCurrentIndex(dialog.cameraList()->model()->index(row, 0));
  }

  FakeDnsSd fake_;
  RecordingNotifier notifier_;
  std::filesystem::path dir_;
};

TEST_P(FindCameraDialog, ShowsItsCaptionColumnsAndButtons) {
  auto dialog = openDialog();
  EXPECT_EQ(dialog->windowTitle(), "Find camera IP address");
  auto* model = dialog->cameraList()->model();
  const QStringList titles = {"Name", "Model", "IP Address", "Mac Address"};
  const int widths[] = {100, 60, 120, 150};
  ASSERT_EQ(model->columnCount(), 4);
  for (int column = 0; column < 4; ++column) {
    EXPECT_EQ(model->headerData(column, Qt::Horizontal).toString(), titles[column]);
    EXPECT_EQ(dialog->cameraList()->header()->sectionSize(column), widths[column]);
  }
  EXPECT_EQ(dialog->refreshButton()->text(), "Refresh camera list");
  EXPECT_EQ(dialog->selectButton()->text(), "Select");
  EXPECT_EQ(dialog->cancelButton()->text(), "Cancel");
  EXPECT_EQ(dialog->cameraList()->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(dialog->cameraList()->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_TRUE(model->flags(model->index(0, 0)) == Qt::NoItemFlags || model->rowCount() == 0);
}

TEST_P(FindCameraDialog, ListFillsAndNamesFileIsWrittenOnClose) {
  fake_.addCamera("Cam A", "KT4", "", "127.0.0.41", "00:11:22:33:44:41");
  fake_.addCamera("Cam B", "KS3", "Yard", "127.0.0.42", "00:11:22:33:44:42");
  auto dialog = openDialog();
  ASSERT_TRUE(waitForRows(*dialog, 2));
  const int ru = rowNamed(*dialog, "RU640");
  ASSERT_GE(ru, 0);
  EXPECT_EQ(cell(*dialog, ru, 1), "KT4");
  EXPECT_EQ(cell(*dialog, ru, 2), "127.0.0.41");
  EXPECT_EQ(cell(*dialog, ru, 3), "00:11:22:33:44:41");
  EXPECT_TRUE(dialog->cameraList()->model()->flags(dialog->cameraList()->model()->index(0, 0)) &
              Qt::ItemIsEditable);
  EXPECT_FALSE(dialog->cameraList()->model()->flags(dialog->cameraList()->model()->index(0, 1)) &
               Qt::ItemIsEditable);

  dialog->reject();
  const auto stored = discovery::readNamesFile(namesPath());
  ASSERT_TRUE(stored.has_value());
  ASSERT_EQ(stored->records.size(), 2u);
  EXPECT_EQ(stored->records[static_cast<std::size_t>(ru)],
            (discovery::NameRecord{"00:11:22:33:44:41", "RU640"}));
  EXPECT_EQ(std::filesystem::file_size(namesPath()), 2 * discovery::kNameRecordSize);
  dialog.reset();
  EXPECT_EQ(fake_.liveRefs(), 0);
}

TEST_P(FindCameraDialog, RefreshStartsOverWithAnEmptyList) {
  fake_.addCamera("Cam A", "KT3", "A", "127.0.0.43", "m1");
  auto dialog = openDialog();
  ASSERT_TRUE(waitForRows(*dialog, 1));
  fake_.removeService("Cam A");
  fake_.addCamera("Cam B", "KT3", "B", "127.0.0.44", "m2");
  ASSERT_TRUE(waitForRows(*dialog, 2));
  QTest::mouseClick(dialog->refreshButton(), Qt::LeftButton);
  ASSERT_TRUE(waitForRows(*dialog, 1));
  EXPECT_EQ(cell(*dialog, 0, 0), "B");
}

TEST_P(FindCameraDialog, SelectHandsBackAddressAndTheAnalyzerAlsoGetsTheName) {
  fake_.addCamera("Cam A", "KT3", "Alpha", "127.0.0.45", "m1");
  fake_.addCamera("Cam B", "KT3", "Beta", "127.0.0.46", "m2");
  auto dialog = openDialog<CFindCamera>();
  ASSERT_TRUE(waitForRows(*dialog, 2));
  selectRow(*dialog, rowNamed(*dialog, "Beta"));
  QTest::mouseClick(dialog->selectButton(), Qt::LeftButton);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->ipAddress(), "127.0.0.46");
  EXPECT_EQ(dialog->cameraName(), "Beta");
  EXPECT_TRUE(notifier_.messages.empty());
  EXPECT_EQ(fake_.liveRefs(), 0);
}

TEST_P(FindCameraDialog, DoubleClickOnARowSelectsIt) {
  fake_.addCamera("Cam A", "KS4", "", "127.0.0.47", "m1");
  auto dialog = openDialog();
  dialog->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
  ASSERT_TRUE(waitForRows(*dialog, 1));
  auto* view = dialog->cameraList();
  const QPoint centre = view->visualRect(view->model()->index(0, 2)).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, kWaitMs));
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->ipAddress(), "127.0.0.47");
}

TEST_P(FindCameraDialog, SelectWithNothingSelectedWarnsAndStopsListing) {
  auto dialog = openDialog();
  dialog->show();
  QTest::mouseClick(dialog->selectButton(), Qt::LeftButton);
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].first, "Please must be selected a camera on the list!");
  EXPECT_EQ(notifier_.messages[0].second, "Warning");
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(fake_.liveRefs(), 0);

  fake_.addCamera("Late", "KT3", "Late", "127.0.0.48", "m");
  QCoreApplication::processEvents();
  EXPECT_EQ(dialog->cameraList()->model()->rowCount(), 0);
  QTest::mouseClick(dialog->refreshButton(), Qt::LeftButton);
  EXPECT_TRUE(waitForRows(*dialog, 1));
}

TEST_P(FindCameraDialog, NameEditedInPlaceIsKeptForTheNextOpening) {
  fake_.addCamera("Cam A", "KT3", "Announced", "127.0.0.49", "00:11:22:33:44:49");
  {
    auto dialog = openDialog();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    ASSERT_TRUE(waitForRows(*dialog, 1));
    auto* view = dialog->cameraList();
    const QModelIndex nameCell = view->model()->index(0, 0);
    // The delegate commits and closes its editor through the event loop.
    auto typeAndEnd = [&](const char* text, Qt::Key key) {
      view->edit(nameCell);
      auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(nameCell));
      ASSERT_NE(editor, nullptr);
      editor->selectAll();
      QTest::keyClicks(editor, text);
      QTest::keyClick(editor, key);
      ASSERT_TRUE(QTest::qWaitFor([&] { return view->indexWidget(nameCell) == nullptr; }, kWaitMs));
    };
    typeAndEnd("Furnace 2", Qt::Key_Return);
    EXPECT_EQ(cell(*dialog, 0, 0), "Furnace 2");
    typeAndEnd("Discarded", Qt::Key_Escape);
    EXPECT_EQ(cell(*dialog, 0, 0), "Furnace 2");
    dialog->reject();
  }
  auto again = openDialog();
  ASSERT_TRUE(waitForRows(*again, 1));
  EXPECT_EQ(cell(*again, 0, 0), "Furnace 2");
}

TEST_P(FindCameraDialog, ClosingAnEmptyListLeavesAnEmptyNamesFile) {
  ASSERT_TRUE(discovery::writeNamesFile(namesPath(),
                                        std::vector<discovery::NameRecord>{{"old", "Old camera"}}));
  openDialog()->reject();
  ASSERT_TRUE(std::filesystem::exists(namesPath()));
  EXPECT_EQ(std::filesystem::file_size(namesPath()), 0u);
}

INSTANTIATE_TEST_SUITE_P(Connections, FindCameraDialog, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "SharedConnection" : "SocketPerOperation");
});

TEST(FindCameraBinding, DialogUsesTheOverriddenLibrary) {
  EXPECT_EQ(discovery::processDnsSdLibrary().fileName(), FAKE_DNSSD_PATH);
  EXPECT_TRUE(discovery::processDnsSdLibrary().loaded());
}

}  // namespace

int main(int argc, char** argv) {
  // The program's own binding must find the stand-in, as a deployment override would.
  setenv(discovery::kDnsSdLibraryVariable, FAKE_DNSSD_PATH, 1);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
