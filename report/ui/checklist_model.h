// The image list as a table: the checklist's rows in the seven columns, ticks in the first.
#pragma once

#include "checklist.h"

#include <QAbstractTableModel>

namespace pagana {

enum ChecklistColumn {
  kImageNameColumn,
  kLevelColumn,
  kSpanColumn,
  kAtmTempColumn,
  kAtmTransColumn,
  kEmissivityColumn,
  kPathColumn,
  kColumnCount
};

struct ColumnInfo {
  const char* heading;
  int width;
};
inline constexpr ColumnInfo kColumns[kColumnCount] = {
    {"Image Name", 200}, {"Level", 70},      {"Span", 70}, {"Atm. Temp.", 70},
    {"Atm. Trans.", 70}, {"Emissivity", 70}, {"", 0},
};

class ChecklistModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  ChecklistModel(Checklist& checklist, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The rows were added or removed in the checklist.
  void reload();

 private:
  Checklist& checklist_;
};

}  // namespace pagana
