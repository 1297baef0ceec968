// The program's notifier shows a real message box with the text, title and buttons asked
// for, and hands back the button the user pressed.
#include "desktop/message_box_notifier.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <string>

using namespace desktop;

Q_DECLARE_METATYPE(desktop::Buttons)
Q_DECLARE_METATYPE(desktop::Answer)

class MessageBoxNotifierTest : public QObject {
  Q_OBJECT

 private slots:
  void answersWithThePressedButton_data() {
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<int>("press");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<int>("buttonCount");
    QTest::newRow("ok") << Buttons::Ok << int(QMessageBox::Ok) << Answer::Ok << 1;
    QTest::newRow("ok of ok/cancel")
        << Buttons::OkCancel << int(QMessageBox::Ok) << Answer::Ok << 2;
    QTest::newRow("cancel") << Buttons::OkCancel << int(QMessageBox::Cancel) << Answer::Cancel << 2;
    QTest::newRow("yes") << Buttons::YesNo << int(QMessageBox::Yes) << Answer::Yes << 2;
    QTest::newRow("no") << Buttons::YesNo << int(QMessageBox::No) << Answer::No << 2;
  }

  void answersWithThePressedButton() {
    QFETCH(Buttons, buttons);
    QFETCH(int, press);
    QFETCH(Answer, answer);
    QFETCH(int, buttonCount);

    QString seenText;
    QString seenTitle;
    int seenButtons = 0;
    QTimer::singleShot(0, [&] {
      for (int attempt = 0; attempt < 1000; ++attempt) {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
          seenText = box->text();
          seenTitle = box->windowTitle();
          seenButtons = static_cast<int>(box->buttons().size());
          QAbstractButton* button = box->button(static_cast<QMessageBox::StandardButton>(press));
          if (button) {
            button->click();
          } else {
            box->reject();
          }
          return;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
      }
    });

    MessageBoxNotifier notifier("Solvane");
    const Answer given = notifier.show(
        Message{"Do you want to reset window layout.", "Information", buttons, Severity::Question});
    QCOMPARE(seenText, QString("Do you want to reset window layout."));
    QCOMPARE(seenTitle, QString("Information"));
    QCOMPARE(seenButtons, buttonCount);
    QCOMPARE(given, answer);
  }

  // An unattended program meeting the same condition again must not stack boxes: the same
  // plain message is shown once while it is on screen, another text or a question still
  // gets its own box, and once closed the message can show again.
  void aPlainMessageOnScreenIsNotShownTwice() {
    MessageBoxNotifier notifier("Solvane");
    const std::string repeated = "The camera is operated by hand.";
    int boxesWhileRepeated = -1;
    int boxesWithAnother = -1;
    int boxesWithQuestion = -1;
    bool duplicate = false;
    onNextBox(nullptr, [&](QMessageBox* first) {
      // Closes a second box of the same message at once, should one open, so the failure
      // shows instead of a test waiting for a click.
      QTimer::singleShot(0, [&, first] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box != first && box->text() == QString::fromStdString(repeated)) {
          duplicate = true;
          box->accept();
        }
      });
      notifier.tell(repeated);
      boxesWhileRepeated = openBoxes();
      onNextBox(first, [&](QMessageBox* second) {
        boxesWithAnother = openBoxes();
        second->accept();
      });
      notifier.tell("Another message.");
      onNextBox(first, [&](QMessageBox* question) {
        boxesWithQuestion = openBoxes();
        question->button(QMessageBox::Ok)->click();
      });
      QVERIFY(notifier.confirm(repeated, "Question"));
      first->accept();
    });
    notifier.tell(repeated);
    QVERIFY(!duplicate);
    QCOMPARE(boxesWhileRepeated, 1);
    QCOMPARE(boxesWithAnother, 2);
    QCOMPARE(boxesWithQuestion, 2);

    bool shownAgain = false;
    onNextBox(nullptr, [&](QMessageBox* box) {
      shownAgain = box->text() == QString::fromStdString(repeated);
      box->accept();
    });
    notifier.tell(repeated);
    QVERIFY(shownAgain);
  }

 private:
  static int openBoxes() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (qobject_cast<QMessageBox*>(widget) && widget->isVisible()) ++count;
    return count;
  }
  // Runs `act` on the next modal box other than `previous`, from inside its own event loop.
  static void onNextBox(QMessageBox* previous, std::function<void(QMessageBox*)> act) {
    QTimer::singleShot(0, [previous, act = std::move(act)] {
      for (int attempt = 0; attempt < 1000; ++attempt) {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box != previous) {
          act(box);
          return;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
      }
    });
  }
};

QTEST_MAIN(MessageBoxNotifierTest)
#include "message_box_notifier_test.moc"
