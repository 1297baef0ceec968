#include "settings/ui/environment_dlg.h"

#include "settings/environment_rules.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace solvane::settings {

CEnvironmentDlg::CEnvironmentDlg(AnalyzerSettings settings, Notifier& notifier, QWidget* parent)
    : QDialog(parent), settings_(std::move(settings)), notifier_(notifier) {
  setWindowTitle(tr("Environment Setting"));
  setObjectName("EnvironmentDialog");
  setAccessibleName(tr("Environment Setting"));
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("environmentPages");
  tabs_->setAccessibleName(tr("Setting pages"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName(tr("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(tr("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CEnvironmentDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CEnvironmentDlg::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
}

void CEnvironmentDlg::addPage(const QString& title, QWidget* page, PageHooks hooks) {
  page->setAccessibleName(title);
  tabs_->addTab(page, title);
  if (hooks.load) hooks.load(settings_);
  pages_.push_back(Page{page, std::move(hooks)});
}

void CEnvironmentDlg::loadPages(const AnalyzerSettings& settings) {
  settings_ = settings;
  for (const Page& page : pages_) {
    if (page.hooks.load) page.hooks.load(settings_);
  }
}

AnalyzerSettings CEnvironmentDlg::current() const {
  AnalyzerSettings values = settings_;
  for (const Page& page : pages_) {
    if (page.hooks.store) page.hooks.store(values);
  }
  return values;
}

void CEnvironmentDlg::accept() {
  // All pages or none: a refusal on one page leaves the settings as they were.
  AnalyzerSettings values = settings_;
  for (const Page& page : pages_) {
    if (!page.hooks.store) continue;
    const std::string refusal = page.hooks.store(values);
    if (!refusal.empty()) {
      tabs_->setCurrentWidget(page.widget);
      notifier_.tell(refusal, std::string(kStatusTitle), Severity::Warning);
      return;
    }
  }
  settings_ = std::move(values);
  QDialog::accept();
}

}  // namespace solvane::settings
