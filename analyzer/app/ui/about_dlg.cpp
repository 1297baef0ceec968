#include "app/ui/about_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace solvane {

CAboutDlg::CAboutDlg(const QString& caption, QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("About Solvane"));
  auto* layout = new QVBoxLayout(this);
  caption_ = new QLabel(caption, this);
  caption_->setObjectName("aboutCaption");
  layout->addWidget(caption_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

QString CAboutDlg::caption() const { return caption_->text(); }

}  // namespace solvane
