// The program's notifier shows a real message box with the text, title and buttons asked
// for, and hands back the button the user pressed.
#include "desktop/message_box_notifier.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

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
};

QTEST_MAIN(MessageBoxNotifierTest)
#include "message_box_notifier_test.moc"
