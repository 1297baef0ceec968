// A fresh folder for one test, removed with everything in it at the end.
#pragma once

#include <QTemporaryDir>

#include <filesystem>
#include <string>

namespace testsupport {

class TempFolder {
 public:
  TempFolder() : dir_(QDir::tempPath() + "/irdex-test-XXXXXX") {}
  std::filesystem::path path() const { return dir_.path().toStdString(); }
  std::string file(const std::string& name) const { return (path() / name).string(); }
  QString iniFile() const { return dir_.path() + "/settings.ini"; }

 private:
  QTemporaryDir dir_;
};

}  // namespace testsupport
