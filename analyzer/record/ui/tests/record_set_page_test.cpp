// The recording page alone: what it loads it stores back, the user's choices reach the
// settings, and the codec choice falls back as the list allows.
#include "record/ui/record_set_page.h"

#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

using namespace solvane;

namespace {
std::vector<exports::VideoCodec> someCodecs() {
  return {{"MSVC", "Microsoft Video 1"}, {"XVID", "Xvid MPEG-4"}, {"H264", "H.264"}};
}
}  // namespace

class RecordSetPageTest : public QObject {
  Q_OBJECT

 private slots:
  void storesWhatItLoaded_data() {
    QTest::addColumn<int>("recordCond");
    QTest::addColumn<int>("useAvi");
    QTest::addColumn<QString>("fourcc");
    QTest::newRow("fullRaw") << 0 << 0 << "MSVC";
    QTest::newRow("userAvi") << 2 << 1 << "H264";
    QTest::newRow("halfCsv") << 1 << 2 << "XVID";
  }
  void storesWhatItLoaded() {
    QFETCH(int, recordCond);
    QFETCH(int, useAvi);
    QFETCH(QString, fourcc);
    AnalyzerSettings in;
    in.recordCond = recordCond;
    in.recordPeriod = 7;
    in.recordTimeUnit = 2;
    in.updateCond = 2;
    in.updatePeriod = 3;
    in.updateTimeUnit = 1;
    in.useAvi = useAvi;
    in.fourcc = fourcc.toStdString();
    in.aviQuality = 7500;
    in.savePath = "/tmp/shots";
    CRecordSetPage page(nullptr, someCodecs());
    page.load(in);
    AnalyzerSettings out;
    page.store(out);
    QCOMPARE(out.recordCond, in.recordCond);
    QCOMPARE(out.recordPeriod, 7);
    QCOMPARE(out.recordTimeUnit, 2);
    QCOMPARE(out.updateCond, 2);
    QCOMPARE(out.updatePeriod, 3);
    QCOMPARE(out.updateTimeUnit, 1);
    QCOMPARE(out.useAvi, in.useAvi);
    QCOMPARE(QString::fromStdString(out.fourcc), fourcc);
    QCOMPARE(out.aviQuality, 7500);
    QCOMPARE(out.savePath, std::string("/tmp/shots"));
    // Only a movie has a codec and a quality to choose.
    QCOMPARE(page.codecBox()->isEnabled(), useAvi == 1);
  }

  void unknownCodecFallsBackToXvid() {
    AnalyzerSettings in;
    in.fourcc = "ZZZZ";
    in.fourccNum = -1;
    CRecordSetPage page(nullptr, someCodecs());
    page.load(in);
    AnalyzerSettings out;
    page.store(out);
    QCOMPARE(out.fourcc, std::string("XVID"));
  }

  void userChoicesReachTheSettings() {
    CRecordSetPage page(nullptr, someCodecs());
    page.load(AnalyzerSettings{});
    page.findChild<QRadioButton*>("recordUser")->click();
    QSpinBox* period = page.findChild<QSpinBox*>("recordPeriod");
    QVERIFY(period->isEnabled());
    period->setValue(30);
    page.findChild<QRadioButton*>("formCsv")->click();
    page.findChild<QRadioButton*>("manualName")->click();
    AnalyzerSettings out;
    page.store(out);
    QCOMPARE(out.recordCond, 2);
    QCOMPARE(out.recordPeriod, 30);
    QCOMPARE(out.useAvi, 2);
    QVERIFY(out.recordManualName);
    page.load(out);
    QVERIFY(page.findChild<QRadioButton*>("manualName")->isChecked());
  }
};

QTEST_MAIN(RecordSetPageTest)
#include "record_set_page_test.moc"
