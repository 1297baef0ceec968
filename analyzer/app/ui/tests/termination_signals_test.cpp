// A termination signal reaches the program as a close request on its event loop.
#include "app/ui/termination_signals.h"

#include <QtTest>

#include <csignal>

using solvane::TerminationSignals;

class TerminationSignalsTest : public QObject {
  Q_OBJECT

 private slots:
  void signalsBecomeCloseRequests_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
  }

  void signalsBecomeCloseRequests() {
    QFETCH(int, signal);
    int requests = 0;
    TerminationSignals handler([&requests] { ++requests; });
    QCOMPARE(::raise(signal), 0);
    // The handler only writes a byte: nothing runs before the event loop turns.
    QCOMPARE(requests, 0);
    QTRY_COMPARE_WITH_TIMEOUT(requests, 1, 10000);
  }

  void defaultActionComesBackWhenTheHandlerEnds() {
    {
      TerminationSignals handler([] {});
    }
    struct sigaction current {};
    QCOMPARE(::sigaction(SIGTERM, nullptr, &current), 0);
    QVERIFY(current.sa_handler == SIG_DFL);
  }
};

QTEST_GUILESS_MAIN(TerminationSignalsTest)
#include "termination_signals_test.moc"
