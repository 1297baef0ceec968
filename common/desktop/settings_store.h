// The per-user settings store of a program: one INI file, the program's keys in the section
// "ZTA SDK" and the window layout in a section of its own.
#pragma once

#include <QSettings>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace desktop {

inline constexpr const char* kProfileOrganisation = "Local AppWizard-Generated Applications";
inline constexpr const char* kSettingsSection = "ZTA SDK";
inline constexpr const char* kLayoutSection = "Workspace";

class SettingsStore {
 public:
  // The user's own store of a program (the INI file under the user's configuration folder).
  static SettingsStore forUser(const char* application);
  // A store in the given INI file (tests, and callers that choose the file).
  explicit SettingsStore(const QString& iniPath);

  // Missing or unreadable entries give the default, as a profile read does.
  int32_t readInt(const char* key, int32_t fallback) const;
  std::string readString(const char* key, const std::string& fallback) const;
  bool contains(const char* key) const;

  void writeInt(const char* key, int32_t value);
  void writeString(const char* key, const std::string& value);

  // The saved window and docking layout (opaque bytes of the toolkit).
  std::optional<QByteArray> readLayout(const char* name) const;
  void writeLayout(const char* name, const QByteArray& bytes);
  // The clean-state operation: forget every saved window and docking layout.
  void eraseLayout();

  // Writes pending changes to the file now.
  void sync();
  QString fileName() const;

 private:
  explicit SettingsStore(std::unique_ptr<QSettings> settings);
  static QString sectionKey(const char* section, const char* key);
  std::unique_ptr<QSettings> settings_;
};

}  // namespace desktop
