#include "app/ui/vyn_cam_user_control_dlg.h"

#include <QAction>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "analysis/ui/ks_alarm_config_dlg.h"
#include "analysis/ui/tab_alarm_dlg.h"
#include "analysis/ui/tab_isotherm_dlg.h"
#include "analysis/ui/tab_spot_dlg.h"
#include "analysis/ui/thermal_preview.h"
#include "app/core/connection_rules.h"
#include "app/core/sdk_camera_link.h"
#include "app/ui/camera_page_ports.h"
#include "desktop/company_info.h"
#include "desktop/notifier.h"
#include "desktop/settings_store.h"
#include "pages/ui/ks_motorized_dlg.h"
#include "pages/ui/settings_page_widget.h"
#include "palette/ui/tab_palette_dlg.h"
#include "update/ui/tab_update_dlg.h"

#ifndef TESSOR_VERSION
#define TESSOR_VERSION "0.0.0"
#endif

namespace {

using camera::Page;

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int kKsImageTab = 3;
constexpr int kKtAnalysisTab = 6;
constexpr int kKtIsothermTab = 7;
constexpr const char* kUpdateCaption = "Update";

QScrollArea* scrolled(QWidget* page, const QString& caption) {
  auto* scroll = new QScrollArea;
  scroll->setWidget(page);
  scroll->setWidgetResizable(true);
  scroll->setAccessibleName(caption);
  return scroll;
}

}  // namespace

CVynCamUserControlDlg::CVynCamUserControlDlg(Setup setup, QWidget* parent)
    : QDialog(parent), setup_(std::move(setup)) {
  link_ = std::make_unique<tessor::SdkCameraLink>([this](tessor::ReceiverEvent event) {
    // The receive thread's reports reach the core on the window's thread, in order.
    QMetaObject::invokeMethod(
        this, [this, event = std::move(event)] { onEvent(event); }, Qt::QueuedConnection);
  });
  tessor::ConnectTimer& connectTimer = *this;
  core_ = std::make_unique<tessor::ControllerCore>(
      *link_, connectTimer, *setup_.notifier, [this](const std::string& address) {
        if (setup_.settings) {
          setup_.settings->writeString(tessor::kCameraIpKey, address);
          setup_.settings->sync();
        }
      });
  palettePort_ =
      std::make_unique<tessor::WindowPalettePort>(this, *link_, *core_, *setup_.notifier);
  updatePort_ = std::make_unique<tessor::WindowUpdatePort>(this, *link_, *core_, *setup_.notifier);

  timer_ = new QTimer(this);
  timer_->setSingleShot(true);
  connect(timer_, &QTimer::timeout, this, [this] {
    core_->connectTimerExpired();
    applyState();
  });

  auto* top = new QHBoxLayout;
  auto* ipLabel = new QLabel(tr("Camera IP"), this);
  ipLabel->setAccessibleName(ipLabel->text());
  top->addWidget(ipLabel);
  ip_ = new QLineEdit(this);
  ip_->setAccessibleName(tr("Camera IP"));
  ip_->setMaxLength(15);
  top->addWidget(ip_);
  auto* portLabel = new QLabel(tr("Port"), this);
  portLabel->setAccessibleName(portLabel->text());
  top->addWidget(portLabel);
  port_ = new QLineEdit(tessor::kCameraPort, this);
  port_->setReadOnly(true);
  port_->setAccessibleName(tr("Port"));
  port_->setMaximumWidth(70);
  top->addWidget(port_);
  connect_ = new QPushButton(tr("Connect"), this);
  connect_->setAccessibleName(tr("Connect"));
  find_ = new QPushButton(tr("Find Camera"), this);
  find_->setAccessibleName(tr("Find Camera"));
  initialize_ = new QPushButton(tr("Initialized"), this);
  initialize_->setAccessibleName(tr("Initialized"));
  logo_ = new QPushButton(this);
  logo_->setAccessibleName(tr("Logo"));
  logo_->setFixedSize(120, 40);
  for (QPushButton* button : {connect_, find_, initialize_, logo_}) {
    button->setAutoDefault(false);
    top->addWidget(button);
  }

  connect(connect_, &QPushButton::clicked, this, [this] {
    core_->connectPressed(ip_->text().trimmed().toStdString());
    applyState();
  });
  connect(find_, &QPushButton::clicked, this, &CVynCamUserControlDlg::openFinder);
  connect(initialize_, &QPushButton::clicked, this, [this] {
    core_->initializePressed();
    applyState();
  });
  connect(logo_, &QPushButton::clicked, this, [this] {
    if (!logoLink_.isEmpty()) QDesktopServices::openUrl(QUrl::fromUserInput(logoLink_));
  });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  buildTabs();
  layout->addWidget(ktTabs_);
  layout->addWidget(ksTabs_);

  showAddress(setup_.settings ? setup_.settings->readString(tessor::kCameraIpKey, "") : "");
  loadCompany();
  setWindowTitle(qs(tessor::windowCaption(TESSOR_VERSION)));
  // The window's own menu (a right click on its background) holds the About entry.
  aboutAction_ = new QAction(tr("About Tessor..."), this);
  connect(aboutAction_, &QAction::triggered, this,
          [this] { setup_.notifier->tell(tessor::windowCaption(TESSOR_VERSION), "About Tessor"); });
  addAction(aboutAction_);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  resize(900, 620);
  applyState();
}

CVynCamUserControlDlg::~CVynCamUserControlDlg() {
  // The pages go before the ports they call: an update's worker is stopped and joined here.
  delete updateTab_;
  delete palettePage_;
  // The region window stops the camera's stream as it closes, while the link still exists.
  delete alarmConfigPage_;
  // The receive thread ends before the window it reports to.
  link_->close();
}

void CVynCamUserControlDlg::buildTabs() {
  auto wrap = [this](pages::SettingsPageModel& model) {
    auto* widget = new pages::SettingsPageWidget(model);
    pageWidgets_[model.page()] = widget;
    return scrolled(widget, qs(model.caption()));
  };
  ktTabs_ = new QTabWidget(this);
  ktTabs_->setAccessibleName(tr("KT settings"));
  for (const auto& model : core_->ktPages()) ktTabs_->addTab(wrap(*model), qs(model->caption()));
  palettePage_ = new tessor::CTabPaletteDlg(*palettePort_);
  ktTabs_->addTab(scrolled(palettePage_, "Palette"), "Palette");
  pages::CommandPort& port = core_->commandPort();
  alarmPage_ = new analysis::CTabAlarmDlg(port, *setup_.notifier);
  ktTabs_->addTab(scrolled(alarmPage_, "Alarm"), "Alarm");
  spotPage_ = new analysis::CTabSpotDlg(port);
  ktTabs_->addTab(scrolled(spotPage_, "Analysis"), "Analysis");
  isothermPage_ = new analysis::CTabIsothermDlg(port);
  ktTabs_->addTab(scrolled(isothermPage_, "Isotherm"), "Isotherm");
  // "Initialized" on a KT camera: Alarm, Analysis, Isotherm after the catalogue's pages; the
  // last two only for cameras that have them.
  core_->setRestoreOtherPages([this] {
    alarmPage_->restoreDefaults();
    if (core_->state().ktAnalysisTabs) {
      spotPage_->restoreDefaults();
      isothermPage_->restoreDefaults();
    }
  });

  ksTabs_ = new QTabWidget(this);
  ksTabs_->setAccessibleName(tr("KS settings"));
  for (const auto& model : core_->ksPages()) {
    QWidget* page = wrap(*model);
    if (model->page() == Page::KsImage33) {
      page->setParent(this);
      page->hide();
      continue;
    }
    ksTabs_->addTab(page, qs(model->caption()));
    if (model->page() == Page::KsAlarm) {
      alarmConfigPage_ = new analysis::CKSAlarmConfigDlg(core_->commandPort(), *setup_.notifier);
      ksTabs_->addTab(scrolled(alarmConfigPage_, "Alarm Config"), "Alarm Config");
    }
  }
  updatePage_ = new tessor::CTabUpdateDlg(*updatePort_);
  updateTab_ = scrolled(updatePage_, kUpdateCaption);
  placeUpdateTab(ksTabs_);

  // The motorized zoom and focus window opens from the KS "System" page.
  connect(pageWidgets_.at(Page::KsSystem)->addButton(tr("Motorized Zoom/Focus")),
          &QPushButton::clicked, this, [this] {
            CKSMotorizedDlg dialog(core_->motorDrive(), this);
            motorDialog_ = &dialog;
            dialog.exec();
            motorDialog_ = nullptr;
          });
}

pages::SettingsPageWidget* CVynCamUserControlDlg::pageWidget(Page page) const {
  const auto found = pageWidgets_.find(page);
  return found == pageWidgets_.end() ? nullptr : found->second;
}

void CVynCamUserControlDlg::onEvent(const tessor::ReceiverEvent& event) {
  core_->onEvent(event);
  if (const auto* header = std::get_if<tessor::HeaderArrived>(&event);
      header && core_->state().link == tessor::LinkState::Connected) {
    if (core_->cameraIsKt()) {
      alarmPage_->loadHeader(header->header);
      spotPage_->loadHeader(header->header);
      isothermPage_->loadHeader(header->header);
    } else {
      alarmConfigPage_->loadHeader(header->header);
    }
  } else if (std::holds_alternative<tessor::ImageReady>(event)) {
    const auto picture = link_->picture();
    if (core_->cameraIsKt()) {
      // The KT previews of "Alarm" and "Analysis".
      for (analysis::ThermalPreview* preview : {alarmPage_->preview(), spotPage_->preview()})
        preview->showFrame(picture.pixels, picture.width, picture.height, picture.palette);
    } else if (auto* setup = alarmConfigPage_->setupDialog()) {
      setup->showFrame(picture.pixels, picture.width, picture.height, picture.palette);
    }
  }
  applyState();
}

void CVynCamUserControlDlg::placeUpdateTab(QTabWidget* tabs) {
  if (tabs->indexOf(updateTab_) >= 0) return;
  for (QTabWidget* other : {ktTabs_, ksTabs_}) {
    const int at = other->indexOf(updateTab_);
    if (at >= 0) other->removeTab(at);
  }
  tabs->addTab(updateTab_, kUpdateCaption);
}

void CVynCamUserControlDlg::start(std::chrono::milliseconds wait) { timer_->start(wait); }
void CVynCamUserControlDlg::stop() { timer_->stop(); }

void CVynCamUserControlDlg::showAddress(const std::string& stored) {
  ip_->setText(qs(tessor::addressTextOf(tessor::addressParts(stored))));
}

void CVynCamUserControlDlg::loadCompany() {
  const std::filesystem::path folder = desktop::companyFolder(setup_.programFolder);
  const auto company = desktop::readCompanyFile(folder);
  if (!company) {
    setup_.notifier->tell(desktop::kCompanyFileMissing);
    logo_->hide();
    return;
  }
  if (!company->showsLogo()) {
    logo_->hide();
    return;
  }
  logoLink_ = QString::fromStdString(company->webLink);
  const QPixmap logo(QString::fromStdString((folder / desktop::kLogoFileName).string()));
  if (!logo.isNull()) {
    const QSize area(logo_->width(), logo_->height() - 3);
    logo_->setIcon(logo.scaled(area, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    logo_->setIconSize(area);
  } else {
    logo_->setText(QString::fromStdString(company->brand));
  }
}

void CVynCamUserControlDlg::openFinder() {
  CFindCameraDlg dialog(this, setup_.finder);
  finderDialog_ = &dialog;
  const int result = dialog.exec();
  finderDialog_ = nullptr;
  if (result == QDialog::Accepted) showAddress(dialog.ipAddress().toStdString());
}

void CVynCamUserControlDlg::applyState() {
  const tessor::WindowState& state = core_->state();
  connect_->setText(state.connectIsDisconnect ? tr("Disconnect") : tr("Connect"));
  connect_->setAccessibleName(connect_->text());
  connect_->setEnabled(state.connectEnabled);
  find_->setEnabled(state.findEnabled);
  initialize_->setEnabled(state.initializeEnabled);
  if (state.busy)
    setCursor(Qt::WaitCursor);
  else
    unsetCursor();

  if (state.ksImagePage != shownImagePage_) {
    QWidget* previous = ksTabs_->widget(kKsImageTab);
    ksTabs_->removeTab(kKsImageTab);
    previous->hide();
    QWidget* next = pageWidget(state.ksImagePage)->parentWidget();
    while (next && !qobject_cast<QScrollArea*>(next)) next = next->parentWidget();
    ksTabs_->insertTab(kKsImageTab, next, tr("Image Adjustments"));
    shownImagePage_ = state.ksImagePage;
  }
  if (state.firstTabRequests != firstTabRequests_) {
    ktTabs_->setCurrentIndex(0);
    ksTabs_->setCurrentIndex(0);
    firstTabRequests_ = state.firstTabRequests;
  }
  ktTabs_->setTabVisible(kKtAnalysisTab, state.ktAnalysisTabs);
  ktTabs_->setTabVisible(kKtIsothermTab, state.ktAnalysisTabs);

  const bool kt = state.shownSet == camera::Family::KT;
  placeUpdateTab(kt ? ktTabs_ : ksTabs_);
  ktTabs_->setVisible(kt);
  ktTabs_->setEnabled(kt && state.setEnabled);
  ksTabs_->setVisible(!kt);
  ksTabs_->setEnabled(!kt && state.setEnabled);
}
