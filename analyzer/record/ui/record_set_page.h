// The recording page of the environment dialog, as a page of its own: how often frames are
// recorded and object logs written, the recording form, the movie codec and its quality,
// the naming and the save folder. The dialog that holds it calls load() when it opens and
// store() when the user confirms.
#pragma once

#include "app/analyzer_settings.h"
#include "export/video_codecs.h"

#include <QWidget>

#include <vector>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace solvane {

class CRecordSetPage : public QWidget {
  Q_OBJECT
 public:
  // `codecs` is the list the codec box offers (the export core's list by default).
  explicit CRecordSetPage(QWidget* parent = nullptr, std::vector<exports::VideoCodec> codecs =
                                                         exports::availableVideoCodecs());

  void load(const AnalyzerSettings& settings);
  void store(AnalyzerSettings& settings) const;

  QComboBox* codecBox() const { return codec_; }

 private:
  struct Period {
    QButtonGroup* speed = nullptr;  // 0 full, 1 half, 2 user defined
    QSpinBox* period = nullptr;
    QComboBox* unit = nullptr;  // 0 seconds, 1 minutes, 2 hours, 3 days
  };
  QWidget* buildPeriod(Period& period, const QString& title, const QString& name);
  void refreshEnabled();

  std::vector<exports::VideoCodec> codecs_;
  Period record_;
  Period objectLog_;
  QButtonGroup* form_ = nullptr;  // 0 RAW, 1 AVI, 2 CSV
  QComboBox* codec_ = nullptr;
  QSpinBox* quality_ = nullptr;
  QRadioButton* automaticName_ = nullptr;
  QRadioButton* manualName_ = nullptr;
  QLineEdit* savePath_ = nullptr;
  QPushButton* browse_ = nullptr;
};

}  // namespace solvane
