// The finder's camera list as a Qt table model: the view shows the core's rows, and an
// in-place edit of a name goes back into them.
#pragma once

#include <QAbstractTableModel>

#include "discovery/core/camera_list.h"

namespace discovery {

class CameraListModel final : public QAbstractTableModel, private CameraListObserver {
  Q_OBJECT

 public:
  // Column widths of the list, in pixels.
  static constexpr int kColumnWidths[kColumnCount] = {100, 60, 120, 150};

  explicit CameraListModel(CameraList& list, QObject* parent = nullptr);
  ~CameraListModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 private:
  void rowsAboutToBeCleared() override;
  void rowsCleared() override;
  void rowAboutToBeAppended(std::size_t row) override;
  void rowAppended(std::size_t row) override;
  void rowChanged(std::size_t row) override;

  CameraList& list_;
};

}  // namespace discovery
