#include "discovery/ui/find_camera_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "discovery/core/dns_sd_library.h"
#include "discovery/ui/camera_list_model.h"
#include "discovery/ui/message_box_notifier.h"
#include "discovery/ui/qt_socket_watcher.h"

using discovery::CameraListModel;

CFindCameraDlg::CFindCameraDlg(QWidget* parent, discovery::FinderSetup setup) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Find camera IP address"));

  discovery::MessageNotifier* notifier = setup.notifier;
  if (notifier == nullptr) {
    messageBoxes_ = std::make_unique<discovery::MessageBoxNotifier>(this);
    notifier = messageBoxes_.get();
  }
  discovery::DnsSdApi& api = setup.api != nullptr ? *setup.api : discovery::processDnsSdLibrary();
  const auto namesFile =
      setup.namesFile.empty() ? discovery::namesFileBesideExecutable() : setup.namesFile;
  watcher_ =
      std::make_unique<discovery::QtSocketWatcher>([this](int fd) { finder_->socketReadable(fd); });
  finder_ = std::make_unique<discovery::CameraFinder>(api, *watcher_, *notifier, namesFile);

  list_ = new QTreeView(this);
  list_->setObjectName(QStringLiteral("cameraList"));
  model_ = new CameraListModel(finder_->list(), this);
  list_->setModel(model_);
  list_->setRootIsDecorated(false);
  list_->setItemsExpandable(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  // A double-click selects the camera, so names are edited by a click on the selected row.
  list_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  list_->header()->setStretchLastSection(false);
  for (int column = 0; column < discovery::kColumnCount; ++column)
    list_->header()->resizeSection(column, CameraListModel::kColumnWidths[column]);

  refresh_ = new QPushButton(QStringLiteral("Refresh camera list"), this);
  select_ = new QPushButton(QStringLiteral("Select"), this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  for (QPushButton* button : {refresh_, select_, cancel_}) button->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(refresh_);
  buttons->addStretch();
  buttons->addWidget(select_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(buttons);
  resize(480, 300);

  connect(refresh_, &QPushButton::clicked, this, [this] { finder_->refresh(); });
  connect(select_, &QPushButton::clicked, this, &CFindCameraDlg::selectCamera);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QTreeView::doubleClicked, this, &CFindCameraDlg::selectCamera);

  finder_->open();
}

CFindCameraDlg::~CFindCameraDlg() {
  closeFinder();
  // The model observes the finder's list: it goes first.
  delete model_;
  model_ = nullptr;
}

QString CFindCameraDlg::ipAddress() const { return QString::fromStdString(finder_->result().ip); }

QString CFindCameraDlg::selectedName() const {
  return QString::fromStdString(finder_->result().name);
}

void CFindCameraDlg::selectCamera() {
  std::optional<std::size_t> row;
  const auto selected = list_->selectionModel()->selectedRows();
  if (!selected.isEmpty()) {
    const auto first = std::min_element(
        selected.begin(), selected.end(),
        [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    row = static_cast<std::size_t>(first->row());
  }
  if (finder_->select(row)) accept();
}

void CFindCameraDlg::done(int result) {
  closeFinder();
  QDialog::done(result);
}

void CFindCameraDlg::closeFinder() {
  if (closed_) return;
  closed_ = true;
  finder_->close();
}
