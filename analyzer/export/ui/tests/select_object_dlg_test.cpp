// "Select Object" moves objects between its two lists within the limits of one log.
#include "export/ui/select_object_dlg.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace solvane::exports;

namespace {

std::vector<SelectableObject> objects(int spots, int areas) {
  std::vector<SelectableObject> list;
  for (int i = 0; i < spots; ++i) {
    list.push_back({i, QStringLiteral("Spot %1").arg(i + 1), ObjectKind::Spot});
  }
  for (int i = 0; i < areas; ++i) {
    list.push_back({100 + i, QStringLiteral("Rect %1").arg(i + 1), ObjectKind::Area});
  }
  return list;
}

}  // namespace

class SelectObjectDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void movesHighlightedObjectsToTheSelection() {
    CSelectObjectDlg dialog(objects(2, 1));
    dialog.activatedList()->item(0)->setSelected(true);
    dialog.activatedList()->item(2)->setSelected(true);
    QTest::mouseClick(dialog.addButton(), Qt::LeftButton);
    QCOMPARE(dialog.selectedList()->count(), 2);
    QCOMPARE(dialog.activatedList()->count(), 1);
    QCOMPARE(QString::fromStdString(objectLogHeader(dialog.selection())),
             QStringLiteral("Time,Spot 1,Rect 1[Min],Rect 1[Max],Rect 1[Aver],Rect 1[Std],\n"));
  }

  void movesThemBack() {
    CSelectObjectDlg dialog(objects(2, 0));
    dialog.activatedList()->selectAll();
    QTest::mouseClick(dialog.addButton(), Qt::LeftButton);
    dialog.selectedList()->item(1)->setSelected(true);
    QTest::mouseClick(dialog.removeButton(), Qt::LeftButton);
    QCOMPARE(dialog.selectedList()->count(), 1);
    QCOMPARE(dialog.activatedList()->item(0)->text(), QStringLiteral("Spot 2"));
  }

  void keepsObjectsBeyondThirtyOfAKindActivated() {
    CSelectObjectDlg dialog(objects(33, 31));
    dialog.activatedList()->selectAll();
    QTest::mouseClick(dialog.addButton(), Qt::LeftButton);
    QCOMPARE(dialog.selection().count(ObjectKind::Spot), std::size_t{30});
    QCOMPARE(dialog.selection().count(ObjectKind::Area), std::size_t{30});
    QCOMPARE(dialog.activatedList()->count(), 4);
  }

  void startsFromAnEarlierSelection() {
    ObjectSelection earlier;
    earlier.add(1, "Spot 2", ObjectKind::Spot);
    CSelectObjectDlg dialog(objects(3, 0), earlier);
    QCOMPARE(dialog.selectedList()->count(), 1);
    QCOMPARE(dialog.activatedList()->count(), 2);
  }

  void everyControlHasAnAccessibleName() {
    CSelectObjectDlg dialog(objects(1, 1));
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
      if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QListWidget*>(widget) ||
          qobject_cast<QLabel*>(widget)) {
        QVERIFY2(!widget->accessibleName().isEmpty(),
                 qPrintable(widget->metaObject()->className()));
      }
    }
  }
};

QTEST_MAIN(SelectObjectDlgTest)
#include "select_object_dlg_test.moc"
