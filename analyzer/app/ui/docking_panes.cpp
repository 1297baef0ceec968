#include "app/ui/docking_panes.h"

#include <QMouseEvent>
#include <QVBoxLayout>

namespace solvane {

QDockWidget* makePane(const PaneName& name, QWidget* parent) {
  auto* pane = new QDockWidget(QString::fromUtf8(name.caption), parent);
  pane->setObjectName(QString::fromUtf8(name.objectName));
  auto* body = new QWidget(pane);
  body->setObjectName(QString::fromUtf8(name.objectName) + "Body");
  body->setMinimumSize(180, 80);
  auto* layout = new QVBoxLayout(body);
  layout->addStretch();
  pane->setWidget(body);
  return pane;
}

LogoLabel::LogoLabel(const QPixmap& picture, QUrl link, UrlOpener opener, QWidget* parent)
    : QLabel(parent), link_(std::move(link)), opener_(std::move(opener)) {
  setObjectName("companyLogo");
  setPixmap(picture);
  setAlignment(Qt::AlignCenter);
  if (link_.isValid() && !link_.isEmpty()) {
    setCursor(Qt::PointingHandCursor);
    setToolTip(link_.toString());
  }
}

void LogoLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && opener_ && link_.isValid() && !link_.isEmpty()) {
    opener_(link_);
  }
  QLabel::mousePressEvent(event);
}

}  // namespace solvane
