#include "app/ui/camera_ip_set_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace solvane {
namespace {

const QString kOctet = QStringLiteral("(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])");

}  // namespace

CCameraIPSetDlg::CCameraIPSetDlg(const QString& address, QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Camera IP"));
  auto* layout = new QFormLayout(this);
  edit_ = new QLineEdit(this);
  edit_->setObjectName("cameraIpEdit");
  const QRegularExpression pattern("^" + kOctet + "(\\." + kOctet + "){0,3}\\.?$");
  edit_->setValidator(new QRegularExpressionValidator(pattern, edit_));
  layout->addRow(tr("Camera IP address"), edit_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(edit_, &QLineEdit::textChanged, this, [this] { ok_->setEnabled(hasCompleteAddress()); });
  layout->addRow(buttons);
  setAddress(address);
}

QString CCameraIPSetDlg::address() const { return edit_->text(); }

void CCameraIPSetDlg::setAddress(const QString& address) {
  edit_->setText(address);
  ok_->setEnabled(hasCompleteAddress());
}

bool CCameraIPSetDlg::hasCompleteAddress() const {
  static const QRegularExpression complete("^" + kOctet + "(\\." + kOctet + "){3}$");
  return complete.match(edit_->text()).hasMatch();
}

}  // namespace solvane
