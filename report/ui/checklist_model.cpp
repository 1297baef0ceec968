#include "checklist_model.h"

namespace pagana {

ChecklistModel::ChecklistModel(Checklist& checklist, QObject* parent)
    : QAbstractTableModel(parent), checklist_(checklist) {}

int ChecklistModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(checklist_.rows().size());
}

int ChecklistModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant ChecklistModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const ChecklistRow& row = checklist_.rows()[static_cast<std::size_t>(index.row())];
  if (role == Qt::CheckStateRole && index.column() == kImageNameColumn) {
    return row.checked ? Qt::Checked : Qt::Unchecked;
  }
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  switch (index.column()) {
    case kImageNameColumn: return QString::fromStdString(row.name);
    case kLevelColumn: return QString::fromStdString(row.values.level);
    case kSpanColumn: return QString::fromStdString(row.values.span);
    case kAtmTempColumn: return QString::fromStdString(row.values.atmTemp);
    case kAtmTransColumn: return QString::fromStdString(row.values.atmTrans);
    case kEmissivityColumn: return QString::fromStdString(row.values.emissivity);
    case kPathColumn: return QString::fromStdString(row.path.string());
    default: return {};
  }
}

bool ChecklistModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::CheckStateRole || index.column() != kImageNameColumn) {
    return false;
  }
  const bool checked = value.toInt() == Qt::Checked;
  checklist_.setChecked(static_cast<std::size_t>(index.row()), checked);
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags ChecklistModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == kImageNameColumn) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant ChecklistModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || section >= kColumnCount) return {};
  return QString::fromLatin1(kColumns[section].heading);
}

void ChecklistModel::reload() {
  beginResetModel();
  endResetModel();
}

}  // namespace pagana
