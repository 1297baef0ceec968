// The XML object file: every object of the list with its geometry, colours and common
// attributes, and the camera resolution it was drawn on. Reading it is reading outside
// input: unknown kinds are skipped, missing attributes take their defaults, counts and
// coordinates that cannot be right are refused or pulled inside the image, each with a
// line for the output pane.
#pragma once

#include "manager_roi.h"

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <functional>

namespace solvane {

using OutputSink = std::function<void(const QString& line)>;

// The texts the user sees.
inline constexpr const char* kObjectsSavedText = "Created a file to save object position!";
inline constexpr const char* kCannotOpenText = "Can't open this file!";
inline constexpr const char* kCannotOpenTitle = "Error";
inline constexpr const char* kCannotSaveText = "Can't save this file!";
inline constexpr const char* kDomFailureText = "Failed to create the XML class instance";
inline constexpr const char* kSaveDialogFilter = "XML Files (*.xml)|*.xml|All Files (*.*)|*.*||";
inline constexpr const char* kDefaultExtension = "xml";
QString resolutionMismatchText(int savedWidth, int savedHeight, int width, int height);

struct ObjectFileOutcome {
  enum class Status { Done, CannotOpen, CannotSave, ResolutionMismatch };
  Status status = Status::Done;
  QString message;  // the message box text
  QString title;    // and its title
  int loaded = 0;   // objects read
  bool ok() const { return status == Status::Done; }
};

// The document of the current list (objects in list order).
QByteArray serializeObjects(const CManagerROI& objects, int width, int height);

// Replaces the list with the objects of `document` when its resolution is width x height;
// otherwise the list stays as it is.
ObjectFileOutcome parseObjects(const QByteArray& document, CManagerROI& objects, int width,
                               int height, const OutputSink& output);

// "Save Objects...": the document, formatted through StyleSheet.xsl when that file lies in
// `styleSheetDir` (the folder of the executable when empty), written to `path`.
ObjectFileOutcome saveObjects(const std::filesystem::path& path, const CManagerROI& objects,
                              int width, int height, const OutputSink& output,
                              std::filesystem::path styleSheetDir = {});
// "Load Objects...".
ObjectFileOutcome loadObjects(const std::filesystem::path& path, CManagerROI& objects, int width,
                              int height, const OutputSink& output);

// Runs `document` through the stylesheet at `styleSheet`; empty on failure, with the reason
// in `error`.
QByteArray transformWithStyleSheet(const QByteArray& document,
                                   const std::filesystem::path& styleSheet, QString* error);

}  // namespace solvane
