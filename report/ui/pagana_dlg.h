// The report program's dialog: the image list, the inspection texts of the selected image,
// its preview, and the commands that preview, print or save the report.
#pragma once

#include "checklist.h"
#include "desktop/notifier.h"

#include <QDialog>
#include <QImage>
#include <QStringList>

#include <filesystem>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPrintPreviewDialog;
class QPrinter;
class QPushButton;
class QTableView;

namespace pagana {

class ChecklistModel;

inline constexpr const char* kDialogTitle = "Pagana (Ver.1.0)";
inline constexpr const char* kPreviewTitle = "Report Preview";
inline constexpr const char* kNotABitmap = "This file isn't a right bitmap!";
inline constexpr const char* kAboutEntry = "&About Pagana...";

class CPaganaDlg : public QDialog {
  Q_OBJECT

 public:
  // The session file keeps the list and the texts; an empty path keeps nothing.
  CPaganaDlg(desktop::Notifier& notifier, std::filesystem::path sessionFile,
             QWidget* parent = nullptr);
  ~CPaganaDlg() override;

  // The commands, as the buttons run them once their file dialogs have answered.
  void loadImages(const QStringList& paths);
  bool loadHeaderPicture(const QString& path);
  void showReportPreview();
  void printReport();
  bool printToPdf(const QString& fileName);

  const Checklist& checklist() const { return checklist_; }
  QTableView* list() const { return list_; }
  // The print frame, once it was made.
  QPrintPreviewDialog* previewFrame() const { return previewFrame_; }

 private:
  void buildLayout();
  void selectionChanged();
  void applyEditor(bool refillFields);
  void addOrUpdate();
  void deleteRow();
  void clearAll();
  void saveSession();
  void showPreviewPicture();
  QPrintPreviewDialog* ensurePreviewFrame();
  void showPreviewFrameMaximised();
  void paintReport(QPrinter* printer);
  void onLoadImage();
  void onHeaderPicture();
  void onPrintToPdf();
  void onAbout();

  desktop::Notifier& notifier_;
  Checklist checklist_;
  std::filesystem::path sessionFile_;
  bool sessionWriteFailed_ = false;
  QImage headerPicture_;
  QImage selectedPicture_;

  ChecklistModel* model_ = nullptr;
  QTableView* list_ = nullptr;
  QLineEdit* company_ = nullptr;
  QLineEdit* customer_ = nullptr;
  QLineEdit* site_ = nullptr;
  QLineEdit* thermographer_ = nullptr;
  QPlainTextEdit* description_ = nullptr;
  QPushButton* addUpdate_ = nullptr;
  QLabel* preview_ = nullptr;
  QLabel* headerPreview_ = nullptr;
  QPrintPreviewDialog* previewFrame_ = nullptr;
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace pagana
