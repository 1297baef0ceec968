// "Find Camera" against a real Avahi daemon on loopback (run by the finder's namespace
// script, which also starts the simulator announcing itself on 127.0.0.1): the announced
// simulator is listed, chosen, put into the address control, and connected to.
#include <QAbstractItemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "window_support.h"

class FinderTest : public QObject {
  Q_OBJECT

 private slots:
  void findsAndConnectsToTheAnnouncedSimulator() {
    testsupport::TempFolder folder;
    desktop::ScriptedNotifier notifier("Tessor");
    desktop::SettingsStore settings(folder.iniFile());
    CVynCamUserControlDlg::Setup setup{&notifier, &settings, folder.path(), {}};
    setup.finder.namesFile = folder.path() / "cam_name.cnm";
    CVynCamUserControlDlg window(setup);
    notifier.clear();  // the test folder has no company file

    bool chosen = false;
    // The finder is modal: it is answered from inside its own event loop.
    QTimer::singleShot(0, &window, [&] {
      CFindCameraDlg* dialog = window.finderDialog();
      QVERIFY(dialog);
      QAbstractItemModel* rows = dialog->cameraList()->model();
      auto simulatorRow = [&] {
        for (int row = 0; row < rows->rowCount(); ++row)
          if (rows->data(rows->index(row, 2)).toString() == "127.0.0.1") return row;
        return -1;
      };
      if (!QTest::qWaitFor([&] { return simulatorRow() >= 0; }, 30000)) {
        dialog->reject();
        return;
      }
      dialog->cameraList()->setCurrentIndex(rows->index(simulatorRow(), 0));
      dialog->selectButton()->click();
      chosen = true;
    });
    window.ipEdit()->setText("0.0.0.0");
    window.findButton()->click();
    QVERIFY(chosen);
    QCOMPARE(window.ipEdit()->text(), QString("127.0.0.1"));

    window.connectButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(window.core().state().link, tessor::LinkState::Connected,
                              tessor_test::kEventBoundMs);
    QVERIFY(!window.findButton()->isEnabled());
    QVERIFY(notifier.shown().empty());
  }
};

QTEST_MAIN(FinderTest)
#include "finder_avahi_test.moc"
