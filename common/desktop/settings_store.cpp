#include "desktop/settings_store.h"

#include <limits>

namespace desktop {

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings)
    : settings_(std::move(settings)) {}

SettingsStore::SettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

SettingsStore SettingsStore::forUser(const char* application) {
  return SettingsStore(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                   kProfileOrganisation, application));
}

QString SettingsStore::sectionKey(const char* section, const char* key) {
  return QString::fromUtf8(section) + QLatin1Char('/') + QString::fromUtf8(key);
}

int32_t SettingsStore::readInt(const char* key, int32_t fallback) const {
  const QVariant value = settings_->value(sectionKey(kSettingsSection, key));
  if (!value.isValid()) return fallback;
  bool ok = false;
  // A profile integer is 32 bits; a value that does not fit is not a stored integer.
  const qlonglong wide = value.toString().trimmed().toLongLong(&ok);
  if (!ok || wide < std::numeric_limits<int32_t>::min() ||
      wide > std::numeric_limits<int32_t>::max()) {
    return fallback;
  }
  return static_cast<int32_t>(wide);
}

std::string SettingsStore::readString(const char* key, const std::string& fallback) const {
  const QVariant value = settings_->value(sectionKey(kSettingsSection, key));
  if (!value.isValid()) return fallback;
  return value.toString().toStdString();
}

bool SettingsStore::contains(const char* key) const {
  return settings_->contains(sectionKey(kSettingsSection, key));
}

void SettingsStore::writeInt(const char* key, int32_t value) {
  settings_->setValue(sectionKey(kSettingsSection, key), value);
}

void SettingsStore::writeString(const char* key, const std::string& value) {
  settings_->setValue(sectionKey(kSettingsSection, key), QString::fromStdString(value));
}

std::optional<QByteArray> SettingsStore::readLayout(const char* name) const {
  const QVariant value = settings_->value(sectionKey(kLayoutSection, name));
  if (!value.isValid()) return std::nullopt;
  return value.toByteArray();
}

void SettingsStore::writeLayout(const char* name, const QByteArray& bytes) {
  settings_->setValue(sectionKey(kLayoutSection, name), bytes);
}

void SettingsStore::eraseLayout() { settings_->remove(QString::fromUtf8(kLayoutSection)); }

void SettingsStore::sync() { settings_->sync(); }

QString SettingsStore::fileName() const { return settings_->fileName(); }

}  // namespace desktop
