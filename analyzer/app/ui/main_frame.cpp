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
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace solvane {
namespace {

constexpr const char* kLayoutGeometry = "Geometry";
constexpr const char* kLayoutState = "State";
// Raised when the set of panes or bars changes, so an older saved layout is not applied.
constexpr int kLayoutVersion = 1;

constexpr const char* kPaletteNames[] = {"Yellow",   "Rainbow", "Rain900", "Rain10", "Midgrey",
                                         "Midgreen", "Medical", "Iron10",  "Iron",   "Greyred",
                                         "Grey10",   "Grey",    "Glowbow"};

constexpr const char* kFilterNames[] = {"None",
                                        "Soften Slightly",
                                        "Soften Strongly",
                                        "Sharpening Slightly",
                                        "Sharpening Strong",
                                        "Median Filter",
                                        "Box Filter",
                                        "Fast Gaussian Filter",
                                        "Fast Stack Blur Filter",
                                        "Bi-Lateral filter"};

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

  buildMenus();
  buildToolBar();
  buildStatusBar();
  buildPanes();
}

QAction* CMainFrame::addCommand(QMenu* menu, const char* objectName, const QString& text,
                                bool enabled) {
  auto* action = new QAction(text, this);
  action->setObjectName(QString::fromUtf8(objectName));
  action->setEnabled(enabled);
  menu->addAction(action);
  return action;
}

QAction* CMainFrame::command(const QString& objectName) const {
  return findChild<QAction*>(objectName);
}

QDockWidget* CMainFrame::pane(const PaneName& name) const {
  return findChild<QDockWidget*>(QString::fromUtf8(name.objectName));
}

void CMainFrame::buildMenus() {
  // Commands whose behaviour belongs to later parts are present and disabled until then.
  QMenu* file = menuBar()->addMenu(tr("&File"));
  addCommand(file, "actionLoadIrFile", "Load IR file");
  addCommand(file, "actionCloseIrFile", "Close IR file");
  file->addSeparator();
  addCommand(file, "actionRecordIrStream", "Record IR stream file");
  addCommand(file, "actionStopIrStream", "Stop to save IR stream file");
  file->addSeparator();
  addCommand(file, "actionSaveOneShot", "Save OneShot Image");
  addCommand(file, "actionExportTempData", "Export Temp. Data");
  addCommand(file, "actionExportSelectedObject", "Export Selected Object");
  file->addSeparator();
  addCommand(file, "actionSaveObjects", "Save Objects...");
  addCommand(file, "actionLoadObjects", "Load Objects...");
  file->addSeparator();
  QAction* exit = addCommand(file, "actionExit", tr("E&xit"), true);
  exit->setShortcut(QKeySequence::Quit);
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  addCommand(edit, "actionCopyClipboard", "Copy Clipboard");

  QMenu* camera = menuBar()->addMenu(tr("&Camera"));
  addCommand(camera, "actionConnect", "Connection");
  addCommand(camera, "actionDisconnect", "Disconnection");
  camera->addSeparator();
  addCommand(camera, "actionLive", "Live");
  addCommand(camera, "actionFreeze", "Freeze");
  camera->addSeparator();
  QAction* cameraIp = addCommand(camera, "actionSetCameraIp", "Set worked  camera IP.", true);
  connect(cameraIp, &QAction::triggered, this, &CMainFrame::onSetCameraIp);
  addCommand(camera, "actionFindCamera", "Search cameras on the local network");
  camera->addSeparator();
  QMenu* rate = camera->addMenu(tr("Frame rate"));
  addCommand(rate, "actionFullFps", "Full fps");
  addCommand(rate, "actionHalfFps", "1/2 fps");
  addCommand(rate, "actionThirdFps", "1/3 fps");
  addCommand(rate, "actionQuarterFps", "1/4 fps");
  addCommand(rate, "actionOneFps", "1 fps");
  addCommand(rate, "actionUserFps", "User Define...");
  QMenu* range = camera->addMenu(tr("Temperature range"));
  addCommand(range, "actionRangeNormal", "Normal Mode");
  addCommand(range, "actionRangeHigh", "High Mode");
  addCommand(range, "actionRangeMedical", "Medical Mode");
  camera->addSeparator();
  addCommand(camera, "actionNuc", "NUC");

  QMenu* image = menuBar()->addMenu(tr("&Image"));
  QMenu* palette = image->addMenu(tr("Palette"));
  for (int i = 0; i < static_cast<int>(std::size(kPaletteNames)); ++i) {
    const QByteArray name = "actionPalette" + QByteArray::number(i);
    addCommand(palette, name.constData(), QString("%1 colormap").arg(kPaletteNames[i]));
  }
  addCommand(image, "actionInvertPalette", "Invert Palette");
  addCommand(image, "actionMirror", "Mirror");
  addCommand(image, "actionFlip", "Flip");
  image->addSeparator();
  addCommand(image, "actionZoom10", "zoom 1x");
  addCommand(image, "actionZoom15", "zoom 1.5x");
  addCommand(image, "actionZoom20", "zoom 2x");
  addCommand(image, "actionZoom25", "zoom 2.5x");
  addCommand(image, "actionZoom30", "zoom 3x");
  addCommand(image, "actionZoomFit", "Fit the image in the window");
  image->addSeparator();
  QMenu* filter = image->addMenu(tr("Filter"));
  for (int i = 0; i < static_cast<int>(std::size(kFilterNames)); ++i) {
    const QByteArray name = "actionFilter" + QByteArray::number(i);
    addCommand(filter, name.constData(), kFilterNames[i]);
  }
  image->addSeparator();
  addCommand(image, "actionHotCold", "Draw Hot/Cold Point");
  addCommand(image, "actionShowGraphics", "Show Graphics");
  image->addSeparator();
  addCommand(image, "actionEmissivity", "Emissivity etc.");
  addCommand(image, "actionLevelSpan", "Level and Span");
  QMenu* isotherm = image->addMenu(tr("Isotherm"));
  addCommand(isotherm, "actionIsothermEditor", "&Isotherm editor");
  addCommand(isotherm, "actionIsothermInterval", "&Interval");
  addCommand(isotherm, "actionIsothermAbove", "&Above");
  addCommand(isotherm, "actionIsothermBelow", "&Below");

  QMenu* measure = menuBar()->addMenu(tr("&Measure"));
  addCommand(measure, "actionPointer", "Activate Pointer");
  addCommand(measure, "actionSpot", "Set Measurement Spot");
  addCommand(measure, "actionRectangle", "Set Measurement Rectangle");
  addCommand(measure, "actionEllipse", "Set Measurement Elipse");
  addCommand(measure, "actionLine", "Set Measurement Line");
  addCommand(measure, "actionPolygon", "Set Measurement Polyigon");
  measure->addSeparator();
  addCommand(measure, "actionRoiLock", "ROI Lock Mode");

  QMenu* alarm = menuBar()->addMenu(tr("&Alarm"));
  addCommand(alarm, "actionAlarmOnOff", "Activate Alarm");
  addCommand(alarm, "actionEnvironment", "Environment Setting...");

  QMenu* play = menuBar()->addMenu(tr("&Play"));
  QAction* loop = addCommand(play, "actionPlayLoop", "Play loop");
  loop->setCheckable(true);
  loop->setChecked(true);

  QMenu* viewMenu = menuBar()->addMenu(tr("&View"));
  viewMenu->setObjectName("menuView");

  QMenu* tools = menuBar()->addMenu(tr("&Tools"));
  QAction* init = addCommand(tools, "actionInitializeParameters", "Initialize paramers", true);
  connect(init, &QAction::triggered, this, &CMainFrame::onInitializeParameters);

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  QAction* helpAction = addCommand(help, "actionHelp", "Help", true);
  helpAction->setShortcut(QKeySequence::HelpContents);
  connect(helpAction, &QAction::triggered, this, &CMainFrame::onHelp);
  QAction* about = addCommand(help, "actionAbout", tr("&About Solvane..."), true);
  connect(about, &QAction::triggered, this, &CMainFrame::onAppAbout);
}

void CMainFrame::buildToolBar() {
  toolBar_ = addToolBar(tr("Toolbar"));
  toolBar_->setObjectName("MainToolBar");
  toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  for (const char* name : {"actionConnect", "actionDisconnect", "actionLive", "actionFreeze"}) {
    toolBar_->addAction(command(name));
  }
  toolBar_->addSeparator();
  for (const char* name : {"actionLoadIrFile", "actionRecordIrStream", "actionStopIrStream"}) {
    toolBar_->addAction(command(name));
  }
  toolBar_->addSeparator();
  for (const char* name : {"actionSaveOneShot", "actionCopyClipboard"}) {
    toolBar_->addAction(command(name));
  }
  toolBar_->addSeparator();
  toolBar_->addAction(command("actionAbout"));
}

void CMainFrame::buildStatusBar() {
  constexpr int kMinimumWidths[] = {150, 150, 110, 120, 170};
  for (int i = 0; i < kStatusPaneCount; ++i) {
    auto* label = new QLabel(this);
    label->setObjectName(QString("statusPane%1").arg(i + 1));
    label->setMinimumWidth(kMinimumWidths[i]);
    label->setFrameShape(QFrame::StyledPanel);
    statusBar()->addPermanentWidget(label);
    statusPanes_[i] = label;
  }
  refreshStatusPanes();
}

void CMainFrame::refreshStatusPanes() {
  const ImageState& image = document_.image();
  statusPanes_[0]->setText(qs(frameRateText(0.0)));
  statusPanes_[1]->setText(qs(modelText(0)));
  statusPanes_[2]->setText(qs(mousePositionText(0, 0)));
  statusPanes_[3]->setText(qs(intensityText(0)));
  statusPanes_[4]->setText(qs(temperatureText(0.0, document_.settings().tempUnit)));
  statusPanes_[1]->setToolTip(QString("%1 * %2").arg(image.width).arg(image.height));
}

QWidget* CMainFrame::buildCameraControlBody() {
  auto* body = new QWidget(this);
  body->setObjectName(QString(kCameraControlPane.objectName) + "Body");
  auto* layout = new QFormLayout(body);
  cameraAddress_ = new QLineEdit(qs(document_.settings().camIp), body);
  cameraAddress_->setObjectName("cameraAddress");
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
  QMenu* viewMenu = findChild<QMenu*>("menuView");
  viewMenu->addAction(toolBar_->toggleViewAction());
  QAction* statusToggle = viewMenu->addAction(tr("Status Bar"));
  statusToggle->setObjectName("actionStatusBar");
  statusToggle->setCheckable(true);
  statusToggle->setChecked(true);
  connect(statusToggle, &QAction::toggled, statusBar(), &QWidget::setVisible);
  QMenu* panes = viewMenu->addMenu(tr("Panes"));

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
  viewMenu->addSeparator();
  QAction* reset = viewMenu->addAction(tr("Reset window layout"));
  reset->setObjectName("actionResetLayout");
  connect(reset, &QAction::triggered, this, &CMainFrame::onResetWindowLayout);
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
  if (openUrl_) openUrl_(QUrl::fromLocalFile(QString::fromStdString(app_.manualPath().string())));
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
    saveLayout();
    document_.saveSettings();
  }
  event->accept();
}

}  // namespace solvane
