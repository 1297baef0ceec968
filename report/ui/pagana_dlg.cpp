#include "pagana_dlg.h"

#include "checklist_model.h"
#include "report_printer.h"
#include "session_store.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

namespace pagana {
namespace {

constexpr QSize kPreviewBox(320, 240);
constexpr QSize kHeaderBox(200, 60);

QPushButton* button(const QString& text, const QString& accessibleName, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setAccessibleName(accessibleName);
  b->setAutoDefault(false);
  return b;
}

QLineEdit* field(const QString& accessibleName, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setAccessibleName(accessibleName);
  return edit;
}

std::string text(const QLineEdit* edit) { return edit->text().toStdString(); }

}  // namespace

CPaganaDlg::CPaganaDlg(desktop::Notifier& notifier, std::filesystem::path sessionFile,
                       QWidget* parent)
    : QDialog(parent),
      notifier_(notifier),
      checklist_(notifier),
      sessionFile_(std::move(sessionFile)) {
  setWindowTitle(kDialogTitle);
  setAccessibleName(kDialogTitle);
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  buildLayout();

  if (!sessionFile_.empty()) {
    const SessionRead read = readSession(sessionFile_);
    if (read.error == SessionReadError::Unreadable) {
      notifier_.tell(kSessionUnreadable, kErrorTitle, desktop::Severity::Error);
    } else {
      restoreSession(checklist_, read.session);
    }
  }
  model_->reload();
  // Set after the restore, so reading the session does not write it back.
  checklist_.setChangeListener([this] { saveSession(); });
  applyEditor(true);
}

CPaganaDlg::~CPaganaDlg() = default;

void CPaganaDlg::buildLayout() {
  model_ = new ChecklistModel(checklist_, this);
  list_ = new QTableView(this);
  list_->setAccessibleName("Image list");
  list_->setModel(model_);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setShowGrid(true);
  list_->verticalHeader()->hide();
  for (int c = 0; c < kColumnCount; ++c) list_->setColumnWidth(c, kColumns[c].width);
  list_->setColumnHidden(kPathColumn, true);
  list_->setMinimumWidth(580);
  // The table's own corner button is a button too, and is named like every other.
  for (auto* corner : list_->findChildren<QAbstractButton*>())
    corner->setAccessibleName("Select all images");
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { selectionChanged(); });

  auto* load = button("Load Image", "Load image", this);
  auto* remove = button("Delete", "Delete row", this);
  auto* clear = button("Clear All", "Clear all", this);
  auto* header = button("Header Image", "Header picture", this);
  auto* preview = button("Report Preview", "Report preview", this);
  auto* print = button("Print", "Print", this);
  auto* pdf = button("Print to PDF", "Print to PDF", this);
  auto* about = button(kAboutEntry, "About Pagana", this);
  auto* close = button("Close", "Close", this);
  addUpdate_ = button(kAddLabel, "Add or update measurement information", this);

  connect(load, &QPushButton::clicked, this, [this] { onLoadImage(); });
  connect(remove, &QPushButton::clicked, this, [this] { deleteRow(); });
  connect(clear, &QPushButton::clicked, this, [this] { clearAll(); });
  connect(header, &QPushButton::clicked, this, [this] { onHeaderPicture(); });
  connect(preview, &QPushButton::clicked, this, [this] { showReportPreview(); });
  connect(print, &QPushButton::clicked, this, [this] { printReport(); });
  connect(pdf, &QPushButton::clicked, this, [this] { onPrintToPdf(); });
  connect(about, &QPushButton::clicked, this, [this] { onAbout(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(addUpdate_, &QPushButton::clicked, this, [this] { addOrUpdate(); });

  company_ = field("Company", this);
  customer_ = field("Customer", this);
  site_ = field("Site", this);
  thermographer_ = field("Thermographer", this);
  description_ = new QPlainTextEdit(this);
  description_->setAccessibleName("Description");
  description_->setTabChangesFocus(true);

  auto* form = new QFormLayout;
  const std::pair<const char*, QWidget*> rows[] = {{"Company:", company_},
                                                   {"Customer:", customer_},
                                                   {"Site:", site_},
                                                   {"Thermographer:", thermographer_},
                                                   {"Description:", description_}};
  for (const auto& [caption, editor] : rows) {
    auto* label = new QLabel(caption, this);
    label->setAccessibleName(caption);
    label->setBuddy(editor);
    form->addRow(label, editor);
  }
  form->addRow(QString(), addUpdate_);

  preview_ = new QLabel(this);
  preview_->setAccessibleName("Snapshot preview");
  preview_->setFixedSize(kPreviewBox);
  preview_->setFrameShape(QFrame::Box);
  preview_->setAlignment(Qt::AlignCenter);
  headerPreview_ = new QLabel(this);
  headerPreview_->setAccessibleName("Header picture preview");
  headerPreview_->setFixedSize(kHeaderBox);
  headerPreview_->setFrameShape(QFrame::Box);
  headerPreview_->setAlignment(Qt::AlignCenter);

  auto* listButtons = new QHBoxLayout;
  for (QPushButton* b : {load, remove, clear}) listButtons->addWidget(b);
  listButtons->addStretch();

  auto* left = new QVBoxLayout;
  left->addWidget(list_);
  left->addLayout(listButtons);

  auto* right = new QVBoxLayout;
  right->addWidget(preview_);
  right->addLayout(form);
  auto* headerRow = new QHBoxLayout;
  headerRow->addWidget(headerPreview_);
  headerRow->addWidget(header);
  right->addLayout(headerRow);

  auto* commands = new QHBoxLayout;
  for (QPushButton* b : {about}) commands->addWidget(b);
  commands->addStretch();
  for (QPushButton* b : {preview, print, pdf, close}) commands->addWidget(b);

  auto* grid = new QGridLayout(this);
  grid->addLayout(left, 0, 0);
  grid->addLayout(right, 0, 1);
  grid->addLayout(commands, 1, 0, 1, 2);
}

void CPaganaDlg::loadImages(const QStringList& paths) {
  for (const QString& path : paths) checklist_.load(path.toStdString());
  const auto selected = checklist_.selected();
  model_->reload();
  if (selected) list_->selectRow(static_cast<int>(*selected));
}

bool CPaganaDlg::loadHeaderPicture(const QString& path) {
  QImage picture(path);
  if (picture.isNull()) {
    notifier_.tell(kNotABitmap, kMessageTitle);
    return false;
  }
  headerPicture_ = std::move(picture);
  headerPreview_->setPixmap(QPixmap::fromImage(
      headerPicture_.scaled(kHeaderBox, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  return true;
}

void CPaganaDlg::selectionChanged() {
  const QModelIndexList rows = list_->selectionModel()->selectedRows();
  checklist_.select(rows.isEmpty() ? std::nullopt : std::optional<std::size_t>(rows.front().row()));
  applyEditor(true);
  showPreviewPicture();
}

void CPaganaDlg::applyEditor(bool refillFields) {
  const EditorState state = checklist_.editor();
  for (QWidget* w : std::initializer_list<QWidget*>{company_, customer_, site_, thermographer_,
                                                    description_, addUpdate_}) {
    w->setEnabled(state.enabled);
  }
  addUpdate_->setText(QString::fromStdString(state.buttonLabel));
  if (!refillFields) return;
  company_->setText(QString::fromStdString(state.texts.company));
  customer_->setText(QString::fromStdString(state.texts.customer));
  site_->setText(QString::fromStdString(state.texts.site));
  thermographer_->setText(QString::fromStdString(state.texts.thermographer));
  description_->setPlainText(QString::fromStdString(state.texts.description));
}

void CPaganaDlg::showPreviewPicture() {
  const auto selected = checklist_.selected();
  if (!selected) {
    selectedPicture_ = QImage();
    preview_->clear();
    return;
  }
  const auto& row = checklist_.rows()[*selected];
  selectedPicture_ = QImage(QString::fromStdString(row.path.string()));
  if (selectedPicture_.isNull()) {
    preview_->clear();
    return;
  }
  // Stretched to the box, smoothly, as the page stretches it.
  preview_->setPixmap(QPixmap::fromImage(
      selectedPicture_.scaled(kPreviewBox, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void CPaganaDlg::addOrUpdate() {
  checklist_.addOrUpdate(MeasureTexts{text(company_), text(customer_), text(site_),
                                      text(thermographer_),
                                      description_->toPlainText().toStdString()});
  applyEditor(false);
}

void CPaganaDlg::deleteRow() {
  checklist_.deleteSelected();
  model_->reload();
  applyEditor(true);
  showPreviewPicture();
}

void CPaganaDlg::clearAll() {
  checklist_.clearAll();
  model_->reload();
  applyEditor(true);
  showPreviewPicture();
}

void CPaganaDlg::saveSession() {
  if (sessionFile_.empty()) return;
  if (writeSession(sessionFile_, sessionOf(checklist_))) {
    sessionWriteFailed_ = false;
    return;
  }
  // Said once per run of failures, not at every keystroke of the list.
  if (!sessionWriteFailed_)
    notifier_.tell(kSessionUnwritable, kErrorTitle, desktop::Severity::Error);
  sessionWriteFailed_ = true;
}

QPrintPreviewDialog* CPaganaDlg::ensurePreviewFrame() {
  if (!previewFrame_) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    prepareReportPrinter(*printer_);
    previewFrame_ = new QPrintPreviewDialog(printer_.get(), this);
    previewFrame_->setWindowTitle(kPreviewTitle);
    previewFrame_->setAccessibleName(kPreviewTitle);
    connect(previewFrame_, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { paintReport(printer); });
  }
  return previewFrame_;
}

void CPaganaDlg::paintReport(QPrinter* printer) {
  if (!pagana::printReport(*printer, checklist_.pages(), headerPicture_, today())) {
    notifier_.tell(kPdfUnwritable, kErrorTitle, desktop::Severity::Error);
  }
}

void CPaganaDlg::showPreviewFrameMaximised() {
  QPrintPreviewDialog* frame = ensurePreviewFrame();
  // Sized to the screen as well: without a window manager a maximised state alone does not
  // make the frame any larger.
  if (const QScreen* screen = this->screen()) frame->setGeometry(screen->availableGeometry());
  frame->setWindowState(frame->windowState() | Qt::WindowMaximized);
  frame->open();
}

void CPaganaDlg::showReportPreview() {
  if (!checklist_.requireTicked()) return;
  showPreviewFrameMaximised();
}

void CPaganaDlg::printReport() {
  if (!checklist_.requireTicked()) return;
  showPreviewFrameMaximised();
  QPrintPreviewDialog* frame = previewFrame_;
  QPrintDialog dialog(printer_.get(), frame);
  dialog.setAccessibleName("Print");
  if (dialog.exec() == QDialog::Accepted) paintReport(printer_.get());
}

bool CPaganaDlg::printToPdf(const QString& fileName) {
  if (!checklist_.requireTicked()) return false;
  if (!writeReportPdf(fileName, checklist_.pages(), headerPicture_, today())) {
    notifier_.tell(kPdfUnwritable, kErrorTitle, desktop::Severity::Error);
    return false;
  }
  return true;
}

void CPaganaDlg::onLoadImage() {
  QFileDialog dialog(this, "Load Image", QString(), "Jpeg Files (*.jpg);;All Files (*)");
  dialog.setAccessibleName("Load image");
  dialog.setDefaultSuffix("jpg");
  dialog.setFileMode(QFileDialog::ExistingFiles);
  if (dialog.exec() == QDialog::Accepted) loadImages(dialog.selectedFiles());
}

void CPaganaDlg::onHeaderPicture() {
  const QString path = QFileDialog::getOpenFileName(
      this, "Header Image", QString(), "Image Files (*.bmp *.jpg *.gif *.png);;All Files (*)");
  if (!path.isEmpty()) loadHeaderPicture(path);
}

void CPaganaDlg::onPrintToPdf() {
  if (!checklist_.requireTicked()) return;
  QString path = QFileDialog::getSaveFileName(this, "Print to PDF", "report.pdf",
                                              "PDF Files (*.pdf);;All Files (*)");
  if (path.isEmpty()) return;
  if (!path.endsWith(".pdf", Qt::CaseInsensitive)) path += ".pdf";
  printToPdf(path);
}

void CPaganaDlg::onAbout() {
  notifier_.tell("Pagana Version 1.0\nInspection reports from radiometric snapshots.",
                 "About Pagana");
}

}  // namespace pagana
