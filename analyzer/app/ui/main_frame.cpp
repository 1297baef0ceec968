#include "app/ui/main_frame.h"

#include "app/notifier.h"
#include "app/settings_store.h"
#include "app/status_panes.h"
#include "app/ui/about_dlg.h"
#include "app/ui/camera_ip_set_dlg.h"
#include "app/vyn_cam_sdk_app.h"
#include "app/vyn_cam_sdk_doc.h"

#include <QAction>
#include <QCloseEvent>
#include <QFormLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <stdexcept>
#include <string>

namespace solvane {
namespace {

constexpr const char* kLayoutGeometry = "Geometry";
constexpr const char* kLayoutState = "State";
// Raised when the set of panes or bars changes, so an older saved layout is not applied.
constexpr int kLayoutVersion = 1;

QString qs(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

CMainFrame::CMainFrame(CVynCamSDKApp& app, CVynCamSDKDoc& document, SettingsStore& store,
                       Notifier& notifier, UrlOpener openUrl, QWidget* parent)
    : QMainWindow(parent),
      app_(app),
      document_(document),
      store_(store),
      notifier_(notifier),
      openUrl_(std::move(openUrl)) {
  setObjectName("MainFrame");
  showName(QString());
  setDockOptions(AnimatedDocks | AllowNestedDocks | AllowTabbedDocks);
  // The size the window has where no window manager maximises it.
  resize(1280, 800);

  // The thermal view takes the middle; it is drawn by the view once frames arrive.
  auto* view = new QFrame(this);
  view->setObjectName("ThermalView");
  view->setFrameShape(QFrame::StyledPanel);
  view->setMinimumSize(kDefaultImageWidth, kDefaultImageHeight);
  view->setAutoFillBackground(true);
  QPalette dark = view->palette();
  dark.setColor(QPalette::Window, Qt::black);
  view->setPalette(dark);
  setCentralWidget(view);

  const AnalyzerSettings& settings = document_.settings();
  context_.palette = settings.palette;
  context_.invert = settings.invert;
  context_.mirror = settings.mirror;
  context_.flip = settings.flip;
  context_.zoom = settings.zoom;
  buildMenus();
  buildToolBar();
  buildStatusBar();
  buildPanes();
}

QDockWidget* CMainFrame::pane(const PaneName& name) const {
  return findChild<QDockWidget*>(QString::fromUtf8(name.objectName));
}

void CMainFrame::buildMenus() {
  auto menuOf = [this](Menu id) -> QMenu*& { return menus_[static_cast<size_t>(id)]; };
  // Top-level menus appear in catalogue order; a submenu joins its parent where its first
  // command falls, so a menu's layout reads from the catalogue alone.
  for (const MenuEntry& definition : menuCatalogue()) {
    if (definition.parent) continue;
    menuOf(definition.id) = menuBar()->addMenu(tr(definition.title));
    menuOf(definition.id)->setObjectName(definition.objectName);
  }
  auto placeMenu = [&](Menu id) {
    const MenuEntry& definition = menuCatalogue()[static_cast<size_t>(id)];
    QMenu* parent = menuOf(*definition.parent);
    if (definition.separatorBefore) parent->addSeparator();
    menuOf(id) = parent->addMenu(tr(definition.title));
    menuOf(id)->setObjectName(definition.objectName);
  };
  for (const CommandEntry& definition : commandCatalogue()) {
    if (!menuOf(definition.menu)) placeMenu(definition.menu);
    QMenu* menu = menuOf(definition.menu);
    if (definition.separatorBefore) menu->addSeparator();
    auto* action = new QAction(QString::fromUtf8(commandText(definition.id)), this);
    action->setObjectName(QString::fromUtf8(definition.objectName));
    action->setCheckable(definition.checkable);
    action->setEnabled(false);
    if (definition.shortcut == Shortcut::Quit) action->setShortcut(QKeySequence::Quit);
    if (definition.shortcut == Shortcut::HelpContents)
      action->setShortcut(QKeySequence::HelpContents);
    menu->addAction(action);
    actions_[static_cast<size_t>(definition.id)] = action;
  }
  for (const MenuEntry& definition : menuCatalogue())
    if (!menuOf(definition.id)) placeMenu(definition.id);

  bind(Command::Exit, this, [this](bool) { close(); });
  bind(Command::SetCameraIp, this, [this](bool) { onSetCameraIp(); });
  bind(Command::InitializeParameters, this, [this](bool) { onInitializeParameters(); });
  bind(Command::Help, this, [this](bool) { onHelp(); });
  bind(Command::About, this, [this](bool) { onAppAbout(); });
  bind(Command::ResetLayout, this, [this](bool) { onResetWindowLayout(); });
  bind(Command::StatusBar, this, [this](bool on) {
    statusBar()->setVisible(on);
    updateCommandContext([on](CommandContext& c) { c.statusBar = on; });
  });
}

void CMainFrame::bind(Command command, QObject* context, std::function<void(bool)> handler) {
  const auto index = static_cast<size_t>(command);
  if (bound_.at(index))
    throw std::logic_error("command bound twice: " + std::string(commandEntry(command).objectName));
  bound_[index] = true;
  connect(actions_[index], &QAction::triggered, context, std::move(handler));
  applyCommandLooks();
}

void CMainFrame::requireAllBound() const {
  std::string missing;
  for (const CommandEntry& definition : commandCatalogue()) {
    if (definition.pending || bound_[static_cast<size_t>(definition.id)]) continue;
    missing += missing.empty() ? "" : ", ";
    missing += definition.objectName;
  }
  if (!missing.empty()) throw std::logic_error("commands without a handler: " + missing);
}

void CMainFrame::updateCommandContext(const std::function<void(CommandContext&)>& change) {
  change(context_);
  applyCommandLooks();
}

void CMainFrame::applyCommandLooks() {
  const CommandLooks looks = commandLooks(context_);
  for (size_t i = 0; i < kCommandCount; ++i) {
    QAction* action = actions_[i];
    if (!action) continue;
    action->setEnabled(bound_[i] && looks[i].enabled);
    if (looks[i].checked && action->isCheckable()) {
      // Showing the state is not choosing it: no handler runs.
      const QSignalBlocker quiet(action);
      action->setChecked(*looks[i].checked);
    }
  }
}

void CMainFrame::buildToolBar() {
  toolBar_ = addToolBar(tr("Toolbar"));
  toolBar_->setObjectName("MainToolBar");
  toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  for (const std::optional<Command>& entry : toolBarCommands()) {
    if (entry)
      toolBar_->addAction(command(*entry));
    else
      toolBar_->addSeparator();
  }
}

void CMainFrame::buildStatusBar() {
  constexpr int kMinimumWidths[kStatusPaneCount] = {150, 150, 110, 120, 170};
  constexpr const char* kStatusPaneNames[kStatusPaneCount] = {
      "Frame rate", "Camera model", "Mouse position", "Intensity", "Temperature"};
  for (int i = 0; i < kStatusPaneCount; ++i) {
    auto* label = new QLabel(this);
    label->setObjectName(QString("statusPane%1").arg(i + 1));
    label->setAccessibleName(kStatusPaneNames[i]);
    label->setMinimumWidth(kMinimumWidths[i]);
    label->setFrameShape(QFrame::StyledPanel);
    statusBar()->addPermanentWidget(label);
    statusPanes_[i] = label;
  }
  refreshStatusPanes();
}

void CMainFrame::refreshStatusPanes() {
  const ImageState& image = document_.image();
  statusPane(StatusPane::FrameRate)->setText(qs(frameRateText(0.0)));
  statusPane(StatusPane::Model)->setText(qs(modelText(0)));
  statusPane(StatusPane::MousePosition)->setText(qs(mousePositionText(0, 0)));
  statusPane(StatusPane::Intensity)->setText(qs(intensityText(0)));
  statusPane(StatusPane::Temperature)
      ->setText(qs(temperatureText(0.0, document_.settings().tempUnit)));
  statusPane(StatusPane::Model)->setToolTip(QString("%1 * %2").arg(image.width).arg(image.height));
}

QWidget* CMainFrame::buildCameraControlBody() {
  auto* body = new QWidget(this);
  body->setObjectName(QString(kCameraControlPane.objectName) + "Body");
  auto* layout = new QFormLayout(body);
  cameraAddress_ = new QLineEdit(qs(document_.settings().camIp), body);
  cameraAddress_->setObjectName("cameraAddress");
  cameraAddress_->setAccessibleName("Camera IP");
  cameraAddress_->setReadOnly(true);
  layout->addRow(tr("Camera IP"), cameraAddress_);
  return body;
}

QWidget* CMainFrame::buildImageControlBody() {
  auto* body = new QWidget(this);
  body->setObjectName(QString(kImageControlPane.objectName) + "Body");
  auto* layout = new QVBoxLayout(body);
  // Only logo flag 1 shows the picture; otherwise the pane's controls start at the top.
  if (app_.company().showsLogo()) {
    const QPixmap logo(QString::fromStdString(app_.logoPath().string()));
    if (!logo.isNull()) {
      layout->addWidget(new LogoLabel(logo, QUrl(qs(app_.webLink())), openUrl_, body));
    }
  }
  layout->addStretch();
  return body;
}

void CMainFrame::buildPanes() {
  // The View menu's show/hide entries belong to the bars and panes themselves; they sit
  // around the catalogue's two View commands.
  QMenu* viewMenu = menus_[static_cast<size_t>(Menu::View)];
  QAction* reset = command(Command::ResetLayout);
  viewMenu->insertAction(command(Command::StatusBar), toolBar_->toggleViewAction());
  QMenu* panes = new QMenu(tr("Panes"), viewMenu);
  viewMenu->insertMenu(reset, panes);
  viewMenu->insertSeparator(reset);

  QDockWidget* cameraControl = makePane(kCameraControlPane, this);
  cameraControl->setWidget(buildCameraControlBody());
  QDockWidget* imageControl = makePane(kImageControlPane, this);
  imageControl->setWidget(buildImageControlBody());
  QDockWidget* playControl = makePane(kPlayControlPane, this);
  addDockWidget(Qt::LeftDockWidgetArea, cameraControl);
  addDockWidget(Qt::LeftDockWidgetArea, imageControl);
  addDockWidget(Qt::LeftDockWidgetArea, playControl);

  QDockWidget* chart = makePane(kChartViewPane, this);
  QDockWidget* hotCold = makePane(kHotColdPlotPane, this);
  QDockWidget* histogram = makePane(kHistogramPane, this);
  QDockWidget* output = makePane(kOutputPane, this);
  addDockWidget(Qt::BottomDockWidgetArea, chart);
  addDockWidget(Qt::BottomDockWidgetArea, hotCold);
  splitDockWidget(chart, hotCold, Qt::Horizontal);
  addDockWidget(Qt::RightDockWidgetArea, histogram);
  addDockWidget(Qt::BottomDockWidgetArea, output);
  tabifyDockWidget(hotCold, output);
  hotCold->raise();

  for (QDockWidget* dock :
       {cameraControl, imageControl, playControl, chart, hotCold, histogram, output}) {
    panes->addAction(dock->toggleViewAction());
  }
}

void CMainFrame::restoreLayout() {
  if (std::optional<QByteArray> geometry = store_.readLayout(kLayoutGeometry)) {
    restoreGeometry(*geometry);
  }
  if (std::optional<QByteArray> state = store_.readLayout(kLayoutState)) {
    restoreState(*state, kLayoutVersion);
  }
}

void CMainFrame::saveLayout() {
  store_.writeLayout(kLayoutGeometry, saveGeometry());
  store_.writeLayout(kLayoutState, saveState(kLayoutVersion));
  store_.sync();
}

void CMainFrame::showName(const QString& name) {
  setWindowTitle(qs(solvane::windowTitle(name.toStdString())));
}

void CMainFrame::onAppAbout() {
  CAboutDlg about(qs(app_.aboutCaption()), this);
  about.exec();
}

void CMainFrame::onHelp() {
  if (openUrl_) openUrl_(QUrl::fromLocalFile(QString::fromStdString(app_.helpPath().string())));
}

void CMainFrame::onResetWindowLayout() { app_.resetWindowLayout(notifier_); }

void CMainFrame::onInitializeParameters() {
  if (document_.initializeParameters(notifier_, [this] { emit aboutToInitializeParameters(); })) {
    refreshStatusPanes();
    emit parametersInitialized();
  }
}

void CMainFrame::onSetCameraIp() {
  CCameraIPSetDlg dialog(qs(document_.settings().camIp), this);
  if (dialog.exec() != QDialog::Accepted) return;
  document_.setCameraIp(dialog.address().toStdString());
  cameraAddress_->setText(dialog.address());
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // The layout and the settings are written once, however often the window is asked to close.
  if (!closed_) {
    closed_ = true;
    emit closing();
    saveLayout();
    document_.saveSettings();
  }
  event->accept();
}

}  // namespace solvane
