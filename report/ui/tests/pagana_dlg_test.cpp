// The dialog under Qt's offscreen platform: its commands, messages and accessible names.
#include "pagana_dlg.h"
#include "checklist_model.h"
#include "snapshot_files.h"
#include "testing/temp_folder.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <fstream>

using namespace pagana;
using namespace pagana::testing;

class PaganaDlgTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<testsupport::TempFolder> folder_;
  std::unique_ptr<desktop::ScriptedNotifier> notifier_;

  std::filesystem::path session() const { return folder_->path() / "session.json"; }
  QString snapshot(const std::string& name, SnapshotValues values = {}) {
    const auto path = folder_->path() / name;
    if (!writeSnapshot(path, values)) qFatal("cannot write a test snapshot");
    return QString::fromStdString(path.string());
  }
  QStringList messages() const {
    QStringList texts;
    for (const auto& m : notifier_->shown()) {
      texts << QString::fromStdString(m.title + ": " + m.text);
    }
    return texts;
  }
  static QPushButton* buttonNamed(CPaganaDlg& dialog, const QString& accessibleName) {
    for (auto* b : dialog.findChildren<QPushButton*>()) {
      if (b->accessibleName() == accessibleName) return b;
    }
    return nullptr;
  }
  static QLineEdit* fieldNamed(CPaganaDlg& dialog, const QString& accessibleName) {
    for (auto* e : dialog.findChildren<QLineEdit*>()) {
      if (e->accessibleName() == accessibleName) return e;
    }
    return nullptr;
  }

 private slots:
  void init() {
    folder_ = std::make_unique<testsupport::TempFolder>();
    notifier_ = std::make_unique<desktop::ScriptedNotifier>("Pagana");
  }

  void titleIsTheProgramsName() {
    CPaganaDlg dialog(*notifier_, session());
    QCOMPARE(dialog.windowTitle(), QString("Pagana (Ver.1.0)"));
  }

  void everyWidgetTheUserActsOnOrReadsHasAnAccessibleName() {
    CPaganaDlg dialog(*notifier_, session());
    QStringList unnamed;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
      const bool relevant = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                            qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTableView*>(w) ||
                            qobject_cast<QLabel*>(w);
      if (relevant && w->accessibleName().isEmpty()) unnamed << w->metaObject()->className();
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
  }

  void listShowsTheSnapshotInItsColumns() {
    CPaganaDlg dialog(*notifier_, session());
    dialog.loadImages({snapshot("roof.jpg", {.levelTenths = 253,
                                             .spanTenths = 120,
                                             .atmTempThousandths = 21500,
                                             .transmissionThousandths = 980,
                                             .emissivityThousandths = 950})});
    auto* model = dialog.list()->model();
    QCOMPARE(model->rowCount(), 1);
    QStringList cells;
    for (int c = 0; c < kPathColumn; ++c) cells << model->index(0, c).data().toString();
    QCOMPARE(cells,
             (QStringList{"roof", "25.30\u00B0C", "12.00\u00B0C", "21.50\u00B0C", "0.98", "0.95"}));
    QVERIFY(dialog.list()->isColumnHidden(kPathColumn));
    QCOMPARE(model->headerData(kAtmTempColumn, Qt::Horizontal).toString(), QString("Atm. Temp."));
  }

  void selectingARowEnablesTheFieldsAndAddThenUpdates() {
    CPaganaDlg dialog(*notifier_, session());
    dialog.loadImages({snapshot("a.jpg")});
    QLineEdit* company = fieldNamed(dialog, "Company");
    QPushButton* addUpdate = buttonNamed(dialog, "Add or update measurement information");
    QVERIFY(company && addUpdate);
    QVERIFY(!company->isEnabled());
    dialog.list()->selectRow(0);
    QVERIFY(company->isEnabled());
    QCOMPARE(addUpdate->text(), QString("Add"));
    QTest::keyClicks(company, "Acme");
    QTest::mouseClick(addUpdate, Qt::LeftButton);
    QCOMPARE(addUpdate->text(), QString("Update"));
    QTest::mouseClick(addUpdate, Qt::LeftButton);
    QCOMPARE(messages(), (QStringList{"Message: Added measurement information!",
                                      "Message: Updated measurement information!"}));
  }

  void reportPreviewWithNothingTickedAsksForTicks() {
    CPaganaDlg dialog(*notifier_, session());
    dialog.loadImages({snapshot("a.jpg")});
    QTest::mouseClick(buttonNamed(dialog, "Report preview"), Qt::LeftButton);
    QCOMPARE(messages(), QStringList{"Message: Please check items on the list!"});
    QVERIFY(dialog.previewFrame() == nullptr);
  }

  void reportPreviewOfATickedRowOpensTheFrameOnce() {
    CPaganaDlg dialog(*notifier_, session());
    dialog.loadImages({snapshot("a.jpg")});
    auto* model = dialog.list()->model();
    QVERIFY(model->setData(model->index(0, kImageNameColumn), Qt::Checked, Qt::CheckStateRole));
    dialog.showReportPreview();
    QPrintPreviewDialog* frame = dialog.previewFrame();
    QVERIFY(frame != nullptr);
    QCOMPARE(frame->windowTitle(), QString("Report Preview"));
    QVERIFY(frame->isVisible());
    frame->reject();
    dialog.showReportPreview();
    QCOMPARE(dialog.previewFrame(), frame);
    frame->reject();
    QVERIFY(notifier_->shown().empty());
  }

  void headerPictureThatIsNoPictureIsRefused() {
    CPaganaDlg dialog(*notifier_, session());
    const auto path = folder_->path() / "logo.png";
    std::ofstream(path) << "not a picture";
    QVERIFY(!dialog.loadHeaderPicture(QString::fromStdString(path.string())));
    QCOMPARE(messages(), QStringList{"Message: This file isn't a right bitmap!"});
  }

  void typedTextsSurviveARestart() {
    const QString path = snapshot("a.jpg");
    {
      CPaganaDlg dialog(*notifier_, session());
      dialog.loadImages({path});
      dialog.list()->selectRow(0);
      fieldNamed(dialog, "Site")->setText("Boiler room");
      buttonNamed(dialog, "Add or update measurement information")->click();
    }
    CPaganaDlg reopened(*notifier_, session());
    QCOMPARE(reopened.list()->model()->rowCount(), 1);
    reopened.list()->selectRow(0);
    QCOMPARE(fieldNamed(reopened, "Site")->text(), QString("Boiler room"));
  }

  void printToPdfWritesOnePagePerTickedRow() {
    CPaganaDlg dialog(*notifier_, session());
    dialog.loadImages({snapshot("a.jpg"), snapshot("b.jpg")});
    auto* model = dialog.list()->model();
    model->setData(model->index(1, kImageNameColumn), Qt::Checked, Qt::CheckStateRole);
    const QString pdf = QString::fromStdString((folder_->path() / "report.pdf").string());
    QVERIFY(dialog.printToPdf(pdf));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("%PDF"));
  }
};

QTEST_MAIN(PaganaDlgTest)
#include "pagana_dlg_test.moc"
