#include "settings/ui/general_pages.h"

#include "settings/environment_rules.h"
#include "settings/ui/number_field.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>
#include <map>

namespace solvane::settings {
namespace {

QColor qcolor(int32_t stored) {
  const Rgb rgb = rgbFromStored(stored);
  return QColor(rgb.red, rgb.green, rgb.blue);
}

int32_t storedColour(const QColor& colour) {
  return storedFromRgb(Rgb{static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
                           static_cast<uint8_t>(colour.blue())});
}

void nameRowCaptions(QFormLayout* form) {
  for (int row = 0; row < form->rowCount(); ++row) {
    if (QLayoutItem* item = form->itemAt(row, QFormLayout::LabelRole)) {
      if (auto* label = qobject_cast<QLabel*>(item->widget()))
        label->setAccessibleName(label->text());
    }
  }
}

QComboBox* choiceBox(const char* key, const QString& name, std::span<const Choice> choices,
                     QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(key);
  box->setAccessibleName(name);
  for (const Choice& choice : choices) box->addItem(QObject::tr(choice.name), choice.value);
  QObject::connect(box, &QComboBox::activated, box, [box] { box->setProperty("chosen", true); });
  return box;
}

QCheckBox* flagBox(const char* key, const QString& text, QWidget* parent) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(key);
  box->setAccessibleName(text);
  return box;
}

void selectValue(QComboBox* box, int32_t value) {
  const int at = box->findData(value);
  // A stored value no choice names shows as the first choice and is written back only if
  // the user picks one.
  box->setCurrentIndex(at >= 0 ? at : 0);
  box->setProperty("chosen", false);
}

void storeChoice(const QComboBox* box, int32_t& field) {
  if (box->property("chosen").toBool() || box->findData(field) >= 0) {
    field = box->currentData().toInt();
  }
}

// The label of a measurement object as the view draws it: the text over its shadow.
class LabelPreview : public QWidget {
 public:
  explicit LabelPreview(QWidget* parent) : QWidget(parent) {
    setObjectName("labelPreview");
    setAccessibleName(tr("Label preview"));
    setMinimumSize(220, 70);
  }
  void show(const QFont& font, const QColor& text, const QColor& shadow) {
    font_ = font;
    text_ = text;
    shadow_ = shadow;
    setAccessibleDescription(QString("%1 %2pt").arg(font.family()).arg(font.pointSize()));
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QLinearGradient ground(0, 0, width(), 0);
    ground.setColorAt(0, QColor(20, 0, 60));
    ground.setColorAt(0.5, QColor(200, 40, 20));
    ground.setColorAt(1, QColor(255, 240, 120));
    painter.fillRect(rect(), ground);
    painter.setFont(font_);
    const QString sample = QStringLiteral("Spot 1 : 36.5");
    const QRect box = rect().adjusted(8, 0, 0, 0);
    painter.setPen(shadow_);
    painter.drawText(box.translated(1, 1), Qt::AlignVCenter | Qt::AlignLeft, sample);
    painter.setPen(text_);
    painter.drawText(box, Qt::AlignVCenter | Qt::AlignLeft, sample);
  }

 private:
  QFont font_;
  QColor text_;
  QColor shadow_;
};

NumberField* numberField(const char* key, CEnvironmentDlg& dialog, QWidget* parent) {
  auto* field = new NumberField(*numberRule(key), dialog.notifier(), parent);
  QObject::connect(field, &NumberField::valueChanged, &dialog, &CEnvironmentDlg::edited);
  return field;
}

// A field's value, or the reason it cannot be written.
std::string storeNumber(const NumberField* field, AnalyzerSettings& settings) {
  double value = 0.0;
  const Verdict verdict = field->judge(value);
  if (verdict != Verdict::Accepted) {
    return QObject::tr("%1: %2")
        .arg(QObject::tr(field->rule().caption), QString::fromUtf8(verdictText(verdict).data()))
        .toStdString();
  }
  setNumber(settings, field->rule().key, value);
  return {};
}

void addGeneralPage(CEnvironmentDlg& dialog) {
  auto* page = new QWidget;
  page->setObjectName("generalPage");
  auto* unit = choiceBox("TEMP UNIT", QObject::tr("Temperature unit"), temperatureUnits(), page);
  auto* showTemp =
      flagBox("SHOW TEMP", QObject::tr("Show temperatures at the hot and cold markers"), page);
  auto* showMouse =
      flagBox("SHOW MOUSE TEMP", QObject::tr("Show the temperature under the mouse"), page);
  auto* stamp = flagBox("TIME_STAMP", QObject::tr("Draw the date and time on the picture"), page);
  auto* name = new QLineEdit(page);
  name->setObjectName("CAM NAME");
  name->setAccessibleName(QObject::tr("Camera name"));
  name->setMaxLength(static_cast<int>(kCameraNameLimit));
  auto* nameHint =
      new QLabel(QObject::tr("Used in the names of saved files and in the title."), page);
  nameHint->setAccessibleName(QObject::tr("Camera name explanation"));
  auto* attempts = numberField("NET_MAX_RECONNECTION_ATTEMPT", dialog, page);
  auto* dayCycle =
      flagBox("DAY_PERIOD_CYCLE", QObject::tr("Log the objects over a day period cycle"), page);
  auto* withShot =
      flagBox("WITH_ONESHOT", QObject::tr("Take a one-shot snapshot with each log period"), page);

  auto* display = new QGroupBox(QObject::tr("Display"), page);
  auto* displayForm = new QFormLayout(display);
  displayForm->addRow(QObject::tr("Temperature unit"), unit);
  displayForm->addRow(showTemp);
  displayForm->addRow(showMouse);
  displayForm->addRow(stamp);
  nameRowCaptions(displayForm);
  auto* camera = new QGroupBox(QObject::tr("Camera"), page);
  auto* cameraForm = new QFormLayout(camera);
  cameraForm->addRow(QObject::tr("Camera name"), name);
  cameraForm->addRow(QString(), nameHint);
  cameraForm->addRow(QObject::tr("Reconnection attempts"), attempts);
  nameRowCaptions(cameraForm);
  auto* log = new QGroupBox(QObject::tr("Object log"), page);
  auto* logLayout = new QVBoxLayout(log);
  logLayout->addWidget(dayCycle);
  logLayout->addWidget(withShot);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(display);
  layout->addWidget(camera);
  layout->addWidget(log);
  layout->addStretch();

  for (QCheckBox* box : {showTemp, showMouse, stamp, dayCycle, withShot}) {
    QObject::connect(box, &QCheckBox::toggled, &dialog, &CEnvironmentDlg::edited);
  }
  QObject::connect(unit, &QComboBox::currentIndexChanged, &dialog, &CEnvironmentDlg::edited);
  QObject::connect(name, &QLineEdit::editingFinished, &dialog, [&dialog, name] {
    if (auto fault = cameraNameFault(name->text().toStdString())) {
      dialog.notifier().tell(std::string(*fault), std::string(kStatusTitle), Severity::Warning);
    }
  });

  dialog.addPage(QObject::tr("General"), page,
                 PageHooks{[=](const AnalyzerSettings& s) {
                             const QSignalBlocker quiet(unit);
                             selectValue(unit, s.tempUnit);
                             showTemp->setChecked(s.showTemp);
                             showMouse->setChecked(s.showMouseTemp);
                             stamp->setChecked(s.timeStamp);
                             name->setText(QString::fromStdString(s.camName));
                             attempts->setValue(s.netMaxReconnectionAttempt);
                             dayCycle->setChecked(s.dayPeriodCycle);
                             withShot->setChecked(s.withOneShot);
                           },
                           [=](AnalyzerSettings& s) -> std::string {
                             const std::string typed = name->text().toStdString();
                             if (auto fault = cameraNameFault(typed)) return std::string(*fault);
                             if (std::string refusal = storeNumber(attempts, s); !refusal.empty())
                               return refusal;
                             storeChoice(unit, s.tempUnit);
                             s.showTemp = showTemp->isChecked();
                             s.showMouseTemp = showMouse->isChecked();
                             s.timeStamp = stamp->isChecked();
                             s.camName = typed;
                             s.dayPeriodCycle = dayCycle->isChecked();
                             s.withOneShot = withShot->isChecked();
                             return {};
                           }});
}

class ColourButton : public QPushButton {
 public:
  ColourButton(const char* key, const QString& name, QWidget* parent) : QPushButton(name, parent) {
    setObjectName(key);
    setAccessibleName(name);
  }
  int32_t stored() const { return stored_; }
  void setStored(int32_t stored) {
    stored_ = stored & 0xFFFFFF;
    QPixmap swatch(16, 16);
    swatch.fill(qcolor(stored_));
    setIcon(QIcon(swatch));
    setAccessibleDescription(qcolor(stored_).name());
  }

 private:
  int32_t stored_ = 0;
};

void addLabelsPage(CEnvironmentDlg& dialog) {
  auto* page = new QWidget;
  page->setObjectName("labelsPage");
  auto* face = new QFontComboBox(page);
  face->setObjectName("FONT_NAME");
  face->setAccessibleName(QObject::tr("Font"));
  auto* size = numberField("FONT_SIZE", dialog, page);
  auto* text = new ColourButton("FONT_COLOR1", QObject::tr("Text colour..."), page);
  auto* shadow = new ColourButton("FONT_COLOR2", QObject::tr("Shadow colour..."), page);
  auto* preview = new LabelPreview(page);
  auto* form = new QFormLayout;
  form->addRow(QObject::tr("Font"), face);
  form->addRow(QObject::tr("Size"), size);
  form->addRow(QObject::tr("Text"), text);
  form->addRow(QObject::tr("Shadow"), shadow);
  form->addRow(QObject::tr("Preview"), preview);
  nameRowCaptions(form);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(form);
  layout->addStretch();

  // A stored face this machine lacks is shown as its nearest font but kept as stored
  // unless the user picks another.
  auto storedFace = std::make_shared<QString>();
  auto refresh = [=] {
    QFont font(face->currentFont());
    font.setPointSize(static_cast<int>(size->value()));
    preview->show(font, qcolor(text->stored()), qcolor(shadow->stored()));
  };
  QObject::connect(face, &QFontComboBox::currentFontChanged, page, [=](const QFont& font) {
    *storedFace = font.family();
    refresh();
  });
  QObject::connect(size, &NumberField::valueChanged, page, refresh);
  for (ColourButton* button : {text, shadow}) {
    QObject::connect(button, &QPushButton::clicked, page, [=, &dialog] {
      const QColor chosen =
          QColorDialog::getColor(qcolor(button->stored()), page, button->accessibleName());
      if (!chosen.isValid()) return;
      button->setStored(storedColour(chosen));
      refresh();
      emit dialog.edited();
    });
  }

  dialog.addPage(QObject::tr("Labels"), page,
                 PageHooks{[=](const AnalyzerSettings& s) {
                             {
                               const QSignalBlocker quiet(face);
                               face->setCurrentFont(QFont(QString::fromStdString(s.fontName)));
                             }
                             *storedFace = QString::fromStdString(s.fontName);
                             size->setValue(s.fontSize);
                             text->setStored(s.fontColor1);
                             shadow->setStored(s.fontColor2);
                             refresh();
                           },
                           [=](AnalyzerSettings& s) -> std::string {
                             if (std::string refusal = storeNumber(size, s); !refusal.empty())
                               return refusal;
                             s.fontName = storedFace->toStdString();
                             s.fontColor1 = text->stored();
                             s.fontColor2 = shadow->stored();
                             return {};
                           }});
}

void addImagePage(CEnvironmentDlg& dialog) {
  auto* page = new QWidget;
  page->setObjectName("imagePage");
  auto* input = choiceBox("INPUT METHOD", QObject::tr("Input method"), inputMethods(), page);
  auto* output = choiceBox("OUTPUT METHOD", QObject::tr("Output method"), outputMethods(), page);
  auto* inputHint = new QLabel(page);
  inputHint->setObjectName("inputMethodExplanation");
  inputHint->setAccessibleName(QObject::tr("Input method explanation"));
  auto* outputHint = new QLabel(page);
  outputHint->setObjectName("outputMethodExplanation");
  outputHint->setAccessibleName(QObject::tr("Output method explanation"));

  constexpr std::array kWindowKeys{"SD RATE", "B RATE"};
  constexpr std::array kMappingKeys{"INTERCEPT", "GAMMA", "PLATEAU", "EPSILON", "PSI"};
  auto* window = new QGroupBox(QObject::tr("Input window"), page);
  auto* windowForm = new QFormLayout(window);
  windowForm->addRow(QObject::tr("Input method"), input);
  windowForm->addRow(QString(), inputHint);
  auto* mapping = new QGroupBox(QObject::tr("Grey mapping"), page);
  auto* mappingForm = new QFormLayout(mapping);
  mappingForm->addRow(QObject::tr("Output method"), output);
  mappingForm->addRow(QString(), outputHint);
  auto fields = std::make_shared<std::map<std::string, NumberField*>>();
  for (const char* key : kWindowKeys) {
    NumberField* field = numberField(key, dialog, window);
    windowForm->addRow(QObject::tr(field->rule().caption), field);
    (*fields)[key] = field;
  }
  for (const char* key : kMappingKeys) {
    NumberField* field = numberField(key, dialog, mapping);
    mappingForm->addRow(QObject::tr(field->rule().caption), field);
    (*fields)[key] = field;
  }
  nameRowCaptions(windowForm);
  nameRowCaptions(mappingForm);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(window);
  layout->addWidget(mapping);
  layout->addStretch();

  auto refresh = [=] {
    const int32_t in = input->currentData().toInt();
    const int32_t out = output->currentData().toInt();
    inputHint->setText(
        QObject::tr(inputMethods()[static_cast<size_t>(input->currentIndex())].explanation));
    outputHint->setText(
        QObject::tr(outputMethods()[static_cast<size_t>(output->currentIndex())].explanation));
    for (auto& [key, field] : *fields) field->setEnabled(parameterUsed(key, in, out));
  };
  for (QComboBox* box : {input, output}) {
    QObject::connect(box, &QComboBox::currentIndexChanged, page, [=, &dialog] {
      refresh();
      emit dialog.edited();
    });
  }

  dialog.addPage(QObject::tr("Image"), page,
                 PageHooks{[=](const AnalyzerSettings& s) {
                             {
                               const QSignalBlocker quietInput(input);
                               const QSignalBlocker quietOutput(output);
                               selectValue(input, s.inputMethod);
                               selectValue(output, s.outputMethod);
                             }
                             for (auto& [key, field] : *fields)
                               field->setValue(numberValue(s, key));
                             refresh();
                           },
                           [=](AnalyzerSettings& s) -> std::string {
                             for (auto& [key, field] : *fields) {
                               if (std::string refusal = storeNumber(field, s); !refusal.empty())
                                 return refusal;
                             }
                             storeChoice(input, s.inputMethod);
                             storeChoice(output, s.outputMethod);
                             return {};
                           }});
}

}  // namespace

void addGeneralPages(CEnvironmentDlg& dialog) {
  addGeneralPage(dialog);
  addLabelsPage(dialog);
  addImagePage(dialog);
}

}  // namespace solvane::settings
