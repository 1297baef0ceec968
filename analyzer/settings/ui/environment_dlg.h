// The "Environment Setting..." dialog: a container of pages, each of which reads its keys from
// a copy of the settings when the dialog opens and writes them back when it is accepted.
// Features add their own pages through addPage, so recording, alarm and schedule pages join
// the same dialog without it knowing them.
#pragma once

#include "app/analyzer_settings.h"
#include "app/notifier.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QTabWidget;

namespace solvane::settings {

struct PageHooks {
  // Shows the page's keys.
  std::function<void(const AnalyzerSettings&)> load;
  // Writes the page's keys; a refusal message keeps the dialog open on this page. An empty
  // string means the page's values all stand.
  std::function<std::string(AnalyzerSettings&)> store;
};

class CEnvironmentDlg : public QDialog {
  Q_OBJECT
 public:
  CEnvironmentDlg(AnalyzerSettings settings, Notifier& notifier, QWidget* parent = nullptr);

  void addPage(const QString& title, QWidget* page, PageHooks hooks);
  // Loads every page again from `settings` (the dialog's copy becomes it).
  void loadPages(const AnalyzerSettings& settings);
  // What the pages hold now; refused entries keep the values they had.
  AnalyzerSettings current() const;
  // The settings as accepted (the opening values until then).
  const AnalyzerSettings& settings() const { return settings_; }
  QTabWidget* tabs() const { return tabs_; }
  Notifier& notifier() { return notifier_; }

 public slots:
  void accept() override;

 signals:
  // A page changed a value (for a live preview of the picture).
  void edited();

 private:
  struct Page {
    QWidget* widget;
    PageHooks hooks;
  };
  AnalyzerSettings settings_;
  Notifier& notifier_;
  QTabWidget* tabs_;
  std::vector<Page> pages_;
};

}  // namespace solvane::settings
