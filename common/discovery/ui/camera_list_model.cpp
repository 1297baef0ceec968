#include "discovery/ui/camera_list_model.h"

namespace discovery {
namespace {

const char* const kColumnTitles[kColumnCount] = {"Name", "Model", "IP Address", "Mac Address"};

}  // namespace

CameraListModel::CameraListModel(CameraList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {
  list_.setObserver(this);
}

CameraListModel::~CameraListModel() { list_.setObserver(nullptr); }

int CameraListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.size());
}

int CameraListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant CameraListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  const CameraRow& row = list_.rows()[static_cast<std::size_t>(index.row())];
  const std::string* cells[kColumnCount] = {&row.name, &row.model, &row.ip, &row.mac};
  return QString::fromStdString(*cells[index.column()]);
}

QVariant CameraListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kColumnCount)
    return {};
  return QString::fromLatin1(kColumnTitles[section]);
}

Qt::ItemFlags CameraListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags result = QAbstractTableModel::flags(index);
  if (index.isValid() && index.column() == kNameColumn) result |= Qt::ItemIsEditable;
  return result;
}

bool CameraListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || index.column() != kNameColumn ||
      index.row() >= rowCount())
    return false;
  list_.rename(static_cast<std::size_t>(index.row()), value.toString().toStdString());
  return true;
}

void CameraListModel::rowsAboutToBeCleared() { beginResetModel(); }
void CameraListModel::rowsCleared() { endResetModel(); }

void CameraListModel::rowAboutToBeAppended(std::size_t row) {
  beginInsertRows({}, static_cast<int>(row), static_cast<int>(row));
}

void CameraListModel::rowAppended(std::size_t) { endInsertRows(); }

void CameraListModel::rowChanged(std::size_t row) {
  const QModelIndex cell = index(static_cast<int>(row), kNameColumn);
  emit dataChanged(cell, cell);
}

}  // namespace discovery
