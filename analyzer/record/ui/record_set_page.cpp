#include "record/ui/record_set_page.h"

#include "export/movie_writer.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace solvane {
namespace {

QRadioButton* addChoice(QButtonGroup* group, QLayout* layout, const QString& text, int id,
                        const QString& name) {
  auto* button = new QRadioButton(text);
  button->setObjectName(name);
  button->setAccessibleName(text);
  group->addButton(button, id);
  layout->addWidget(button);
  return button;
}

void check(QButtonGroup* group, int id) {
  if (QAbstractButton* button = group->button(id)) button->setChecked(true);
}

}  // namespace

CRecordSetPage::CRecordSetPage(QWidget* parent, std::vector<exports::VideoCodec> codecs)
    : QWidget(parent), codecs_(std::move(codecs)) {
  setObjectName("RecordSetPage");
  setAccessibleName("Record");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(buildPeriod(record_, "Record speed", "record"));
  layout->addWidget(buildPeriod(objectLog_, "Object log period", "objectLog"));

  auto* formBox = new QGroupBox("Record type", this);
  auto* formLayout = new QHBoxLayout(formBox);
  form_ = new QButtonGroup(this);
  addChoice(form_, formLayout, "RAW", 0, "formRaw");
  addChoice(form_, formLayout, "AVI", 1, "formAvi");
  addChoice(form_, formLayout, "CSV", 2, "formCsv");
  layout->addWidget(formBox);

  auto* movieBox = new QGroupBox("Codecs", this);
  auto* movieLayout = new QFormLayout(movieBox);
  codec_ = new QComboBox(movieBox);
  codec_->setObjectName("codecBox");
  codec_->setAccessibleName("Codecs");
  for (const exports::VideoCodec& codec : codecs_)
    codec_->addItem(QString::fromStdString(codec.friendlyName),
                    QString::fromStdString(codec.fourcc));
  movieLayout->addRow("Codec", codec_);
  quality_ = new QSpinBox(movieBox);
  quality_->setObjectName("aviQuality");
  quality_->setAccessibleName("AVI quality");
  quality_->setRange(0, exports::kMaxMovieQuality);
  movieLayout->addRow("AVI quality", quality_);
  layout->addWidget(movieBox);

  auto* nameBox = new QGroupBox("File name", this);
  auto* nameLayout = new QHBoxLayout(nameBox);
  automaticName_ = new QRadioButton("Automatic Name", nameBox);
  automaticName_->setObjectName("automaticName");
  automaticName_->setAccessibleName("Automatic Name");
  manualName_ = new QRadioButton("Manual Name", nameBox);
  manualName_->setObjectName("manualName");
  manualName_->setAccessibleName("Manual Name");
  // Alarm and schedule recordings start with nobody to ask: they are always named
  // automatically; the manual choice is for the user's own recordings.
  manualName_->setToolTip(
      "Your own recordings ask for a file name; alarm and schedule "
      "recordings are named automatically.");
  automaticName_->setChecked(true);
  nameLayout->addWidget(automaticName_);
  nameLayout->addWidget(manualName_);
  layout->addWidget(nameBox);

  auto* pathBox = new QGroupBox("Save path", this);
  auto* pathLayout = new QHBoxLayout(pathBox);
  savePath_ = new QLineEdit(pathBox);
  savePath_->setObjectName("savePath");
  savePath_->setAccessibleName("Save path");
  browse_ = new QPushButton("...", pathBox);
  browse_->setObjectName("browseSavePath");
  browse_->setAccessibleName("Choose save path");
  pathLayout->addWidget(savePath_);
  pathLayout->addWidget(browse_);
  layout->addWidget(pathBox);
  connect(browse_, &QPushButton::clicked, this, [this] {
    const QString folder = QFileDialog::getExistingDirectory(this, "Save path", savePath_->text());
    if (!folder.isEmpty()) savePath_->setText(folder);
  });
  connect(form_, &QButtonGroup::idClicked, this, [this] { refreshEnabled(); });
  connect(record_.speed, &QButtonGroup::idClicked, this, [this] { refreshEnabled(); });
  connect(objectLog_.speed, &QButtonGroup::idClicked, this, [this] { refreshEnabled(); });
  layout->addStretch();
}

QWidget* CRecordSetPage::buildPeriod(Period& period, const QString& title, const QString& name) {
  auto* box = new QGroupBox(title, this);
  auto* row = new QHBoxLayout(box);
  period.speed = new QButtonGroup(this);
  addChoice(period.speed, row, "Full fps", 0, name + "Full");
  addChoice(period.speed, row, "Half fps", 1, name + "Half");
  addChoice(period.speed, row, "User", 2, name + "User");
  period.period = new QSpinBox(box);
  period.period->setObjectName(name + "Period");
  period.period->setAccessibleName(title + " period");
  period.period->setRange(1, 9999);
  row->addWidget(period.period);
  period.unit = new QComboBox(box);
  period.unit->setObjectName(name + "Unit");
  period.unit->setAccessibleName(title + " unit");
  period.unit->addItems({"sec", "min", "hour", "day"});
  row->addWidget(period.unit);
  return box;
}

void CRecordSetPage::refreshEnabled() {
  for (Period* period : {&record_, &objectLog_}) {
    const bool user = period->speed->checkedId() == 2;
    period->period->setEnabled(user);
    period->unit->setEnabled(user);
  }
  const bool movie = form_->checkedId() == 1;
  codec_->setEnabled(movie && codec_->count() > 0);
  quality_->setEnabled(movie);
}

void CRecordSetPage::load(const AnalyzerSettings& s) {
  check(record_.speed, std::clamp(s.recordCond, 0, 2));
  record_.period->setValue(s.recordPeriod);
  record_.unit->setCurrentIndex(std::clamp(s.recordTimeUnit, 0, 3));
  check(objectLog_.speed, std::clamp(s.updateCond, 0, 2));
  objectLog_.period->setValue(s.updatePeriod);
  objectLog_.unit->setCurrentIndex(std::clamp(s.updateTimeUnit, 0, 3));
  check(form_, std::clamp(s.useAvi, 0, 2));
  // The stored code wins over the stored index: the list may differ from when it was saved.
  int index = codec_->findData(QString::fromStdString(exports::normalisedFourcc(s.fourcc)));
  if (index < 0) index = exports::defaultCodecIndex(codecs_, s.fourccNum);
  codec_->setCurrentIndex(index);
  quality_->setValue(std::clamp(s.aviQuality, 0, exports::kMaxMovieQuality));
  savePath_->setText(QString::fromStdString(s.savePath));
  (s.recordManualName ? manualName_ : automaticName_)->setChecked(true);
  refreshEnabled();
}

void CRecordSetPage::store(AnalyzerSettings& s) const {
  s.recordCond = record_.speed->checkedId();
  s.recordPeriod = record_.period->value();
  s.recordTimeUnit = record_.unit->currentIndex();
  s.updateCond = objectLog_.speed->checkedId();
  s.updatePeriod = objectLog_.period->value();
  s.updateTimeUnit = objectLog_.unit->currentIndex();
  s.useAvi = form_->checkedId();
  if (codec_->currentIndex() >= 0) {
    s.fourccNum = codec_->currentIndex();
    s.fourcc = codec_->currentData().toString().toStdString();
  }
  s.aviQuality = quality_->value();
  s.recordManualName = manualName_->isChecked();
  if (!savePath_->text().isEmpty()) s.savePath = savePath_->text().toStdString();
}

}  // namespace solvane
