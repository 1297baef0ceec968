// The finder's list of cameras and the rules for what goes into it. The dialog's list view
// shows exactly these rows, and the names file is written from them.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/core/names_file.h"
#include "discovery/core/txt_record.h"

namespace discovery {

enum CameraColumn { kNameColumn, kModelColumn, kIpColumn, kMacColumn, kColumnCount };

struct CameraRow {
  std::string name;
  std::string model;
  std::string ip;
  std::string mac;
  bool operator==(const CameraRow&) const = default;
};

// The product name behind a model code: "KT3" and "KT4" only as the whole text, "KS3" and
// "KS4" as its start; any other model is shown as announced.
std::string modelDisplayName(std::string_view model);

// The name a new camera is listed under: its stored name, else its announced name, else
// the product name of its model.
std::string chooseCameraName(const CameraTxt& camera, std::span<const NameRecord> stored);

// Told before and after the rows change, so a view can follow.
class CameraListObserver {
 public:
  virtual ~CameraListObserver() = default;
  virtual void rowsAboutToBeCleared() {}
  virtual void rowsCleared() {}
  virtual void rowAboutToBeAppended(std::size_t /*row*/) {}
  virtual void rowAppended(std::size_t /*row*/) {}
  virtual void rowChanged(std::size_t /*row*/) {}
};

class CameraList {
 public:
  void setObserver(CameraListObserver* observer) { observer_ = observer; }

  const std::vector<CameraRow>& rows() const { return rows_; }
  std::size_t size() const { return rows_.size(); }

  // Appends the camera unless a row already has its IP address; true when appended.
  bool add(const CameraTxt& camera, std::span<const NameRecord> stored);
  bool containsIp(std::string_view ip) const;
  void clear();
  // An in-place edit of the "Name" cell, taken as typed.
  void rename(std::size_t row, std::string name);

  // The names file's records for these rows, in list order.
  std::vector<NameRecord> nameRecords() const;

 private:
  std::vector<CameraRow> rows_;
  CameraListObserver* observer_ = nullptr;
};

}  // namespace discovery
